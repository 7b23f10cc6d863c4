// Copies, folders with access rights, the native system folder view, shell
// links and starting programs, through the real calls.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/shell.h"
#include "platform/win32_internal.h"

namespace platform {

namespace {

// The redirection switches exist only on systems that have WOW64; they are
// looked up once.
using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);
struct RedirectionFns {
  DisableFn disable = nullptr;
  RevertFn revert = nullptr;
};
const RedirectionFns& Redirection() {
  static const RedirectionFns fns = [] {
    RedirectionFns f;
    if (HMODULE kernel = ::LoadLibraryW(L"Kernel32.dll")) {  // never freed: it is always loaded
      f.disable = reinterpret_cast<DisableFn>(
          reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
      f.revert = reinterpret_cast<RevertFn>(
          reinterpret_cast<void*>(::GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    }
    return f;
  }();
  return fns;
}

// A COM interface pointer that releases itself.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T** Receive() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// COM for the duration of one shell link.
class ScopedCom {
 public:
  ScopedCom() { ::CoInitialize(nullptr); }
  ~ScopedCom() { ::CoUninitialize(); }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;
};

}  // namespace

bool CopyFileOver(const std::u16string& from, const std::u16string& to) {
  return ::CopyFileW(win32::Wide(from), win32::Wide(to), FALSE) != FALSE;
}

bool CreateFolderWithAccess(const std::u16string& path, const std::u16string& sddl) {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = FALSE;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(win32::Wide(sddl), SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
    return false;
  }
  attributes.lpSecurityDescriptor = descriptor;
  const BOOL created = ::CreateDirectoryW(win32::Wide(path), &attributes);
  const DWORD error = ::GetLastError();
  ::LocalFree(descriptor);
  ::SetLastError(error);
  return created != FALSE;
}

bool IsWow64() {
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  static const auto fn = reinterpret_cast<IsWow64Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return fn && fn(::GetCurrentProcess(), &wow64) && wow64;
}

ScopedNativeSystemFolder::ScopedNativeSystemFolder() {
  if (Redirection().disable && Redirection().disable(&old_value_)) active_ = true;
}

ScopedNativeSystemFolder::~ScopedNativeSystemFolder() {
  if (active_ && Redirection().revert) Redirection().revert(old_value_);
}

bool SaveShellLink(const ShellLink& link, const std::u16string& path) {
  ScopedCom com;
  ComPtr<IShellLinkW> shell_link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shell_link.Receive())))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())))) return false;
  if (FAILED(shell_link->SetPath(win32::Wide(link.target)))) return false;
  if (!link.arguments.empty() && FAILED(shell_link->SetArguments(win32::Wide(link.arguments)))) return false;
  if (!link.working_folder.empty() && FAILED(shell_link->SetWorkingDirectory(win32::Wide(link.working_folder)))) {
    return false;
  }
  if (!link.description.empty() && FAILED(shell_link->SetDescription(win32::Wide(link.description)))) return false;
  if (!link.icon_path.empty() && FAILED(shell_link->SetIconLocation(win32::Wide(link.icon_path), link.icon_index))) {
    return false;
  }
  return SUCCEEDED(file->Save(win32::Wide(path), FALSE));
}

bool StartProgram(const std::u16string& program, const std::u16string& parameters) {
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"open", win32::Wide(program), win32::Wide(parameters), nullptr, SW_HIDE);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform

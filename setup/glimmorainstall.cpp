#include "setup/glimmorainstall.h"

#include <objbase.h>
#include <shlobj.h>

#include "build/fileplace.h"
#include "framework/handles.h"
#include "framework/resources.h"
#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"
#include "setup/commandline.h"
#include "setup/journal.h"
#include "setup/interactive.h"
#include "setup/languagetable.h"
#include "setup/renderer/ourlibrary.h"
#include "setup/renderer/window3drotator.h"
#include "setup/resultfile.h"
#include "setup/silentrun.h"
#include "setup/startupchecks.h"

int32_t g_language_index = 1;
std::string g_result_path = kDefaultResultPath;

namespace {

constexpr UINT kMsgDamagedPackage = 104;
constexpr UINT kMsgUnsupportedWindows = 105;
constexpr UINT kMsgNoAdminRights = 108;

struct SkinImage {
  UINT id;
  const char16_t* file;
};
// Generated from tools/resgen/skin_images.tsv, in writing order.
const SkinImage kSkinImages[] = {
#include "skin_image_rows.inc"
};

struct RendererLibrary {
  UINT id;
  const char16_t* file;
};
// The splash renderer and the libraries it needs, written in this order.
const RendererLibrary kRendererLibraries[] = {
    {151, u"DevIL.dll"}, {152, u"ILU.dll"}, {153, u"ILUT.dll"}, {154, u"3DImageRenderer.dll"}, {155, u"d3dx9_35.dll"},
};

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The run's own folder for what the wizard needs on disk (skin pictures,
// the language library, the skin description): a new one for every run,
// which only administrators and the system may write, since it holds a
// library this program maps.
constexpr const char16_t* kRunFolderAccess = u"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;GRGX;;;BU)";

std::u16string MakeRunFolder() {
  const std::u16string base = platform::TempFolder();
  const uint32_t seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
  for (uint32_t attempt = 0; attempt < 64; ++attempt) {
    wchar_t name[32];
    swprintf(name, 32, L"GlimmoraSetup-%08X", seed + attempt * 0x9E3779B9u);
    const std::u16string folder = base + reinterpret_cast<const char16_t*>(name);
    if (platform::CreateFolderWithAccess(folder, kRunFolderAccess)) return folder + u"\\";
    if (platform::LastError() != platform::kErrorAlreadyExists) break;  // taken names are skipped, nothing else
  }
  return {};
}

// Removes the run folder and what is in it; a file still in use goes at the
// next restart.
void RemoveRunFolder(const std::u16string& folder) {
  if (folder.empty()) return;
  WIN32_FIND_DATAW found{};
  const fw::ScopedFind search(::FindFirstFileW(W(folder + u"*"), &found));
  if (search.IsValid()) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      RemoveNowOrAtRestart(folder + reinterpret_cast<const char16_t*>(found.cFileName));
    } while (::FindNextFileW(search.Get(), &found));
  }
  const std::u16string self = folder.substr(0, folder.size() - 1);
  if (!platform::RemoveFolder(self)) ::MoveFileExW(W(self), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

std::u16string SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  ::GetSystemDirectoryW(buffer, MAX_PATH);
  return reinterpret_cast<const char16_t*>(buffer);
}

std::u16string ProgramFilesInstallFolder() {
  wchar_t buffer[MAX_PATH] = {};
  ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, FALSE);
  return reinterpret_cast<const char16_t*>(buffer) + std::u16string(u"\\Tavrin\\Glimmora\\");
}

}  // namespace

CGlimmoraInstallApp::CGlimmoraInstallApp()
    : install_folder_(ProgramFilesInstallFolder()), actions_([](uint32_t id) { return fw::LoadString(id); }) {}

CGlimmoraInstallApp::~CGlimmoraInstallApp() { EndRun(); }

void CGlimmoraInstallApp::EndRun() {
  // Everything loaded from the run folder is let go before it is removed
  // (the splash renderer lives in the system folder and stays loaded).
  if (splash_rotator_) splash_rotator_->Release();
  splash_rotator_ = nullptr;
  if (language_module_) {
    fw::SetResourceHandle(nullptr);
    ::FreeLibrary(language_module_);
  }
  language_module_ = nullptr;
  RemoveRunFolder(temp_folder_);
  temp_folder_.clear();
}

void CGlimmoraInstallApp::ShowMessageAndEnd(UINT text_id) {
  const std::u16string text = fw::LoadString(text_id);
  const std::u16string caption = fw::LoadString(102);
  ::MessageBoxW(nullptr, W(text), W(caption), MB_OK | MB_ICONINFORMATION);
  EndRun();
  ::ExitProcess(0);
}

bool CGlimmoraInstallApp::CheckSingleInstance() {
  // One setup program per machine, across users' sessions: the event lives
  // in the global namespace and stays open until this process ends.
  HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, L"Global\\GLIMMORA3_INSTALL");
  if (event && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(event);
    return false;
  }
  single_instance_event_ = event;
  return true;
}

bool CGlimmoraInstallApp::ExtractResourceToFile(UINT id, const wchar_t* type, const std::u16string& file_name) {
  if (type == nullptr || file_name.empty()) return false;
  DWORD size = 0;
  const void* bytes = fw::LockResourceBytes(id, type, &size);
  if (bytes == nullptr) return false;
  platform::File file = platform::File::Open(temp_folder_ + file_name, platform::OpenMode::kCreateTruncate);
  return file.IsOpen() && file.Write(bytes, size);
}

bool CGlimmoraInstallApp::ExtractResourceToSystem(UINT id, const wchar_t* type, const std::u16string& file_name) {
  if (type == nullptr || file_name.empty()) return false;
  DWORD size = 0;
  const void* bytes = fw::LockResourceBytes(id, type, &size);
  if (bytes == nullptr) return false;
  const std::u16string target = SystemFolder() + u"\\" + file_name;
  // These names are shared with other vendors' and the system's own
  // libraries: a file of that name that is not ours is never replaced.
  if (platform::FileExists(target) && !IsOurLibrary(target)) {
    platform::DebugOutput(u"Not ours, left in place: " + target);
    return false;
  }
  platform::File file = platform::File::Open(target, platform::OpenMode::kCreateTruncate);
  return file.IsOpen() && file.Write(bytes, size);
}

void CGlimmoraInstallApp::WriteSkinImages() {
  for (const SkinImage& image : kSkinImages) ExtractResourceToFile(image.id, L"Png", image.file);
}

void CGlimmoraInstallApp::SelectLanguageResources(bool write_files) {
  const int32_t row = RowForUiLanguage(::GetUserDefaultUILanguage());
  g_language_index = row;
  language_copy_ = row;
  if (!write_files) return;
  const LanguageRow& language = LanguageTable()[static_cast<size_t>(row)];
  ExtractResourceToFile(language.dll_id, L"SFX_DLL", u"Install.dll");
  ExtractResourceToFile(language.ini_id, L"Ini", u"install.ini");
}

void CGlimmoraInstallApp::LoadLanguageModule() {
  // The language library carries only resources: it is mapped as data and
  // never executed, as befits a file written into a temporary folder.
  const std::u16string path = temp_folder_ + u"Install.dll";
  language_module_ = ::LoadLibraryExW(W(path), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (language_module_ == nullptr) {  // systems before the image-resource flag
    language_module_ = ::LoadLibraryExW(W(path), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  renderer_module_ = nullptr;
}

bool CGlimmoraInstallApp::PrepareSplashRenderer() {
  for (const RendererLibrary& library : kRendererLibraries) {
    ExtractResourceToSystem(library.id, L"SFX_DLL1", library.file);
  }
  const std::u16string path = SystemFolder() + u"\\3DImageRenderer.dll";
  // A renderer of that name that is not ours is never loaded.
  if (!IsOurLibrary(path)) return false;
  renderer_module_ = ::LoadLibraryW(W(path));
  if (renderer_module_ == nullptr) return false;
  auto factory = reinterpret_cast<CreateWindow3DRotatorFunction>(
      reinterpret_cast<void*>(::GetProcAddress(renderer_module_, kCreateWindow3DRotatorExport)));
  if (factory == nullptr) {
    ::FreeLibrary(renderer_module_);
    renderer_module_ = nullptr;
    return false;
  }
  splash_rotator_ = factory();
  if (splash_rotator_ == nullptr) return true;
  if (splash_rotator_->CanRun()) {
    splash_rotator_->Start(::GetDesktopWindow());
  } else {
    splash_rotator_ = nullptr;  // not released: it never started
  }
  return true;
}

bool CGlimmoraInstallApp::IsSupportedWindows() { return IsSupportedWindowsVersion(platform::GetOsVersion()); }

bool CGlimmoraInstallApp::HasAdminRights() { return platform::IsAdministrator(); }

std::u16string CGlimmoraInstallApp::ReadInstalledFolder() {
  platform::RegKey key = platform::RegKey::Open(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora");
  if (!key.IsValid()) return {};
  auto bytes = key.QueryValue(u"InstallDir");  // the type is not examined
  if (!bytes) return {};
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes->size() && text.size() < 259; i += 2) {
    const char16_t c = static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8));
    if (c == 0) break;
    text += c;
  }
  return text;
}

void CGlimmoraInstallApp::RefuseSilently() {
  AppendResultSection(g_result_path, false, ResultStyle::kSilent);
  ::ExitProcess(1);
}

BOOL CGlimmoraInstallApp::InitInstance() {
  ::CoInitialize(nullptr);  // hosting of COM controls by the pages
  // The command line first: a silent run must never stop at a window, and
  // its refusals are reported in the result file it names.
  const std::u16string& arguments = GetCommandLineText();
  const bool silent = IsSilentCommandLine(arguments);
  if (auto path = ResultPathFromCommandLine(arguments)) {
    g_result_path = ResultPathBytes(*path);
    named_result_path_ = *path;
  }
  if (!CheckSingleInstance()) {
    // The other setup program owns the installation and the result file;
    // this one installed nothing, which a script must not take for success.
    if (silent) SetExitCode(1);
    return FALSE;
  }

  // Nothing visual is prepared for a run that shows nothing, and it needs
  // no folder of its own.
  if (!silent) {
    temp_folder_ = MakeRunFolder();
    WriteSkinImages();
  }
  SelectLanguageResources(!silent);
  if (!silent) {
    LoadLanguageModule();
    PrepareSplashRenderer();
  }

  if (!IsSupportedWindows()) {
    if (silent) RefuseSilently();
    ShowMessageAndEnd(kMsgUnsupportedWindows);
  }
  if (!HasAdminRights()) {
    if (silent) RefuseSilently();
    ShowMessageAndEnd(kMsgNoAdminRights);
  }

  // A setup program that was killed while it installed left its journal:
  // that half installation is undone before anything else happens.
  if (InstallJournal::RollBackInterrupted()) platform::DebugOutput(u"Undid an interrupted installation");

  const std::u16string own_path = platform::ModulePath();
  engine_.SetPackagePath(own_path);
  if (engine_.OpenPackage(own_path) != EXTRACT_OK) {
    if (silent) RefuseSilently();
    // The message first; the caller's result file is written once it is
    // dismissed.
    const std::u16string text = fw::LoadString(kMsgDamagedPackage);
    const std::u16string caption = fw::LoadString(102);
    ::MessageBoxW(nullptr, W(text), W(caption), MB_OK | MB_ICONINFORMATION);
    AppendResultSection(g_result_path, false, ResultStyle::kInteractive);
    EndRun();
    ::ExitProcess(0);
  }
  product_version_ = engine_.GetProject()->GetProductInfo().GetVersion();
  platform::DebugOutput(product_version_);

  if (silent) {
    SilentRun run{engine_, actions_, install_folder_, product_version_, g_language_index, g_result_path};
    SetExitCode(RunSilentInstallation(run).Succeeded() ? 0 : 1);
    return TRUE;
  }

  if (language_module_) fw::SetResourceHandle(language_module_);
  RunInteractiveInstallation(*this, ReadInstalledFolder());
  return FALSE;
}

// The single application object.
CGlimmoraInstallApp theApp;

CGlimmoraInstallApp* GetSetupApp() { return &theApp; }

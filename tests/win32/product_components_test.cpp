// The product's files as built: every one says whose it is, the COM server
// registers and unregisters itself, and the driver images are kernel images.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The product is built into <tree>\product, the suite into <tree>\tests.
std::wstring ProductFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring path(exe);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"..\\product\\";
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::vector<uint8_t> ReadAll(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  const DWORD size = GetFileSize(file, nullptr);
  if (size != INVALID_FILE_SIZE) {
    bytes.resize(size);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

std::wstring VersionString(const std::wstring& path, const wchar_t* name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::vector<uint8_t> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::wstring();
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), query.c_str(), &value, &length) || !value) return std::wstring();
  return static_cast<const wchar_t*>(value);
}

std::wstring ReadKeyString(HKEY root, const std::wstring& subkey, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return L"<no key>";
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH * sizeof(wchar_t);
  const LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? value : L"<no value>";
}

bool KeyExists(HKEY root, const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

const wchar_t kHarrowClsidKey[] = L"CLSID\\{6E1C3A52-8F0B-4D27-9B1A-5C7E2D4F8A31}";
const CLSID kHarrowClsid = {0x6e1c3a52, 0x8f0b, 0x4d27, {0x9b, 0x1a, 0x5c, 0x7e, 0x2d, 0x4f, 0x8a, 0x31}};

TEST(ProductFiles, EachCarriesTheMakersVersionInfo) {
  for (const wchar_t* name : {L"Glimmora.exe", L"Remove.exe", L"Harrow.dll", L"GlimmoraSrcSaver.scr", L"Nuvel.dll",
                              L"Tessel.dll", L"Morrow.dll", L"Quillon.dll", L"kvfilt.xp", L"kvfilt.vst",
                              L"kvfilt.x64"}) {
    const std::wstring path = ProductFolder() + name;
    SCOPED_TRACE(Narrow(path));
    EXPECT_EQ(VersionString(path, L"CompanyName"), L"Tavrin");
    EXPECT_EQ(VersionString(path, L"ProductName"), L"Glimmora");
  }
  EXPECT_NE(GetFileAttributesW((ProductFolder() + L"glimmora.ico").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((ProductFolder() + L"Notes.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ProductHarrow, RegistersItselfAndUnregisters) {
  const std::wstring path = ProductFolder() + L"Harrow.dll";
  HMODULE library = LoadLibraryW(path.c_str());
  ASSERT_NE(library, nullptr) << Narrow(path);
  using Entry = HRESULT(WINAPI*)();
  auto do_register = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  auto do_unregister =
      reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
  ASSERT_NE(do_register, nullptr);
  ASSERT_NE(do_unregister, nullptr);
  EXPECT_NE(GetProcAddress(library, "DllGetClassObject"), nullptr);
  EXPECT_NE(GetProcAddress(library, "DllCanUnloadNow"), nullptr);

  wchar_t loaded[MAX_PATH] = {};
  GetModuleFileNameW(library, loaded, MAX_PATH);
  ASSERT_EQ(do_register(), S_OK);
  const std::wstring server = kHarrowClsidKey + std::wstring(L"\\InprocServer32");
  EXPECT_EQ(lstrcmpiW(ReadKeyString(HKEY_CLASSES_ROOT, server, nullptr).c_str(), loaded), 0)
      << Narrow(ReadKeyString(HKEY_CLASSES_ROOT, server, nullptr));
  EXPECT_EQ(ReadKeyString(HKEY_CLASSES_ROOT, server, L"ThreadingModel"), L"Apartment");

  // The registration is usable: COM finds and creates the object.
  const HRESULT initialised = CoInitialize(nullptr);
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kHarrowClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  if (object) object->Release();
  if (SUCCEEDED(initialised)) CoUninitialize();

  EXPECT_EQ(do_unregister(), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHarrowClsidKey));
  FreeLibrary(library);
}

// Machine and optional-header magic of a PE image, and its subsystem.
struct PeFacts {
  bool valid = false;
  uint16_t machine = 0;
  uint16_t magic = 0;
  uint16_t subsystem = 0;
};

PeFacts ReadPe(const std::vector<uint8_t>& image) {
  PeFacts facts;
  if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') return facts;
  uint32_t pe = 0;
  std::memcpy(&pe, &image[0x3C], 4);
  // Subsystem is at offset 68 of the optional header in both PE32 and PE32+.
  if (pe > image.size() || image.size() - pe < 24 + 70 || std::memcmp(&image[pe], "PE\0\0", 4) != 0) return facts;
  std::memcpy(&facts.machine, &image[pe + 4], 2);
  std::memcpy(&facts.magic, &image[pe + 24], 2);
  std::memcpy(&facts.subsystem, &image[pe + 24 + 68], 2);
  facts.valid = true;
  return facts;
}

TEST(ProductDrivers, AreNativeKernelImagesWithValidChecksums) {
  struct Expected {
    const wchar_t* name;
    uint16_t machine;
    uint16_t magic;
  };
  const Expected drivers[] = {{L"kvfilt.xp", 0x014C, 0x010B}, {L"kvfilt.vst", 0x014C, 0x010B},
                              {L"kvfilt.x64", 0x8664, 0x020B}};
  using MapAndSum = DWORD(WINAPI*)(PCWSTR, PDWORD, PDWORD);
  HMODULE imagehlp = LoadLibraryW(L"imagehlp.dll");
  auto map_and_sum = imagehlp ? reinterpret_cast<MapAndSum>(reinterpret_cast<void*>(
                                    GetProcAddress(imagehlp, "MapFileAndCheckSumW")))
                              : nullptr;
  for (const Expected& driver : drivers) {
    const std::wstring path = ProductFolder() + driver.name;
    SCOPED_TRACE(Narrow(path));
    const PeFacts facts = ReadPe(ReadAll(path));
    ASSERT_TRUE(facts.valid);
    EXPECT_EQ(facts.machine, driver.machine);
    EXPECT_EQ(facts.magic, driver.magic);
    EXPECT_EQ(facts.subsystem, IMAGE_SUBSYSTEM_NATIVE);
    if (map_and_sum) {
      DWORD stored = 0;
      DWORD computed = 0;
      EXPECT_EQ(map_and_sum(path.c_str(), &stored, &computed), 0u);
      EXPECT_NE(stored, 0u);
      EXPECT_EQ(stored, computed);
    }
  }
  if (imagehlp) FreeLibrary(imagehlp);
}

}  // namespace

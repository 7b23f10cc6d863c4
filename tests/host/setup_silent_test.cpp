// The silent installation on the described system of the POSIX platform:
// files where their lists put them, every registry value, the shortcuts, the
// driver for each system, the registration command and the result file.
#include <gtest/gtest.h>

#include <map>

#include "build/mybuild.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"
#include "setup/resultfile.h"
#include "setup/silentrun.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

std::u16string Strings(uint32_t id) {
  return id == 118 ? u"\\Tavrin\\Tavrin Glimmora.lnk" : u"\\Tavrin Glimmora.lnk";
}

class SilentInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetPosixRegistry();
    platform::PosixSystem() = platform::FakeSystem();
    platform::PosixShell() = platform::FakeShell();
    // A machine: the registry keys and folders every Windows has.
    platform::RegKey::Create(platform::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    platform::RegKey::Create(platform::kLocalMachine, u"SYSTEM\\CurrentControlSet\\Services");
    platform::CreateFolder(platform::SpecialFolderPath(0x25) + u"\\Drivers");
    folder_ = platform::SpecialFolderPath(0x26) + u"\\Tavrin\\Glimmora\\";
    CleanInstallFolder();

    dir_ = ScratchFolder("silent_install");
    for (const char16_t* name : {u"Glimmora.exe", u"Remove.exe", u"Notes.txt", u"kvfilt.xp", u"kvfilt.vst",
                                 u"kvfilt.x64", u"Nuvel.dll", u"GlimmoraSrcSaver.scr", u"Harrow.dll", u"readme.txt"}) {
      files_[name] = PatternBytes(3000 + files_.size() * 100, static_cast<uint32_t>(files_.size()));
      WriteFileBytes(dir_ + name, files_[name]);
    }
    WriteFileBytes(dir_ + u"engine.exe", FakeImage(5000));
  }

  void CleanInstallFolder() {
    for (const char16_t* name : {u"Glimmora.exe", u"Remove.exe", u"Notes.txt", u"readme.txt"}) {
      platform::CopyFileOver(u"C:\\nothing", folder_ + name);  // fails; then truncate what exists
      platform::File::Open(folder_ + name, platform::OpenMode::kCreateTruncate);
    }
  }

  std::shared_ptr<CZipFileIndexObject> Source(const std::u16string& name) {
    auto e = std::make_shared<CZipFileIndexObject>();
    e->SetSourcePath(dir_ + name);
    e->SetName(name);
    return e;
  }

  // Common: the product files in a destination-root folder below program
  // files, the COM server in the system folder; English: a readme.
  std::u16string BuildPackage() {
    CInstallProject project;
    project.GetProductInfo().SetVersion(u"3.5.0.7");
    project.GetProductInfo().SetEngineFile(dir_ + u"engine.exe");
    auto common = std::make_shared<CExtractFileList>(u"Common");
    CNode* root = common->GetTree().GetRoot();
    root->SetData(MakeDestinationComputerEntry());
    CNode* product = root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"))->AddChild(FolderEntry(u"Tavrin"))->AddChild(FolderEntry(u"Glimmora", true));
    for (const char16_t* name : {u"Glimmora.exe", u"Remove.exe", u"Notes.txt", u"kvfilt.xp", u"kvfilt.vst",
                                 u"kvfilt.x64", u"Nuvel.dll", u"GlimmoraSrcSaver.scr"}) {
      product->AddChild(Source(name));
    }
    root->AddChild(PredefinedEntry(u"[SystemFolder]"))->AddChild(Source(u"Harrow.dll"));
    project.GetExtractLists().push_back(common);
    auto english = std::make_shared<CExtractFileList>(u"English");
    english->GetTree().GetRoot()->SetData(MakeDestinationComputerEntry());
    english->GetTree().GetRoot()->AddChild(FolderEntry(u"Glimmora", true))->AddChild(Source(u"readme.txt"));
    project.GetExtractLists().push_back(english);
    CMyBuild builder;
    builder.SetProject(&project);
    EXPECT_EQ(builder.BuildPackage(dir_ + u"setup.exe", nullptr, nullptr), EXTRACT_OK);
    return dir_ + u"setup.exe";
  }

  bool Run(const std::u16string& package, const std::string& result_path) {
    CMyExtract engine;
    engine.SetPackagePath(package);
    EXPECT_EQ(engine.OpenPackage(package), EXTRACT_OK);
    CInstallActions actions(&Strings);
    SilentRun run{engine, actions, folder_.substr(0, folder_.size() - 1), u"3.5.0.7", 19, result_path};
    return RunSilentInstallation(run);
  }

  std::u16string Text(const std::u16string& key, const std::u16string& name) {
    platform::RegKey k = platform::RegKey::Open(platform::kLocalMachine, key);
    uint32_t type = 0;
    auto bytes = k.QueryValue(name, &type);
    if (!bytes) return u"<missing>";
    EXPECT_EQ(type, platform::kRegSz) << platform::ToUtf8(name);
    EXPECT_EQ(bytes->size() % 2, 0u);
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes->size(); i += 2) text += static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8));
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos) << "stored without its terminating zero";
    return text;
  }

  uint32_t Dword(const std::u16string& key, const std::u16string& name) {
    platform::RegKey k = platform::RegKey::Open(platform::kLocalMachine, key);
    uint32_t type = 0;
    auto bytes = k.QueryValue(name, &type);
    EXPECT_TRUE(bytes && bytes->size() == 4 && type == platform::kRegDword) << platform::ToUtf8(name);
    if (!bytes || bytes->size() != 4) return 0xFFFFFFFF;
    return (*bytes)[0] | ((*bytes)[1] << 8) | ((*bytes)[2] << 16) | (static_cast<uint32_t>((*bytes)[3]) << 24);
  }

  std::u16string dir_, folder_;
  std::map<std::u16string, Bytes> files_;
};

TEST_F(SilentInstall, InstallsFilesKeysShortcutsDriverAndReportsSuccess) {
  const std::u16string package = BuildPackage();
  const std::string result = platform::HostPath(dir_ + u"result.txt");
  WriteFileBytes(dir_ + u"result.txt", {'o', 'l', 'd', '\r', '\n'});
  ASSERT_TRUE(Run(package, platform::ToAnsi(dir_ + u"result.txt")));

  for (const char16_t* name : {u"Glimmora.exe", u"Remove.exe", u"Notes.txt", u"readme.txt"}) {
    EXPECT_EQ(ReadFileBytes(folder_ + name), files_[name]) << platform::ToUtf8(name);
  }
  const std::u16string system = platform::SpecialFolderPath(0x25);
  EXPECT_EQ(ReadFileBytes(system + u"\\Harrow.dll"), files_[u"Harrow.dll"]);
  EXPECT_EQ(ReadFileBytes(system + u"\\Drivers\\kvfilt.sys"), files_[u"kvfilt.xp"]) << "Windows 5.1: the XP driver";
  const std::u16string windows = platform::SpecialFolderPath(0x24);
  EXPECT_EQ(ReadFileBytes(windows + u"\\Nuvel.dll"), files_[u"Nuvel.dll"]);
  EXPECT_EQ(ReadFileBytes(windows + u"\\GlimmoraSrcSaver.scr"), files_[u"GlimmoraSrcSaver.scr"]);
  EXPECT_FALSE(platform::FileExists(windows + u"\\MFC71.dll")) << "not delivered, copy skipped";

  const std::u16string uninstall = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora3.5";
  EXPECT_EQ(Text(uninstall, u"DisplayName"), u"Glimmora");
  EXPECT_EQ(Text(uninstall, u"UninstallString"), folder_ + u"Remove.exe");
  EXPECT_EQ(Text(uninstall, u"Publisher"), u"Tavrin");
  EXPECT_EQ(Text(uninstall, u"URLInfoAbout"), Text(uninstall, u"URLUpdateInfo"));
  EXPECT_EQ(Text(uninstall, u"DisplayVersion"), u"3.5.0.7");
  EXPECT_EQ(Text(uninstall, u"InstallLocation"), folder_);
  EXPECT_EQ(Text(uninstall, u"Comments"), u"Thanks for using Tavrin artificial intelligence product.");
  EXPECT_EQ(Text(uninstall, u"ReadMe"), folder_ + u"Notes.txt");
  EXPECT_EQ(Text(uninstall, u"DisplayIcon"), folder_ + u"glimmora.exe,0");

  const std::u16string product = u"SOFTWARE\\Tavrin\\Glimmora";
  EXPECT_EQ(Text(product, u"Name"), u"Glimmora");
  EXPECT_EQ(Text(product, u"Version"), u"3.5.0.7");
  EXPECT_EQ(Text(product, u"InstallPath"), folder_ + u"Glimmora.exe");
  EXPECT_EQ(Text(product, u"InstallDir"), folder_);
  EXPECT_EQ(Text(product, u"company"), u"Corvanel");
  EXPECT_EQ(Dword(product, u"Lang"), 19u) << "the row number, not a language id";

  const std::u16string service = u"SYSTEM\\CurrentControlSet\\Services\\kvfilt";
  EXPECT_EQ(Dword(service, u"Start"), 1u);
  EXPECT_EQ(Dword(service, u"Type"), 1u);
  EXPECT_EQ(Dword(service, u"ErrorControl"), 0u);
  EXPECT_EQ(Text(service, u"Group"), u"Extended base");

  const auto& links = platform::PosixShell().links;
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].path, platform::SpecialFolderPath(0x17) + u"\\Tavrin\\Tavrin Glimmora.lnk");
  EXPECT_EQ(links[1].path, platform::SpecialFolderPath(0x19) + u"\\Tavrin Glimmora.lnk");
  for (const auto& saved : links) {
    EXPECT_EQ(saved.link.target, folder_ + u"\\Glimmora.exe") << "two backslashes before the program";
    EXPECT_EQ(saved.link.working_folder, folder_);
    EXPECT_EQ(saved.link.icon_path, folder_ + u"glimmora.ico");
    EXPECT_EQ(saved.link.icon_index, 0);
  }

  ASSERT_EQ(platform::PosixShell().started.size(), 1u);
  EXPECT_EQ(platform::PosixShell().started[0].program, u"RegSvr32.exe");
  EXPECT_EQ(platform::PosixShell().started[0].parameters, u"/s \"" + system + u"\\Harrow.dll\"");
  ASSERT_EQ(platform::PosixShell().access_folders.size(), 1u);
  EXPECT_EQ(platform::PosixShell().access_folders[0].path, platform::SpecialFolderPath(0x23) + u"\\Glimmora");
  EXPECT_EQ(platform::PosixShell().access_folders[0].sddl,
            u"D:(A;OICI;GA;;;BG)(A;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)");

  const Bytes expected = {'o', 'l', 'd', '\r', '\n', '[', 'R', 'e', 's', 'p', 'o', 'n', 's', 'e', 'R', 'e', 's', 'u',
                          'l', 't', ']', '\r', '\n', 'R', 'e', 's', 'u', 'l', 't', 'C', 'o', 'd', 'e', '=', '0', '\r', '\n'};
  EXPECT_EQ(ReadFileBytes(dir_ + u"result.txt"), expected);
}

TEST_F(SilentInstall, DriverFollowsTheSystem) {
  const std::u16string package = BuildPackage();
  const std::u16string driver = platform::SpecialFolderPath(0x25) + u"\\Drivers\\kvfilt.sys";
  struct Case {
    const char* label;
    platform::OsVersion version;
    bool wow64;
    const char16_t* source;
  } cases[] = {
      {"Windows 7, 32-bit", {2, 6, 1}, false, u"kvfilt.vst"},
      {"Windows 7, 64-bit: native folder", {2, 6, 1}, true, u"kvfilt.x64"},
      {"Windows XP", {2, 5, 1}, false, u"kvfilt.xp"},
  };
  for (const Case& c : cases) {
    platform::PosixSystem().version = c.version;
    platform::PosixShell() = platform::FakeShell();
    platform::PosixShell().wow64 = c.wow64;
    Run(package, "");
    EXPECT_EQ(ReadFileBytes(driver), files_[c.source]) << c.label;
    // Only the driver copy sees the native system folder.
    EXPECT_EQ(platform::PosixShell().native_view_scopes, c.wow64 ? 1 : 0) << c.label;
    if (c.wow64) {
      ASSERT_EQ(platform::PosixShell().copies_in_native_view.size(), 1u);
      EXPECT_EQ(platform::PosixShell().copies_in_native_view[0], driver);
    }
  }
}

TEST_F(SilentInstall, ADamagedStreamInstallsTheRestAndReportsFailure) {
  const std::u16string package = BuildPackage();
  // Flip a byte inside the first payload stream (Glimmora.exe).
  Bytes bytes = ReadFileBytes(package);
  bytes[5000 + 40] ^= 0x55;
  WriteFileBytes(package, bytes);
  const std::u16string result = dir_ + u"result.txt";
  EXPECT_FALSE(Run(package, platform::ToAnsi(result)));
  EXPECT_EQ(ReadFileBytes(folder_ + u"Remove.exe"), files_[u"Remove.exe"]);
  EXPECT_EQ(Text(u"SOFTWARE\\Tavrin\\Glimmora", u"InstallDir"), folder_) << "the actions still ran";
  const std::string text(reinterpret_cast<const char*>(ReadFileBytes(result).data()), ReadFileBytes(result).size());
  EXPECT_EQ(text, "[ResponseResult]\r\nResultCode = -1\r\n");
}

TEST(ResultFile, AppendsLinesAndCreatesTheFile) {
  const std::u16string dir = ScratchFolder("result_file");
  const std::string path = platform::ToAnsi(dir + u"r.log");
  AppendResultLine(path, kResultHeader);
  AppendResultLine(path, kResultInteractiveOk);
  AppendResultLine(path, "");   // nothing
  AppendResultLine("", "x");    // nothing
  AppendResultLine(path, kResultHeader);
  AppendResultLine(path, kResultFailed);
  const Bytes bytes = ReadFileBytes(dir + u"r.log");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "[ResponseResult]\r\nResultCode = 0\r\n[ResponseResult]\r\nResultCode = -1\r\n");
  // A file held open by another writer loses the line instead of mixing.
  {
    platform::File holder = platform::File::Open(dir + u"r.log", platform::OpenMode::kAppendAlways);
    ASSERT_TRUE(holder.IsOpen());
    AppendResultLine(path, "lost");
  }
  EXPECT_EQ(ReadFileBytes(dir + u"r.log").size(), bytes.size());
}

}  // namespace

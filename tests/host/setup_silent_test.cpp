// The installation routine and the silent run on the described system of
// the POSIX platform: files where their lists put them, every registry
// value, the shortcuts, the driver for each system, the registration
// command, the result file; what a failure of each part reports; and the
// progress the routine measures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <functional>
#include <map>

#include "build/mybuild.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"
#include "setup/failurereport.h"
#include "setup/journal.h"
#include "setup/resultfile.h"
#include "setup/sharedfiles.h"
#include "setup/silentrun.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

void RemoveAll(const std::u16string& path) { std::filesystem::remove_all(platform::HostPath(path)); }

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
    // The machine's special folders exist before anything is installed.
    for (int csidl : {0x17, 0x19, 0x23, 0x24, 0x25, 0x26}) platform::SpecialFolderPath(csidl);
    folder_ = platform::SpecialFolderPath(0x26) + u"\\Tavrin\\Glimmora\\";
    for (size_t at = folder_.find(u'\\', 3); at != std::u16string::npos; at = folder_.find(u'\\', at + 1)) {
      platform::CreateFolder(folder_.substr(0, at));
    }
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

  InstallOutcome Run(const std::u16string& package, const std::string& result_path) {
    CMyExtract engine;
    engine.SetPackagePath(package);
    EXPECT_EQ(engine.OpenPackage(package), EXTRACT_OK);
    CInstallActions actions(&Strings);
    SilentRun run{engine, actions, folder_.substr(0, folder_.size() - 1), u"3.5.0.7", 19, result_path};
    return RunSilentInstallation(run);
  }

  // Flips a byte in the middle of the stream of the file `name`.
  void DamageStreamOf(const std::u16string& package, const std::u16string& name) {
    CMyExtract engine;
    engine.SetPackagePath(package);
    ASSERT_EQ(engine.OpenPackage(package), EXTRACT_OK);
    const CZipFileIndexObject* found = nullptr;
    for (const auto& list : engine.GetProject()->GetExtractLists()) {
      FindEntry(list->GetTree().GetRoot(), name, &found);
    }
    ASSERT_NE(found, nullptr);
    Bytes bytes = ReadFileBytes(package);
    bytes[static_cast<size_t>(found->GetOffset() + found->GetPackedSize() / 2)] ^= 0x55;
    WriteFileBytes(package, bytes);
  }

  static void FindEntry(CNode* node, const std::u16string& name, const CZipFileIndexObject** found) {
    if (auto* entry = dynamic_cast<CZipFileIndexObject*>(node->GetData())) {
      if (!entry->IsFolder() && entry->GetName() == name) *found = entry;
    }
    for (size_t i = 0; i < node->GetChildCount(); ++i) FindEntry(node->GetChild(i), name, found);
  }

  std::string ResultText(const std::u16string& path) {
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
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
  const InstallOutcome outcome = Run(package, platform::ToAnsi(dir_ + u"result.txt"));
  ASSERT_TRUE(outcome.Succeeded());
  EXPECT_TRUE(outcome.driver_installed);

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
  EXPECT_EQ(platform::PosixShell().started[0].program, system + u"\\RegSvr32.exe") << "by full path, never by name";
  EXPECT_EQ(platform::PosixShell().started[0].parameters, u"/s \"" + system + u"\\Harrow.dll\"");
  ASSERT_EQ(platform::PosixShell().access_folders.size(), 1u);
  EXPECT_EQ(platform::PosixShell().access_folders[0].path, platform::SpecialFolderPath(0x23) + u"\\Glimmora");
  EXPECT_EQ(platform::PosixShell().access_folders[0].sddl, kSharedFolderAccess);

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
    // Only the driver copy (and removing the driver it replaced) sees the
    // native system folder.
    EXPECT_EQ(platform::PosixShell().native_view_scopes > 0, c.wow64) << c.label;
    if (c.wow64) {
      ASSERT_EQ(platform::PosixShell().copies_in_native_view.size(), 1u);
      EXPECT_EQ(platform::PosixShell().copies_in_native_view[0], driver);
    }
  }
}

// The machine as files with their bytes (the test's own scratch folder,
// which holds the package and the result file, left out) and the registry.
std::vector<std::string> MachineSnapshot() {
  std::vector<std::string> lines = platform::PosixRegistrySnapshot();
  const std::filesystem::path drive = std::filesystem::u8path(platform::HostPath(u"C:\\"));
  for (const auto& item : std::filesystem::recursive_directory_iterator(drive)) {
    const std::string path = item.path().string();
    if (path.find("glimmora-tests") != std::string::npos) continue;
    std::string line = path;
    if (item.is_regular_file()) {
      std::ifstream in(item.path(), std::ios::binary);
      line += "=" + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    lines.push_back(line);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Each part that fails makes the run a failure, names itself as the first
// failure, and everything the run changed is undone: the machine afterwards
// is the machine before, byte for byte.
TEST_F(SilentInstall, EveryFailureIsReportedAndUndone) {
  const std::u16string system = platform::SpecialFolderPath(0x25);
  const std::u16string windows = platform::SpecialFolderPath(0x24);
  struct Case {
    const char* label;
    std::function<void(const std::u16string& package)> spoil;
    InstallStep step;
    std::u16string list;
    int32_t list_result;
    std::u16string file;
  } cases[] = {
      {"damaged stream in the first file of Common",
       [&](const std::u16string& p) { DamageStreamOf(p, u"Glimmora.exe"); },
       InstallStep::kFiles, u"Common", EXTRACT_ERR_DATA, folder_ + u"Glimmora.exe"},
      {"damaged stream in a middle file of Common",
       [&](const std::u16string& p) { DamageStreamOf(p, u"kvfilt.vst"); },
       InstallStep::kFiles, u"Common", EXTRACT_ERR_DATA, folder_ + u"kvfilt.vst"},
      {"damaged stream in the last file of Common",
       [&](const std::u16string& p) { DamageStreamOf(p, u"Harrow.dll"); },
       InstallStep::kFiles, u"Common", EXTRACT_ERR_DATA, system + u"\\Harrow.dll"},
      {"damaged stream in a language list",
       [&](const std::u16string& p) { DamageStreamOf(p, u"readme.txt"); },
       InstallStep::kFiles, u"English", EXTRACT_ERR_DATA, folder_ + u"readme.txt"},
      {"an unwritable file",
       [&](const std::u16string&) {
         RemoveAll(folder_ + u"Notes.txt");
         platform::CreateFolder(folder_ + u"Notes.txt");  // a folder holds the file's name
       },
       InstallStep::kFiles, u"Common", EXTRACT_ERR_CREATE, folder_ + u"Notes.txt"},
      {"a shortcut that cannot be saved",
       [&](const std::u16string&) {
         platform::CreateFolder(platform::SpecialFolderPath(0x19) + u"\\Tavrin Glimmora.lnk");
       },
       InstallStep::kShortcuts, u"", EXTRACT_OK, u""},
      {"the driver copy",
       [&](const std::u16string&) { RemoveAll(system + u"\\Drivers"); },
       InstallStep::kDriver, u"", EXTRACT_OK, u""},
      {"a registry value that cannot be written",
       [&](const std::u16string&) {
         platform::MakePosixKeyReadOnly(platform::kLocalMachine,
                                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora3.5");
       },
       InstallStep::kUninstallEntry, u"", EXTRACT_OK, u""},
      {"the driver's service key",
       [&](const std::u16string&) {
         platform::MakePosixKeyReadOnly(platform::kLocalMachine, u"SYSTEM\\CurrentControlSet\\Services\\kvfilt");
       },
       InstallStep::kProductInfo, u"", EXTRACT_OK, u""},
      {"a delivered shared file that cannot be copied",
       [&](const std::u16string&) { platform::CreateFolder(windows + u"\\Nuvel.dll"); },
       InstallStep::kSharedFiles, u"", EXTRACT_OK, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SetUp();
    // An earlier installation's files and values stand there: a failed run
    // must put them back, not just remove what it added.
    platform::RegKey::Create(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora").SetString(u"Version", u"3.4");
    WriteFileBytes(folder_ + u"Remove.exe", {'o', 'l', 'd'});
    const std::u16string package = BuildPackage();
    c.spoil(package);
    const std::vector<std::string> before = MachineSnapshot();
    const std::u16string result = dir_ + u"result.txt";
    const InstallOutcome outcome = Run(package, platform::ToAnsi(result));
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_TRUE(outcome.rolled_back);
    EXPECT_FALSE(outcome.driver_installed) << "nothing to restart for";
    EXPECT_EQ(outcome.failed_step, c.step);
    EXPECT_EQ(platform::ToUtf8(outcome.failed_list), platform::ToUtf8(c.list));
    EXPECT_EQ(outcome.list_result, c.list_result);
    EXPECT_EQ(platform::ToUtf8(outcome.failed_file), platform::ToUtf8(c.file));
    EXPECT_EQ(ResultText(result), "[ResponseResult]\r\nResultCode = -1\r\n");
    EXPECT_EQ(MachineSnapshot(), before);
    RemoveAll(folder_ + u"Notes.txt");
    RemoveAll(platform::SpecialFolderPath(0x19) + u"\\Tavrin Glimmora.lnk");
    RemoveAll(windows + u"\\Nuvel.dll");
  }
}

// A repair over an installed product whose package turns out damaged puts
// back every file and value it had already replaced.
TEST_F(SilentInstall, AFailedRepairRestoresTheInstallationThatWasThere) {
  const std::u16string package = BuildPackage();
  ASSERT_TRUE(Run(package, "").Succeeded());
  platform::PosixShell() = platform::FakeShell();
  const std::vector<std::string> installed = MachineSnapshot();
  DamageStreamOf(package, u"readme.txt");  // the last file: everything else is replaced first
  const InstallOutcome outcome = Run(package, "");
  EXPECT_EQ(outcome.failed_step, InstallStep::kFiles);
  EXPECT_EQ(MachineSnapshot(), installed);
}

class StopAt : public InstallationObserver {
 public:
  StopAt(uint32_t status, int files) : status_(status), files_(files) {}
  void OnStatus(uint32_t id) override {
    if (id == status_) throw std::runtime_error("killed");  // the process ends here
  }
  bool CancelRequested() override { return ++seen_ > files_; }

 private:
  uint32_t status_;
  int files_;
  int seen_ = 0;
};

// The user's cancel stops the run at the next file and undoes it; a run
// that is killed leaves its journal, which the next start undoes.
TEST_F(SilentInstall, CancelledAndKilledRunsAreUndone) {
  const std::u16string package = BuildPackage();
  const std::vector<std::string> before = MachineSnapshot();
  {
    CMyExtract engine;
    engine.SetPackagePath(package);
    ASSERT_EQ(engine.OpenPackage(package), EXTRACT_OK);
    CInstallActions actions(&Strings);
    StopAt cancel(0, 3);
    const InstallOutcome outcome = RunInstallation({engine, actions, folder_, u"3.5.0.7", 1}, &cancel);
    EXPECT_EQ(outcome.failed_step, InstallStep::kCancelled);
    EXPECT_TRUE(outcome.rolled_back);
    EXPECT_EQ(MachineSnapshot(), before);
  }
  {
    CMyExtract engine;
    engine.SetPackagePath(package);
    ASSERT_EQ(engine.OpenPackage(package), EXTRACT_OK);
    CInstallActions actions(&Strings);
    StopAt kill(kStatusSoftware, 1000);
    EXPECT_THROW(RunInstallation({engine, actions, folder_, u"3.5.0.7", 1}, &kill), std::runtime_error);
    EXPECT_NE(MachineSnapshot(), before) << "files and keys of the killed run are still there";
  }
  EXPECT_TRUE(InstallJournal::RollBackInterrupted());
  EXPECT_EQ(MachineSnapshot(), before);
  EXPECT_FALSE(InstallJournal::RollBackInterrupted()) << "the journal is gone once undone";
}

// A package that carries only some of the language lists installs them and
// succeeds: the lists it lacks are not failures.
TEST_F(SilentInstall, ListsThePackageDoesNotCarryAreNoFailure) {
  const InstallOutcome outcome = Run(BuildPackage(), platform::ToAnsi(dir_ + u"result.txt"));
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(ResultText(dir_ + u"result.txt"), "[ResponseResult]\r\nResultCode=0\r\n");
}

class Recorder : public InstallationObserver {
 public:
  explicit Recorder(std::function<void()> at_end) : at_end_(std::move(at_end)) {}
  void OnStatus(uint32_t id) override { statuses.push_back(id); }
  void OnProgress(int32_t percent) override {
    percents.push_back(percent);
    if (percent == 100) at_end_();
  }
  void OnEngineEvent() override { ++events; }
  std::vector<uint32_t> statuses;
  std::vector<int32_t> percents;
  int events = 0;

 private:
  std::function<void()> at_end_;
};

TEST_F(SilentInstall, ProgressRisesByBytesToItsEndExactlyWhenTheLastFileIsWritten) {
  // Files of very different sizes: a bar that stepped per file would be
  // far off in the middle.
  files_[u"Glimmora.exe"] = PatternBytes(400000, 7);
  WriteFileBytes(dir_ + u"Glimmora.exe", files_[u"Glimmora.exe"]);
  const std::u16string package = BuildPackage();
  CMyExtract engine;
  engine.SetPackagePath(package);
  ASSERT_EQ(engine.OpenPackage(package), EXTRACT_OK);
  CInstallActions actions(&Strings);
  bool last_file_complete_at_100 = false;
  Recorder recorder([&] {
    // readme.txt, of the "English" list, is the run's last file.
    last_file_complete_at_100 = ReadFileBytes(folder_ + u"readme.txt") == files_[u"readme.txt"];
  });
  const InstallOutcome outcome = RunInstallation({engine, actions, folder_, u"3.5.0.7", 1}, &recorder);
  ASSERT_TRUE(outcome.Succeeded());

  ASSERT_FALSE(recorder.percents.empty());
  EXPECT_EQ(recorder.percents.front(), 0);
  EXPECT_EQ(recorder.percents.back(), 100);
  EXPECT_EQ(std::count(recorder.percents.begin(), recorder.percents.end(), 100), 1);
  EXPECT_TRUE(std::is_sorted(recorder.percents.begin(), recorder.percents.end()));
  EXPECT_EQ(std::adjacent_find(recorder.percents.begin(), recorder.percents.end()), recorder.percents.end());
  EXPECT_GT(recorder.percents.size(), 5u) << "the big file moves the bar while it is written";
  EXPECT_TRUE(last_file_complete_at_100);
  EXPECT_GT(recorder.events, 0);
  EXPECT_EQ(recorder.statuses, (std::vector<uint32_t>{110, 109, 111, 112, 113, 113}));
}

// A library's bytes with a version resource of `major.minor.build.revision`
// somewhere inside, as a linker lays one out.
Bytes VersionedLibrary(uint16_t major, uint16_t minor, uint16_t build, uint16_t revision, uint32_t seed) {
  Bytes bytes = PatternBytes(700, seed);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (char c : std::string("VS_VERSION_INFO")) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
  }
  bytes.insert(bytes.end(), {0, 0, 0, 0});  // terminator and padding
  const uint32_t words[] = {0xFEEF04BDu, 0x00010000u, (static_cast<uint32_t>(major) << 16) | minor,
                            (static_cast<uint32_t>(build) << 16) | revision, 0, 0};
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
  }
  bytes.resize(bytes.size() + 200, 0x11);
  return bytes;
}

TEST(SharedFiles, VersionsAreReadFromTheVersionResource) {
  const std::u16string dir = ScratchFolder("file_version");
  WriteFileBytes(dir + u"v.dll", VersionedLibrary(8, 0, 50727, 42, 3));
  WriteFileBytes(dir + u"plain.txt", PatternBytes(2000, 4));
  EXPECT_EQ(FileVersionOf(dir + u"v.dll"), (8ull << 48) | (0ull << 32) | (50727ull << 16) | 42ull);
  EXPECT_EQ(FileVersionOf(dir + u"plain.txt"), std::nullopt);
  EXPECT_EQ(FileVersionOf(dir + u"missing.dll"), std::nullopt);
}

TEST(SharedFiles, WhatMayReplaceTheFileThatIsThere) {
  constexpr uint64_t v1 = 1ull << 48, v2 = 2ull << 48;
  struct Case {
    const char* label;
    std::optional<uint64_t> source;
    ExistingFile existing;
    bool replace;
  } cases[] = {
      {"a lower version goes", v2, {v1, false, false}, true},
      {"a higher version stays", v1, {v2, false, false}, false},
      {"an equal version stays", v1, {v1, true, false}, false},
      {"an unversioned file of ours goes", v1, {std::nullopt, true, false}, true},
      {"an unversioned file of others stays", v1, {std::nullopt, false, false}, false},
      {"a versioned file never yields to an unversioned one", std::nullopt, {v1, true, false}, false},
      {"an unchanged unversioned file goes", std::nullopt, {std::nullopt, false, false}, true},
      {"an edited unversioned file stays", std::nullopt, {std::nullopt, true, true}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(MayReplaceSharedFile(c.source, c.existing), c.replace) << c.label;
}

TEST_F(SilentInstall, SharedFilesKeepNewerVersionsAndAreCountedOncePerInstallation) {
  files_[u"Nuvel.dll"] = VersionedLibrary(1, 0, 0, 0, 21);
  WriteFileBytes(dir_ + u"Nuvel.dll", files_[u"Nuvel.dll"]);
  const std::u16string windows = platform::SpecialFolderPath(0x24);
  const Bytes newer = VersionedLibrary(2, 5, 0, 0, 22);
  WriteFileBytes(windows + u"\\Nuvel.dll", newer);
  const std::u16string package = BuildPackage();

  const auto count = [](const std::u16string& path) -> int {
    platform::RegKey key = platform::RegKey::Open(platform::kLocalMachine, kSharedDllsKey);
    auto bytes = key.QueryValue(path);
    return bytes && bytes->size() == 4 ? (*bytes)[0] : -1;
  };
  const std::u16string saver = windows + u"\\GlimmoraSrcSaver.scr";
  const std::u16string server = platform::SpecialFolderPath(0x25) + u"\\Harrow.dll";
  ASSERT_TRUE(Run(package, "").Succeeded());
  EXPECT_EQ(ReadFileBytes(windows + u"\\Nuvel.dll"), newer) << "a newer library of that name is never replaced";
  EXPECT_EQ(ReadFileBytes(saver), files_[u"GlimmoraSrcSaver.scr"]);
  EXPECT_EQ(count(windows + u"\\Nuvel.dll"), 1) << "the product uses it, whoever's copy it is";
  EXPECT_EQ(count(saver), 1);
  EXPECT_EQ(count(server), 1) << "the package's own file in the system folder is shared too";

  ASSERT_TRUE(Run(package, "").Succeeded());  // a repair
  EXPECT_EQ(count(saver), 1) << "a repair does not count again";
  EXPECT_EQ(count(server), 1);
}

TEST(FailureReport, NamesTheFileTheListOrTheStepAndTheResultFile) {
  const auto text = [](uint32_t id) { return u"<" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10)) + u">"; };
  InstallOutcome ok;
  EXPECT_EQ(DescribeFailedInstallation(ok, u"C:\\r.log", text), u"");

  InstallOutcome file;
  file.failed_step = InstallStep::kFiles;
  file.failed_list = u"Common";
  file.list_result = EXTRACT_ERR_DATA;
  file.failed_file = u"C:\\Tools\\Glimmora\\Glimmora.exe";
  EXPECT_EQ(DescribeFailedInstallation(file, u"", text), u"<1>\n<2>\nC:\\Tools\\Glimmora\\Glimmora.exe");

  InstallOutcome list = file;
  list.failed_file.clear();
  list.list_result = EXTRACT_ERR_OPEN;
  EXPECT_EQ(DescribeFailedInstallation(list, u"C:\\r.log", text), u"<1>\n<3>\nCommon (1000)\n<5>\nC:\\r.log");

  InstallOutcome undone = file;
  undone.rolled_back = true;  // "Nothing was changed on this computer." (136) under the heading
  EXPECT_EQ(DescribeFailedInstallation(undone, u"", text), u"<1>\n<6>\n<2>\nC:\\Tools\\Glimmora\\Glimmora.exe");

  InstallOutcome cancelled;
  cancelled.failed_step = InstallStep::kCancelled;
  cancelled.rolled_back = true;  // "The installation was cancelled." (138), and nothing changed
  EXPECT_EQ(DescribeFailedInstallation(cancelled, u"", text), u"<8>\n<6>");

  InstallOutcome step;
  step.failed_step = InstallStep::kSharedFiles;  // named by "Registering components" (114)
  EXPECT_EQ(DescribeFailedInstallation(step, u"", text), u"<1>\n<4>\n<4>");
  step.failed_step = InstallStep::kDriver;       // "Installing drivers" (111)
  EXPECT_EQ(DescribeFailedInstallation(step, u"", text), u"<1>\n<4>\n<1>");
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

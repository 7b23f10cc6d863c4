// glimmora-pack as authors run it: the built program, its exit codes, its
// output and the packages it writes, driven with the fixture project in
// tests/fixtures/pack (the example of the README).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/pack_run.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

const fs::path kTool = PackTool();
const fs::path kFixture = fs::path(GLIMMORA_FIXTURE_DIR) / "pack";

// The fixture's packed files: the tree path verify prints, the source below
// tests/fixtures/pack, and where the file lands below the extraction folder
// with the default install folder.
struct FixtureFile {
  const char* list;
  const char* treePath;
  const char* source;
  const char* landsAt;
};

const FixtureFile kFixtureFiles[] = {
    {"Common", "[ProgramFilesFolder]\\Glimmora\\Glimmora.exe", "files/Glimmora.exe",
     "C/Program Files/Glimmora/Glimmora.exe"},
    {"Common", "[ProgramFilesFolder]\\Glimmora\\gui\\skin.ini", "files/gui/skin.ini",
     "C/Program Files/Glimmora/gui/skin.ini"},
    {"Common", "[ProgramFilesFolder]\\Glimmora\\help\\faq.html", "files/help/faq.html",
     "C/Program Files/Glimmora/help/faq.html"},
    {"Common", "[ProgramFilesFolder]\\Glimmora\\help\\images\\logo.txt", "files/help/images/logo.txt",
     "C/Program Files/Glimmora/help/images/logo.txt"},
    {"Common", "[ProgramFilesFolder]\\Glimmora\\help\\index.html", "files/help/index.html",
     "C/Program Files/Glimmora/help/index.html"},
    {"Common", "[SystemFolder]\\glimhook.dll", "files/glimhook.dll", "C/windows/system32/glimhook.dll"},
    {"English", "[ProgramFilesFolder]\\Glimmora\\lang\\strings.ini", "files/lang/en/strings.ini",
     "C/Program Files/Glimmora/lang/strings.ini"},
};

class PackToolTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(kTool)) << kTool << " is missing: build the glimmora-pack target";
    std::string pattern = (fs::temp_directory_path() / "glimmora-pack-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Runs the tool with stdout and stderr caught in files.
  ToolRun Pack(const std::vector<std::string>& args) { return RunPack(dir_, args); }

  // Builds the fixture project; the package's path.
  fs::path BuildFixture(ToolRun* build = nullptr) {
    const fs::path package = dir_ / "GlimmoraSetup.exe";
    const ToolRun run = Pack({"build", (kFixture / "glimmora.json").string(), "-o", package.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    if (build != nullptr) *build = run;
    return package;
  }

  // Each file stream of a package as verify lists it: tree path -> offset, packed size.
  std::map<std::string, std::pair<long, long>> Streams(const fs::path& package) {
    std::map<std::string, std::pair<long, long>> streams;
    for (const std::string& line : Lines(Pack({"verify", package.string()}).out)) {
      std::istringstream fields(line);
      long offset = 0, packed = 0;
      std::string status, list, path;
      if (fields >> offset >> packed >> status >> list >> path) streams[path] = {offset, packed};
    }
    return streams;
  }

  // The index stream's offset and packed size, from the table row verify prints.
  std::pair<long, long> IndexStream(const fs::path& package) {
    for (const std::string& line : Lines(Pack({"verify", package.string()}).out)) {
      long offset = 0, packed = 0;
      if (std::sscanf(line.c_str(), " row 0 %*s offset %ld, packed %ld", &offset, &packed) == 2) {
        return {offset, packed};
      }
    }
    ADD_FAILURE() << "verify shows no index row";
    return {0, 0};
  }

  fs::path dir_;
};

TEST_F(PackToolTest, BuildListVerifyExtractGivesBackTheSameBytes) {
  ToolRun build;
  const fs::path package = BuildFixture(&build);
  EXPECT_NE(build.out.find("wrote "), std::string::npos) << build.out;
  // Not a terminal: one plain line per packed file, with its size.
  for (const FixtureFile& file : kFixtureFiles) {
    const std::string line = std::string("packed ") + file.source + " (" +
                             std::to_string(fs::file_size(kFixture / file.source)) + " -> ";
    EXPECT_NE(build.err.find(line), std::string::npos) << line << "\n" << build.err;
  }
  EXPECT_TRUE(fs::exists(package.string() + ".log")) << "the build log goes next to the package by default";

  const ToolRun verify = Pack({"verify", package.string()});
  EXPECT_EQ(verify.code, 0) << verify.out << verify.err;
  EXPECT_EQ(Streams(package).size(), std::size(kFixtureFiles));

  const fs::path dest = dir_ / "machine";
  for (const char* list : {"Common", "English"}) {
    const ToolRun extract = Pack({"extract", package.string(), "--list", list, "--dest", dest.string()});
    EXPECT_EQ(extract.code, 0) << extract.err;
  }
  std::set<std::string> expected;
  for (const FixtureFile& file : kFixtureFiles) {
    expected.insert(file.landsAt);
    EXPECT_EQ(ReadText(dest / file.landsAt), ReadText(kFixture / file.source)) << file.landsAt;
  }
  // Nothing else: the inflated index and the stand-in folders stay out of it.
  EXPECT_EQ(FilesBelow(dest), expected);
}

// The README's example is the fixture the tests build, so it stays one that works.
TEST(PackReadme, ExampleIsTheFixtureProject) {
  const std::string readme = ReadText(fs::path(GLIMMORA_FIXTURE_DIR) / ".." / ".." / "README.md");
  const size_t section = readme.find("\n## glimmora-pack\n");
  ASSERT_NE(section, std::string::npos) << "README.md has no glimmora-pack section";
  const size_t start = readme.find("```json\n", section);
  ASSERT_NE(start, std::string::npos) << "the glimmora-pack section has no JSON example";
  const size_t end = readme.find("```", start + 8);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(readme.substr(start + 8, end - start - 8), ReadText(kFixture / "glimmora.json"));
}

TEST_F(PackToolTest, InstallFolderMovesOnlyTheDestinationRoot) {
  const fs::path package = BuildFixture();
  const struct {
    const char* installFolder;
    const char* list;
    const char* file;
  } cases[] = {
      {"D:\\Apps\\Glim", "Common", "D/Apps/Glim/Glimmora.exe"},
      {"D:\\Apps\\Glim\\", "Common", "D/Apps/Glim/help/images/logo.txt"},
      {"D:\\Apps\\Glim", "Common", "C/windows/system32/glimhook.dll"},
      {"E:\\", "English", "E/lang/strings.ini"},
  };
  for (const auto& c : cases) {
    const fs::path dest = dir_ / "machine";
    fs::remove_all(dest);
    const ToolRun run = Pack({"extract", package.string(), "--list", c.list, "--dest", dest.string(),
                          "--install-folder", c.installFolder});
    EXPECT_EQ(run.code, 0) << c.installFolder << ": " << run.err;
    EXPECT_TRUE(fs::is_regular_file(dest / c.file)) << c.installFolder << " " << c.file << "\n" << run.out;
  }
}

TEST_F(PackToolTest, ListShowsEachFilesTargetAndTheRecords) {
  const fs::path package = BuildFixture();
  const struct {
    std::vector<std::string> extra;
    std::vector<std::string> shown;
  } cases[] = {
      {{},
       {"trailer: magic 0 bytes from the end, 1 table row", "product: Glimmora", "  version: 3.5.0.1",
        "  install folder token: [ProgramFilesFolder] (id 38)", "author: Tavrin",
        "  languages: English (United States) (0x0409)", "list \"Common\":", "list \"English\":",
        "Glimmora.exe  -> C:\\Program Files\\Glimmora\\Glimmora.exe  (",
        "logo.txt  -> C:\\Program Files\\Glimmora\\help\\images\\logo.txt  (",
        "glimhook.dll  -> C:\\windows\\system32\\glimhook.dll  (",
        "strings.ini  -> C:\\Program Files\\Glimmora\\lang\\strings.ini  ("}},
      {{"--dest", "D:\\Apps\\Glim"},
       {"Glimmora.exe  -> D:\\Apps\\Glim\\Glimmora.exe  (", "glimhook.dll  -> C:\\windows\\system32\\glimhook.dll  (",
        "strings.ini  -> D:\\Apps\\Glim\\lang\\strings.ini  ("}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"list", package.string()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ToolRun run = Pack(args);
    EXPECT_EQ(run.code, 0) << run.err;
    for (const std::string& text : c.shown) EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
  }
}

TEST_F(PackToolTest, VerifyNamesEachDamagedStream) {
  const fs::path package = BuildFixture();
  const auto streams = Streams(package);
  ASSERT_EQ(streams.size(), std::size(kFixtureFiles));
  const std::string sound = ReadText(package);
  for (const FixtureFile& file : kFixtureFiles) {
    const auto stream = streams.at(file.treePath);
    std::string damaged = sound;
    damaged[static_cast<size_t>(stream.first + stream.second / 2)] ^= 0xFF;
    const fs::path copy = dir_ / "damaged.exe";
    WriteText(copy, damaged);
    const ToolRun run = Pack({"verify", copy.string()});
    EXPECT_NE(run.code, 0) << file.treePath;
    const std::string named = std::string("damaged stream of ") + file.list + ":" + file.treePath;
    EXPECT_NE(run.err.find(named), std::string::npos) << named << "\n" << run.err;
    EXPECT_EQ(Lines(run.err).size(), 1u) << "only the damaged file is reported:\n" << run.err;
  }

  // The index: without it no file can be found, so that is the report.
  const auto index = IndexStream(package);
  std::string damaged = sound;
  damaged[static_cast<size_t>(index.first + index.second / 2)] ^= 0xFF;
  WriteText(dir_ / "damaged.exe", damaged);
  const ToolRun run = Pack({"verify", (dir_ / "damaged.exe").string()});
  EXPECT_NE(run.code, 0);
  EXPECT_NE(run.err.find("damaged index stream"), std::string::npos) << run.err;
}

TEST_F(PackToolTest, DirEntriesAreSortedAndKeepEmptyFolders) {
  const fs::path project = dir_ / "project";
  // Made out of order, so that the listing order is the packer's doing.
  WriteText(project / "stage/zeta.txt", "last");
  WriteText(project / "stage/Beta/inner.txt", "inner");
  WriteText(project / "stage/alpha.txt", "first");
  fs::create_directories(project / "stage/empty");
  fs::copy_file(kFixture / "engine.bin", project / "engine.bin");
  WriteText(project / "p.json", R"({
    "product": {"name": "Glimmora", "engine": "engine.bin"},
    "lists": [{"name": "Common", "entries": [{"predefined": "[ProgramFilesFolder]", "entries": [
      {"dir": "stage", "name": "Glimmora", "destinationRoot": true}]}]}]})");
  const fs::path package = dir_ / "p.exe";
  ASSERT_EQ(Pack({"build", (project / "p.json").string(), "-o", package.string()}).code, 0);

  std::vector<std::string> names;
  for (const std::string& line : Lines(Pack({"list", package.string()}).out)) {
    const std::string entry = line.substr(std::min(line.find_first_not_of(' '), line.size()));
    for (const char* name : {"alpha.txt", "Beta\\", "inner.txt", "empty\\", "zeta.txt"}) {
      if (entry.rfind(name, 0) == 0) names.push_back(name);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Beta\\", "inner.txt", "alpha.txt", "empty\\", "zeta.txt"}));

  const fs::path dest = dir_ / "machine";
  ASSERT_EQ(Pack({"extract", package.string(), "--list", "Common", "--dest", dest.string()}).code, 0);
  EXPECT_EQ(ReadText(dest / "C/Program Files/Glimmora/Beta/inner.txt"), "inner");
  EXPECT_TRUE(fs::is_directory(dest / "C/Program Files/Glimmora/empty"));
}

// A folder of thousands of files packs whole, and two of its names that
// differ only in case are still found. (Names are looked up in a hashed
// index; comparing each with all before it took seconds at this size.)
TEST_F(PackToolTest, DirOfThousandsOfFilesPacksWholeAndFindsCaseTwins) {
  const fs::path project = dir_ / "project";
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) WriteText(project / "stage" / ("f" + std::to_string(10000 + i) + ".txt"), "x");
  fs::copy_file(kFixture / "engine.bin", project / "engine.bin");
  WriteText(project / "p.json", R"({
    "product": {"name": "Glimmora", "engine": "engine.bin"},
    "lists": [{"name": "Common", "entries": [{"predefined": "[ProgramFilesFolder]", "entries": [
      {"dir": "stage", "name": "Glimmora", "destinationRoot": true}]}]}]})");
  const fs::path package = dir_ / "p.exe";
  const ToolRun build = Pack({"build", (project / "p.json").string(), "-o", package.string()});
  ASSERT_EQ(build.code, 0) << build.err;
  EXPECT_NE(build.out.find(std::to_string(kFiles) + " files"), std::string::npos) << build.out;

  WriteText(project / "stage" / "F12345.TXT", "twin");
  const ToolRun twins = Pack({"build", (project / "p.json").string(), "-o", package.string()});
  EXPECT_EQ(twins.code, 1);
  EXPECT_NE(twins.err.find("a second entry named \"F12345.TXT\" in one folder"), std::string::npos) << twins.err;
}

TEST_F(PackToolTest, ProjectFaultsAreOneLineNamingTheFileAndThePlace) {
  const fs::path project = dir_ / "project";
  fs::copy(kFixture, project, fs::copy_options::recursive);
  const std::string engine = R"("engine": "engine.bin")";
  // A project around one Common list's entries; `product` is spliced in.
  const auto Project = [](const std::string& product, const std::string& entries) {
    return R"({"product": {"name": "Glimmora")" + product + R"(}, "lists": [{"name": "Common", "entries": [)" +
           entries + "]}]}";
  };
  const std::string in_programs = R"({"predefined": "[ProgramFilesFolder]", "entries": [)";
  const struct {
    const char* what;
    std::string json;
    std::vector<std::string> extra;
    std::string message;
  } cases[] = {
      {"unknown token", Project(", " + engine, R"({"predefined": "[ProgramFileFolder]"})"), {},
       R"(p.json: lists[0].entries[0].predefined: unknown predefined folder "[ProgramFileFolder]")"},
      {"unknown install folder token", Project(", " + engine + R"(, "installFolderToken": "[Nowhere]")", ""), {},
       R"(p.json: product.installFolderToken: unknown predefined folder "[Nowhere]")"},
      {"missing source", Project(", " + engine, in_programs + R"({"file": "files/Missing.exe"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].file: source "files/Missing.exe" does not exist)"},
      {"parent reference as name",
       Project(", " + engine, in_programs + R"({"file": "files/Glimmora.exe", "name": "..\\evil.exe"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].name: "..\evil.exe" cannot be a file name)"},
      {"drive in a name", Project(", " + engine, in_programs + R"({"file": "files/Glimmora.exe", "name": "C:x"}]})"),
       {}, R"(p.json: lists[0].entries[0].entries[0].name: "C:x" cannot be a file name)"},
      {"dot-dot folder", Project(", " + engine, in_programs + R"({"folder": ".."}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].folder: ".." cannot be a file name)"},
      {"malformed JSON", R"({"product": {"name": "Glimmora",)", {}, "p.json: malformed JSON: "},
      {"no engine", Project("", ""), {}, "p.json: product.engine: no engine image"},
      {"engine missing", Project(R"(, "engine": "nope.bin")", ""), {},
       R"(p.json: product.engine: engine image "nope.bin" does not exist)"},
      {"--engine missing", Project(", " + engine, ""), {"--engine", (dir_ / "nope.bin").string()},
       "--engine: engine image"},
      {"file at the top", Project(", " + engine, R"({"file": "files/Glimmora.exe"})"), {},
       "p.json: lists[0].entries[0]: the top of a list holds only predefined folders"},
      {"nested predefined", Project(", " + engine, in_programs + R"({"predefined": "[SystemFolder]"}]})"), {},
       "p.json: lists[0].entries[0].entries[0]: a predefined folder stands only at the top of a list"},
      {"two files of one name",
       Project(", " + engine, in_programs + R"({"file": "files/Glimmora.exe"}, {"file": "files/gui/skin.ini",
        "name": "GLIMMORA.EXE"}]})"),
       {}, R"(p.json: lists[0].entries[0].entries[1].name: a second entry named "Glimmora.exe")"},
      {"misspelt key", Project(", " + engine, in_programs + R"({"folder": "G", "destinatonRoot": true}]})"), {},
       "p.json: lists[0].entries[0].entries[0].destinatonRoot: unknown key"},
      {"file named as dir", Project(", " + engine, in_programs + R"({"dir": "files/Glimmora.exe"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].dir: source "files/Glimmora.exe" is not a folder)"},
      {"dir named as file", Project(", " + engine, in_programs + R"({"file": "files/gui"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].file: source "files/gui" is a folder)"},
      {"no Common list",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "lists": [{"name": "English", "entries": []}]})", {},
       R"(p.json: lists: no list named "Common")"},
      {"language id out of range",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "project": {"languages": [{"name": "E", "id": 70000}]},
         "lists": [{"name": "Common"}]})",
       {}, "p.json: project.languages[0].id: expected a language id"},
      {"output over the engine", Project(", " + engine, ""), {"-o", (project / "engine.bin").string()},
       "-o: \"" + (project / "engine.bin").string() + "\" is the engine image"},
      {"device name", Project(", " + engine, in_programs + R"({"file": "files/Glimmora.exe", "name": "con.exe"}]})"),
       {}, R"(p.json: lists[0].entries[0].entries[0].name: "con.exe" cannot be a file name)"},
      {"device name as a folder", Project(", " + engine, in_programs + R"({"folder": "LPT1"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].folder: "LPT1" cannot be a file name)"},
      {"trailing dot", Project(", " + engine, in_programs + R"({"folder": "Glimmora."}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].folder: "Glimmora." cannot be a file name)"},
      {"name longer than a file name",
       Project(", " + engine, in_programs + R"({"file": "files/Glimmora.exe", "name": ")" + std::string(256, 'n') +
                                  R"("}]})"),
       {}, "p.json: lists[0].entries[0].entries[0].name: \"" + std::string(256, 'n') + "\" cannot be a file name"},
      {"control characters in a name are shown escaped",
       Project(", " + engine, in_programs + R"({"file": "files/\u001b]0;title\u0007.exe"}]})"), {},
       R"(p.json: lists[0].entries[0].entries[0].file: source "files/\x1B]0;title\x07.exe" does not exist)"},
      {"build log over a source",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "project": {"buildLog": "files/Glimmora.exe"},
         "lists": [{"name": "Common", "entries": [)" + in_programs + R"({"file": "files/Glimmora.exe"}]}]}]})",
       {}, "p.json: project.buildLog: \"" + (project / "files/Glimmora.exe").string() + "\" is a source file"},
      {"build log over the engine",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "project": {"buildLog": "engine.bin"},
         "lists": [{"name": "Common"}]})",
       {}, "p.json: project.buildLog: \"" + (project / "engine.bin").string() + "\" is the engine image"},
      {"build log over the project file",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "project": {"buildLog": "./p.json"},
         "lists": [{"name": "Common"}]})",
       {}, "p.json: project.buildLog: \"" + (project / "p.json").string() + "\" is the project file"},
      {"build log that is a folder",
       R"({"product": {"name": "G", "engine": "engine.bin"}, "project": {"buildLog": "files"},
         "lists": [{"name": "Common"}]})",
       {}, "p.json: project.buildLog: \"" + (project / "files").string() + "\" is a folder"},
  };
  const std::string engine_bytes = ReadText(project / "engine.bin");
  for (const auto& c : cases) {
    WriteText(project / "p.json", c.json);
    const fs::path package = dir_ / "out.exe";
    std::vector<std::string> args = {"build", (project / "p.json").string()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    if (std::find(c.extra.begin(), c.extra.end(), "-o") == c.extra.end()) {
      args.insert(args.end(), {"-o", package.string()});
    }
    const ToolRun run = Pack(args);
    EXPECT_EQ(run.code, 1) << c.what;
    EXPECT_EQ(Lines(run.err).size(), 1u) << c.what << ":\n" << run.err;
    EXPECT_EQ(run.err.rfind("glimmora-pack: ", 0), 0u) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << "\nwanted: " << c.message << "\ngot:    " << run.err;
    EXPECT_FALSE(fs::exists(package)) << c.what << ": nothing is written for a faulty project";
    EXPECT_EQ(ReadText(project / "engine.bin"), engine_bytes) << c.what;
    EXPECT_EQ(ReadText(project / "files/Glimmora.exe"), ReadText(kFixture / "files/Glimmora.exe")) << c.what;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << c.what << ": a terminal control reached the screen";
  }
}

TEST_F(PackToolTest, ExtractRefusesUnknownListsAndUnsafeInstallFolders) {
  const fs::path package = BuildFixture();
  const fs::path dest = dir_ / "machine";
  const struct {
    const char* list;
    const char* installFolder;  // null: the default
    const char* message;
  } cases[] = {
      {"French", nullptr,
       R"(extracting list "French" failed: EXTRACT_ERR_NOT_FOUND (1010), no extract list of that name; the package has "Common", "English")"},
      {"Common", "Program Files\\Glimmora", "--install-folder \"Program Files\\Glimmora\": expected a folder on a drive"},
      {"Common", "C:\\Apps\\..\\..\\..\\etc", "--install-folder \"C:\\Apps\\..\\..\\..\\etc\": expected"},
      {"Common", "\\\\server\\share", "--install-folder \"\\\\server\\share\": expected"},
      {"Common", "C:/Apps", "--install-folder \"C:/Apps\": expected"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"extract", package.string(), "--list", c.list, "--dest", dest.string()};
    if (c.installFolder != nullptr) args.insert(args.end(), {"--install-folder", c.installFolder});
    const ToolRun run = Pack(args);
    EXPECT_EQ(run.code, 1) << c.message;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
    EXPECT_TRUE(!fs::exists(dest) || FilesBelow(dest).empty()) << c.message;
  }
}

TEST_F(PackToolTest, DamagedOrMissingPackagesAreReportedNotCrashedOn) {
  WriteText(dir_ / "plain.bin", std::string(5000, 'x'));
  const fs::path package = BuildFixture();
  std::string text = ReadText(package);
  WriteText(dir_ / "short.exe", text.substr(0, text.size() - 3));  // the magic cut
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"list", (dir_ / "none.exe").string()}, "none.exe: no such file"},
      {{"verify", (dir_ / "none.exe").string()}, "none.exe: no such file"},
      {{"extract", (dir_ / "none.exe").string(), "--list", "Common", "--dest", (dir_ / "m").string()},
       "none.exe: no such file"},
      {{"list", (dir_ / "plain.bin").string()}, "plain.bin: not a package"},
      {{"verify", (dir_ / "plain.bin").string()}, "plain.bin: damaged trailer: EXTRACT_ERR_SIGNATURE (1001)"},
      {{"extract", (dir_ / "plain.bin").string(), "--list", "Common", "--dest", (dir_ / "m").string()},
       "plain.bin: cannot read the package: EXTRACT_ERR_SIGNATURE (1001)"},
      {{"verify", (dir_ / "short.exe").string()}, "short.exe: damaged trailer"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Pack(c.args);
    EXPECT_EQ(run.code, 1) << c.message;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
  }
}

TEST_F(PackToolTest, CommandLineMistakesGiveUsage) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{}, "usage: glimmora-pack build"},
      {{"pack", "x"}, "unknown command \"pack\""},
      {{"build", "p.json"}, "build: missing -o OUT"},
      {{"build", "p.json", "-o"}, "build: -o needs a value"},
      {{"build", "-o", "x.exe"}, "build: missing PROJECT.json"},
      {{"build", "p.json", "-o", "a", "-o", "b"}, "build: -o given twice"},
      {{"list", "a.exe", "b.exe"}, "list: one PKG only"},
      {{"verify", "a.exe", "--dest", "x"}, "verify: unknown option --dest"},
      {{"extract", "a.exe", "--list", "Common"}, "extract: missing --dest"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Pack(c.args);
    EXPECT_EQ(run.code, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
  }
  const ToolRun help = Pack({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("glimmora-pack extract PKG --list NAME --dest DIR"), std::string::npos);
}

}  // namespace

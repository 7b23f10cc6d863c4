// The generators of tools/resgen that turn the UTF-8 resource data into what
// the setup program carries, checked byte for byte on small inputs; and the
// tables that exist twice kept in step: the skin pictures (tools/resgen and
// glimmora-skingen) and the dialog layouts (setup/resources/
// dialog_templates.tsv and dialogs/templates.md).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "support/test_support.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(GLIMMORA_FIXTURE_DIR).parent_path().parent_path();
const fs::path kResgen = kRoot / "tools" / "resgen";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// What a generator should write for `utf8`: a byte-order mark and UTF-16LE.
std::string Utf16Le(const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : platform::FromUtf8(utf8)) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string Hex(const std::string& bytes) {
  return testing_support::ToHex(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

class ResourceGenerators : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "glimmora-resgen-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Runs a program with its output in files; its exit code, -1 if it did not exit.
  int Run(std::vector<std::string> args) {
    const std::string out = (dir_ / "output.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << args[0];
      return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    output_ = ReadText(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Python(const std::string& script, std::vector<std::string> args) {
    args.insert(args.begin(), {"python3", (kResgen / script).string()});
    return Run(args);
  }

  fs::path dir_;
  std::string output_;
};

TEST_F(ResourceGenerators, SkinDescriptionIsUtf16WithCrLfAndTheOverridesApplied) {
  const std::string english =
      "[DialogRepair]\nTHIS=zcut_03.bmp,,0,0,457,526,0\n1021=graphics,a.png,Minimize,390,8,,,\n\n"
      "[DialogWizard]\n1021=graphics,a.png,Minimize,390,8,,,\n1=char,b.png,,,245,470,\n";
  struct Case {
    const char* name;
    const char* overrides;  // nullptr: English, which has none
    std::string expected;   // UTF-8 with LF
  } cases[] = {
      {"English as it is", nullptr, english},
      {"tooltip and x of one section only",
       "# comment\nDialogWizard\t1021\tgraphics,a.png,最小化,380,8,,,\nDialogWizard\t1\tchar,b.png,,,239,470,\n",
       "[DialogRepair]\nTHIS=zcut_03.bmp,,0,0,457,526,0\n1021=graphics,a.png,Minimize,390,8,,,\n\n"
       "[DialogWizard]\n1021=graphics,a.png,最小化,380,8,,,\n1=char,b.png,,,239,470,\n"},
      {"escapes of the data", "DialogRepair\t1021\tgraphics,a.png,Schlie\\\\ßen,390,8,,,\n",
       "[DialogRepair]\nTHIS=zcut_03.bmp,,0,0,457,526,0\n1021=graphics,a.png,Schlie\\ßen,390,8,,,\n\n"
       "[DialogWizard]\n1021=graphics,a.png,Minimize,390,8,,,\n1=char,b.png,,,245,470,\n"},
  };
  WriteText(dir_ / "English.ini", english);
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--english", (dir_ / "English.ini").string(), "-o", (dir_ / "out.ini").string()};
    if (c.overrides) {
      WriteText(dir_ / "Lang.overrides", c.overrides);
      args.insert(args.end(), {"--overrides", (dir_ / "Lang.overrides").string()});
    }
    ASSERT_EQ(Python("make_skin_ini.py", args), 0) << c.name << ": " << output_;
    std::string crlf;
    for (char ch : c.expected) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(Hex(ReadText(dir_ / "out.ini")), Hex(Utf16Le(crlf))) << c.name;
  }
  // The exact start and end: byte-order mark, "[D", and the final CR LF.
  const std::string bytes = ReadText(dir_ / "out.ini");
  EXPECT_EQ(Hex(bytes.substr(0, 6)), "FF FE 5B 00 44 00");
  EXPECT_EQ(Hex(bytes.substr(bytes.size() - 4)), "0D 00 0A 00");
}

TEST_F(ResourceGenerators, SkinOverrideOfAKeyEnglishLacksFailsTheBuild) {
  WriteText(dir_ / "English.ini", "[DialogWizard]\n1021=graphics,a.png,Minimize,390,8,,,\n");
  const char* bad[] = {"DialogWizard\t1022\tx\n", "DialogRepair\t1021\tx\n", "DialogWizard\t1021\n"};
  for (const char* overrides : bad) {
    WriteText(dir_ / "Lang.overrides", overrides);
    EXPECT_EQ(Python("make_skin_ini.py", {"--english", (dir_ / "English.ini").string(), "--overrides",
                                          (dir_ / "Lang.overrides").string(), "-o", (dir_ / "bad.ini").string()}),
              1)
        << overrides;
    EXPECT_NE(output_.find("Lang.overrides:1"), std::string::npos) << output_;
    EXPECT_FALSE(fs::exists(dir_ / "bad.ini"));
  }
}

TEST_F(ResourceGenerators, LicenceIsUtf16WithCrLfEndingInCrLf) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\n", "FF FE 61 00 0D 00 0A 00"},
      {"a", "FF FE 61 00 0D 00 0A 00"},  // a missing final line feed is added
      {"\n", "FF FE 0D 00 0A 00"},
      {"A\n\n\xC3\x84 \xE5\x85\xB3\n", "FF FE 41 00 0D 00 0A 00 0D 00 0A 00 C4 00 20 00 73 51 0D 00 0A 00"},
  };
  for (const auto& [source, expected] : cases) {
    WriteText(dir_ / "licence.txt", source);
    ASSERT_EQ(Python("make_licence.py", {(dir_ / "licence.txt").string(), (dir_ / "licence.out").string()}), 0)
        << output_;
    EXPECT_EQ(Hex(ReadText(dir_ / "licence.out")), expected) << Hex(source);
  }
}

// The setup program's table of skin pictures and the painter's must agree,
// or the program would carry a picture under the wrong id.
TEST_F(ResourceGenerators, SkinPictureTableMatchesThePainter) {
  ASSERT_EQ(Run({(fs::path(GLIMMORA_OUT_DIR) / "glimmora-skingen").string(), "--list"}), 0) << output_;
  std::vector<std::string> painted;
  for (const std::string& line : Lines(output_)) {
    std::istringstream in(line);
    std::string id, file;
    in >> id >> file;
    painted.push_back(id + "\t" + file);
  }
  ASSERT_FALSE(painted.empty());
  EXPECT_EQ(Lines(ReadText(kResgen / "skin_images.tsv")), painted);
}

// dialog_templates.tsv is what the build reads, dialogs/templates.md what
// people read: the templates, their sizes, and each control's id, class and
// place agree.
TEST_F(ResourceGenerators, DialogTemplateTableMatchesTheReadableLayout) {
  const fs::path dialogs = kRoot / "setup" / "resources" / "dialogs";
  std::vector<std::string> from_tsv;
  for (const std::string& line : Lines(ReadText(kRoot / "setup" / "resources" / "dialog_templates.tsv"))) {
    const std::vector<std::string> f = Fields(line);
    if (f.at(0) == "dialog") {
      from_tsv.push_back("dialog " + f.at(1) + " " + f.at(2) + "x" + f.at(3));
    } else {
      from_tsv.push_back(f.at(2) + " " + f.at(3) + " " + f.at(4) + "," + f.at(5) + "," + f.at(6) + "," + f.at(7));
    }
  }
  ASSERT_FALSE(from_tsv.empty());
  const std::regex heading(R"(^## (\d+) )");
  const std::regex size(R"((\d+) × (\d+))");
  const std::regex row(R"(^\| (-?\d+)[^|]*\| (\w+) \|[^|]*\| (\d+) \| (\d+) \| (\d+)[^|]*\| (\d+)[^|]*\|)");
  std::vector<std::string> from_md;
  std::string pending;  // a heading whose size line is still to come
  std::istringstream md(ReadText(dialogs / "templates.md"));
  std::smatch m;
  for (std::string line; std::getline(md, line);) {
    if (std::regex_search(line, m, heading)) {
      pending = m[1];
    } else if (!pending.empty() && std::regex_search(line, m, size)) {
      from_md.push_back("dialog " + pending + " " + m[1].str() + "x" + m[2].str());
      pending.clear();
    } else if (std::regex_search(line, m, row)) {
      from_md.push_back(m[1].str() + " " + m[2].str() + " " + m[3].str() + "," + m[4].str() + "," + m[5].str() +
                        "," + m[6].str());
    }
  }
  EXPECT_EQ(from_tsv, from_md);
}

}  // namespace

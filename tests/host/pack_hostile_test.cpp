// glimmora-pack given packages that anyone may have made: names that lead
// out of --dest, links planted in it, index streams and trees that would
// take gigabytes, and names that would put controls on the user's terminal.
// Each ends in a clear error, writes nothing outside --dest, and prints no
// control character.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <set>
#include <string>
#include <vector>

#include "build/mybuild.h"
#include "build/packageformat.h"
#include "install/projectloader.h"
#include "platform/file.h"
#include "platform/text.h"
#include "support/entries.h"
#include "support/pack_run.h"
#include "support/scratch.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kFixture = fs::path(GLIMMORA_FIXTURE_DIR) / "pack";

// A Windows path's own text as a name, each '/' of it a '\': "\\tmp\x\y"
// for "/tmp/x/y".
std::u16string Backslashed(const std::string& host) {
  std::u16string text = platform::FromUtf8(host);
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
  }
  return text;
}

Bytes Deflated(const Bytes& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9), Z_OK);
  packed.resize(size);
  return packed;
}

// A package made by hand: an image, `index` as the one stream, and a table
// row that says the index is `unpacked` bytes and calls it `name`.
Bytes HandMadePackage(const Bytes& index, uint32_t unpacked, const std::u16string& name = u"QivD1.tmp") {
  Bytes package = FakeImage(1000);
  const Bytes stream = Deflated(index);
  PackageTable table;
  table.count = 1;
  table.rows[0].name = name;
  table.rows[0].offset = static_cast<uint32_t>(package.size());
  table.rows[0].packedSize = static_cast<uint32_t>(stream.size());
  table.rows[0].unpackedSize = unpacked;
  package.insert(package.end(), stream.begin(), stream.end());
  const Bytes trailer = EncodePackageTrailer(table);
  package.insert(package.end(), trailer.begin(), trailer.end());
  return package;
}

class PackHostile : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(PackTool())) << PackTool() << " is missing: build the glimmora-pack target";
    dir_ = ScratchFolder("pack_hostile");
    host_ = fs::u8path(platform::HostPath(dir_));
    fs::create_directories(host_ / "run");
    WriteFileBytes(dir_ + u"engine.exe", FakeImage(2000));
    WriteFileBytes(dir_ + u"a.txt", PatternBytes(300, 1));
  }

  ToolRun Pack(const std::vector<std::string>& args, const std::vector<std::string>& environment = {}) {
    return RunPack(host_ / "run", args, environment);
  }

  // Builds a package whose one list, Common, has the tree `fill` makes below
  // a destination-computer root; its host path.
  fs::path Build(const std::function<void(CNode* root)>& fill, const std::u16string& product = u"Glimmora") {
    CInstallProject project;
    project.GetProductInfo().SetName(product);
    project.GetProductInfo().SetEngineFile(dir_ + u"engine.exe");
    auto list = std::make_shared<CExtractFileList>(u"Common");
    CNode* root = list->GetTree().GetRoot();
    root->SetData(MakeDestinationComputerEntry());
    fill(root);
    project.GetExtractLists().push_back(list);
    CMyBuild builder;
    builder.SetProject(&project);
    EXPECT_EQ(builder.BuildPackage(dir_ + u"hostile.exe", nullptr, nullptr), EXTRACT_OK);
    return host_ / "hostile.exe";
  }

  fs::path Write(const Bytes& bytes) {
    WriteFileBytes(dir_ + u"hostile.exe", bytes);
    return host_ / "hostile.exe";
  }

  // A file of the scratch folder to pack.
  std::shared_ptr<CZipFileIndexObject> File(const std::u16string& name) { return FileEntry(dir_ + u"a.txt", name); }

  // The files of the scratch folder outside --dest and the tool's output.
  std::set<std::string> Outside() {
    std::set<std::string> files;
    for (const std::string& file : FilesBelow(host_)) {
      if (file.rfind("machine/", 0) != 0 && file.rfind("run/", 0) != 0) files.insert(file);
    }
    return files;
  }

  fs::path Dest() const { return host_ / "machine"; }

  std::u16string dir_;
  fs::path host_;
};

TEST_F(PackHostile, NamesThatLeaveTheirFolderAreRefusedByVerifyAndExtract) {
  const std::u16string share = u"\\" + Backslashed(host_.string());  // "\\tmp\...": this very folder
  const auto in_product = [this](CNode* root) {
    return root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"))->AddChild(FolderEntry(u"Glimmora", true));
  };
  const struct {
    const char* label;
    std::function<void(CNode* root)> fill;
    std::vector<std::string> refused;  // how each refused entry is named
  } cases[] = {
      {"a drive and parent names as a folder below the root",
       [&](CNode* root) { root->AddChild(FolderEntry(u"C:\\..\\.."))->AddChild(File(u"escaped.txt")); },
       {"Common:C:\\..\\..", "Common:C:\\..\\..\\escaped.txt"}},
      {"a share as a folder below the root",
       [&](CNode* root) { root->AddChild(FolderEntry(share))->AddChild(File(u"escaped.txt")); },
       {"Common:" + platform::ToUtf8(share), "Common:" + platform::ToUtf8(share) + "\\escaped.txt"}},
      {"a parent folder below the destination root",
       [&](CNode* root) { in_product(root)->AddChild(FolderEntry(u".."))->AddChild(File(u"escaped.txt")); },
       {"Common:[ProgramFilesFolder]\\Glimmora\\..", "Common:[ProgramFilesFolder]\\Glimmora\\..\\escaped.txt"}},
      {"a root that is a folder with a path for a name",
       [&](CNode* root) {
         root->SetData(FolderEntry(u"C:\\..\\.."));
         root->AddChild(FolderEntry(u"x"))->AddChild(File(u"escaped.txt"));
       },
       {"the root of list Common", "Common:x", "Common:x\\escaped.txt"}},
      {"a predefined folder below a folder",
       [&](CNode* root) { in_product(root)->AddChild(PredefinedEntry(u"[SystemFolder]"))->AddChild(File(u"x.dll")); },
       {"Common:[ProgramFilesFolder]\\Glimmora\\[SystemFolder]\\x.dll"}},
      {"device names, a trailing dot, a wildcard and half a surrogate pair",
       [&](CNode* root) {
         CNode* product = in_product(root);
         for (const std::u16string& name : {std::u16string(u"CON"), std::u16string(u"aux.txt"),
                                            std::u16string(u"readme."), std::u16string(u"a*b"),
                                            std::u16string(u"x") + char16_t{0xD800}}) {
           product->AddChild(File(name));
         }
         product->AddChild(File(u"fine.txt"));
       },
       {"Common:[ProgramFilesFolder]\\Glimmora\\CON", "Common:[ProgramFilesFolder]\\Glimmora\\aux.txt",
        "Common:[ProgramFilesFolder]\\Glimmora\\readme.", "Common:[ProgramFilesFolder]\\Glimmora\\a*b",
        "Common:[ProgramFilesFolder]\\Glimmora\\x\xEF\xBF\xBD"}},
      {"two files whose names differ in case",
       [&](CNode* root) {
         CNode* product = in_product(root);
         product->AddChild(File(u"Glimmora.exe"));
         product->AddChild(File(u"GLIMMORA.EXE"));
       },
       {"Common:[ProgramFilesFolder]\\Glimmora\\GLIMMORA.EXE: a second entry named \"Glimmora.exe\""}},
      {"two files whose names differ in the case of an accented letter",
       [&](CNode* root) {
         CNode* product = in_product(root);
         product->AddChild(File(u"\u00E9t\u00E9.txt"));
         product->AddChild(File(u"\u00C9T\u00C9.txt"));
       },
       {"Common:[ProgramFilesFolder]\\Glimmora\\\xC3\x89T\xC3\x89.txt: a second entry"}},
  };
  for (const auto& c : cases) {
    std::error_code ignored;
    fs::remove_all(Dest(), ignored);
    const fs::path package = Build(c.fill);
    const std::set<std::string> before = Outside();

    const ToolRun verify = Pack({"verify", package.string()});
    EXPECT_EQ(verify.code, 1) << c.label << "\n" << verify.out << verify.err;
    const ToolRun extract = Pack({"extract", package.string(), "--list", "Common", "--dest", Dest().string()});
    EXPECT_EQ(extract.code, 1) << c.label << "\n" << extract.out << extract.err;
    for (const std::string& entry : c.refused) {
      EXPECT_NE(verify.err.find("unsafe entry " + entry), std::string::npos) << c.label << ": " << entry << "\n" << verify.err;
      EXPECT_NE(extract.err.find("unsafe entry " + entry), std::string::npos) << c.label << ": " << entry << "\n" << extract.err;
    }
    EXPECT_EQ(Lines(verify.err).size(), c.refused.size()) << c.label << ": every refused entry, once\n" << verify.err;
    EXPECT_NE(extract.err.find("nothing was written"), std::string::npos) << c.label << "\n" << extract.err;
    EXPECT_TRUE(FilesBelow(Dest()).empty()) << c.label;
    EXPECT_EQ(Outside(), before) << c.label;
  }
}

// Links that someone placed in --dest before the extraction: the extraction
// writes none of its files through them, whichever way it avoids them.
TEST_F(PackHostile, LinksAlreadyInDestAreNotFollowed) {
  const fs::path package = host_ / "fixture.exe";
  ASSERT_EQ(Pack({"build", (kFixture / "glimmora.json").string(), "-o", package.string()}).code, 0);
  const fs::path victim = host_ / "victim.txt";
  const fs::path outside = host_ / "outside";
  const fs::path product = Dest() / "C/Program Files/Glimmora";
  const struct {
    const char* label;
    std::function<void()> plant;
    bool refused;       // the tool must stop; otherwise it may also put a file in the link's place
    const char* named;  // the target a refusal names
  } cases[] = {
      {"a link in a file's place", [&] { fs::create_symlink(victim, product / "Glimmora.exe"); }, false,
       "C:\\Program Files\\Glimmora\\Glimmora.exe"},
      {"a second hard link of an outside file in a file's place",
       [&] { fs::create_hard_link(victim, product / "Glimmora.exe"); }, false,
       "C:\\Program Files\\Glimmora\\Glimmora.exe"},
      {"a link in a folder's place", [&] { fs::create_directory_symlink(outside, product / "gui"); }, true,
       "C:\\Program Files\\Glimmora\\gui\\skin.ini"},
      {"a link in the drive's place",
       [&] {
         fs::remove_all(Dest() / "C");
         fs::create_directory_symlink(outside, Dest() / "C");
       },
       true, "C:\\Program Files\\Glimmora\\Glimmora.exe"},
  };
  for (const auto& c : cases) {
    std::error_code ignored;
    fs::remove_all(Dest(), ignored);
    fs::remove_all(outside, ignored);
    fs::create_directories(product);
    fs::create_directories(outside);
    WriteText(victim, "victim");
    c.plant();

    const ToolRun run = Pack({"extract", package.string(), "--list", "Common", "--dest", Dest().string()});
    EXPECT_EQ(ReadText(victim), "victim") << c.label;
    EXPECT_TRUE(fs::is_empty(outside)) << c.label;
    if (c.refused) {
      EXPECT_EQ(run.code, 1) << c.label;
    }
    if (run.code == 0) {
      const fs::path placed = product / "Glimmora.exe";
      EXPECT_FALSE(fs::is_symlink(placed)) << c.label;
      EXPECT_EQ(ReadText(placed), ReadText(kFixture / "files/Glimmora.exe")) << c.label;
    } else {
      EXPECT_NE(run.err.find(std::string("cannot write ") + c.named), std::string::npos) << c.label << "\n" << run.err;
      EXPECT_NE(run.err.find("(error "), std::string::npos) << c.label << ": the system's reason\n" << run.err;
    }
  }
}

// An index that would take gigabytes, or that the setup program would
// inflate outside its temporary folder, is a damaged package to every
// command, found without filling memory or the temporary folder.
TEST_F(PackHostile, IndexesBeyondTheirBoundsAreDamagedPackages) {
  CInstallProject empty_nodes;
  auto list = std::make_shared<CExtractFileList>(u"Common");
  for (int i = 0; i < 200000; ++i) list->GetTree().GetRoot()->AddChild(std::make_unique<CNode>());
  empty_nodes.GetExtractLists().push_back(list);
  const Bytes node_bomb = StoreProject(empty_nodes);
  const Bytes sound = StoreProject(CInstallProject());

  const struct {
    const char* label;
    Bytes package;
    const char* message;
  } cases[] = {
      {"an index that inflates past its table row", HandMadePackage(Bytes(16 << 20, 0), 1000), "1000 bytes"},
      {"a table row larger than any index", HandMadePackage(Bytes(1000, 0), 100u << 20),
       "the table gives the index 104857600 bytes, more than the 67108864 an index may have"},
      {"a wide tree of empty nodes", HandMadePackage(node_bomb, static_cast<uint32_t>(node_bomb.size())),
       "more objects than"},
      {"an index named with a path, which the setup program would inflate to",
       HandMadePackage(sound, static_cast<uint32_t>(sound.size()), u"..\\..\\index.tmp"), "not a plain file name"},
  };
  const fs::path temp = host_ / "tmp";
  for (const auto& c : cases) {
    const fs::path package = Write(c.package);
    fs::create_directories(temp);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", package.string()}, std::vector<std::string>{"verify", package.string()},
          std::vector<std::string>{"extract", package.string(), "--list", "Common", "--dest", Dest().string()}}) {
      const ToolRun run = Pack(args, {"TMPDIR=" + temp.string()});
      EXPECT_EQ(run.code, 1) << c.label << ": " << args[0];
      EXPECT_NE(run.err.find(c.message), std::string::npos) << c.label << ": " << args[0] << "\n" << run.err;
      EXPECT_TRUE(fs::is_empty(temp)) << c.label << ": " << args[0] << " left files in the temporary folder";
    }
  }
}

// A source that turns into a FIFO after the packer's checks: the builder
// refuses it instead of waiting for someone to write to it.
TEST_F(PackHostile, ASourceThatIsAFifoFailsTheBuildAtOnce) {
  const std::string fifo = platform::HostPath(dir_ + u"source.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CInstallProject project;
  MakeOneFileProject(project, dir_ + u"engine.exe", dir_ + u"source.fifo", u"Glimmora.exe");
  CMyBuild builder;
  builder.SetProject(&project);
  auto built = std::async(std::launch::async, [&] { return builder.BuildPackage(dir_ + u"setup.exe", nullptr, nullptr); });
  if (built.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "the build waits on the FIFO";
    const int release = ::open(fifo.c_str(), O_RDWR);  // the other end, so that the build can end
    built.wait();
    ::close(release);
    return;
  }
  EXPECT_EQ(built.get(), BUILD_ERR_SOURCE);
}

// Names, list names, product records and index errors come from the
// package: what the tool prints of them has its control characters escaped.
TEST_F(PackHostile, ControlCharactersFromThePackageAreShownEscaped) {
  const std::u16string title = u"\u001B]0;pwned\u0007";
  const fs::path package = Build(
      [&](CNode* root) {
        root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"))
            ->AddChild(FolderEntry(u"Glimmora", true))
            ->AddChild(File(title + u"\u009B31m.txt"));
      },
      u"Glim\u001B[2Jmora\nall sound");
  const fs::path damaged = host_ / "damaged.exe";
  {
    // The same package with a class name in its index that holds a control sequence.
    std::string bytes = ReadText(package);
    PackageTable table;
    platform::File file = platform::File::Open(dir_ + u"hostile.exe", platform::OpenMode::kReadShared);
    ASSERT_EQ(ReadPackageTrailer(file, &table, nullptr), EXTRACT_OK);
    Bytes index(table.rows[0].unpackedSize);
    uLongf size = index.size();
    ASSERT_EQ(uncompress(index.data(), &size, reinterpret_cast<const Bytef*>(bytes.data()) + table.rows[0].offset,
                         table.rows[0].packedSize),
              Z_OK);
    std::string text(index.begin(), index.end());
    const size_t at = text.find("CExtractFileList");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 16, "C\x1B[31mtrFileList");
    const Bytes evil = HandMadePackage(Bytes(text.begin(), text.end()), static_cast<uint32_t>(text.size()));
    WriteText(damaged, std::string(evil.begin(), evil.end()));
  }
  const struct {
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {{"list", package.string()}, "\\x1B]0;pwned\\x07\\u009B31m.txt"},
      {{"list", package.string()}, "product: Glim\\x1B[2Jmora\\x0Aall sound"},
      {{"verify", package.string()}, "\\x1B]0;pwned\\x07\\u009B31m.txt"},
      {{"extract", package.string(), "--list", "Common", "--dest", Dest().string()},
       "the product name \"Glim\\x1B[2Jmora\\x0Aall sound\""},
      {{"extract", package.string(), "--list", "Common", "--dest", Dest().string(), "--install-folder", "D:\\App"},
       "\\x1B]0;pwned\\x07\\u009B31m.txt"},
      {{"list", damaged.string()}, "unknown class \"C\\x1B[31mtrFileList\""},
      {{"verify", damaged.string()}, "unknown class \"C\\x1B[31mtrFileList\""},
      {{"extract", damaged.string(), "--list", "Common", "--dest", Dest().string()},
       "unknown class \"C\\x1B[31mtrFileList\""},
  };
  for (const auto& c : cases) {
    const ToolRun run = Pack(c.args);
    const std::string all = run.out + run.err;
    EXPECT_NE(all.find(c.shown), std::string::npos) << c.args[0] << ": " << c.shown << "\n" << all;
    for (const char* control : {"\x1B", "\x07", "\xC2\x9B"}) {
      EXPECT_EQ(all.find(control), std::string::npos) << c.args[0] << " printed a control character\n" << all;
    }
    EXPECT_EQ(all.find("\nall sound"), std::string::npos) << c.args[0] << ": a name made a line of its own";
  }
}

}  // namespace

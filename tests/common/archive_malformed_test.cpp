// Damaged and hostile archives: every one ends in one archive error, never a
// crash, a hang or an allocation sized by an unchecked length.
#include <gtest/gtest.h>

#include "install/projectloader.h"
#include "support/archive_bytes.h"
#include "support/sample_project.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kLoaded = -1;

int LoadCause(const Bytes& bytes) {
  try {
    LoadObject(bytes);
    return kLoaded;
  } catch (const CArchiveException& e) {
    return e.GetCause();
  }
}

const Bytes kStreamFields = Cat({Str(""), U32(1), U32(0)});
// A component with `inner` as its one dialog object.
Bytes ComponentHolding(const Bytes& inner) {
  return Cat({NewClass("CInstallCompent"), kStreamFields, Str(""), Str(""), U32(0), U16(1), inner});
}

struct BadCase {
  const char* label;
  Bytes bytes;
  CArchiveException::Cause cause;
};

TEST(ArchiveMalformed, EachDamageRaisesItsError) {
  using E = CArchiveException;
  Bytes inner = Cat({U16(0x8001), kStreamFields, Str(""), Str(""), U32(0), U16(0)});
  for (int i = 0; i < 300; ++i) inner = Cat({U16(0x8001), kStreamFields, Str(""), Str(""), U32(0), U16(1), inner});
  const Bytes deep = ComponentHolding(inner);
  const BadCase cases[] = {
      {"empty input", {}, E::kEndOfFile},
      {"half a tag", Hex("FF"), E::kEndOfFile},
      {"class record cut in its name", Hex("FF FF 00 00 0D 00 43 53 74"), E::kEndOfFile},
      {"unknown class", Cat({NewClass("CNoSuchClass"), kStreamFields}), E::kBadClass},
      {"platform base is not creatable", NewClass("CObject"), E::kBadClass},
      {"class name of length 0", Hex("FF FF 00 00 00 00"), E::kBadClass},
      {"class name longer than any class", Cat({Hex("FF FF 00 00 00 10"), Bytes(0x1000, 'A')}), E::kBadClass},
      {"schema 1", Cat({Hex("FF FF 01 00 0D 00"), Bytes{'C', 'S', 't', 'r', 'e', 'a', 'm', 'O', 'b', 'j', 'e', 'c', 't'}, kStreamFields}), E::kBadSchema},
      {"object index never given", Hex("05 00"), E::kBadIndex},
      {"class index never given", Hex("05 80"), E::kBadIndex},
      {"class index 0", Hex("00 80"), E::kBadIndex},
      {"big tag with a bad class", Hex("FF 7F 09 00 00 80"), E::kBadIndex},
      {"big tag with a bad object", Hex("FF 7F 09 00 00 00"), E::kBadIndex},
      {"object index that names a class", ComponentHolding(U16(0x0001)), E::kBadIndex},
      {"class index that names an object", ComponentHolding(U16(0x8002)), E::kBadIndex},
      {"object that contains itself", ComponentHolding(U16(0x0002)), E::kBadIndex},
      {"null in a list", ComponentHolding(U16(0x0000)), E::kBadIndex},
      {"list of wrong class", ComponentHolding(Cat({NewClass("CPreLang"), Str(""), U32(0)})), E::kBadClass},
      {"list count larger than the input", Cat({NewClass("CInstallCompent"), kStreamFields, Str(""), Str(""), U32(0), Hex("FF FF FF FF FF 7F")}), E::kBadLength},
      {"string longer than the input", Cat({NewClass("CPreLang"), Hex("FF FE FF FF FF FF FF FF FF 7F"), U32(0)}), E::kBadLength},
      {"8-bit string longer than the input", Cat({NewClass("CPreLang"), Hex("FF 00 10 41")}), E::kBadLength},
      {"registry data larger than the input", Cat({NewClass("CRegistryValue"), Str("K"), Str("V"), U32(0xFFFFFFF0), U32(3), U32(0), U32(0), Hex("01 02")}), E::kBadLength},
      {"registry data one byte short", Cat({NewClass("CRegistryValue"), Str("K"), Str("V"), U32(3), U32(3), U32(0), U32(0), Hex("01 02")}), E::kBadLength},
      {"language count larger than the input", Cat({NewClass("CLangSelect"), kStreamFields, U32(0x40000000), U32(0x0409)}), E::kBadLength},
      {"tree child count larger than the input", Cat({NewClass("CExtractFileList"), Str(""), U32(0), U16(0), U32(0x7FFFFFFF)}), E::kBadLength},
      {"tree node of the wrong class", Cat({NewClass("CExtractFileList"), Str(""), U32(0), NewClass("CPreLang"), Str(""), U32(0), U32(0)}), E::kBadClass},
      {"components nested 300 deep", deep, E::kTooDeep},
  };
  for (const BadCase& c : cases) {
    EXPECT_EQ(LoadCause(c.bytes), c.cause) << c.label;
  }
}

TEST(ArchiveMalformed, DeepTreesAreRefusedBeforeTheStackRunsOut) {
  // 100000 nested folders, each a null node with one child.
  Bytes bytes = Cat({NewClass("CExtractFileList"), Str(""), U32(0)});
  const Bytes level = Cat({U16(0), U32(1)});
  for (int i = 0; i < 100000; ++i) bytes.insert(bytes.end(), level.begin(), level.end());
  bytes.insert(bytes.end(), {0, 0, 0, 0, 0, 0});
  EXPECT_EQ(LoadCause(bytes), CArchiveException::kTooDeep);
}

// Six bytes make an empty tree node, which takes some hundred bytes in
// memory: the number of objects an input makes is bounded by its size.
TEST(ArchiveMalformed, WideTreesOfEmptyNodesAreBoundedByTheInputSize) {
  const auto WideTree = [](uint32_t children) {
    Bytes bytes = Cat({NewClass("CExtractFileList"), Str(""), U32(0), U16(0), U32(children)});
    bytes.resize(bytes.size() + 6 * size_t{children}, 0);
    return bytes;
  };
  EXPECT_EQ(LoadCause(WideTree(1000)), kLoaded) << "a small tree of empty nodes is still a tree";
  EXPECT_EQ(LoadCause(WideTree(100000)), CArchiveException::kBadLength);
  try {
    LoadObject(WideTree(100000));
  } catch (const CArchiveException& e) {
    EXPECT_NE(std::string(e.what()).find("more objects than"), std::string::npos) << e.what();
  }
}

TEST(ArchiveMalformed, EveryTruncationOfARealProjectFailsCleanly) {
  const Bytes bytes = StoreProject(*MakeEveryClassProject());
  for (size_t size = 0; size < bytes.size(); ++size) {
    CInstallProject project;
    ProjectLoadResult result = LoadProject(bytes.data(), size, project);
    ASSERT_FALSE(result.ok) << "a project cut at " << size << " loaded";
    ASSERT_FALSE(result.error.empty());
    // A failed load leaves nothing half-loaded behind.
    ASSERT_TRUE(project.GetExtractLists().empty());
  }
}

TEST(ArchiveMalformed, BytesAfterTheProjectAreAnError) {
  Bytes bytes = StoreProject(CInstallProject());
  bytes.push_back(0);
  CInstallProject project;
  ProjectLoadResult result = LoadProject(bytes.data(), bytes.size(), project);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("after the project"), std::string::npos) << result.error;
}

TEST(ArchiveMalformed, MissingFileIsAFailureNotACrash) {
  CInstallProject project;
  ProjectLoadResult result = LoadProjectFile(FixturePath("no_such_index.idx"), project);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("cannot open"), std::string::npos);
}

}  // namespace

// The portable skin core: the description's line grammar and how sections
// are read, display scaling, the drawn controls' arithmetic, window shapes
// from mask pictures, and picture kinds by name. Sections are read through
// the platform layer, so under Wine these tests also check the system's
// profile calls against the same expectations as the host's reader.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/text.h"
#include "skin/core/controlmath.h"
#include "skin/core/imagefile.h"
#include "skin/core/maskruns.h"
#include "skin/core/scale.h"
#include "skin/core/skindescription.h"
#include "skin/core/skinline.h"
#include "support/scratch.h"

namespace {

using Columns = std::vector<std::u16string>;

std::string Utf8(const std::u16string& text) { return platform::ToUtf8(text); }

// ---------------------------------------------------------------------------
// The line grammar

TEST(SkinLine, ColumnsKeepTheirPlaces) {
  const struct {
    std::u16string value;
    Columns columns;
  } cases[] = {
      {u"", {}},
      {u"a", {u"a"}},
      {u"a,,b", {u"a", u"", u"b"}},
      {u",a", {u"", u"a"}},
      {u",,a", {u"", u"", u"a"}},
      {u"a,", {u"a"}},
      {u"a,,", {u"a", u""}},
      {u",", {u""}},
      {u" a , b ", {u" a ", u" b "}},
      {u"left.bmp,,0,0,149,314,0", {u"left.bmp", u"", u"0", u"0", u"149", u"314", u"0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(skin::SplitColumns(c.value), c.columns) << Utf8(c.value);
}

TEST(SkinLine, ProgressLineHasAnEmptyFirstColumn) {
  const Columns columns =
      skin::SplitColumns(u",jindutiao_dingtiao.png,jindutiao_ditiao.png,10,230,nlvf_05_bg.bmp");
  ASSERT_EQ(columns.size(), 6u);
  EXPECT_EQ(columns[0], u"");
  EXPECT_EQ(columns[1], u"jindutiao_dingtiao.png");  // the fill picture
  EXPECT_EQ(columns[2], u"jindutiao_ditiao.png");
  EXPECT_EQ(skin::ReadNumber(columns[3]), 10);
  EXPECT_EQ(skin::ReadNumber(columns[4]), 230);
  EXPECT_EQ(columns[5], u"nlvf_05_bg.bmp");
}

TEST(SkinLine, NumbersReadAsTheFilesWereWritten) {
  const struct {
    std::u16string text;
    int number;
  } cases[] = {
      {u"12", 12},
      {u" 12", 12},
      {u"\t 12", 12},
      {u"-3", -3},
      {u"+7", 7},
      {u"007", 7},
      {u"12px", 12},
      {u"12 13", 12},
      {u"x", 0},
      {u"x12", 0},
      {u"", 0},
      {u"-", 0},
      {u"+-3", 0},
      {u"- 3", 0},
      {u"2147483647", INT_MAX},
      {u"2147483648", INT_MAX},
      {u"-2147483648", INT_MIN},
      {u"-2147483649", INT_MIN},
      {u"99999999999999999999999999", INT_MAX},
      {u"-99999999999999999999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(skin::ReadNumber(c.text), c.number) << Utf8(c.text);
}

TEST(SkinLine, PicturePathMustFitTheBuffer) {
  const std::u16string folder = u"C:\\Program Files\\Glimmora\\skin\\";
  const std::u16string fits(skin::kMaxSkinPath - folder.size(), u'a');

  std::u16string path = u"left over";
  EXPECT_TRUE(skin::JoinPicturePath(folder, fits, &path));
  EXPECT_EQ(path, folder + fits);
  EXPECT_EQ(path.size(), skin::kMaxSkinPath);

  path = u"left over";
  EXPECT_FALSE(skin::JoinPicturePath(folder, fits + u"a", &path));
  EXPECT_EQ(path, u"");

  EXPECT_TRUE(skin::JoinPicturePath(folder, u"zcut_03.bmp", &path));
  EXPECT_EQ(path, u"C:\\Program Files\\Glimmora\\skin\\zcut_03.bmp");
  EXPECT_FALSE(skin::JoinPicturePath(folder, u"zcut_03.bmp", nullptr));
}

// ---------------------------------------------------------------------------
// The description's records

TEST(SkinDescription, SettersRefuseEmptyAndKeepTheOldValue) {
  const struct {
    const char* what;
    int (CCtrSkin::*set)(const std::u16string&);
    std::u16string (CCtrSkin::*get)() const;
  } fields[] = {
      {"key", &CCtrSkin::SetKey, &CCtrSkin::GetKey},
      {"value", &CCtrSkin::SetValue, &CCtrSkin::GetValue},
      {"extra", &CCtrSkin::SetExtra, &CCtrSkin::GetExtra},
  };
  for (const auto& f : fields) {
    CCtrSkin entry;
    EXPECT_EQ((entry.*f.set)(u""), 5) << f.what;
    EXPECT_EQ((entry.*f.get)(), u"") << f.what;
    EXPECT_EQ((entry.*f.set)(u"first"), 0) << f.what;
    EXPECT_EQ((entry.*f.set)(u""), 5) << f.what;
    EXPECT_EQ((entry.*f.get)(), u"first") << f.what;
  }
}

TEST(SkinDescription, EntriesOutsideTheListAreNull) {
  CSkin section;
  EXPECT_EQ(section.GetEntry(0), nullptr);
  CCtrSkin entry;
  entry.SetKey(u"THIS");
  section.Append(entry);
  ASSERT_NE(section.GetEntry(0), nullptr);
  EXPECT_EQ(section.GetEntry(0)->GetKey(), u"THIS");
  EXPECT_EQ(section.GetEntry(1), nullptr);
  EXPECT_EQ(section.GetEntry(static_cast<size_t>(-1)), nullptr);
}

TEST(SkinDescription, PathsRefuseEmptyAndBothCopiesAgree) {
  CFullSkin skin;
  EXPECT_EQ(skin.SetSkinPath(u""), 5);
  EXPECT_EQ(skin.GetSkinPath(), u"");
  EXPECT_EQ(skin.GetPath(), u"");

  EXPECT_EQ(skin.SetSkinPath(u"C:\\skin\\English.ini"), 0);
  EXPECT_EQ(skin.SetSkinPath(u""), 5);
  EXPECT_EQ(skin.GetSkinPath(), u"C:\\skin\\English.ini");
  EXPECT_EQ(skin.GetPath(), u"C:\\skin\\English.ini");

  EXPECT_EQ(skin.SetPath(u""), 5);
  EXPECT_EQ(skin.GetPath(), u"C:\\skin\\English.ini");
  EXPECT_EQ(skin.SetPath(u"C:\\other.ini"), 0);
  EXPECT_EQ(skin.GetPath(), u"C:\\other.ini");
}

// ---------------------------------------------------------------------------
// Reading sections from description files

// Descriptions are UTF-16LE with a byte-order mark and CR LF line ends.
std::vector<uint8_t> DescriptionBytes(const std::vector<std::u16string>& lines) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (const auto& line : lines) {
    for (const char16_t c : line + u"\r\n") {
      bytes.push_back(static_cast<uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
  }
  return bytes;
}

class SkinSection : public testing::Test {
 protected:
  void SetUp() override { folder_ = testing_support::ScratchFolder("SkinSection"); }

  // Each file gets its own name: the system may keep a file it read before.
  std::u16string Write(const std::u16string& name, const std::vector<std::u16string>& lines) {
    const std::u16string path = folder_ + name;
    testing_support::WriteFileBytes(path, DescriptionBytes(lines));
    return path;
  }

  static int Read(const std::u16string& path, const std::u16string& section, CSkin* target) {
    CIniFile file;
    file.SetPath(path);
    return file.ReadSection(section, target);
  }

  static std::vector<std::u16string> Keys(const CSkin& section) {
    std::vector<std::u16string> keys;
    for (size_t i = 0; i < section.GetCount(); ++i) keys.push_back(section.GetEntry(i)->GetKey());
    return keys;
  }

  std::u16string folder_;
};

const std::vector<std::u16string> kTwoDialogs = {
    u"[DialogLeftWiz]",
    u"THIS=left.bmp,,0,0,149,314,0",
    u"",
    u"[DialogWizard]",
    u"THIS=zcut_03.bmp,zcut_03_bw.bmp,0,0,457,526,0",
    u"1013=,jindutiao_dingtiao.png,jindutiao_ditiao.png,10,230,nlvf_05_bg.bmp",
    u"",
    u"1=char,lvf_button_left.png,lvf_button_mid.png,lvf_button_right.png,,,,245,470,zcut_03.bmp,,,",
    u"this=lower case",
    u"[Third]",
    u"THIS=third.bmp",
};

TEST_F(SkinSection, ReadsOneSectionInFileOrder) {
  const std::u16string path = Write(u"two.ini", kTwoDialogs);
  for (const std::u16string asked : {u"DialogWizard", u"dialogwizard", u"DIALOGWIZARD"}) {
    CSkin section;
    ASSERT_EQ(Read(path, asked, &section), 0) << Utf8(asked);
    EXPECT_EQ(section.GetName(), asked);
    // Keys as written: telling "this" from "THIS" is the caller's business.
    EXPECT_EQ(Keys(section), (std::vector<std::u16string>{u"THIS", u"1013", u"1", u"this"}));
    ASSERT_EQ(section.GetCount(), 4u);
    EXPECT_EQ(section.GetEntry(0)->GetValue(), u"zcut_03.bmp,zcut_03_bw.bmp,0,0,457,526,0");
    EXPECT_EQ(section.GetEntry(1)->GetValue(),
              u",jindutiao_dingtiao.png,jindutiao_ditiao.png,10,230,nlvf_05_bg.bmp");
    EXPECT_EQ(section.GetEntry(2)->GetValue(),
              u"char,lvf_button_left.png,lvf_button_mid.png,lvf_button_right.png,,,,245,470,zcut_03.bmp,,,");
    EXPECT_EQ(section.GetEntry(3)->GetValue(), u"lower case");
    EXPECT_EQ(section.GetEntry(0)->GetExtra(), u"");
  }

  CSkin first;
  ASSERT_EQ(Read(path, u"DialogLeftWiz", &first), 0);
  EXPECT_EQ(Keys(first), (std::vector<std::u16string>{u"THIS"}));
}

TEST_F(SkinSection, UnusableRequestsAreRefused) {
  const std::u16string path = Write(u"refused.ini", {u"[Empty]", u"", u"[Full]", u"THIS=a.bmp"});
  const struct {
    const char* what;
    std::u16string path;
    std::u16string section;
    bool target;
    int result;
  } cases[] = {
      {"no target", path, u"Full", false, 5},
      {"missing section", path, u"Absent", true, 1},
      {"section without lines", path, u"Empty", true, 1},
      {"empty path", u"", u"Full", true, 1},
      {"missing file", folder_ + u"absent.ini", u"Full", true, 1},
  };
  for (const auto& c : cases) {
    CSkin section;
    section.SetName(u"untouched");
    CIniFile file;
    file.SetPath(c.path);
    EXPECT_EQ(file.ReadSection(c.section, c.target ? &section : nullptr), c.result) << c.what;
    EXPECT_EQ(section.GetName(), u"untouched") << c.what;
    EXPECT_EQ(section.GetCount(), 0u) << c.what;
  }
}

TEST_F(SkinSection, PathOfMoreThan255CharactersIsNotRead) {
  const std::u16string base = folder_ + u"p";
  for (const size_t length : {skin::kMaxSkinPath, skin::kMaxSkinPath + 1}) {
    const std::u16string name = std::u16string(length - base.size() - 4, u'a') + u".ini";
    const std::u16string path = Write(u"p" + name, {u"[Dialog]", u"THIS=a.bmp"});
    ASSERT_EQ(path.size(), length);
    CSkin section;
    EXPECT_EQ(Read(path, u"Dialog", &section), length <= skin::kMaxSkinPath ? 0 : 1) << length;
  }
}

TEST_F(SkinSection, LinesThatNameNothingAreSkipped) {
  const std::u16string key49(49, u'7');
  const std::u16string path = Write(u"lines.ini", {
                                                      u"[Dialog]",
                                                      u"no equals sign",
                                                      key49 + u"=kept",
                                                      key49 + u"8=too long",
                                                      u"=no key",
                                                      u";1=comment",
                                                      u"1=",
                                                      u"  2 = a, b  ",
                                                      u"3=x=y",
                                                  });
  CSkin section;
  ASSERT_EQ(Read(path, u"Dialog", &section), 0);
  ASSERT_EQ(Keys(section), (std::vector<std::u16string>{key49, u"1", u"2", u"3"}));
  EXPECT_EQ(section.GetEntry(0)->GetValue(), u"kept");
  EXPECT_EQ(section.GetEntry(1)->GetValue(), u"");
  // Blanks around the line and around "=" go; those inside the value stay.
  EXPECT_EQ(section.GetEntry(2)->GetValue(), u"a, b");
  EXPECT_EQ(section.GetEntry(3)->GetValue(), u"x=y");
}

// Lines of exactly `length` characters, keys 1000, 1001, ...
std::vector<std::u16string> LongLines(size_t count, size_t length) {
  std::vector<std::u16string> lines;
  for (size_t i = 0; i < count; ++i) {
    const std::u16string key = platform::FromUtf8(std::to_string(1000 + i)) + u"=";
    lines.push_back(key + std::u16string(length - key.size(), u'v'));
  }
  return lines;
}

// The section is handed over as every line with its terminator plus one
// final terminator, in 4096 characters: 40 lines of 100 take 4041, so a
// last line of 54 fills the buffer exactly.
TEST_F(SkinSection, SectionLongerThanTheBufferKeepsItsWholeLines) {
  const struct {
    size_t last_length;
    size_t kept;
  } cases[] = {
      {53, 41},
      {54, 41},
      {55, 40},
      {400, 40},
      {5000, 40},
  };
  for (const auto& c : cases) {
    std::vector<std::u16string> lines = LongLines(40, 100);
    lines.push_back(u"1040=" + std::u16string(c.last_length - 5, u'w'));
    lines.push_back(u"1041=after the cut");
    lines.insert(lines.begin(), u"[Long]");
    lines.push_back(u"[Next]");
    lines.push_back(u"THIS=next.bmp");
    const std::u16string path =
        Write(u"long" + platform::FromUtf8(std::to_string(c.last_length)) + u".ini", lines);

    CSkin section;
    ASSERT_EQ(Read(path, u"Long", &section), 0) << c.last_length;
    ASSERT_EQ(section.GetCount(), c.kept) << c.last_length;
    for (size_t i = 0; i < c.kept; ++i) {
      EXPECT_EQ(section.GetEntry(i)->GetKey() + u"=" + section.GetEntry(i)->GetValue(), lines[i + 1])
          << c.last_length << " line " << i;
    }
  }
}

TEST_F(SkinSection, SectionWhoseFirstLineCannotFitHasNoLines) {
  const std::u16string path = Write(u"huge.ini", {u"[Huge]", u"THIS=" + std::u16string(5000, u'x')});
  CSkin section;
  EXPECT_EQ(Read(path, u"Huge", &section), 1);
  EXPECT_EQ(section.GetCount(), 0u);
}

// The platform call on its own: what it says about a list it had to cut.
TEST_F(SkinSection, ProfileSectionTellsWhatDidNotFit) {
  // "a=1" and "b=22" take 4 + 5 characters and one more closes the list.
  const std::u16string path = Write(u"small.ini", {u"[S]", u"a=1", u"b=22", u"[T]", u"c=3"});
  using Lines = std::vector<std::u16string>;
  const struct {
    size_t capacity;
    bool truncated;
    Lines lines;
  } cases[] = {
      {100, false, {u"a=1", u"b=22"}},
      {10, false, {u"a=1", u"b=22"}},
      {9, true, {u"a=1"}},
      {5, true, {u"a=1"}},
      {4, true, {}},
  };
  for (const auto& c : cases) {
    const platform::ProfileSection read = platform::ReadProfileSection(path, u"s", c.capacity);
    EXPECT_TRUE(read.found) << c.capacity;
    EXPECT_EQ(read.truncated, c.truncated) << c.capacity;
    EXPECT_EQ(read.lines, c.lines) << c.capacity;
  }
  const platform::ProfileSection missing = platform::ReadProfileSection(path, u"U", 100);
  EXPECT_FALSE(missing.found);
  EXPECT_TRUE(missing.lines.empty());
}

// ---------------------------------------------------------------------------
// Display scale

class SkinScale : public testing::Test {
 protected:
  void TearDown() override { skin::SetScaleFromDpi(96, 96); }
};

TEST_F(SkinScale, DesignPixelsFollowTheDpi) {
  const struct {
    int dpi_x, dpi_y;
    double scale_x, scale_y;
    int x390, x457, y526, x_minus390;
  } cases[] = {
      {96, 96, 1.0, 1.0, 390, 457, 526, -390},
      {120, 120, 1.25, 1.25, 487, 571, 657, -487},  // truncated, also below zero
      {144, 96, 1.5, 1.0, 585, 685, 526, -585},
      {96, 144, 1.0, 1.5, 390, 457, 789, -390},
      {0, -10, 1.0, 1.0, 390, 457, 526, -390},
  };
  for (const auto& c : cases) {
    skin::SetScaleFromDpi(c.dpi_x, c.dpi_y);
    EXPECT_DOUBLE_EQ(skin::ScaleX, c.scale_x) << c.dpi_x;
    EXPECT_DOUBLE_EQ(skin::ScaleY, c.scale_y) << c.dpi_y;
    EXPECT_EQ(skin::ScaledX(390), c.x390) << c.dpi_x;
    EXPECT_EQ(skin::ScaledX(457), c.x457) << c.dpi_x;
    EXPECT_EQ(skin::ScaledY(526), c.y526) << c.dpi_y;
    EXPECT_EQ(skin::ScaledX(-390), c.x_minus390) << c.dpi_x;
  }
}

TEST_F(SkinScale, ScaledValuesStayInsideTheIntRange) {
  skin::SetScaleFromDpi(120, 120);
  EXPECT_EQ(skin::ScaledX(1e300), INT_MAX);
  EXPECT_EQ(skin::ScaledY(-1e300), INT_MIN);
  EXPECT_EQ(skin::ScaledX(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST_F(SkinScale, DevicePixelsBackToDesign) {
  EXPECT_DOUBLE_EQ(skin::ToDesign(487.5, 120), 390.0);
  EXPECT_DOUBLE_EQ(skin::ToDesign(487, 120), 389.6);
  EXPECT_DOUBLE_EQ(skin::ToDesign(390, 96), 390.0);
  EXPECT_DOUBLE_EQ(skin::ToDesign(390, 0), 390.0);
  EXPECT_DOUBLE_EQ(skin::ToDesign(390, -96), 390.0);
}

// ---------------------------------------------------------------------------
// The drawn controls' arithmetic

TEST(SkinControlMath, ProgressFill) {
  const struct {
    int position, lower, upper;
    double fraction;
  } fractions[] = {
      {50, 0, 100, 0.5},  {0, 0, 100, 0.0},   {100, 0, 100, 1.0},    {150, 0, 100, 1.0},
      {-10, 0, 100, 0.0}, {0, 0, 0, 0.0},     {7, 5, 5, 0.0},        {50, 100, 0, 0.0},
      {1, 0, 3, 1.0 / 3}, {INT_MAX, INT_MIN, INT_MAX, INT_MAX / 4294967295.0},
  };
  for (const auto& c : fractions) {
    EXPECT_DOUBLE_EQ(skin::ProgressFraction(c.position, c.lower, c.upper), c.fraction)
        << c.position << " in " << c.lower << ".." << c.upper;
  }

  const struct {
    int width;
    double fraction;
    int pixels;
  } fills[] = {
      {200, 0.5, 100}, {200, 0.999, 199}, {200, 1.0, 200}, {200, 1.5, 200}, {200, -1.0, 0},
      {0, 0.5, 0},     {-5, 0.5, 0},      {200, std::nan(""), 0},
  };
  for (const auto& c : fills) {
    EXPECT_EQ(skin::FillPixels(c.width, c.fraction), c.pixels) << c.width << " x " << c.fraction;
  }
}

TEST(SkinControlMath, SliderThumbAndPosition) {
  const struct {
    int position, lower, upper, extent, thumb;
  } to_thumb[] = {
      {50, 0, 100, 200, 100},   {0, 0, 100, 200, 0},      {100, 0, 100, 200, 200}, {150, 0, 100, 200, 200},
      {-50, 0, 100, 200, 0},    {15, 10, 20, 100, 50},    {5, 5, 5, 200, 0},       {50, 0, 100, 0, 0},
      {50, 0, 100, -10, 0},     {INT_MAX, INT_MIN, INT_MAX, 1000, 1000},
  };
  for (const auto& c : to_thumb) {
    EXPECT_EQ(skin::SliderThumbFromPosition(c.position, c.lower, c.upper, c.extent), c.thumb)
        << c.position << " in " << c.lower << ".." << c.upper << " over " << c.extent;
  }

  const struct {
    int thumb, lower, upper, extent, position;
  } to_position[] = {
      {100, 0, 100, 200, 50}, {0, 10, 20, 100, 10},  {50, 10, 20, 100, 15},  {1, 0, 100, 3, 33},
      {-5, 0, 100, 200, 0},   {500, 0, 100, 200, 100}, {7, 10, 20, 0, 10},   {100, 0, -100, 200, -50},
      {100, INT_MIN, INT_MAX, 100, INT_MAX},
  };
  for (const auto& c : to_position) {
    EXPECT_EQ(skin::SliderPositionFromThumb(c.thumb, c.lower, c.upper, c.extent), c.position)
        << c.thumb << " in " << c.lower << ".." << c.upper << " over " << c.extent;
  }

  const struct {
    int client, thumb_size, thumb, offset;
  } offsets[] = {
      {200, 20, 100, 90}, {200, 20, 0, 0}, {200, 20, 200, 180}, {200, 20, 7, 6}, {0, 20, 5, 0}, {-10, 20, 5, 0},
  };
  for (const auto& c : offsets) {
    EXPECT_EQ(skin::SliderThumbOffset(c.client, c.thumb_size, c.thumb), c.offset)
        << c.client << " " << c.thumb_size << " " << c.thumb;
  }
}

// Tiles as {x, y, width, height}.
using Tiles = std::vector<std::array<int, 4>>;

Tiles Flat(const std::vector<skin::TileRect>& tiles) {
  Tiles flat;
  for (const auto& t : tiles) flat.push_back({t.x, t.y, t.width, t.height});
  return flat;
}

TEST(SkinControlMath, TilesFillTheRectangleAndAreCutAtItsEdges) {
  const struct {
    const char* what;
    int w, h, left, top, right, bottom;
    Tiles tiles;
  } cases[] = {
      {"two rows, cut right and bottom", 10, 10, 0, 0, 25, 15,
       {{0, 0, 10, 10}, {10, 0, 10, 10}, {20, 0, 5, 10}, {0, 10, 10, 5}, {10, 10, 10, 5}, {20, 10, 5, 5}}},
      {"away from the origin", 10, 10, 5, 7, 20, 17, {{5, 7, 10, 10}, {15, 7, 5, 10}}},
      {"one column, cut at the bottom", 10, 6, 3, 4, 13, 20, {{3, 4, 10, 6}, {3, 10, 10, 6}, {3, 16, 10, 4}}},
      {"bitmap larger than the rectangle", 50, 50, 2, 3, 12, 8, {{2, 3, 10, 5}}},
      {"negative corner", 4, 4, -6, -2, 0, 2, {{-6, -2, 4, 4}, {-2, -2, 2, 4}}},
      {"at the end of the int range", 4, 1, INT_MAX - 5, 0, INT_MAX, 1,
       {{INT_MAX - 5, 0, 4, 1}, {INT_MAX - 1, 0, 1, 1}}},
      {"zero-width bitmap", 0, 10, 0, 0, 25, 15, {}},
      {"zero-height bitmap", 10, 0, 0, 0, 25, 15, {}},
      {"negative bitmap", -10, 10, 0, 0, 25, 15, {}},
      {"empty rectangle", 10, 10, 5, 5, 5, 15, {}},
      {"upside-down rectangle", 10, 10, 0, 15, 25, 0, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Flat(skin::TileLayout(c.w, c.h, c.left, c.top, c.right, c.bottom)), c.tiles) << c.what;
  }
}

// ---------------------------------------------------------------------------
// Window shapes from mask pictures

// DIB words (blue lowest) and COLORREFs (red lowest) for the same colours.
constexpr uint32_t kDibRed = 0x00FF0000, kDibGreen = 0x0000FF00, kDibBlue = 0x000000FF;
constexpr uint32_t kRefRed = 0x000000FF, kRefGreen = 0x0000FF00, kRefBlue = 0x00FF0000;

// The runs drawn back as rows of '#' (inside the shape) and '.', top row first.
std::vector<std::string> Drawn(const std::vector<std::vector<skin::RunRect>>& batches, int width, int height) {
  std::vector<std::string> rows(height, std::string(width, '.'));
  for (const auto& batch : batches) {
    for (const auto& r : batch) {
      EXPECT_EQ(r.bottom, r.top + 1);
      for (int x = r.left; x < r.right; ++x) rows.at(r.top).at(x) = '#';
    }
  }
  return rows;
}

TEST(SkinMaskRuns, ShapeKeepsRowsAndChannelsInPlace) {
  // An asymmetric shape: drawn upside down or with red and blue swapped, it
  // comes out different.
  const std::vector<std::string> shape = {
      ".##.",
      "#...",
      "...#",
  };
  const struct {
    const char* what;
    uint32_t colour, transparent, opaque;
  } cases[] = {
      {"red transparent, blue shape", kRefRed, kDibRed, kDibBlue},
      {"blue transparent, red shape", kRefBlue, kDibBlue, kDibRed},
      {"green transparent, black shape", kRefGreen, kDibGreen, 0},
      {"alpha does not count", kRefRed, 0xFF000000 | kDibRed, 0xFF000000 | kDibBlue},
  };
  for (const auto& c : cases) {
    // Two padding words per row, opaque, must never be looked at.
    const int width = 4, height = 3, stride = 6;
    std::vector<uint32_t> pixels(stride * height, c.opaque);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels[y * stride + x] = shape[y][x] == '#' ? c.opaque : c.transparent;
    }
    const auto batches = skin::MaskRuns(pixels.data(), width, height, stride, c.colour, 0);
    ASSERT_EQ(batches.size(), 1u) << c.what;
    EXPECT_EQ(Drawn(batches, width, height), shape) << c.what;
    ASSERT_EQ(batches[0].size(), 3u) << c.what;
    const skin::RunRect& first = batches[0][0];
    EXPECT_EQ(first.left, 1);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.right, 3);
    EXPECT_EQ(first.bottom, 1);
  }
}

TEST(SkinMaskRuns, ToleranceWidensEachChannelUpwards) {
  // COLORREF 0x102030: red 0x30, green 0x20, blue 0x10.
  const struct {
    const char* what;
    uint32_t colour, tolerance;
    uint32_t pixel;
    bool transparent;
  } cases[] = {
      {"the colour itself", 0x102030, 0x050505, 0x302010, true},
      {"red at the top of its band", 0x102030, 0x050505, 0x352010, true},
      {"red above its band", 0x102030, 0x050505, 0x362010, false},
      {"red below the colour", 0x102030, 0x050505, 0x2F2010, false},
      {"blue at the top of its band", 0x102030, 0x050505, 0x302015, true},
      {"blue above its band", 0x102030, 0x050505, 0x302016, false},
      {"only red may vary", 0x102030, 0x000010, 0x3F2010, true},
      {"green may not", 0x102030, 0x000010, 0x302110, false},
      {"bands stop at 255", 0xFFFFFF, 0x101010, 0xFFFFFF, true},
      {"a tolerance does not wrap round", 0xFFFFFF, 0x101010, 0x00FFFF, false},
      {"no tolerance", 0x102030, 0, 0x302011, false},
  };
  for (const auto& c : cases) {
    const auto batches = skin::MaskRuns(&c.pixel, 1, 1, 1, c.colour, c.tolerance);
    ASSERT_EQ(batches.size(), 1u) << c.what;
    EXPECT_EQ(batches[0].empty(), c.transparent) << c.what;
  }
}

TEST(SkinMaskRuns, ManyRunsComeInBatches) {
  const int width = 200, height = 100;
  std::vector<uint32_t> board(width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) board[y * width + x] = (x + y) % 2 == 0 ? kDibRed : kDibBlue;
  }
  const auto batches = skin::MaskRuns(board.data(), width, height, width, kRefRed, 0);
  ASSERT_EQ(batches.size(), 5u);
  for (const auto& batch : batches) EXPECT_EQ(batch.size(), 2000u);
  const skin::RunRect first = batches.front().front(), last = batches.back().back();
  EXPECT_EQ(std::vector<int>({first.left, first.top, first.right, first.bottom}), std::vector<int>({1, 0, 2, 1}));
  EXPECT_EQ(std::vector<int>({last.left, last.top, last.right, last.bottom}), std::vector<int>({198, 99, 199, 100}));

  // Batch sizes at and around the limit, never an empty batch after a full one.
  const struct {
    int runs;
    size_t batch;
    std::vector<size_t> sizes;
  } limits[] = {
      {3, 2, {2, 1}}, {4, 2, {2, 2}}, {1, 2, {1}}, {3, 0, {1, 1, 1}},
  };
  for (const auto& c : limits) {
    std::vector<uint32_t> row(c.runs * 2, kDibRed);
    for (int i = 0; i < c.runs; ++i) row[i * 2] = kDibBlue;
    std::vector<size_t> sizes;
    for (const auto& batch : skin::MaskRuns(row.data(), c.runs * 2, 1, c.runs * 2, kRefRed, 0, c.batch)) {
      sizes.push_back(batch.size());
    }
    EXPECT_EQ(sizes, c.sizes) << c.runs << " runs in batches of " << c.batch;
  }
}

TEST(SkinMaskRuns, NothingToShapeGivesOneEmptyBatch) {
  const std::vector<uint32_t> clear(16 * 8, kDibRed);
  const struct {
    const char* what;
    const uint32_t* pixels;
    int width, height, stride;
  } cases[] = {
      {"all transparent", clear.data(), 16, 8, 16},
      {"no pixels", nullptr, 16, 8, 16},
      {"no width", clear.data(), 0, 8, 16},
      {"no height", clear.data(), 16, 0, 16},
      {"negative size", clear.data(), -16, -8, 16},
      {"stride shorter than a row", clear.data(), 16, 8, 15},
  };
  for (const auto& c : cases) {
    const auto batches = skin::MaskRuns(c.pixels, c.width, c.height, c.stride, kRefRed, 0);
    ASSERT_EQ(batches.size(), 1u) << c.what;
    EXPECT_TRUE(batches[0].empty()) << c.what;
  }
}

// ---------------------------------------------------------------------------
// Picture kinds

TEST(SkinImageFile, KindFollowsTheFirstNameFound) {
  const struct {
    std::u16string path;
    skin::ImageFileClass kind;
  } cases[] = {
      {u"zcut_03.bmp", skin::kImageBitmap},
      {u"C:\\skin\\LEFT.BMP", skin::kImageBitmap},
      {u"app.ico", skin::kImageIcon},
      {u"a.jpg", skin::kImageJpeg},
      {u"a.Jpeg", skin::kImageJpeg},
      {u"a.gif", skin::kImageGif},
      {u"a.avi", skin::kImageVideo},
      {u"a.asf", skin::kImageVideo},
      {u"a.mpeg", skin::kImageVideo},
      {u"a.mpg", skin::kImageVideo},
      {u"a.rm", skin::kImageVideo},
      {u"a.rmvb", skin::kImageVideo},
      {u"a.msn", skin::kImageMsn},
      {u"a.png", skin::kImageUnknown},
      {u"", skin::kImageUnknown},
      {u"bmp", skin::kImageUnknown},
      {u".bmp", skin::kImageUnknown},            // at the very start: no match
      {u".bmp.gif", skin::kImageGif},            // ".BMP" only at the start
      {u"x.bmp.gif", skin::kImageBitmap},        // anywhere, in row order
      {u".bmp/b.bmp", skin::kImageBitmap},       // a later occurrence still counts
      {u"C:\\a.gif\\b.ico", skin::kImageIcon},   // ".ICO" is tested before ".GIF"
      {u"C:\\x.bmpfolder\\b.png", skin::kImageBitmap},
  };
  for (const auto& c : cases) EXPECT_EQ(skin::ClassifyImageFile(c.path), c.kind) << Utf8(c.path);
}

}  // namespace

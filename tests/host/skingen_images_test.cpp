// The skin pictures the build paints into the tree's skin folder
// (tools/skingen, target skin_images): every file the setup program carries
// is there and is a well-formed bitmap or PNG of the size its use requires,
// and the pictures whose layout the controls rely on keep that layout.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kSkinDir = std::string(GLIMMORA_OUT_DIR) + "/skin/";

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// Pixels top-down; a bitmap's pixels are opaque.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Rgba At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }

int Paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

::testing::AssertionResult DecodePng(const std::vector<uint8_t>& f, Image& image) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (f.size() < 8 || !std::equal(kSignature, kSignature + 8, f.begin())) {
    return ::testing::AssertionFailure() << "no PNG signature";
  }
  std::vector<uint8_t> packed;
  std::vector<std::string> types;
  size_t at = 8;
  while (at < f.size()) {
    if (f.size() - at < 12) return ::testing::AssertionFailure() << "chunk header cut off at " << at;
    uint32_t length = Be32(&f[at]);
    if (length > f.size() - at - 12) return ::testing::AssertionFailure() << "chunk at " << at << " runs past the end";
    std::string type(f.begin() + at + 4, f.begin() + at + 8);
    const uint8_t* data = &f[at + 8];
    uLong crc = crc32(crc32(0L, Z_NULL, 0), &f[at + 4], length + 4);
    if (crc != Be32(data + length)) return ::testing::AssertionFailure() << "bad CRC in chunk " << type;
    if (types.empty()) {
      if (type != "IHDR" || length != 13) return ::testing::AssertionFailure() << "first chunk is not a 13-byte IHDR";
      image.width = static_cast<int>(Be32(data));
      image.height = static_cast<int>(Be32(data + 4));
      if (data[8] != 8 || data[9] != 6 || data[10] != 0 || data[11] != 0 || data[12] != 0) {
        return ::testing::AssertionFailure() << "not 8-bit RGBA, deflate, adaptive filtering, not interlaced";
      }
    }
    if (type == "IDAT") packed.insert(packed.end(), data, data + length);
    types.push_back(type);
    at += 12 + length;
    if (type == "IEND" && at != f.size()) return ::testing::AssertionFailure() << "bytes after IEND";
  }
  if (types.empty() || types.back() != "IEND") return ::testing::AssertionFailure() << "no IEND at the end";
  if (image.width <= 0 || image.height <= 0) return ::testing::AssertionFailure() << "empty picture";

  const size_t stride = static_cast<size_t>(image.width) * 4;
  const size_t expected = (stride + 1) * image.height;
  std::vector<uint8_t> raw(expected + 1);  // one spare byte shows a stream that is too long
  uLongf raw_size = static_cast<uLongf>(raw.size());
  int rc = uncompress(raw.data(), &raw_size, packed.data(), static_cast<uLong>(packed.size()));
  if (rc != Z_OK) return ::testing::AssertionFailure() << "IDAT does not inflate (zlib " << rc << ")";
  if (raw_size != expected) {
    return ::testing::AssertionFailure() << "IDAT inflates to " << raw_size << " bytes, not " << expected;
  }

  std::vector<uint8_t> previous(stride, 0), row(stride);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* line = &raw[y * (stride + 1)];
    uint8_t filter = line[0];
    if (filter > 4) return ::testing::AssertionFailure() << "row " << y << " has filter " << int(filter);
    for (size_t i = 0; i < stride; ++i) {
      int left = i >= 4 ? row[i - 4] : 0, up = previous[i], corner = i >= 4 ? previous[i - 4] : 0;
      int predictor = filter == 1 ? left : filter == 2 ? up : filter == 3 ? (left + up) / 2
                    : filter == 4 ? Paeth(left, up, corner) : 0;
      row[i] = static_cast<uint8_t>(line[1 + i] + predictor);
    }
    for (size_t i = 0; i < stride; i += 4) image.pixels.push_back({row[i], row[i + 1], row[i + 2], row[i + 3]});
    previous = row;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult DecodeBmp(const std::vector<uint8_t>& f, Image& image) {
  if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return ::testing::AssertionFailure() << "no bitmap header";
  if (Le32(&f[2]) != f.size()) return ::testing::AssertionFailure() << "file size field " << Le32(&f[2]);
  uint32_t offset = Le32(&f[10]);
  if (Le32(&f[14]) != 40) return ::testing::AssertionFailure() << "not a BITMAPINFOHEADER";
  int32_t width = static_cast<int32_t>(Le32(&f[18])), height = static_cast<int32_t>(Le32(&f[22]));
  if (width <= 0 || height <= 0) return ::testing::AssertionFailure() << "not a bottom-up picture";
  if (Le16(&f[26]) != 1 || Le16(&f[28]) != 24 || Le32(&f[30]) != 0) {
    return ::testing::AssertionFailure() << "not one plane of 24-bit BI_RGB";
  }
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (offset < 54 || offset + stride * height != f.size()) {
    return ::testing::AssertionFailure() << "pixels at " << offset << " do not fill the file with padded rows";
  }
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    const uint8_t* line = &f[offset + (height - 1 - y) * stride];
    for (int x = 0; x < width; ++x) image.pixels.push_back({line[3 * x + 2], line[3 * x + 1], line[3 * x], 255});
  }
  return ::testing::AssertionSuccess();
}

bool IsBitmapName(const std::string& file) { return file.size() > 4 && file.compare(file.size() - 4, 4, ".bmp") == 0; }

::testing::AssertionResult Load(const std::string& file, Image& image) {
  std::ifstream in(kSkinDir + file, std::ios::binary);
  if (!in) {
    return ::testing::AssertionFailure() << kSkinDir << file << " is missing (the skin_images target paints it)";
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return IsBitmapName(file) ? DecodeBmp(bytes, image) : DecodePng(bytes, image);
}

Image MustLoad(const std::string& file) {
  Image image;
  EXPECT_TRUE(Load(file, image)) << file;
  return image;
}

bool SameColumn(const Image& a, int ax, const Image& b, int bx) {
  if (a.height != b.height) return false;
  for (int y = 0; y < a.height; ++y) {
    if (!(a.At(ax, y) == b.At(bx, y))) return false;
  }
  return true;
}

// Width and height as the skin description and the controls that draw the
// picture require them; 0 where nothing fixes that side.
struct Expected {
  const char* file;
  int width;
  int height;
};

const Expected kPictures[] = {
    {"flash.bmp", 0, 0},
    {"left.bmp", 149, 314},         // THIS of the step panels
    {"nlvf_05_bg.bmp", 288, 395},   // THIS of the pages
    {"zcut_03.bmp", 457, 526},      // THIS of the frame and the repair dialog
    {"zcut_03_bw.bmp", 457, 526},   // their mask
    {"checkbox_z01.png", 16, 16},   // check buttons draw a 16 x 16 box
    {"checkbox_z02.png", 16, 16},
    {"checkbox_z03.png", 16, 16},
    {"checkbox_z04.png", 16, 16},
    {"checkbox_z05.png", 16, 16},
    {"cut_wc_-01.png", 0, 0},
    {"cut_wc_-02.png", 0, 0},
    {"cut_wc_-03.png", 0, 0},
    {"cut_wc_-04.png", 0, 0},
    {"cut_wc_x_01.png", 0, 0},
    {"cut_wc_x_02.png", 0, 0},
    {"cut_wc_x_03.png", 0, 0},
    {"cut_wc_x_04.png", 0, 0},
    {"jindutiao_dingtiao.png", 0, 0},
    {"jindutiao_ditiao.png", 0, 0},
    {"lvf_button_left.png", 12, 30},  // text buttons are 30 high with 12-pixel ends
    {"lvf_button_mid.png", 0, 30},
    {"lvf_button_right.png", 12, 30},
    {"lvf_logo_left.png", 0, 0},
    {"lvf_setup_gr.png", 0, 0},
    {"lvf_ball_or.png", 0, 0},
    {"lvf_ball_green.png", 0, 0},
    {"lvf_final_icon.png", 0, 0},
    {"nlvf_05_bg_tw.bmp", 288, 395},  // the pages' mask
    {"first_icon.png", 0, 0},
    {"black.png", 0, 0},
    {"_K_ComBobox_left.png", 12, 30},  // the combo box is 30 high, its ends 12 and 24 wide
    {"_K_ComBobox_Mid.png", 0, 30},
    {"_K_ComBobox_Right_1.png", 24, 30},
    {"_K_ComBobox_Right_2.png", 24, 30},
    {"sCROLLbar2.bmp", 189, 63},  // 9 x 3 cells of 21
};

TEST(SkinPictures, EveryPictureIsAWellFormedFileOfItsSize) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.file);
    Image image;
    ASSERT_TRUE(Load(e.file, image));
    if (e.width) {
      EXPECT_EQ(image.width, e.width);
    }
    if (e.height) {
      EXPECT_EQ(image.height, e.height);
    }
  }
}

TEST(SkinPictures, StatesOfOneControlShareASizeAndLookDifferent) {
  // A picture button takes its size from its first picture and stretches
  // the others into it; every state must still be told apart.
  const std::vector<std::vector<const char*>> groups = {
      {"checkbox_z01.png", "checkbox_z02.png", "checkbox_z03.png", "checkbox_z04.png", "checkbox_z05.png"},
      {"cut_wc_-01.png", "cut_wc_-02.png", "cut_wc_-03.png", "cut_wc_-04.png"},
      {"cut_wc_x_01.png", "cut_wc_x_02.png", "cut_wc_x_03.png", "cut_wc_x_04.png"},
      {"lvf_setup_gr.png", "lvf_ball_or.png", "lvf_ball_green.png"},
      {"_K_ComBobox_Right_1.png", "_K_ComBobox_Right_2.png"},
      {"jindutiao_dingtiao.png", "jindutiao_ditiao.png"},
  };
  for (const auto& group : groups) {
    std::vector<Image> images;
    for (const char* file : group) images.push_back(MustLoad(file));
    for (size_t i = 0; i < images.size(); ++i) {
      for (size_t j = i + 1; j < images.size(); ++j) {
        SCOPED_TRACE(std::string(group[i]) + " and " + group[j]);
        EXPECT_EQ(images[i].width, images[j].width);
        EXPECT_EQ(images[i].height, images[j].height);
        EXPECT_FALSE(images[i].pixels == images[j].pixels);
      }
    }
  }
}

TEST(SkinPictures, PictureButtonsFitWhereTheSkinPlacesThem) {
  struct Placement {
    const char* file;
    int x, y;        // from the skin description
    int right_limit;  // what must not be covered
    int bottom_limit;
  };
  const Placement placements[] = {
      {"cut_wc_-02.png", 390, 8, 420, 60},  // left of the close button, above the pages
      {"cut_wc_x_02.png", 420, 8, 457 - 10, 60},  // clear of the frame's rounded corner
      {"lvf_logo_left.png", 20, 20, 288, 395},
      {"lvf_final_icon.png", 110, 70, 288, 395},
  };
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.file);
    Image image = MustLoad(p.file);
    EXPECT_LE(p.x + image.width, p.right_limit);
    EXPECT_LE(p.y + image.height, p.bottom_limit);
  }
  // The finish picture stands centred on the 288-pixel page.
  EXPECT_EQ(110 + MustLoad("lvf_final_icon.png").width / 2, 288 / 2);
}

TEST(SkinPictures, MasksCutRoundedCornersAndKeepEverythingElse) {
  struct Mask {
    const char* file;
    int radius;
  };
  const Rgba black{0, 0, 0, 255}, white{255, 255, 255, 255};
  for (const Mask& m : {Mask{"zcut_03_bw.bmp", 10}, Mask{"nlvf_05_bg_tw.bmp", 8}}) {
    SCOPED_TRACE(m.file);
    Image mask = MustLoad(m.file);
    ASSERT_GT(mask.width, 2 * m.radius);
    int w = mask.width - 1, h = mask.height - 1, r = m.radius;
    // Pure black or pure white only: the region keeps every pixel that is not black.
    for (const Rgba& p : mask.pixels) ASSERT_TRUE(p == black || p == white);
    const std::vector<std::pair<int, int>> cut = {{0, 0}, {w, 0}, {0, h}, {w, h}, {1, 1}, {w - 1, h - 1}};
    const std::vector<std::pair<int, int>> kept = {{w / 2, h / 2}, {r, 0}, {0, r}, {w - r, h}, {w, h - r}, {w / 2, 0},
                                                   {0, h / 2}};
    for (auto [x, y] : cut) {
      EXPECT_EQ(mask.At(x, y), black) << x << "," << y;
    }
    for (auto [x, y] : kept) {
      EXPECT_EQ(mask.At(x, y), white) << x << "," << y;
    }
  }
}

TEST(SkinPictures, SlicesJoinWithoutASeamAndTheMiddleStretchesCleanly) {
  Image left = MustLoad("lvf_button_left.png"), mid = MustLoad("lvf_button_mid.png"),
        right = MustLoad("lvf_button_right.png");
  Image combo_left = MustLoad("_K_ComBobox_left.png"), combo_mid = MustLoad("_K_ComBobox_Mid.png"),
        combo_right = MustLoad("_K_ComBobox_Right_1.png");
  for (const Image* stretched : {&mid, &combo_mid}) {
    for (int x = 1; x < stretched->width; ++x) EXPECT_TRUE(SameColumn(*stretched, x, *stretched, 0)) << x;
  }
  EXPECT_TRUE(SameColumn(left, left.width - 1, mid, 0));
  EXPECT_TRUE(SameColumn(mid, 0, right, 0));
  EXPECT_TRUE(SameColumn(combo_left, combo_left.width - 1, combo_mid, 0));
}

// The strip: columns 0 up, 1 down, 2 thumb, 3 track of a vertical bar, 4 to 7
// left, right, thumb, track of a horizontal one, 8 the corner; rows normal,
// hot, pressed.
class SkinScrollStrip : public ::testing::Test {
 protected:
  static constexpr int kCell = 21;
  void SetUp() override {
    ASSERT_TRUE(Load("sCROLLbar2.bmp", strip_));
    ASSERT_EQ(strip_.width, 9 * kCell);
    ASSERT_EQ(strip_.height, 3 * kCell);
  }
  Rgba Cell(int column, int row, int x, int y) const { return strip_.At(column * kCell + x, row * kCell + y); }
  bool SameCell(int column, int row_a, int row_b) const {
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) {
        if (!(Cell(column, row_a, x, y) == Cell(column, row_b, x, y))) return false;
      }
    }
    return true;
  }
  // Along a vertical bar's axis (y), or a horizontal one's (x), the lines
  // first..last of the cell all equal line `first`.
  bool UniformAlongAxis(int column, int row, bool vertical, int first, int last) const {
    for (int along = first; along <= last; ++along) {
      for (int across = 0; across < kCell; ++across) {
        Rgba a = vertical ? Cell(column, row, across, along) : Cell(column, row, along, across);
        Rgba b = vertical ? Cell(column, row, across, first) : Cell(column, row, first, across);
        if (!(a == b)) return false;
      }
    }
    return true;
  }
  Image strip_;
};

TEST_F(SkinScrollStrip, ArrowsAndThumbsLookDifferentInEachRow) {
  for (int column : {0, 1, 2, 4, 5, 6}) {
    SCOPED_TRACE(column);
    EXPECT_FALSE(SameCell(column, 0, 1));
    EXPECT_FALSE(SameCell(column, 0, 2));
    EXPECT_FALSE(SameCell(column, 1, 2));
  }
}

TEST_F(SkinScrollStrip, TiledPartsLookTheSameAllAlongTheirAxis) {
  // Page areas are tiled with the track cell; the thumb keeps 3 pixels at
  // each end and tiles its middle.
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(UniformAlongAxis(3, row, true, 0, kCell - 1));
    EXPECT_TRUE(UniformAlongAxis(7, row, false, 0, kCell - 1));
    EXPECT_TRUE(UniformAlongAxis(2, row, true, 3, kCell - 4));
    EXPECT_TRUE(UniformAlongAxis(6, row, false, 3, kCell - 4));
  }
}

TEST_F(SkinScrollStrip, ArrowsPointTheWayTheyScroll) {
  // In the normal row the arrow is the only thing that differs from the
  // cell's corner; a triangle is narrow at its tip and wide at its base.
  struct Arrow {
    int column;
    bool vertical;
    bool tip_first;  // the tip is at the top (vertical) or left (horizontal)
  };
  for (const Arrow& a : {Arrow{0, true, true}, Arrow{1, true, false}, Arrow{4, false, true}, Arrow{5, false, false}}) {
    SCOPED_TRACE(a.column);
    Rgba background = Cell(a.column, 0, 0, 0);
    std::vector<int> widths;
    for (int along = 0; along < kCell; ++along) {
      int width = 0;
      for (int across = 0; across < kCell; ++across) {
        Rgba p = a.vertical ? Cell(a.column, 0, across, along) : Cell(a.column, 0, along, across);
        if (std::abs(p.r - background.r) + std::abs(p.g - background.g) + std::abs(p.b - background.b) > 60) ++width;
      }
      if (width > 0) widths.push_back(width);
    }
    ASSERT_GE(widths.size(), 2u);
    if (a.tip_first) {
      EXPECT_LT(widths.front(), widths.back());
    } else {
      EXPECT_GT(widths.front(), widths.back());
    }
  }
}

TEST(SkinPictures, StepBallsHaveTheColoursOfTheirSteps) {
  // Done orange, current green, to come grey: the step panels pick them by name.
  enum class Hue { kOrange, kGreen, kGrey };
  struct Ball {
    const char* file;
    Hue hue;
  };
  for (const Ball& ball : {Ball{"lvf_ball_or.png", Hue::kOrange}, Ball{"lvf_ball_green.png", Hue::kGreen},
                           Ball{"lvf_setup_gr.png", Hue::kGrey}}) {
    SCOPED_TRACE(ball.file);
    Image image = MustLoad(ball.file);
    double r = 0, g = 0, b = 0, weight = 0;
    for (const Rgba& p : image.pixels) {
      r += p.r * p.a;
      g += p.g * p.a;
      b += p.b * p.a;
      weight += p.a;
    }
    ASSERT_GT(weight, 0);
    r /= weight;
    g /= weight;
    b /= weight;
    switch (ball.hue) {
      case Hue::kOrange:
        EXPECT_GT(r, g + 40);
        EXPECT_GT(g, b + 40);
        break;
      case Hue::kGreen:
        EXPECT_GT(g, r + 40);
        EXPECT_GT(g, b + 40);
        break;
      case Hue::kGrey:
        EXPECT_LT(std::max({r, g, b}) - std::min({r, g, b}), 20);
        break;
    }
  }
}

}  // namespace

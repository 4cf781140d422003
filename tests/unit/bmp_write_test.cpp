// bmp_write_test.cpp: the BMP writer's bytes, its round trips and the save path cut.
#include "bmp_export.h"

#include <cstring>
#include <memory>

#include "bmp_fixture.h"

namespace {

using Bitmap = std::unique_ptr<BITMAP, void (*)(BITMAP *)>;

Bitmap Make(int depth, int w, int h) {
  return Bitmap(create_bitmap_ex(depth, w, h), destroy_bitmap);
}

// Distinct values in every pixel and component, so a swapped row, pixel or component shows.
void Fill(BITMAP *b) {
  const int depth = bitmap_color_depth(b);
  for (int y = 0; y < b->h; y++)
    for (int x = 0; x < b->w; x++)
      putpixel(b, x, y, depth == 8 ? (y * 37 + x * 11 + 1) & 255
                                   : makecol_depth(depth, (x * 50) & 255, (y * 80 + 8) & 255,
                                                   (200 - x * 10 - y) & 255));
}

std::vector<RGB> Grey_Palette() {
  std::vector<RGB> palette(256);
  Bmp_Fill_Export_Palette(palette.data());
  return palette;
}

// The layout of the two headers for each depth the display buffer can have.
struct LayoutCase {
  int depth, width, height;
  uint32_t bits, fileSize, offset, imageSize;
};

class BmpLayout : public BmpTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(BmpLayout, HeaderFieldsFollowTheTable) {
  const LayoutCase c = GetParam();
  Bitmap b = Make(c.depth, c.width, c.height);
  Fill(b.get());
  const std::string path = Scratch("layout.bmp");
  ASSERT_EQ(Bmp_Write(path.c_str(), b.get(), Grey_Palette().data()), 0);

  const std::vector<uint8_t> f = Read(path);
  ASSERT_EQ(f.size(), c.fileSize);
  EXPECT_EQ(U16(f, 0), 0x4D42u);
  EXPECT_EQ(U32(f, 2), c.fileSize);
  EXPECT_EQ(U32(f, 6), 0u);  // both reserved words
  EXPECT_EQ(U32(f, 10), c.offset);
  EXPECT_EQ(U32(f, 14), 40u);
  EXPECT_EQ(U32(f, 18), static_cast<uint32_t>(c.width));
  EXPECT_EQ(U32(f, 22), static_cast<uint32_t>(c.height));
  EXPECT_EQ(U16(f, 26), 1u);
  EXPECT_EQ(U16(f, 28), c.bits);
  EXPECT_EQ(U32(f, 30), 0u);
  EXPECT_EQ(U32(f, 34), c.imageSize);
  EXPECT_EQ(U32(f, 38), 0u);
  EXPECT_EQ(U32(f, 42), 0u);
  const uint32_t colours = c.bits == 8 ? 256 : 0;
  EXPECT_EQ(U32(f, 46), colours);
  EXPECT_EQ(U32(f, 50), colours);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpLayout,
    ::testing::Values(LayoutCase{8, 5, 2, 8, 1094, 1078, 16},      // 5 bytes + 3 padding
                      LayoutCase{24, 5, 2, 24, 86, 54, 32},        // 15 bytes + 1 padding
                      LayoutCase{8, 640, 2, 8, 2358, 1078, 1280},  // no padding
                      LayoutCase{24, 4, 1, 24, 66, 54, 12},        // 12 bytes, no padding
                      LayoutCase{15, 3, 1, 24, 66, 54, 12},        // 9 bytes + 3 padding
                      LayoutCase{16, 5, 2, 24, 86, 54, 32},
                      LayoutCase{32, 5, 2, 24, 86, 54, 32}));

// Component positions inside the pixel word: Allegro's own default and the one the X11
// driver sets on a usual display.
struct ShiftSet {
  int r, g, b;
};
constexpr ShiftSet DEFAULT_SHIFTS{0, 8, 16};
constexpr ShiftSet X11_SHIFTS{16, 8, 0};

class BmpPixels : public BmpTest,
                  public ::testing::WithParamInterface<std::tuple<int, ShiftSet>> {
 protected:
  void SetUp() override {
    saved24 = {_rgb_r_shift_24, _rgb_g_shift_24, _rgb_b_shift_24};
    saved32 = {_rgb_r_shift_32, _rgb_g_shift_32, _rgb_b_shift_32};
    const ShiftSet s = std::get<1>(GetParam());
    _rgb_r_shift_24 = _rgb_r_shift_32 = s.r;
    _rgb_g_shift_24 = _rgb_g_shift_32 = s.g;
    _rgb_b_shift_24 = _rgb_b_shift_32 = s.b;
  }
  void TearDown() override {
    _rgb_r_shift_24 = saved24.r, _rgb_g_shift_24 = saved24.g, _rgb_b_shift_24 = saved24.b;
    _rgb_r_shift_32 = saved32.r, _rgb_g_shift_32 = saved32.g, _rgb_b_shift_32 = saved32.b;
  }
  ShiftSet saved24{}, saved32{};
};

// Rows bottom-up, each pixel as getpixel and the depth's component functions give it,
// then zero padding: what the file must hold whichever way the rows are gathered.
TEST_P(BmpPixels, RowsBottomUpWithComponentsOfTheDepth) {
  const int depth = std::get<0>(GetParam());
  Bitmap b = Make(depth, 5, 3);
  Fill(b.get());
  const std::string path = Scratch("pixels.bmp");
  ASSERT_EQ(Bmp_Write(path.c_str(), b.get(), Grey_Palette().data()), 0);
  const std::vector<uint8_t> f = Read(path);

  const bool eight = depth == 8;
  const size_t pixelBytes = eight ? 5 : 15, rowSize = eight ? 8 : 16;
  size_t at = eight ? 1078 : 54;
  ASSERT_EQ(f.size(), at + 3 * rowSize);
  for (int y = 2; y >= 0; y--, at += rowSize) {
    std::vector<uint8_t> expected;
    for (int x = 0; x < 5; x++) {
      const int c = getpixel(b.get(), x, y);
      if (eight) {
        expected.push_back(static_cast<uint8_t>(c));
      } else {
        expected.push_back(static_cast<uint8_t>(getb_depth(depth, c)));
        expected.push_back(static_cast<uint8_t>(getg_depth(depth, c)));
        expected.push_back(static_cast<uint8_t>(getr_depth(depth, c)));
      }
    }
    expected.resize(rowSize, 0);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + at, f.begin() + at + rowSize), expected)
        << "row y=" << y << " (" << pixelBytes << " pixel bytes)";
  }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndShifts, BmpPixels,
                         ::testing::Combine(::testing::Values(8, 15, 16, 24, 32),
                                            ::testing::Values(DEFAULT_SHIFTS, X11_SHIFTS)));

// A screen-like bitmap that is not a memory bitmap cannot be tested here; a sub-bitmap is the
// other shape whose rows are not where a plain bitmap's are.
TEST_F(BmpTest, SubBitmapWritesOnlyItsOwnArea) {
  Bitmap parent = Make(24, 8, 6);
  Fill(parent.get());
  Bitmap sub(create_sub_bitmap(parent.get(), 2, 1, 3, 2), destroy_bitmap);
  const std::string path = Scratch("sub.bmp");
  ASSERT_EQ(Bmp_Write(path.c_str(), sub.get(), Grey_Palette().data()), 0);
  const std::vector<uint8_t> f = Read(path);
  ASSERT_EQ(f.size(), 54u + 2 * 12);
  const int c = getpixel(parent.get(), 2, 2);  // bottom-left of the sub-bitmap, first in file
  EXPECT_EQ(f[54], getb24(c));
  EXPECT_EQ(f[55], getg24(c));
  EXPECT_EQ(f[56], getr24(c));
}

TEST_F(BmpTest, ColourTableIsBlueGreenRedZeroPerEntry) {
  Bitmap b = Make(8, 2, 2);
  const std::string grey = Scratch("grey.bmp"), mixed = Scratch("mixed.bmp");
  ASSERT_EQ(Bmp_Write(grey.c_str(), b.get(), Grey_Palette().data()), 0);
  std::vector<RGB> palette(256);
  for (int i = 0; i < 256; i++)
    palette[i] = RGB{static_cast<unsigned char>(i), static_cast<unsigned char>(i * 3),
                     static_cast<unsigned char>(255 - i), 0};
  ASSERT_EQ(Bmp_Write(mixed.c_str(), b.get(), palette.data()), 0);

  const std::vector<uint8_t> g = Read(grey), m = Read(mixed);
  ASSERT_GE(g.size(), 1078u);
  ASSERT_GE(m.size(), 1078u);
  for (int i = 0; i < 256; i++) {
    const size_t at = 54 + 4 * i;
    EXPECT_EQ(std::vector<uint8_t>(g.begin() + at, g.begin() + at + 4),
              (std::vector<uint8_t>{uint8_t(i), uint8_t(i), uint8_t(i), 0}))
        << "grey entry " << i;
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + at, m.begin() + at + 4),
              (std::vector<uint8_t>{uint8_t(255 - i), uint8_t(i * 3), uint8_t(i), 0}))
        << "mixed entry " << i;
  }
}

TEST_F(BmpTest, ResultIsTheErrorNumberOfThisWrite) {
  Bitmap b = Make(8, 3, 3);
  const std::string missing = Scratch("no_such_folder/x.bmp");
  EXPECT_NE(Bmp_Write(missing.c_str(), b.get(), Grey_Palette().data()), 0);
  EXPECT_TRUE(Read(missing).empty());
  // Opened, but every write fails: the failure must show in the result too.
  if (FILE *full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    EXPECT_EQ(Bmp_Write("/dev/full", b.get(), Grey_Palette().data()), ENOSPC);
  }

  errno = EACCES;  // left over from an earlier call: must not make a good write look failed
  const std::string good = Scratch("good.bmp");
  EXPECT_EQ(Bmp_Write(good.c_str(), b.get(), Grey_Palette().data()), 0);
  EXPECT_EQ(Read(good).size(), 54u + 1024 + 3 * 4);
}

// ImageMagick's reading of a file as RGB triplets, rows top-down.
std::vector<uint8_t> Magick_Rgb(const std::string &path, int *w, int *h) {
  std::vector<uint8_t> out;
  const std::string command = "convert '" + path + "' -depth 8 ppm:-";
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  int maxval = 0;
  if (std::fscanf(pipe, "P6 %d %d %d", w, h, &maxval) == 3 && maxval == 255) {
    std::fgetc(pipe);  // the single blank after the header
    out.resize(static_cast<size_t>(*w) * *h * 3);
    out.resize(std::fread(out.data(), 1, out.size(), pipe));
  }
  pclose(pipe);
  return out;
}

// What is written comes back, pixel for pixel, through Allegro's loader and ImageMagick.
TEST_F(BmpTest, RoundTripThroughAllegroAndImageMagick) {
  for (int depth : {8, 16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    Bitmap b = Make(depth, 7, 5);  // odd width: padded rows
    Fill(b.get());
    const std::string path = Scratch("trip" + std::to_string(depth) + ".bmp");
    ASSERT_EQ(Bmp_Write(path.c_str(), b.get(), Grey_Palette().data()), 0);

    PALETTE pal;
    const int conversion = get_color_conversion();
    set_color_conversion(COLORCONV_NONE);
    Bitmap back(load_bitmap(path.c_str(), pal), destroy_bitmap);
    set_color_conversion(conversion);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(bitmap_color_depth(back.get()), depth == 8 ? 8 : 24);
    ASSERT_EQ(back->w, 7);
    ASSERT_EQ(back->h, 5);

    int mw = 0, mh = 0;
    const std::vector<uint8_t> rgb = Magick_Rgb(path, &mw, &mh);
    ASSERT_EQ(mw, 7);
    ASSERT_EQ(mh, 5);
    ASSERT_EQ(rgb.size(), 7u * 5 * 3);

    for (int y = 0; y < 5; y++) {
      for (int x = 0; x < 7; x++) {
        const int c = getpixel(b.get(), x, y), d = getpixel(back.get(), x, y);
        const uint8_t *m = &rgb[(y * 7 + x) * 3];
        if (depth == 8) {
          EXPECT_EQ(d, c) << x << "," << y;
          EXPECT_EQ(m[0], c);
          EXPECT_EQ(m[1], c);
          EXPECT_EQ(m[2], c);
        } else {
          const int r = getr_depth(depth, c), g = getg_depth(depth, c), bl = getb_depth(depth, c);
          EXPECT_EQ(getr24(d), r) << x << "," << y;
          EXPECT_EQ(getg24(d), g);
          EXPECT_EQ(getb24(d), bl);
          EXPECT_EQ(m[0], r);
          EXPECT_EQ(m[1], g);
          EXPECT_EQ(m[2], bl);
        }
      }
    }
  }
}

TEST(BmpPathCut, DropsTheFileNameKeepsTheFolder) {
  const struct {
    const char *in, *out;
  } cases[] = {
      {"img/a.bmp", "img"},
      {"a.bmp", "a.bmp"},
      {"", ""},
      {"/data/shots/frame 1.bmp", "/data/shots"},
      {"/a.bmp", "/"},
      {"img/", "img"},
  };
  for (const auto &c : cases) {
    char path[BMP_SAVE_PATH_SIZE];
    std::strcpy(path, c.in);
    Bmp_Path_Cut(path);
    EXPECT_STREQ(path, c.out) << "from \"" << c.in << "\"";
  }
}

}  // namespace

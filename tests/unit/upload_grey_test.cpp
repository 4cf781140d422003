// upload_grey_test.cpp: the upload's conversion to grey bytes at the output's size, per depth.
#include "image_upload.h"

#include <memory>

#include "bmp_fixture.h"

namespace {

using Bitmap = std::unique_ptr<BITMAP, void (*)(BITMAP *)>;
using Bytes = std::vector<uint8_t>;

Bytes Grey(BITMAP *image, const RGB *palette, uint32_t w, uint32_t h) {
  Bytes out(w * h, 0xEE);
  Image_To_Grey(image, palette, out.data(), w, h);
  return out;
}

// Colours exact in 5, 6 and 8 bits per component, so every depth gives the same grey:
// row 0 red, cyan, white (85, 170, 255); row 1 black, blue, yellow (0, 85, 170).
Bitmap Colour_Image(int depth) {
  Bitmap b(create_bitmap_ex(depth, 3, 2), destroy_bitmap);
  const int rgb[6][3] = {{255, 0, 0}, {0, 255, 255}, {255, 255, 255},
                         {0, 0, 0},   {0, 0, 255},   {255, 255, 0}};
  for (int i = 0; i < 6; i++)
    putpixel(b.get(), i % 3, i / 3, makecol_depth(depth, rgb[i][0], rgb[i][1], rgb[i][2]));
  return b;
}

TEST_F(BmpTest, ColourDepthsCutOrFillToTheOutputSize) {
  for (int depth : {15, 16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    Bitmap image = Colour_Image(depth);
    EXPECT_EQ(Grey(image.get(), nullptr, 3, 2), (Bytes{85, 170, 255, 0, 85, 170}));
    // Larger than the output: its top-left corner.
    EXPECT_EQ(Grey(image.get(), nullptr, 2, 1), (Bytes{85, 170}));
    // Smaller: points outside read as -1, all components 255.
    EXPECT_EQ(Grey(image.get(), nullptr, 4, 3),
              (Bytes{85, 170, 255, 255, 0, 85, 170, 255, 255, 255, 255, 255}));
  }
}

TEST_F(BmpTest, GreyPictureKeepsItsLevelsIn24BitsAndQuartersThemThroughAPalette) {
  Bitmap rgb(create_bitmap_ex(24, 256, 1), destroy_bitmap);
  Bitmap indexed(create_bitmap_ex(8, 256, 1), destroy_bitmap);
  PALETTE palette;  // linear grey as Allegro keeps palettes: 6-bit components
  for (int i = 0; i < 256; i++) {
    palette[i].r = palette[i].g = palette[i].b = static_cast<unsigned char>(i / 4);
    putpixel(rgb.get(), i, 0, makecol24(i, i, i));
    putpixel(indexed.get(), i, 0, i);
  }
  const Bytes fromRgb = Grey(rgb.get(), nullptr, 256, 1);
  const Bytes fromIndexed = Grey(indexed.get(), palette, 256, 1);
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(fromRgb[i], i);
    EXPECT_EQ(fromIndexed[i], i / 4) << "index " << i;
  }
}

TEST_F(BmpTest, PaletteImageOutsidePointsTakeEntryZero) {
  Bitmap image(create_bitmap_ex(8, 2, 2), destroy_bitmap);
  PALETTE palette = {};
  palette[0] = RGB{9, 12, 15, 0};   // grey 12
  palette[7] = RGB{63, 0, 0, 0};    // 21: components unequal, the mean is what counts
  palette[200] = RGB{30, 30, 33, 0};  // 31: truncated, not rounded
  clear_to_color(image.get(), 7);
  putpixel(image.get(), 1, 1, 200);
  EXPECT_EQ(Grey(image.get(), palette, 3, 3), (Bytes{21, 21, 12, 21, 31, 12, 12, 12, 12}));
  EXPECT_EQ(Grey(image.get(), palette, 1, 1), (Bytes{21}));
}

// The loader keeps a file's depth although Allegro would convert it to the screen's.
TEST_F(BmpTest, LoadKeepsTheFileDepthAndTheConversionSetting) {
  Bitmap picture(create_bitmap_ex(24, 4, 2), destroy_bitmap);
  for (int x = 0; x < 4; x++)
    for (int y = 0; y < 2; y++) putpixel(picture.get(), x, y, makecol24(x * 60, x * 60, x * 60));
  const std::string path = Scratch("grey24.bmp");
  ASSERT_EQ(save_bmp(path.c_str(), picture.get(), nullptr), 0);

  const int depthBefore = get_color_depth(), conversionBefore = get_color_conversion();
  set_color_depth(8);  // as in the viewer's grey modes
  set_color_conversion(COLORCONV_TOTAL);
  PALETTE palette;
  const char *refusal = "unset";
  Bitmap loaded(Image_Load(path.c_str(), palette, &refusal), destroy_bitmap);
  EXPECT_EQ(get_color_conversion(), COLORCONV_TOTAL);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(refusal, nullptr);
  EXPECT_EQ(bitmap_color_depth(loaded.get()), 24);
  EXPECT_EQ(Grey(loaded.get(), palette, 4, 1), (Bytes{0, 60, 120, 180}));
  set_color_depth(depthBefore);
  set_color_conversion(conversionBefore);
}

// A file whose colour table is shorter than its pixel values reach: the missing entries are
// black, whatever the palette buffer held before the load.
TEST_F(BmpTest, PixelsPastAShortColourTableAreBlack) {
  std::vector<uint8_t> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0,
                               4, 0, 0, 0, 1, 0, 0, 0, 1, 0, 8, 0};
  file.resize(54, 0);
  file[46] = 16;  // colours used
  for (int i = 0; i < 16; i++) file.insert(file.end(), {60, 60, 60, 0});
  file[10] = static_cast<uint8_t>(file.size());
  file.insert(file.end(), {0, 15, 16, 200});
  file[2] = static_cast<uint8_t>(file.size());
  const std::string path = Scratch("short_table.bmp");
  Write(path, file);

  PALETTE palette;
  for (RGB &entry : palette) entry = RGB{40, 50, 60, 0};
  const char *refusal = "unset";
  Bitmap image(Image_Load(path.c_str(), palette, &refusal), destroy_bitmap);
  ASSERT_NE(image, nullptr) << (refusal ? refusal : "loader failed");
  ASSERT_EQ(bitmap_color_depth(image.get()), 8);
  EXPECT_EQ(Grey(image.get(), palette, 4, 1), (Bytes{15, 15, 0, 0}));
}

}  // namespace

// qor_line_display_test.cpp: line bitmap sizes and what one block's strip puts on the screen.
#include "line_display.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const int SCREEN_W_ = 800;
const int SCREEN_H_ = 600;
const int WHITE = 255;
const int UNTOUCHED = 254;

class LineDisplay : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, install_allegro(SYSTEM_NONE, &errno, atexit)); }
  void TearDown() override { allegro_exit(); }
};

TEST_F(LineDisplay, BitmapOnlyForGeometryAllegroCanHold) {
  struct Case {
    uint32_t lineSize, lines;
    bool fits;
  };
  const Case cases[] = {
      {2048, 256, true},       {1, 1, true},       {0, 256, false},
      {2048, 0, false},        {0xFFFFFFFFu, 1, false}, {1, 0x80000000u, false},
      {65536, 65536, false},   // the int product Allegro would form wraps to 0
      {16384, 32768, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.lineSize << " x " << c.lines);
    EXPECT_EQ(c.fits, Line_Geometry_Fits(c.lineSize, c.lines));
    if (!c.fits) {
      EXPECT_EQ(nullptr, Line_Bitmap_Create(c.lineSize, c.lines));
    }
  }
  BITMAP *bmp = Line_Bitmap_Create(2048, 256);
  ASSERT_NE(nullptr, bmp);
  EXPECT_EQ(2048, bmp->w);
  EXPECT_EQ(256, bmp->h);
  EXPECT_EQ(8, bitmap_color_depth(bmp));
  destroy_bitmap(bmp);
}

// What the screen must show at (x, y) after strip n of a block whose line y holds y + 1.
int Expected(int x, int y, int n, int width, int height) {
  const int top = 60 * n;
  if (y < top || y >= top + 60) return UNTOUCHED;
  const int k = y - top;
  if (k == 0 && (x <= 100 || x >= SCREEN_W_ - 100)) return WHITE;
  if (k == 30) return WHITE;
  if (x >= width) return UNTOUCHED;
  // Upper half: lines 0..29; lower half: the last 30 lines, or as many as exist.
  const int line = k < 30 ? k : height - 30 + (k - 30);
  if (line < 0 || line >= height) return UNTOUCHED;
  return line + 1;
}

TEST_F(LineDisplay, StripShowsFirstAndLastThirtyLinesWithMarkers) {
  struct Case {
    int width, height, n;
  };
  const Case cases[] = {
      {2048, 100, 0},  // the usual case: wider than the screen, more than 60 lines
      {2048, 100, 9},  // the last strip ends on the screen's last row
      {500, 100, 3},   // narrower than the screen: the right side keeps what it had
      {2048, 45, 1},   // under 60 lines: the two halves overlap
      {2048, 20, 2},   // under 30 lines: each copy shows only the lines that exist
      {300, 1, 4},
  };
  BITMAP *screenBmp = create_bitmap(SCREEN_W_, SCREEN_H_);
  ASSERT_NE(nullptr, screenBmp);
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", strip " << c.n);
    BITMAP *lines = create_bitmap(c.width, c.height);
    ASSERT_NE(nullptr, lines);
    for (int y = 0; y < c.height; ++y) std::fill_n(lines->line[y], c.width, y + 1);
    clear_to_color(screenBmp, UNTOUCHED);

    Line_Strip_Draw(screenBmp, lines, c.n, SCREEN_W_, WHITE);

    int mismatches = 0;
    for (int y = 0; y < SCREEN_H_ && mismatches < 5; ++y) {
      for (int x = 0; x < SCREEN_W_ && mismatches < 5; ++x) {
        const int want = Expected(x, y, c.n, c.width, c.height);
        const int got = screenBmp->line[y][x];
        if (got != want) {
          ++mismatches;
          ADD_FAILURE() << "at (" << x << ", " << y << "): " << got << ", want " << want;
        }
      }
    }
    destroy_bitmap(lines);
  }
  destroy_bitmap(screenBmp);
}

}  // namespace

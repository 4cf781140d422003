// overlay_histogram_test.cpp: histogram count, scaling and bars.
#include "overlay_fixture.h"

namespace {

using Histogram = OverlayTest;

// Fills the first n pixels (row-major) of an 8-bit bitmap with value, from *next on.
void Paint(BITMAP *b, int *next, int n, int value) {
  for (int i = 0; i < n; ++i, ++*next) putpixel(b, *next % b->w, *next / b->w, value);
}

TEST_F(Histogram, ThreeLevelsScaleAgainstTheSecondLargestCount) {
  // 25 wide: rows end in a pixel that the 8-byte steps do not reach.
  BITMAP *b = Bitmap(25, 32, 0);
  int next = 0;
  Paint(b, &next, 500, 10);
  Paint(b, &next, 200, 100);
  Paint(b, &next, 100, 255);
  ASSERT_EQ(next, 25 * 32);
  Histogram_Count(b);
  for (int i = 0; i < 256; ++i) {
    uint32_t want = i == 10 ? 256 : i == 100 ? 256 : i == 255 ? 128 : 0;
    EXPECT_EQ(overlay.bins[i], want) << "bin " << i;
  }
}

TEST_F(Histogram, CountsOnlyEightBitBitmaps) {
  std::fill(std::begin(overlay.bins), std::end(overlay.bins), 99u);
  Histogram_Count(Bitmap(16, 4, 0, 16));
  for (uint32_t v : overlay.bins) ASSERT_EQ(v, 0u);
}

TEST_F(Histogram, ScalingTable) {
  struct Case {
    const char *what;
    std::vector<std::pair<int, uint32_t>> in;    // bin, count; others 0
    std::vector<std::pair<int, uint32_t>> want;  // bin, bar; others 0
  } cases[] = {
      {"all empty: no division by zero", {}, {}},
      {"one level: full height", {{7, 1000}}, {{7, 256}}},
      {"equal levels: full height", {{1, 40}, {2, 40}}, {{1, 256}, {2, 256}}},
      {"small bins truncate", {{0, 1000}, {1, 300}, {2, 1}}, {{0, 256}, {1, 256}, {2, 0}}},
      {"counts past 2^24 do not wrap",
       {{0, 1u << 26}, {1, 1u << 25}, {2, 1u << 24}},
       {{0, 256}, {1, 256}, {2, 128}}},
  };
  for (const Case &c : cases) {
    uint32_t bins[256] = {};
    for (auto [bin, count] : c.in) bins[bin] = count;
    uint32_t want[256] = {};
    for (auto [bin, bar] : c.want) want[bin] = bar;
    Histogram_Scale(bins);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(bins[i], want[i]) << c.what << ", bin " << i;
  }
}

TEST_F(Histogram, FrameCountOnlyWithHistogramOnAndStretchOff) {
  BITMAP *b = Bitmap(8, 8, 3);
  Display(b);
  struct Case {
    bool histogram, stretch, bitmap, counted;
  } cases[] = {
      {true, false, true, true},
      {false, false, true, false},
      {true, true, true, false},   // stretched: the bars of the last count stay
      {true, false, false, false},
  };
  for (const Case &c : cases) {
    std::fill(std::begin(overlay.bins), std::end(overlay.bins), 5u);
    viewer.histogramFlag = c.histogram;
    viewer.stretchFlag = c.stretch;
    viewer.displayBuffer->bitmap = c.bitmap ? b : nullptr;
    Histogram_Count_Frame();
    EXPECT_EQ(overlay.bins[3], c.counted ? 256u : 5u)
        << c.histogram << c.stretch << c.bitmap;
    EXPECT_EQ(overlay.bins[0], c.counted ? 0u : 5u);
  }
}

TEST_F(Histogram, BarsStandOnTheOverlayTopWithTwentyClearedAbove) {
  BITMAP *s = Screen(300, 400);
  const int top = Overlay_Top();
  ASSERT_EQ(top, 400 - 4 * overlay.lineHeight);
  overlay.bins[0] = 256;
  overlay.bins[1] = 128;
  overlay.bins[2] = 0;
  viewer.histogramFlag = true;
  Histogram_Draw();
  struct Column {
    int x, bar;
  } columns[] = {{0, 256}, {1, 128}, {2, 0}};
  for (const Column &c : columns) {
    for (int y = top; y > top - c.bar; --y) ASSERT_EQ(getpixel(s, c.x, y), TEXT) << c.x << "," << y;
    for (int y = top - c.bar; y >= top - c.bar - 20; --y)
      ASSERT_EQ(getpixel(s, c.x, y), BACKGROUND) << c.x << "," << y;
    EXPECT_EQ(getpixel(s, c.x, top - c.bar - 21), UNTOUCHED) << c.x;
    EXPECT_EQ(getpixel(s, c.x, top + 1), UNTOUCHED) << c.x;
  }
  EXPECT_EQ(getpixel(s, 256, top), UNTOUCHED);

  clear_to_color(s, UNTOUCHED);
  viewer.histogramFlag = false;
  Histogram_Draw();
  EXPECT_EQ(getpixel(s, 0, top), UNTOUCHED);
}

}  // namespace

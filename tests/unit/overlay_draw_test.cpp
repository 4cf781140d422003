// overlay_draw_test.cpp: what the frame display, prompt, attribute and status lines paint.
#include "overlay_fixture.h"

namespace {

using OverlayDraw = OverlayTest;

// Counts the pixels of colour c in the rectangle [x0, x1) x [y0, y1).
int Count(BITMAP *b, int x0, int y0, int x1, int y1, int c) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += getpixel(b, x, y) == c;
  return n;
}

TEST_F(OverlayDraw, FramedImageSitsInsideAOnePixelFrame) {
  BITMAP *s = Screen(64, 48);
  BITMAP *image = Bitmap(10, 6, 50);
  putpixel(image, 9, 5, 60);
  Display(image);
  Frame_Show();
  struct Pixel {
    int x, y, want;
  } pixels[] = {
      {0, 0, FRAME},  {11, 0, FRAME},     {0, 7, FRAME},      {11, 7, FRAME}, {5, 0, FRAME},
      {1, 1, 50},     {10, 6, 60},        {12, 0, UNTOUCHED}, {0, 8, UNTOUCHED},
      {12, 8, UNTOUCHED},
  };
  for (const Pixel &p : pixels) EXPECT_EQ(getpixel(s, p.x, p.y), p.want) << p.x << "," << p.y;
}

TEST_F(OverlayDraw, StretchedImageFillsAllButTheLastRows) {
  BITMAP *s = Screen(40, 30);
  BITMAP *image = Bitmap(10, 6, 50);
  rectfill(image, 5, 0, 9, 5, 100);
  Display(image);
  viewer.stretchFlag = true;
  Frame_Show();
  struct Pixel {
    int x, y, want;
  } pixels[] = {
      {0, 0, FRAME}, {39, 0, FRAME}, {0, 28, FRAME},     {1, 1, 50},
      {5, 10, 50},   {35, 10, 100},  {39, 28, 100},      {20, 29, UNTOUCHED},
  };
  for (const Pixel &p : pixels) EXPECT_EQ(getpixel(s, p.x, p.y), p.want) << p.x << "," << p.y;
}

TEST_F(OverlayDraw, BadTypeShowsTheMessageCentredInsteadOfTheImage) {
  BITMAP *s = Screen(200, 100);
  Display(Bitmap(10, 6, 50));
  cycle.badTypeFlag = true;
  std::strcpy(cycle.messageBuffer, "Bad input data type");
  Frame_Show();
  const int half = text_length(font, cycle.messageBuffer) / 2;
  EXPECT_EQ(getpixel(s, 1, 1), UNTOUCHED);
  EXPECT_GT(Count(s, 100 - half, 50, 100 + half, 58, TEXT), 0);
  EXPECT_EQ(Count(s, 100 - half, 50, 100 + half, 58, UNTOUCHED), 0);
  EXPECT_EQ(getpixel(s, 100 - half - 1, 50), UNTOUCHED);
  EXPECT_EQ(getpixel(s, 100 + half, 50), UNTOUCHED);
}

TEST_F(OverlayDraw, AttributeViewLeavesTheScreenToTheAttributeLines) {
  BITMAP *s = Screen(64, 48);
  Display(Bitmap(10, 6, 50));
  viewer.attributeViewFlag = true;
  Frame_Show();
  EXPECT_EQ(Count(s, 0, 0, 64, 48, UNTOUCHED), 64 * 48);
}

TEST_F(OverlayDraw, AttributeLinesGoToTheScreenOrIntoTheImage) {
  // The input handle is none, so the library gives no attributes: only the "Total" line.
  viewer.inputData = QORLIB3_NONE;
  BITMAP *s = Screen(200, 40);
  BITMAP *image = Bitmap(200, 40, 50);
  Display(image);
  Attributes_Draw();
  EXPECT_GT(Count(image, 0, 0, 8, 8, TEXT), 0);
  EXPECT_EQ(Count(s, 0, 0, 200, 40, UNTOUCHED), 200 * 40);

  clear_to_color(image, 50);
  viewer.attributeViewFlag = true;
  Attributes_Draw();
  EXPECT_GT(Count(s, 0, 0, 8, 8, TEXT), 0);
  EXPECT_EQ(Count(image, 0, 0, 200, 40, 50), 200 * 40);

  viewer.attributeViewFlag = false;   // no bitmap: nothing to draw into, no crash
  Display(nullptr);
  Attributes_Draw();
}

TEST_F(OverlayDraw, OverlayTopLeavesRoomForFourLinesAndTheEntries) {
  ASSERT_EQ(overlay.lineHeight, text_height(font) + 1);
  Screen(800, 600);
  struct Case {
    uint32_t entries;
    int top;
  } cases[] = {{0, 600 - 4 * 9}, {3, 600 - 7 * 9}, {200, 600 - 204 * 9}};
  for (const Case &c : cases) {
    controlTable.count = c.entries;
    EXPECT_EQ(Overlay_Top(), c.top) << c.entries;
  }
}

TEST_F(OverlayDraw, StatusLinesStartAtTheOverlayTopOneLineHeightApart) {
  BITMAP *s = Screen(320, 200);
  controlTable.count = 2;   // kind 0 rows: they take their place but draw nothing
  const int top = Overlay_Top();
  ASSERT_EQ(top, 200 - 6 * overlay.lineHeight);
  Status_Lines_Draw();
  EXPECT_EQ(Count(s, 0, 0, 320, top, UNTOUCHED), 320 * top);
  for (int line = 0; line < 4; ++line) {
    const int y = top + line * overlay.lineHeight;
    EXPECT_GT(Count(s, 0, y, 8, y + 8, TEXT), 0) << line;
    EXPECT_EQ(Count(s, 0, y + 8, 320, y + 9, UNTOUCHED), 320) << line;
  }
  const int rows = top + 4 * overlay.lineHeight;
  EXPECT_EQ(Count(s, 0, rows, 320, 200, UNTOUCHED), 320 * (200 - rows));
}

TEST_F(OverlayDraw, SingleStepPromptStartsAtTheCentre) {
  BITMAP *s = Screen(600, 100);
  video.colours.text = 1;   // the prompt keeps its own colours whatever the slots say
  Single_Step_Prompt();
  const int width = text_length(font, "Press enter for next frame...");
  EXPECT_GT(Count(s, 300, 50, 300 + width, 58, 255), 0);
  EXPECT_EQ(Count(s, 300, 50, 300 + width, 58, 255) + Count(s, 300, 50, 300 + width, 58, 0),
            width * 8);
  EXPECT_EQ(getpixel(s, 299, 50), UNTOUCHED);
}

TEST_F(OverlayDraw, NoScreenDrawsNothingAndDoesNotCrash) {
  Display(Bitmap(10, 6, 50));
  viewer.histogramFlag = true;
  Frame_Show();
  Single_Step_Prompt();
  Histogram_Draw();
  Status_Lines_Draw();
  Frame_Rate_Draw();
  Frame_Rate_Draw();
}

}  // namespace

// qor_system_display_buffer_test.cpp: the display bitmap and its header per colour depth.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cerrno>

#include "display_buffer.h"
#include "video.h"

namespace {

class DisplayBufferTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    ASSERT_LE(QorVoz3Init(nullptr), 0);
  }
  static void TearDownTestSuite() {
    QorVoz3Exit(nullptr);
    allegro_exit();
  }
  void SetUp() override { Video_Reset(); }

  static uint32_t Value(DisplayBuffer *b, uint32_t number) {
    uint32_t v = 0xdeadbeef;
    EXPECT_LE(QorVoz3DataheaderGetU32(b->header, number, &v, nullptr), 0) << "value " << number;
    return v;
  }
  static void Expect_Image_Type(DisplayBuffer *b) {
    uint32_t kind = 0, bits = 0;
    uint64_t count = 1;
    ASSERT_LE(QorVoz3DataheaderGetType(b->header, &kind, &bits, &count, nullptr), 0);
    EXPECT_EQ(kind, 3u);
    EXPECT_EQ(bits, 8u);
    EXPECT_EQ(count, 0u);
  }
};

TEST_F(DisplayBufferTest, HeaderValuesAndLineSizePerDepth) {
  const struct {
    int depth;
    uint32_t width;
    uint32_t bitsPerPixel, format, layout, lineSize;
  } cases[] = {
      {8, 641, 8, 0x10001, 0x20000, 641},   // no row padding
      {16, 5, 16, 0x10004, 0x20005, 10},
      {24, 5, 24, 0x10004, 0x20004, 15},
      {32, 5, 32, 0x10004, 0x20005, 20},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.depth);
    video.depth = c.depth;
    DisplayBuffer *b = Display_Buffer_Create(c.width, 3);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->bitmap, nullptr);
    EXPECT_EQ(bitmap_color_depth(b->bitmap), c.depth);
    EXPECT_EQ(b->bitmap->w, static_cast<int>(c.width));
    EXPECT_EQ(b->bitmap->h, 3);
    Expect_Image_Type(b);
    EXPECT_EQ(Value(b, QORLIB3_DH_WIDTH), c.width);
    EXPECT_EQ(Value(b, QORLIB3_DH_HEIGHT), 3u);
    EXPECT_EQ(Value(b, QORLIB3_DH_BITS_PER_PIXEL), c.bitsPerPixel);
    EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_FORMAT), c.format);
    EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_LAYOUT), c.layout);
    EXPECT_EQ(b->lineSize, c.lineSize);
  }
}

TEST_F(DisplayBufferTest, NoBitmapWithoutSizeOrDepthAndTheHeaderIsKept) {
  video.depth = 0;
  DisplayBuffer *b = Display_Buffer_Create(640, 480);   // before any graphics mode
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->bitmap, nullptr);

  video.depth = 8;
  ASSERT_EQ(Display_Buffer_Resize(b, 640, 480), b);
  ASSERT_NE(b->bitmap, nullptr);
  const struct {
    uint32_t width, height;
  } empties[] = {{0, 0}, {0, 480}, {640, 0}};
  for (const auto &e : empties) {
    ASSERT_EQ(Display_Buffer_Resize(b, e.width, e.height), b);
    EXPECT_EQ(b->bitmap, nullptr);
    EXPECT_EQ(Value(b, QORLIB3_DH_WIDTH), 640u);
    EXPECT_EQ(Value(b, QORLIB3_DH_HEIGHT), 480u);
    EXPECT_EQ(b->lineSize, 640u);
  }
}

TEST_F(DisplayBufferTest, EveryResizeRewritesTypeAndDepthValues) {
  video.depth = 8;
  DisplayBuffer *b = Display_Buffer_Create(16, 16);
  ASSERT_NE(b, nullptr);
  // Something else wrote the header meanwhile; a resize to a new size restores the image type.
  ASSERT_LE(QorVoz3DataheaderSetType(b->header, 5, 16, 99, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderSetU32(b->header, QORLIB3_DH_PIXEL_FORMAT, 0x10003, nullptr), 0);
  video.depth = 24;
  Display_Buffer_Resize(b, 32, 8);
  ASSERT_NE(b->bitmap, nullptr);
  EXPECT_EQ(bitmap_color_depth(b->bitmap), 24);
  Expect_Image_Type(b);
  EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_FORMAT), 0x10004u);
  EXPECT_EQ(Value(b, QORLIB3_DH_WIDTH), 32u);
  EXPECT_EQ(Value(b, QORLIB3_DH_HEIGHT), 8u);
  EXPECT_EQ(b->lineSize, 96u);

  // The same size and depth again still makes a new bitmap and rewrites the header.
  ASSERT_LE(QorVoz3DataheaderSetType(b->header, 5, 16, 99, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderSetU32(b->header, QORLIB3_DH_PIXEL_LAYOUT, 0x20000, nullptr), 0);
  Display_Buffer_Resize(b, 32, 8);
  ASSERT_NE(b->bitmap, nullptr);
  Expect_Image_Type(b);
  EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_LAYOUT), 0x20004u);
}

// A frame size whose pixel memory does not fit Allegro's int arithmetic gets no bitmap (a
// short allocation would be overrun by every row read), but the header still says the size.
TEST_F(DisplayBufferTest, OversizedFrameGetsNoBitmap) {
  video.depth = 32;
  DisplayBuffer *b = Display_Buffer_Create(70000, 70000);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->bitmap, nullptr);
  EXPECT_EQ(Value(b, QORLIB3_DH_WIDTH), 70000u);
  EXPECT_EQ(Value(b, QORLIB3_DH_HEIGHT), 70000u);
}

}  // namespace

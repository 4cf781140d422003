// qor_system_display_buffer_faults_test.cpp: header values refused by the library during a resize.
// The faults count calls over the whole process, so this program holds one test.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "display_buffer.h"
#include "video.h"

namespace {

// Read by the library at its first call. SetU32 calls, five per resize when all succeed:
// bits per pixel, pixel format, pixel layout, width, height.
const bool faultsSet = [] {
  setenv("QORSIM_FAULTS",
         "DataheaderSetU32#3=5,DataheaderSetU32#7=5,DataheaderSetU32#10=5", 1);
  return true;
}();

uint32_t Value(const DisplayBuffer *b, uint32_t number) {
  uint32_t v = 0xdeadbeef;
  EXPECT_LE(QorVoz3DataheaderGetU32(b->header, number, &v, nullptr), 0) << "value " << number;
  return v;
}

TEST(DisplayBufferFaults, RefusedValueStopsTheRestOfItsDepthButNotTheSize) {
  ASSERT_TRUE(faultsSet);
  ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
  ASSERT_LE(QorVoz3Init(nullptr), 0);
  Video_Reset();
  DisplayBuffer *b = Display_Buffer_Create(0, 0);
  ASSERT_NE(b, nullptr);
  b->lineSize = 1;

  const struct {
    const char *what;
    int depth;
    uint32_t width, height;
    uint32_t bitsPerPixel, format, layout, lineSize;
  } steps[] = {
      // Calls 1 to 5: the layout is refused; an 8-bit line size is stored before it.
      {"8 bits, layout refused", 8, 10, 2, 8, 0x10001, 0, 10},
      // Calls 6 to 9: the format is refused, so no layout call and the line size stays.
      {"24 bits, format refused", 24, 7, 3, 24, 0x10001, 0, 10},
      // Calls 10 to 12: the depth is refused and nothing else of the depth is written.
      {"8 bits, depth refused", 8, 9, 4, 24, 0x10001, 0, 10},
      // Calls 13 to 17: all accepted.
      {"16 bits", 16, 6, 5, 16, 0x10004, 0x20005, 12},
  };
  for (const auto &s : steps) {
    SCOPED_TRACE(s.what);
    video.depth = s.depth;
    ASSERT_EQ(Display_Buffer_Resize(b, s.width, s.height), b);
    ASSERT_NE(b->bitmap, nullptr);
    EXPECT_EQ(Value(b, QORLIB3_DH_BITS_PER_PIXEL), s.bitsPerPixel);
    EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_FORMAT), s.format);
    EXPECT_EQ(Value(b, QORLIB3_DH_PIXEL_LAYOUT), s.layout);
    EXPECT_EQ(b->lineSize, s.lineSize);
    EXPECT_EQ(Value(b, QORLIB3_DH_WIDTH), s.width);
    EXPECT_EQ(Value(b, QORLIB3_DH_HEIGHT), s.height);
  }
  QorVoz3Exit(nullptr);
  allegro_exit();
}

}  // namespace

// acquisition_buffer_test.cpp: a frame too large for one transfer buffer, through the loop: the
// message in place of the image, no transfer, and the loop going on.
#include <dlfcn.h>

#include <string>

#include "acquisition_fixture.h"

namespace {

// Element count reported for the input while set; 0 passes the library's own through.
uint64_t inflatedCount = 0;

using ElementCountTest = CycleTest;

// Pixels of colour c in the rectangle [x0, x1) x [y0, y1).
int Count(BITMAP *b, int x0, int y0, int x1, int y1, int c) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += getpixel(b, x, y) == c;
  return n;
}

TEST_F(ElementCountTest, AFrameTooLargeForOneBlockShowsWhyAndTheLoopGoesOn) {
  In_Child([&] {
    Start(3);   // 16-bit input on an 8-bit screen: the whole frame goes to the buffer
    inflatedCount = 1ull << 33;   // 16 GiB of 16-bit elements
    cycle.state = INPUT_STATE_ALLOC_BUFFERS;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Acquisition_Pass());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(cycle.state, INPUT_STATE_READ);
    EXPECT_EQ(cycle.transport, TO_BUFFER);
    EXPECT_EQ(cycle.transferBuffer, nullptr);
    EXPECT_TRUE(cycle.badTypeFlag);
    EXPECT_STREQ(cycle.messageBuffer, "Transfer buffer too large");

    clear_to_color(screen, 0);
    Mark();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Acquisition_Pass());
    testing::internal::GetCapturedStdout();
    EXPECT_LE(viewer.status, 0);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    EXPECT_TRUE(Calls("InDInterfaceTransfer").empty()) << "nothing transferred into nothing";
    EXPECT_EQ(Calls("InDInterfaceEndBlock").size(), 1u);
    const int half = text_length(font, "Transfer buffer too large") / 2;
    EXPECT_GT(Count(screen, 400 - half, 300, 400 + half, 308, video.colours.text), 0)
        << "the message is shown at the centre";

    // The frame shrinks back (say after the operator changed an option): a buffer again.
    inflatedCount = 0;
    cycle.state = INPUT_STATE_ALLOC_BUFFERS;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Acquisition_Pass());
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(cycle.badTypeFlag);
    EXPECT_NE(cycle.transferBuffer, nullptr);
    EXPECT_EQ(cycle.transferBufferSize, 640u * 480u * 2u);
  });
}

}  // namespace

// Stands in front of the library's call so that an input can report more elements than the
// stand-in ever delivers; everything else is the library's own answer.
extern "C" int QorVoz3DataheaderGetType(QorHandle header, uint32_t *kind, uint32_t *bitsPerElement,
                                        uint64_t *elementCount, ErrorData *err) {
  using GetType = int (*)(QorHandle, uint32_t *, uint32_t *, uint64_t *, ErrorData *);
  static GetType library =
      reinterpret_cast<GetType>(dlsym(RTLD_NEXT, "QorVoz3DataheaderGetType"));
  if (!library) return 1;
  const int status = library(header, kind, bitsPerElement, elementCount, err);
  if (status <= 0 && inflatedCount && elementCount && header == viewer.dataHeaderIn)
    *elementCount = inflatedCount;
  return status;
}

// sim_source_test.cpp: system 9 on GStreamer pipelines: listing, exact bytes from image files
// in each pixel format, headers from the caps, failures with GStreamer's words, end of stream,
// restart, the ring's drops, and no thread left behind. ctest runs it with QORSIM_BUFFERS=0
// (every frame kept, the source waits) and with the default ring of 4.
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim_source_fixture.h"

namespace {

constexpr uint32_t W = 13, H = 7;  // odd: GStreamer pads the rows, the library must not

std::vector<uint8_t> GreyPixels(int image) {
  std::vector<uint8_t> p;
  for (uint32_t y = 0; y < H; ++y)
    for (uint32_t x = 0; x < W; ++x) {
      uint8_t v = static_cast<uint8_t>(x * 19 + y * 7);
      p.push_back(image ? static_cast<uint8_t>(255 - v) : v);
    }
  return p;
}

std::vector<uint8_t> RgbPixels(int image) {
  std::vector<uint8_t> p;
  for (uint32_t y = 0; y < H; ++y)
    for (uint32_t x = 0; x < W; ++x)
      for (uint32_t c = 0; c < 3; ++c)
        p.push_back(static_cast<uint8_t>(x * 19 + y * 7 + c * 80 + image * 40));
  return p;
}

// What each pixel format makes of the image: bytes per pixel from the source's pixel.
enum Expect { SAME, GREY16, GREY_TO_BGR, RGB_TO_BGR, LUMA8, LUMA16 };

struct ImageCase {
  const char *kind;  // ImageMagick's name of the raw pixels
  int formatSteps;   // SetNextEnumVal calls from Mono8: 0 Mono8, 1 Mono16, 2 Color24
  Expect expect;
  uint32_t bits, bytesPerPixel, format, layout;
};

const ImageCase kImageCases[] = {
    {"gray", 0, SAME, 8, 1, 0x10001, 0x20000},
    {"gray", 1, GREY16, 16, 2, 0x10003, 0x20000},
    {"gray", 2, GREY_TO_BGR, 8, 3, 0x10004, 0x20004},
    {"rgb", 0, LUMA8, 8, 1, 0x10001, 0x20000},
    {"rgb", 1, LUMA16, 16, 2, 0x10003, 0x20000},
    {"rgb", 2, RGB_TO_BGR, 8, 3, 0x10004, 0x20004},
};

// Checks frame against the source pixels; luma is the full-range BT.601 weighting, within 1.
void CheckFrame(const ImageCase &c, const std::vector<uint8_t> &src,
                const std::vector<uint8_t> &frame) {
  ASSERT_EQ(frame.size(), W * H * c.bytesPerPixel);
  bool grey = std::strcmp(c.kind, "gray") == 0;
  for (uint32_t i = 0; i < W * H; ++i) {
    const uint8_t *out = &frame[i * c.bytesPerPixel];
    const uint8_t *in = grey ? &src[i] : &src[i * 3];
    SCOPED_TRACE("pixel " + std::to_string(i));
    double luma = grey ? in[0] : 0.299 * in[0] + 0.587 * in[1] + 0.114 * in[2];
    switch (c.expect) {
      case SAME: ASSERT_EQ(out[0], in[0]); break;
      case GREY16: ASSERT_EQ(out[0], in[0]); ASSERT_EQ(out[1], in[0]); break;
      case GREY_TO_BGR:
        ASSERT_EQ(out[0], in[0]); ASSERT_EQ(out[1], in[0]); ASSERT_EQ(out[2], in[0]);
        break;
      case RGB_TO_BGR:
        ASSERT_EQ(out[0], in[2]); ASSERT_EQ(out[1], in[1]); ASSERT_EQ(out[2], in[0]);
        break;
      case LUMA8: ASSERT_NEAR(out[0], luma, 1.0); break;
      case LUMA16: ASSERT_NEAR(out[1], luma, 1.0); break;  // little-endian: high byte second
    }
  }
}

class SimSource : public SimSourceTest {};

TEST_F(SimSource, ListedAndCreatedOnlyWhileTheVariableIsSet) {
  QorHandle systems = QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM);
  QorHandle options = QorVoz3ListGetStdList(QORLIB3_STDLIST_OPTION);
  auto count = [](QorHandle list) {
    uint32_t n = 0;
    while (QorVoz3ListGetAll(nullptr, nullptr, n, list)) ++n;
    return n;
  };
  unsetenv("QORSIM_SOURCE");
  EXPECT_EQ(QorVoz3ListGetString(9, systems), nullptr);
  EXPECT_EQ(count(systems), 7u);
  EXPECT_EQ(count(options), 9u);
  uint32_t rc = 0;
  Created(&rc);
  EXPECT_EQ(rc, QORLIB3_ERR_UNKNOWN_SYSTEM);

  Source("videotestsrc");
  EXPECT_STREQ(QorVoz3ListGetString(9, systems), "SimSource");
  EXPECT_EQ(count(systems), 8u);
  EXPECT_EQ(count(options), 11u);
  EXPECT_STREQ(QorVoz3ListGetString(0x500004, QorVoz3ListGetStdList(QORLIB3_STDLIST_INFO)),
               "FramesDropped");
  QorHandle sys = Created(&rc);
  EXPECT_EQ(rc, 0u) << err.message;
  EXPECT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
}

TEST_F(SimSource, ImageFilesArriveByteExactInEachPixelFormat) {
  WritePng("gray0", "gray", W, H, GreyPixels(0));
  WritePng("gray1", "gray", W, H, GreyPixels(1));
  WritePng("rgb0", "rgb", W, H, RgbPixels(0));
  WritePng("rgb1", "rgb", W, H, RgbPixels(1));
  QorHandle header = 0;
  ASSERT_EQ(QorVoz3DataheaderCreate(&header, &err), 0);
  for (const ImageCase &c : kImageCases) {
    SCOPED_TRACE(std::string(c.kind) + " format step " + std::to_string(c.formatSteps));
    Source(Images(c.kind, 2));
    QorHandle sys = Created();
    for (int i = 0; i < c.formatSteps; ++i)
      ASSERT_EQ(QorVoz3OptionSetNextEnumVal(Interface(sys, kPixelFormatType), 0, &err), 0);
    ASSERT_EQ(QorVoz3SystemInit(sys, &err), 0) << err.message;
    QorHandle in = Input(sys);
    HeaderOf(in, header);
    uint32_t kind = 0, bits = 0;
    uint64_t elements = 0;
    ASSERT_EQ(QorVoz3DataheaderGetType(header, &kind, &bits, &elements, &err), 0);
    EXPECT_EQ(kind, 3u);
    EXPECT_EQ(bits, c.bits);
    EXPECT_EQ(elements * bits / 8, W * H * c.bytesPerPixel);
    EXPECT_EQ(U32(header, QORLIB3_DH_WIDTH), W);
    EXPECT_EQ(U32(header, QORLIB3_DH_HEIGHT), H);
    EXPECT_EQ(U32(header, QORLIB3_DH_LINE_SIZE), W * c.bytesPerPixel);  // no padding
    EXPECT_EQ(U32(header, QORLIB3_DH_PIXEL_FORMAT), c.format);
    EXPECT_EQ(U32(header, QORLIB3_DH_PIXEL_LAYOUT), c.layout);
    bool grey = std::strcmp(c.kind, "gray") == 0;
    // Frames come in file order; the second one read in odd pieces that cross rows.
    CheckFrame(c, grey ? GreyPixels(0) : RgbPixels(0), NextFrame(in));
    CheckFrame(c, grey ? GreyPixels(1) : RgbPixels(1), NextFrame(in, 5));
    EXPECT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
  }
  QorVoz3DataheaderFree(header, &err);
}

TEST_F(SimSource, HeaderFollowsAnOptionChangeMidStream) {
  Source("videotestsrc ! video/x-raw,width=64,height=48,framerate=200/1");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  QorHandle a = 0;
  ASSERT_EQ(QorVoz3DataheaderCreate(&a, &err), 0);
  HeaderOf(in, a);
  EXPECT_EQ(U32(a, QORLIB3_DH_WIDTH), 64u);  // Width 0: the source's own size
  EXPECT_EQ(Info(sys, kSourceRateInfo), 200000);
  EXPECT_EQ(NextFrame(in).size(), 64u * 48u);

  ASSERT_EQ(QorVoz3OptionSetScalar(Interface(sys, kWidthType), 40, 0, &err), 0);
  ASSERT_EQ(QorVoz3OptionSetScalar(Interface(sys, kHeightType), 21, 0, &err), 0);
  // Frames made before the change still come with their own header; then the new size.
  uint32_t width = 64;
  for (int i = 0; i < 50 && width != 40; ++i) {
    ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0) << err.message;
    HeaderOf(in, a);
    width = U32(a, QORLIB3_DH_WIDTH);
    std::vector<uint8_t> frame = ReadFrame(in);
    EXPECT_EQ(frame.size(), uint64_t{width} * U32(a, QORLIB3_DH_HEIGHT));
  }
  ASSERT_EQ(width, 40u);
  EXPECT_EQ(U32(a, QORLIB3_DH_HEIGHT), 21u);
  EXPECT_EQ(U32(a, QORLIB3_DH_LINE_SIZE), 40u);

  ASSERT_EQ(QorVoz3OptionSetNextEnumVal(Interface(sys, kPixelFormatType), 0, &err), 0);
  uint32_t format = 0x10001;
  for (int i = 0; i < 50 && format != 0x10003; ++i) {
    ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0) << err.message;
    HeaderOf(in, a);
    format = U32(a, QORLIB3_DH_PIXEL_FORMAT);
    ReadFrame(in);
  }
  EXPECT_EQ(format, 0x10003u);
  EXPECT_EQ(U32(a, QORLIB3_DH_LINE_SIZE), 80u);
  QorVoz3DataheaderFree(a, &err);
}

TEST_F(SimSource, BadDescriptionsFailWithGStreamersWords) {
  const struct {
    const char *description;
    const char *words;
    bool atInit;  // the pipeline parses; the source fails when started
  } cases[] = {
      {"videotestsrc ! ! identity", "syntax error", false},
      {"nosuchelement_qor", "no element \"nosuchelement_qor\"", false},
      {"multifilesrc location=/nonexistent/qor%d.png caps=image/png ! pngdec",
       "/nonexistent/qor0.png", true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.description);
    Source(c.description);
    uint32_t rc = 0;
    QorHandle sys = Created(&rc);
    if (c.atInit) {
      ASSERT_EQ(rc, 0u) << err.message;
      EXPECT_EQ(QorVoz3SystemInit(sys, &err), QORLIB3_ERR_GENERIC);
      EXPECT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
      ASSERT_EQ(QorVoz3SystemInit(sys, &err), QORLIB3_ERR_BAD_HANDLE);
      continue;
    }
    EXPECT_EQ(rc, QORLIB3_ERR_GENERIC);
    EXPECT_EQ(err.code, QORLIB3_ERR_GENERIC);
    EXPECT_NE(std::strstr(err.message, c.words), nullptr) << err.message;
  }
  // The Init case once more, reading the message this time.
  Source(cases[2].description);
  QorHandle sys = Created();
  ASSERT_EQ(QorVoz3SystemInit(sys, &err), QORLIB3_ERR_GENERIC);
  EXPECT_NE(std::strstr(err.message, "GStreamer: "), nullptr) << err.message;
  EXPECT_NE(std::strstr(err.message, cases[2].words), nullptr) << err.message;
}

TEST_F(SimSource, ASourceFailingWhileRunningFailsTheNextWaitOrQuery) {
  // identity fails the stream after two frames, as an unplugged device would.
  Source("videotestsrc ! video/x-raw,width=16,height=8,framerate=100/1 ! identity error-after=20");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  // The failure may show at any call of a read: the wait, the query or the block's begin.
  int rc = 0;
  std::vector<uint8_t> frame;
  for (int i = 0; i < 100 && rc == 0; ++i) {
    uint64_t ready = 0, done = 0;
    rc = QorVoz3InDInterfaceWait(in, 100, &err);
    if (rc == 0) rc = QorVoz3InDInterfaceQueryReady(in, &ready, &err);
    if (rc != 0 || ready == 0) continue;
    rc = QorVoz3InDInterfaceBeginBlock(in, &err);
    if (rc != 0) continue;
    frame.resize(ready);
    EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, frame.data(), ready, &done, &err), 0);
    EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);
  }
  EXPECT_EQ(rc, QORLIB3_ERR_GENERIC);
  EXPECT_NE(std::strstr(err.message, "GStreamer: Failed after iterations as requested"),
            nullptr)
      << err.message;
  uint64_t ready = 0;
  EXPECT_EQ(QorVoz3InDInterfaceQueryReady(in, &ready, &err), QORLIB3_ERR_GENERIC);
  EXPECT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), QORLIB3_ERR_GENERIC);
  EXPECT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
}

TEST_F(SimSource, EndOfStreamTimesOutAfterTheLastFrame) {
  Source("videotestsrc num-buffers=3 pattern=ball ! video/x-raw,width=32,height=24,"
         "framerate=500/1");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  std::vector<std::vector<uint8_t>> frames;
  for (int i = 0; i < 3; ++i) frames.push_back(NextFrame(in));
  EXPECT_NE(frames[0], frames[1]);  // the ball moves
  EXPECT_EQ(QorVoz3InDInterfaceWait(in, 50, &err), QORLIB3_ERR_TIMEOUT);
  EXPECT_NE(std::strstr(err.message, "end of stream"), nullptr) << err.message;
  EXPECT_EQ(Ready(in), 0u);
  EXPECT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), QORLIB3_ERR_NO_DATA);
  EXPECT_EQ(Info(sys, kStreamEndedInfo), 1);
  EXPECT_EQ(Info(sys, kFrameCounterInfo), 3);
  EXPECT_EQ(Info(sys, kFramesDroppedInfo), 0);
}

TEST_F(SimSource, RestartSeeksToTheStart) {
  Source("videotestsrc pattern=ball ! video/x-raw,width=32,height=24,framerate=50/1");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  std::vector<uint8_t> first = NextFrame(in);
  for (int i = 0; i < 5; ++i) EXPECT_NE(NextFrame(in), first);
  ASSERT_EQ(QorVoz3CallCInterface_0(Interface(sys, QORLIB3_CINTERFACE_TRANSFER_CONTROL),
                                    QORLIB3_CMD_TRANSFER_RESTART, &err),
            0)
      << err.message;
  EXPECT_EQ(NextFrame(in), first);
}

TEST_F(SimSource, AFullRingKeepsTheNewestAndCountsDrops) {
  const char *setting = std::getenv("QORSIM_BUFFERS");
  const int ring = setting ? std::atoi(setting) : 4;
  Source("videotestsrc num-buffers=10 ! video/x-raw,width=16,height=8,framerate=1000/1");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  int read = 0;
  if (ring == 0) {
    for (; read < 10; ++read) NextFrame(in);  // the source waits for the client
  } else {
    // A client that looks away until the stream has ended: only the ring's frames wait.
    for (int i = 0; i < 2000 && Info(sys, kStreamEndedInfo) == 0; ++i) usleep(5000);
    for (; Ready(in) != 0; ++read) ReadFrame(in);
  }
  const int kept = ring == 0 || ring > 10 ? 10 : ring;
  EXPECT_EQ(read, kept);
  EXPECT_EQ(Info(sys, kFrameCounterInfo), 10);
  EXPECT_EQ(Info(sys, kFramesDroppedInfo), 10 - kept);
  EXPECT_EQ(QorVoz3InDInterfaceWait(in, 10, &err), QORLIB3_ERR_TIMEOUT);
}

TEST_F(SimSource, PauseStopsFramesAndPlayResumes) {
  Source("videotestsrc is-live=true ! video/x-raw,width=16,height=8,framerate=100/1");
  QorHandle sys = MakeSystem(kSourceSystem);
  QorHandle in = Input(sys);
  QorHandle control = Interface(sys, QORLIB3_CINTERFACE_INPUT_CONTROL);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_STOP, &err), 0) << err.message;
  while (Ready(in)) ReadFrame(in);  // what came before the pause
  EXPECT_EQ(QorVoz3InDInterfaceWait(in, 100, &err), QORLIB3_ERR_TIMEOUT);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_START, &err), 0) << err.message;
  EXPECT_EQ(NextFrame(in).size(), 128u);
  EXPECT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_TRIGGER, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
}

TEST_F(SimSource, NoThreadOutlivesDestroyOrExit) {
  Source("videotestsrc is-live=true ! video/x-raw,width=16,height=8,framerate=100/1");
  // GStreamer starts on first use; a first system leaves what it keeps for the process.
  QorHandle first = MakeSystem(kSourceSystem);
  ASSERT_EQ(QorVoz3SystemDestroy(first, &err), 0);
  int before = Threads();
  for (int round = 0; round < 2; ++round) {
    QorHandle sys = MakeSystem(kSourceSystem);
    QorHandle in = Input(sys);
    NextFrame(in);
    ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0);
    ASSERT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0);  // left open
    EXPECT_GT(Threads(), before);
    if (round == 0) {
      ASSERT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
    } else {
      ASSERT_EQ(QorVoz3Exit(&err), 0);
      ASSERT_EQ(QorVoz3Init(&err), 0);
    }
    EXPECT_EQ(Threads(), before) << "round " << round;
  }
}

}  // namespace

// sim_frames_test.cpp: input headers and compare, pacing and waits, transfers, controls, upload.
#include <chrono>
#include <cstring>

#include "sim_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kTestPattern = 0x400101, kPixelFormat = 0x400102, kFrameRate = 0x400104;

struct Shape {
  uint32_t system, kind, bitsPerElement;
  uint64_t elements;
  uint32_t width, height, lineSize, lines, format, layout, bpp;
};

const Shape kShapes[] = {
    {1, 3, 8, 307200, 640, 480, 640, 480, 0x10001, 0x20000, 8},
    {2, 3, 8, 786432, 1024, 768, 1024, 768, 0x10002, 0x20000, 8},
    {3, 3, 16, 307200, 640, 480, 1280, 480, 0x10003, 0x20000, 16},
    {4, 3, 8, 921600, 640, 480, 1920, 480, 0x10004, 0x20004, 24},
    {5, 5, 8, 4096, 4096, 1, 4096, 1, 0, 0, 8},
    {6, 3, 8, 76800, 320, 240, 320, 240, 0x10001, 0x20000, 8},
    {8, 3, 8, 524288, 2048, 256, 2048, 256, 0x10001, 0x20000, 8},
};

class SimFrames : public SimTest {
 protected:
  QorHandle a = 0, b = 0;
  void SetUp() override {
    SimTest::SetUp();
    ASSERT_EQ(QorVoz3DataheaderCreate(&a, &err), 0);
    ASSERT_EQ(QorVoz3DataheaderCreate(&b, &err), 0);
  }
  void TearDown() override {
    QorVoz3DataheaderFree(a, &err);
    QorVoz3DataheaderFree(b, &err);
    SimTest::TearDown();
  }
  void Display(QorHandle h, uint32_t bpp, uint32_t format, uint32_t layout, uint32_t w,
               uint32_t hgt) {
    ASSERT_EQ(QorVoz3DataheaderSetType(h, 3, 8, uint64_t{w} * hgt * (bpp / 8), &err), 0);
    QorVoz3DataheaderSetU32(h, QORLIB3_DH_BITS_PER_PIXEL, bpp, &err);
    QorVoz3DataheaderSetU32(h, QORLIB3_DH_PIXEL_FORMAT, format, &err);
    QorVoz3DataheaderSetU32(h, QORLIB3_DH_PIXEL_LAYOUT, layout, &err);
    QorVoz3DataheaderSetU32(h, QORLIB3_DH_WIDTH, w, &err);
    QorVoz3DataheaderSetU32(h, QORLIB3_DH_HEIGHT, hgt, &err);
  }
  uint32_t Compare() {
    uint32_t r = 12345;
    EXPECT_EQ(QorVoz3DataHeaderCompare(a, b, &r, &err), 0);
    return r;
  }
};

TEST_F(SimFrames, InputHeadersDescribeEachSystem) {
  for (const Shape &s : kShapes) {
    SCOPED_TRACE(s.system);
    QorHandle in = s.system == 8 ? Input(MakeSystem(8)) : FastInput(s.system);
    HeaderOf(in, a);
    uint32_t kind = 0, bits = 0;
    uint64_t count = 0;
    ASSERT_EQ(QorVoz3DataheaderGetType(a, &kind, &bits, &count, &err), 0);
    EXPECT_EQ(kind, s.kind);
    EXPECT_EQ(bits, s.bitsPerElement);
    EXPECT_EQ(count, s.elements);
    EXPECT_EQ(U32(a, QORLIB3_DH_WIDTH), s.width);
    EXPECT_EQ(U32(a, QORLIB3_DH_HEIGHT), s.height);
    EXPECT_EQ(U32(a, QORLIB3_DH_LINE_SIZE), s.lineSize);
    EXPECT_EQ(U32(a, QORLIB3_DH_LINES_IN_BLOCK), s.lines);
    EXPECT_EQ(U32(a, QORLIB3_DH_PIXEL_FORMAT), s.format);
    EXPECT_EQ(U32(a, QORLIB3_DH_PIXEL_LAYOUT), s.layout);
    EXPECT_EQ(U32(a, QORLIB3_DH_BITS_PER_PIXEL), s.bpp);
    // The frame is as many bytes as the header says, and ready size announces exactly that.
    if (s.system != 8) {
      EXPECT_EQ(Ready(in), count * bits / 8);
    }
  }
}

TEST_F(SimFrames, CompareMatchesTheDisplaysTheViewerMakes) {
  const struct {
    uint32_t system, bpp, format, layout;
    bool alike;
  } cases[] = {
      {1, 8, 0x10001, 0x20000, true},   {4, 24, 0x10004, 0x20004, true},
      {2, 8, 0x10001, 0x20000, false},  {3, 8, 0x10001, 0x20000, false},
      {1, 24, 0x10004, 0x20004, false}, {5, 8, 0x10001, 0x20000, false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.system);
    HeaderOf(FastInput(c.system), a);
    Display(b, c.bpp, c.format, c.layout, U32(a, QORLIB3_DH_WIDTH), U32(a, QORLIB3_DH_HEIGHT));
    EXPECT_EQ(Compare() == 0, c.alike);
  }
}

TEST_F(SimFrames, CompareCountsTheRightFieldsOnly) {
  Display(a, 8, 0x10001, 0x20000, 640, 480);
  ASSERT_EQ(QorVoz3DataheaderCopy(b, a, &err), 0);
  ASSERT_EQ(Compare(), 0u);
  // Element count, line size and lines in block do not count.
  QorVoz3DataheaderSetType(b, 3, 8, 1, &err);
  QorVoz3DataheaderSetU32(b, QORLIB3_DH_LINE_SIZE, 4096, &err);
  QorVoz3DataheaderSetU32(b, QORLIB3_DH_LINES_IN_BLOCK, 3, &err);
  EXPECT_EQ(Compare(), 0u);
  const struct {
    uint32_t number, value;
  } differ[] = {{QORLIB3_DH_WIDTH, 641},
                {QORLIB3_DH_HEIGHT, 1},
                {QORLIB3_DH_BITS_PER_PIXEL, 16},
                {QORLIB3_DH_PIXEL_FORMAT, 0x10002},
                {QORLIB3_DH_PIXEL_LAYOUT, 0x20004}};
  for (const auto &d : differ) {
    SCOPED_TRACE(d.number);
    ASSERT_EQ(QorVoz3DataheaderCopy(b, a, &err), 0);
    QorVoz3DataheaderSetU32(b, d.number, d.value, &err);
    EXPECT_NE(Compare(), 0u);
  }
  ASSERT_EQ(QorVoz3DataheaderCopy(b, a, &err), 0);
  QorVoz3DataheaderSetType(b, 5, 8, 307200, &err);
  EXPECT_NE(Compare(), 0u);
  QorVoz3DataheaderSetType(b, 3, 16, 307200, &err);
  EXPECT_NE(Compare(), 0u);
}

TEST_F(SimFrames, PrintedHeaderIsOneBoundedLine) {
  HeaderOf(FastInput(1), a);
  const char expected[] =
      "Image, 8 bits x 307200, 640x480, line 640 x 480, bpp 8, format 0x10001, layout 0x20000";
  char text[200];
  ASSERT_EQ(QorVoz3DataSPrintf(text, sizeof text, a, &err), int(sizeof expected - 1));
  EXPECT_STREQ(text, expected);
  char small[11];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(QorVoz3DataSPrintf(small, 6, a, &err), 5);
  EXPECT_STREQ(small, "Image");
  EXPECT_EQ(small[6], 'x');  // nothing beyond the size given
  EXPECT_EQ(QorVoz3DataSPrintf(text, sizeof text, 9999, &err), 0);
  EXPECT_EQ(QorVoz3DataSPrintf(nullptr, 10, a, &err), 0);
}

TEST_F(SimFrames, WaitTimesOutAfterItsMilliseconds) {
  QorHandle sys = MakeSystem(1);
  QorHandle in = Input(sys);
  ASSERT_EQ(QorVoz3CallCInterface_0(Interface(sys, QORLIB3_CINTERFACE_INPUT_CONTROL),
                                    QORLIB3_CMD_INPUT_STOP, &err),
            0);
  while (Ready(in)) ReadFrame(in);  // frames that came due before the stop
  auto t0 = Clock::now();
  EXPECT_EQ(QorVoz3InDInterfaceWait(in, 60, &err), QORLIB3_ERR_TIMEOUT);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
  EXPECT_GE(ms, 60);
  EXPECT_LT(ms, 5000);
  EXPECT_EQ(err.code, QORLIB3_ERR_TIMEOUT);
  EXPECT_EQ(QorVoz3InDInterfaceWait(in, 0, &err), QORLIB3_ERR_TIMEOUT);
  uint64_t ready = 1;
  ASSERT_EQ(QorVoz3InDInterfaceQueryReady(in, &ready, &err), 0);
  EXPECT_EQ(ready, 0u);
  EXPECT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), QORLIB3_ERR_NO_DATA);
}

TEST_F(SimFrames, WaitReturnsWhenTheNextFrameIsDue) {
  QorHandle sys = MakeSystem(1);  // 25 Hz
  QorHandle in = Input(sys);
  while (Ready(in)) ReadFrame(in);
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0);
  EXPECT_EQ(Ready(in), 307200u);
}

TEST_F(SimFrames, LineScanStartsPacingAtTheFirstQuery) {
  QorHandle in = Input(MakeSystem(8));
  EXPECT_EQ(Ready(in), 0u);
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 100000, &err), 0);
  EXPECT_EQ(Ready(in), 2048u * 256u);
}

TEST_F(SimFrames, TransfersInAnySizeGiveTheSameFrame) {
  QorHandle sys = 0;
  QorHandle in = FastInput(1, &sys);
  QorHandle restart = Interface(sys, QORLIB3_CINTERFACE_TRANSFER_CONTROL);
  for (int pattern = 0; pattern < 4; ++pattern) {
    SCOPED_TRACE(pattern);
    std::vector<uint8_t> whole = ReadFrame(in);
    for (uint64_t chunk : {uint64_t{640}, uint64_t{1000}, uint64_t{7}}) {
      ASSERT_EQ(QorVoz3CallCInterface_0(restart, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
      EXPECT_EQ(ReadFrame(in, chunk), whole) << chunk;
    }
    std::vector<uint8_t> next = ReadFrame(in);
    EXPECT_NE(next, whole);  // every pattern moves from frame to frame
    ASSERT_EQ(QorVoz3CallCInterface_0(restart, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
    ASSERT_EQ(QorVoz3OptionSetNextEnumVal(Interface(sys, kTestPattern), 0, &err), 0);
  }
}

TEST_F(SimFrames, RowByRowReadsMatchWholeFramesOfEveryPixelSize) {
  for (uint32_t system : {2u, 3u, 4u}) {
    SCOPED_TRACE(system);
    QorHandle sys = 0;
    QorHandle in = FastInput(system, &sys);
    HeaderOf(in, a);
    uint32_t row = U32(a, QORLIB3_DH_LINE_SIZE);
    QorHandle restart = Interface(sys, QORLIB3_CINTERFACE_TRANSFER_CONTROL);
    for (int pattern = 0; pattern < 4; ++pattern) {
      ASSERT_EQ(QorVoz3CallCInterface_0(restart, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
      std::vector<uint8_t> whole = ReadFrame(in);
      ASSERT_EQ(QorVoz3CallCInterface_0(restart, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
      EXPECT_EQ(ReadFrame(in, row), whole) << pattern;
      ASSERT_EQ(QorVoz3CallCInterface_0(restart, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
      EXPECT_EQ(ReadFrame(in, row / 2 + 1), whole) << pattern;
      ASSERT_EQ(QorVoz3OptionSetNextEnumVal(Interface(sys, kTestPattern), 0, &err), 0);
    }
  }
}

TEST_F(SimFrames, FramesDependOnlyOnTheirNumberAndOptions) {
  QorHandle in1 = FastInput(1), in2 = FastInput(1);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(ReadFrame(in1), ReadFrame(in2));
  std::vector<uint8_t> f = ReadFrame(in1);
  EXPECT_EQ(f[0], 3);  // the gradient at frame 3, pixel (0, 0)
  EXPECT_EQ(f[641], 5);
  // 16-bit pixels carry the 8-bit level in both bytes.
  QorHandle sys16 = 0;
  QorHandle in16 = FastInput(1, &sys16);
  ASSERT_EQ(QorVoz3OptionSetNextEnumVal(Interface(sys16, kPixelFormat), 0, &err), 0);
  std::vector<uint8_t> g = ReadFrame(in16);
  ASSERT_EQ(g.size(), 614400u);
  EXPECT_EQ(g[2 * 641], 2);
  EXPECT_EQ(g[2 * 641 + 1], 2);
}

TEST_F(SimFrames, TransferBeyondTheBlockIsRefusedWithNothingCopied) {
  QorHandle in = FastInput(6);
  uint64_t size = Ready(in), done = 99;
  std::vector<uint8_t> buf(size + 16, 0xEE);
  ASSERT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0);
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, buf.data(), size + 1, &done, &err),
            QORLIB3_ERR_BLOCK_STATE);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(buf[0], 0xEE);
  ASSERT_EQ(QorVoz3InDInterfaceTransfer(in, buf.data(), size - 10, &done, &err), 0);
  EXPECT_EQ(QorVoz3InDInterfacePIOTransfer(in, buf.data(), 11, &done, &err),
            QORLIB3_ERR_BLOCK_STATE);
  ASSERT_EQ(QorVoz3InDInterfacePIOTransfer(in, buf.data() + size - 10, 10, &done, &err), 0);
  EXPECT_EQ(done, 10u);
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, buf.data(), 1, &done, &err),
            QORLIB3_ERR_BLOCK_STATE);
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, buf.data(), 0, &done, &err), 0);
  EXPECT_EQ(buf[size], 0xEE);  // not one byte past the frame
  ASSERT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);
}

TEST_F(SimFrames, StopTriggerStartAndRestart) {
  QorHandle sys = MakeSystem(1);
  QorHandle in = Input(sys);
  QorHandle control = Interface(sys, QORLIB3_CINTERFACE_INPUT_CONTROL, 1);
  QorHandle transfer = Interface(sys, QORLIB3_CINTERFACE_TRANSFER_CONTROL);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_STOP, &err), 0);
  ASSERT_EQ(QorVoz3CallCInterface_0(transfer, QORLIB3_CMD_TRANSFER_RESTART, &err), 0);
  EXPECT_EQ(Ready(in), 0u);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_TRIGGER, &err), 0);
  EXPECT_EQ(Ready(in), 307200u);
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 0, &err), 0);
  std::vector<uint8_t> first = ReadFrame(in);
  EXPECT_EQ(first[0], 0);  // frame 0 after the restart
  EXPECT_EQ(Ready(in), 0u);  // one trigger, one frame
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_START, &err), 0);
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0);
  EXPECT_EQ(ReadFrame(in)[0], 1);
  EXPECT_EQ(QorVoz3CallCInterface_0(control, 0xa0000099, &err), QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QorVoz3CallCInterface_0(transfer, QORLIB3_CMD_INPUT_START, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
}

TEST_F(SimFrames, PacingResumesAfterFramesTakenAtRateZero) {
  QorHandle sys = 0;
  QorHandle in = FastInput(1, &sys);
  QorHandle control = Interface(sys, QORLIB3_CINTERFACE_INPUT_CONTROL);
  for (int i = 0; i < 5; ++i) ReadFrame(in);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_STOP, &err), 0);
  EXPECT_EQ(Ready(in), 0u);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_TRIGGER, &err), 0);
  EXPECT_EQ(ReadFrame(in)[0], 5);  // the trigger gives the next frame at once
  ASSERT_EQ(QorVoz3OptionSetScalar(Interface(sys, kFrameRate), 50, 0, &err), 0);
  ASSERT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_INPUT_START, &err), 0);
  // Frames come at the new rate; the ones taken at rate 0 are not owed back first.
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 2000, &err), 0) << err.message;
  EXPECT_EQ(ReadFrame(in)[0], 6);
}

TEST_F(SimFrames, AttributesOfSystemOne) {
  QorHandle in = FastInput(1);
  uint32_t total = 0, type = 0, object = 0, value = 0;
  EXPECT_EQ(QorVoz3InDInterfaceGetAddOnAtributeTotal(in, &total, &err), QORLIB3_ERR_BLOCK_STATE);
  ReadFrame(in);
  ASSERT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0);  // frame 1
  ASSERT_EQ(QorVoz3InDInterfaceGetAddOnAtributeTotal(in, &total, &err), 0);
  ASSERT_EQ(total, 3u);
  const struct {
    uint32_t type, value;
  } expected[] = {{QORLIB3_ATTR_ANGLE, 17895697}, {QORLIB3_ATTR_RATIO, (100u << 16) | 1}};
  ASSERT_EQ(QorVoz3InDInterfaceGetAddOnAtributeNum(in, 0, &type, &object, &value, &err), 0);
  EXPECT_EQ(type, QORLIB3_ATTR_TEMPERATURE);
  EXPECT_EQ(object, 4u);
  for (uint32_t i = 1; i < 3; ++i) {
    ASSERT_EQ(QorVoz3InDInterfaceGetAddOnAtributeNum(in, i, &type, &object, &value, &err), 0);
    EXPECT_EQ(type, expected[i - 1].type);
    EXPECT_EQ(value, expected[i - 1].value);
  }
  EXPECT_EQ(QorVoz3InDInterfaceGetAddOnAtributeNum(in, 3, &type, &object, &value, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
  ASSERT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);
}

TEST_F(SimFrames, UploadComesBackAsTheUploadedImagePattern) {
  QorHandle sys = 0;
  QorHandle in = FastInput(1, &sys), out = 0;
  ASSERT_EQ(QorVoz3SystemGetOutDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &out, &err), 0);
  ASSERT_EQ(QorVoz3OutDInterfaceGetType(out, a, &err), 0);
  Display(b, 8, 0x10001, 0x20000, 640, 480);
  EXPECT_EQ(Compare(), 0u);
  std::vector<uint8_t> image(640 * 480);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 / 640);
  uint64_t done = 0;
  ASSERT_EQ(QorVoz3OutDInterfaceBeginBlock(out, &err), 0);
  ASSERT_EQ(QorVoz3OutDInterfaceTransfer(out, image.data(), 1000, &done, &err), 0);
  EXPECT_EQ(QorVoz3OutDInterfaceTransfer(out, image.data(), image.size(), &done, &err),
            QORLIB3_ERR_BLOCK_STATE);
  ASSERT_EQ(QorVoz3OutDInterfaceTransfer(out, image.data() + 1000, image.size() - 1000, &done,
                                         &err),
            0);
  ASSERT_EQ(QorVoz3OutDInterfaceEndBlock(out, &err), 0);
  QorHandle pattern = Interface(sys, kTestPattern);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(QorVoz3OptionSetNextEnumVal(pattern, 0, &err), 0);
  EXPECT_EQ(ReadFrame(in), image);
}

}  // namespace

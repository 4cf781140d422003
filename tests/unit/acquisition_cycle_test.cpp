// acquisition_cycle_test.cpp: the cycle's transitions, transport choice, buffer sizes and
// failures, on the stand-in library.
#include <cstring>

#include "acquisition.h"
#include "acquisition_fixture.h"

namespace {

// Fills DataHeaderIn from the input and records it as the header the buffers were made for.
void Headers_Alike() {
  QorVoz3InDInterfaceGetType(viewer.inputData, viewer.dataHeaderIn, nullptr);
  QorVoz3DataheaderCopy(viewer.dataHeaderInOld, viewer.dataHeaderIn, nullptr);
}

// Buffers made for the current input, as a READ that follows the allocation finds them.
void Allocated() {
  cycle.state = INPUT_STATE_ALLOC_BUFFERS;
  Acquisition_Step();
}

struct TransitionCase {
  const char *name;
  uint32_t system;
  const char *faults;
  int from;
  uint64_t readySize;  // what a QueryReady that does no work leaves in place
  void (*prepare)();
  int to;
  bool badType;
};

// Faults that do no work (value 0) let each row pick the library's answer.
const TransitionCase TRANSITIONS[] = {
    {"ready low half", 1, "InDInterfaceQueryReady=0", INPUT_STATE_WAIT, 1, nullptr,
     INPUT_STATE_CHECK_DATA_HEADER, false},
    {"ready high half only", 1, "InDInterfaceQueryReady=0", INPUT_STATE_WAIT_TO, 1ull << 32,
     nullptr, INPUT_STATE_CHECK_DATA_HEADER, false},
    {"wait 1202", 1, "InDInterfaceQueryReady=0,InDInterfaceWait=1202", INPUT_STATE_WAIT, 0, nullptr,
     INPUT_STATE_WAIT_TO, false},
    {"wait 208", 1, "InDInterfaceQueryReady=0,InDInterfaceWait=208", INPUT_STATE_WAIT_TO, 0,
     nullptr, INPUT_STATE_WAIT_TO, false},
    {"wait ok in WAIT", 1, "InDInterfaceQueryReady=0,InDInterfaceWait=0", INPUT_STATE_WAIT, 0,
     nullptr, INPUT_STATE_WAIT, false},
    {"wait ok in WAIT_TO", 1, "InDInterfaceQueryReady=0,InDInterfaceWait=0", INPUT_STATE_WAIT_TO, 0,
     nullptr, INPUT_STATE_WAIT_TO, false},
    {"header alike", 1, "", INPUT_STATE_CHECK_DATA_HEADER, 0, Headers_Alike, INPUT_STATE_READ,
     false},
    {"header never filled", 1, "", INPUT_STATE_CHECK_DATA_HEADER, 0, nullptr,
     INPUT_STATE_ALLOC_BUFFERS, false},
    {"image input", 1, "", INPUT_STATE_ALLOC_BUFFERS, 0, nullptr, INPUT_STATE_READ, false},
    {"not an image", 5, "", INPUT_STATE_ALLOC_BUFFERS, 0, nullptr, INPUT_STATE_ALLOC_BUFFERS, true},
    {"read finds no frame ready", 1, "InDInterfaceBeginBlock=208", INPUT_STATE_READ, 0, Allocated,
     INPUT_STATE_WAIT, false},
    {"read times out", 1, "InDInterfaceBeginBlock=1202", INPUT_STATE_READ, 0, Allocated,
     INPUT_STATE_WAIT, false},
    {"keypress pause has no step", 1, "", INPUT_STATE_WAIT_KEYPRESS, 0, nullptr,
     INPUT_STATE_WAIT_KEYPRESS, false},
    {"exit has no step", 1, "", INPUT_STATE_EXIT, 0, nullptr, INPUT_STATE_EXIT, false},
};

TEST_F(CycleTest, EachTransitionOfTheStateTable) {
  for (const TransitionCase &c : TRANSITIONS) {
    SCOPED_TRACE(c.name);
    In_Child([&] {
      Start(c.system, 8, c.faults);
      if (c.prepare) c.prepare();
      cycle.state = c.from;
      cycle.readySize = c.readySize;
      Mark();
      Acquisition_Step();
      EXPECT_EQ(cycle.state, c.to);
      EXPECT_LE(viewer.status, 0);
      EXPECT_EQ(cycle.badTypeFlag, c.badType);
      if (c.from == INPUT_STATE_WAIT_KEYPRESS || c.from == INPUT_STATE_EXIT) {
        EXPECT_TRUE(Calls().empty());
      }
    });
  }
}

TEST_F(CycleTest, FramesEndInWaitOrInTheSingleStepPauseWithThePrompt) {
  for (bool singleStep : {false, true}) {
    SCOPED_TRACE(singleStep);
    In_Child([&] {
      Start(1);
      Up_To_Read();
      viewer.singleStepFlag = singleStep;
      Acquisition_Step();
      EXPECT_LE(viewer.status, 0);
      EXPECT_EQ(cycle.state, singleStep ? INPUT_STATE_WAIT_KEYPRESS : INPUT_STATE_WAIT);
    });
  }
}

// The first frame from the start: wait, check against the never-filled header, allocate,
// read row by row into the bitmap, then the next frame goes straight from check to read.
TEST_F(CycleTest, FirstFrameIsAllocatedReadRowByRowAndTheNextOneIsNot) {
  In_Child([&] {
    Start(1);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    EXPECT_EQ(cycle.transport, TO_NULL);
    Step_Until(INPUT_STATE_CHECK_DATA_HEADER);
    Acquisition_Step();
    ASSERT_EQ(cycle.state, INPUT_STATE_ALLOC_BUFFERS);

    testing::internal::CaptureStdout();
    Acquisition_Step();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "**INPUT_STATE_ALLOC_BUFFERS**\nCompareResult=0\n");
    ASSERT_EQ(cycle.state, INPUT_STATE_READ);
    EXPECT_EQ(cycle.transport, DIRECT_TO_BMP);
    EXPECT_EQ(getpixel(screen, 400, 300), 0) << "screen cleared for the new size";
    BITMAP *bitmap = viewer.displayBuffer->bitmap;
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->w, 640);
    EXPECT_EQ(bitmap->h, 480);

    clear_to_color(bitmap, 0);
    Mark();
    testing::internal::CaptureStdout();
    Acquisition_Step();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.substr(0, 21 + 13), std::string(21, '!') + "LineSize:640\n");
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    std::vector<std::string> rows = Calls("InDInterfaceTransfer");
    ASSERT_EQ(rows.size(), 480u);
    EXPECT_NE(rows[0].find(", 640, "), std::string::npos) << rows[0];
    EXPECT_EQ(Calls("InDInterfaceBeginBlock").size(), 1u);
    EXPECT_EQ(Calls("InDInterfaceEndBlock").size(), 1u);
    int lit = 0;
    for (int y = 0; y < 480; y += 37)
      for (int x = 0; x < 640; x += 41) lit += getpixel(bitmap, x, y) != 0;
    EXPECT_GT(lit, 0) << "rows were read into the bitmap";

    Step_Until(INPUT_STATE_CHECK_DATA_HEADER);
    Acquisition_Step();
    EXPECT_EQ(cycle.state, INPUT_STATE_READ);
  });
}

// Data ready before any allocation, and the library calls the never-filled header alike: the
// block is begun and ended with nothing transferred and nothing said about rows.
TEST_F(CycleTest, AReadBeforeAnyAllocationMovesNothing) {
  In_Child([&] {
    Start(1);
    Headers_Alike();
    cycle.state = INPUT_STATE_CHECK_DATA_HEADER;
    Acquisition_Step();
    ASSERT_EQ(cycle.state, INPUT_STATE_READ);
    ASSERT_EQ(cycle.transport, TO_NULL);
    Mark();
    testing::internal::CaptureStdout();
    Acquisition_Step();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(21, '!'));
    EXPECT_LE(viewer.status, 0);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    EXPECT_EQ(Calls("InDInterfaceBeginBlock").size(), 1u);
    EXPECT_EQ(Calls("InDInterfaceEndBlock").size(), 1u);
    EXPECT_TRUE(Calls("InDInterfaceTransfer").empty());
    EXPECT_TRUE(Calls("InDInterfacePIOTransfer").empty());
  });
}

struct TransportCase {
  uint32_t system;
  int depth;
  int transport;
  uint64_t bufferSize;  // TO_BUFFER: the whole frame
  uint32_t lineSize;    // DIRECT_TO_BMP: bytes per row transfer
};

const TransportCase TRANSPORTS[] = {
    {1, 8, DIRECT_TO_BMP, 0, 640},        {1, 24, TO_BUFFER, 640 * 480, 0},
    {2, 8, DIRECT_TO_BMP, 0, 1024},  // raw 8-bit shown as grey though headers differ
    {2, 24, TO_BUFFER, 1024 * 768, 0},    {3, 8, TO_BUFFER, 640 * 480 * 2, 0},
    {3, 24, TO_BUFFER, 640 * 480 * 2, 0}, {4, 8, TO_BUFFER, 640 * 480 * 3, 0},
    {4, 24, DIRECT_TO_BMP, 0, 640 * 3},
};

TEST_F(CycleTest, TransportFollowsTheHeadersAndTheReadUsesIt) {
  for (const TransportCase &c : TRANSPORTS) {
    for (bool pio : {false, true}) {
      SCOPED_TRACE("system " + std::to_string(c.system) + " depth " + std::to_string(c.depth) +
                   (pio ? " pio" : ""));
      In_Child([&] {
        Start(c.system, c.depth);
        viewer.pioFlag = pio;
        Up_To_Read();
        EXPECT_EQ(cycle.transport, c.transport);
        Mark();
        Acquisition_Step();
        EXPECT_LE(viewer.status, 0);
        EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
        std::vector<std::string> plain = Calls("InDInterfaceTransfer");
        std::vector<std::string> programmed = Calls("InDInterfacePIOTransfer");
        if (c.transport == TO_BUFFER) {
          EXPECT_EQ(cycle.transferBufferSize, c.bufferSize);
          EXPECT_NE(cycle.transferBuffer, nullptr);
          ASSERT_EQ(plain.size(), 1u);
          EXPECT_TRUE(programmed.empty());
          EXPECT_NE(plain[0].find(", " + std::to_string(c.bufferSize) + ", "), std::string::npos)
              << plain[0];
        } else {
          std::vector<std::string> &used = pio ? programmed : plain;
          EXPECT_TRUE((pio ? plain : programmed).empty());
          ASSERT_EQ(used.size(), static_cast<size_t>(viewer.displayBuffer->bitmap->h));
          EXPECT_NE(used[0].find(", " + std::to_string(c.lineSize) + ", "), std::string::npos)
              << used[0];
        }
      });
    }
  }
}

TEST_F(CycleTest, RefusedInputFillsTheViewersOwnRecordAndRepeatsUntilAKeyMovesOn) {
  In_Child([&] {
    Start(5);
    cycle.state = INPUT_STATE_ALLOC_BUFFERS;
    for (int pass = 0; pass < 2; pass++) {
      testing::internal::CaptureStdout();
      ASSERT_TRUE(Acquisition_Pass());
      EXPECT_EQ(testing::internal::GetCapturedStdout(), "**INPUT_STATE_ALLOC_BUFFERS**\n");
      EXPECT_EQ(cycle.state, INPUT_STATE_ALLOC_BUFFERS);
    }
    EXPECT_TRUE(cycle.badTypeFlag);
    EXPECT_STREQ(cycle.messageBuffer, "Bad input data type");
    EXPECT_LE(viewer.status, 0);
    EXPECT_EQ(viewer.error.code, 1);
    EXPECT_EQ(viewer.error.line, 736);
    EXPECT_EQ(viewer.error.objectId, -1);
    EXPECT_EQ(viewer.error.objectFile, nullptr);
    EXPECT_STREQ(viewer.error.sourceFile, "out\\win\\sdk\\examples\\qor-system_api");
    EXPECT_STREQ(viewer.error.date, __DATE__);
    EXPECT_EQ(std::strlen(viewer.error.date), 11u);
    EXPECT_STREQ(viewer.error.message, "Bad input data type");
  });
}

struct SizeCase {
  uint64_t count;
  uint32_t bits;
  bool fits;
  uint64_t size;
};

TEST(TransferBufferSize, CountTimesBitsOverEightTruncatedIn64Bits) {
  const SizeCase cases[] = {
      {3, 12, true, 4},  // 36 bits: 4.5 bytes
      {1, 7, true, 0},
      {921600, 8, true, 921600},
      {3u << 30, 16, true, 6ull << 30},               // beyond 32 bits, still exact
      {(1ull << 60) - 1, 8, true, (1ull << 60) - 1},  // largest product below 2^63
      {1ull << 60, 8, false, 0},                      // 2^63 bits: negative as a signed size
      {1ull << 61, 8, false, 0},                      // wraps 64 bits
      {UINT64_MAX, 32, false, 0},
  };
  for (const SizeCase &c : cases) {
    uint64_t size = 99;
    EXPECT_EQ(Transfer_Buffer_Size(c.count, c.bits, &size), c.fits) << c.count << "x" << c.bits;
    EXPECT_EQ(size, c.size) << c.count << "x" << c.bits;
  }
}

TEST(TransferBufferSize, TooLargeLeavesNoBufferAndSaysSoThenAFittingOneIsMade) {
  Cycle_Reset();
  ASSERT_TRUE(Transfer_Buffer_Alloc(3, 12));
  EXPECT_NE(cycle.transferBuffer, nullptr);
  EXPECT_EQ(cycle.transferBufferSize, 4u);
  EXPECT_FALSE(Transfer_Buffer_Alloc(1ull << 32, 8));
  EXPECT_EQ(cycle.transferBuffer, nullptr);
  EXPECT_EQ(cycle.transferBufferSize, 0u);
  EXPECT_STREQ(cycle.messageBuffer, "Transfer buffer too large");
  EXPECT_FALSE(Transfer_Buffer_Alloc(UINT64_MAX, 32));
  EXPECT_EQ(cycle.transferBuffer, nullptr);
  ASSERT_TRUE(Transfer_Buffer_Alloc(640 * 480, 16));
  EXPECT_EQ(cycle.transferBufferSize, 614400u);
  Cycle_Reset();
}

// Without a buffer the frame is not transferred into nothing; the block still completes and
// the message is what the frame display shows.
TEST_F(CycleTest, ReadWithoutTransferBufferSkipsTheTransferAndGoesOn) {
  In_Child([&] {
    Start(3);
    Up_To_Read();
    ASSERT_EQ(cycle.transport, TO_BUFFER);
    ASSERT_FALSE(Transfer_Buffer_Alloc(1ull << 40, 8));
    cycle.badTypeFlag = true;
    Mark();
    ASSERT_TRUE(Acquisition_Pass());
    EXPECT_TRUE(Calls("InDInterfaceTransfer").empty());
    EXPECT_EQ(Calls("InDInterfaceEndBlock").size(), 1u);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
  });
}

struct FailureCase {
  uint32_t system;
  const char *faults;
  int from;
  bool toRead;  // allocate first, then fail in READ
  bool pio;
};

const FailureCase FAILURES[] = {
    {1, "InDInterfaceGetType=77", INPUT_STATE_ALLOC_BUFFERS, false, false},
    {1, "DataheaderGetType=77", INPUT_STATE_ALLOC_BUFFERS, false, false},
    {1, "DataheaderGetU32=77", INPUT_STATE_ALLOC_BUFFERS, false, false},
    {1, "DataHeaderCompare=77", INPUT_STATE_ALLOC_BUFFERS, false, false},
    {1, "DataheaderCopy=77", INPUT_STATE_ALLOC_BUFFERS, false, false},
    {1, "InDInterfaceQueryReady=77", INPUT_STATE_WAIT, false, false},
    {1, "InDInterfaceQueryReady=0,InDInterfaceWait=77", INPUT_STATE_WAIT_TO, false, false},
    {1, "InDInterfaceGetType=77", INPUT_STATE_CHECK_DATA_HEADER, false, false},
    {1, "DataHeaderCompare=77", INPUT_STATE_CHECK_DATA_HEADER, false, false},
    {1, "InDInterfaceBeginBlock=77", INPUT_STATE_READ, true, false},
    {1, "InDInterfaceTransfer=77", INPUT_STATE_READ, true, false},
    {1, "InDInterfacePIOTransfer=77", INPUT_STATE_READ, true, true},
    {3, "InDInterfaceTransfer=77", INPUT_STATE_READ, true, false},
    {1, "InDInterfaceEndBlock=77", INPUT_STATE_READ, true, false},
};

TEST_F(CycleTest, AFailingCallInEachStateEndsTheLoopWithItsStatus) {
  for (const FailureCase &c : FAILURES) {
    SCOPED_TRACE(std::string(c.faults) + " in state " + std::to_string(c.from));
    In_Child([&] {
      Start(c.system, 8, c.faults);
      viewer.pioFlag = c.pio;
      cycle.state = c.from;
      if (c.toRead) Up_To_Read();
      Mark();
      EXPECT_FALSE(Acquisition_Pass());
      EXPECT_EQ(viewer.status, 77);
      EXPECT_EQ(viewer.error.code, 77);
      // A failed row or transfer stops at the first failure and leaves the block open.
      if (std::strstr(c.faults, "Transfer")) {
        EXPECT_EQ(Calls("InDInterfaceTransfer").size() + Calls("InDInterfacePIOTransfer").size(),
                  1u);
        EXPECT_TRUE(Calls("InDInterfaceEndBlock").empty());
      }
    });
  }
}

TEST_F(CycleTest, FailingAttributeQueriesDoNotStopTheFrame) {
  for (const char *faults :
       {"InDInterfaceGetAddOnAtributeTotal=77", "InDInterfaceGetAddOnAtributeNum=77"}) {
    SCOPED_TRACE(faults);
    In_Child([&] {
      Start(1, 8, faults);
      Up_To_Read();
      EXPECT_TRUE(Acquisition_Pass());
      EXPECT_LE(viewer.status, 0);
      EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    });
  }
}

// A smaller region of interest between two frames: the check sees it, the buffers are made
// anew for the new size and the screen is cleared before the next frame is read.
TEST_F(CycleTest, ANewFrameSizeIsSeenAndAllocatedBeforeItIsRead) {
  In_Child([&] {
    Start(1);
    Up_To_Read();
    Acquisition_Step();
    ASSERT_EQ(cycle.state, INPUT_STATE_WAIT);
    QorHandle roi = QORLIB3_NONE;
    ASSERT_LE(QorVoz3SystemGetCInterface(viewer.system, 0x400106, 0, &roi, nullptr), 0);
    ASSERT_LE(QorVoz3OptionRelRect(roi, 0, 0, -100, -80, nullptr), 0);
    Step_Until(INPUT_STATE_CHECK_DATA_HEADER);
    Acquisition_Step();
    ASSERT_EQ(cycle.state, INPUT_STATE_ALLOC_BUFFERS);
    clear_to_color(screen, 7);
    testing::internal::CaptureStdout();
    Acquisition_Step();
    Acquisition_Step();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("CompareResult=0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("LineSize:540\n"), std::string::npos) << out;
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    ASSERT_NE(viewer.displayBuffer->bitmap, nullptr);
    EXPECT_EQ(viewer.displayBuffer->bitmap->w, 540);
    EXPECT_EQ(viewer.displayBuffer->bitmap->h, 400);
    EXPECT_EQ(getpixel(screen, 700, 300), 0) << "cleared beside the smaller frame";
  });
}

// The pixel format switched to 16 bits and back between frames: the whole frame goes to a
// buffer while it is 16-bit, and rows go straight into the bitmap again afterwards, the buffer
// staying allocated but unused.
TEST_F(CycleTest, AFormatChangeSwitchesTheTransportBothWays) {
  In_Child([&] {
    Start(1);
    Up_To_Read();
    Acquisition_Step();
    QorHandle format = QORLIB3_NONE;
    ASSERT_LE(QorVoz3SystemGetCInterface(viewer.system, 0x400102, 0, &format, nullptr), 0);
    const struct {
      int transport;
      size_t wholeFrames, rows;
    } phases[] = {{TO_BUFFER, 1, 0}, {DIRECT_TO_BMP, 0, 480}};
    for (const auto &phase : phases) {
      SCOPED_TRACE(Transport_Name(phase.transport));
      ASSERT_LE(QorVoz3OptionSetNextEnumVal(format, 0, nullptr), 0);
      Step_Until(INPUT_STATE_CHECK_DATA_HEADER);
      testing::internal::CaptureStdout();
      Acquisition_Step();
      Acquisition_Step();
      testing::internal::GetCapturedStdout();
      ASSERT_EQ(cycle.state, INPUT_STATE_READ) << "status " << viewer.status;
      EXPECT_EQ(cycle.transport, phase.transport);
      EXPECT_NE(cycle.transferBuffer, nullptr);
      EXPECT_EQ(cycle.transferBufferSize, 640u * 480u * 2u);
      Mark();
      testing::internal::CaptureStdout();
      Acquisition_Step();
      testing::internal::GetCapturedStdout();
      EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
      size_t whole = 0, rows = 0;
      for (const std::string &call : Calls("InDInterfaceTransfer")) {
        whole += call.find(", 614400, ") != std::string::npos;
        rows += call.find(", 640, ") != std::string::npos;
      }
      EXPECT_EQ(whole, phase.wholeFrames);
      EXPECT_EQ(rows, phase.rows);
    }
  });
}

TEST_F(CycleTest, ExitStateEndsTheLoopAfterItsPass) {
  In_Child([&] {
    Start(1);
    cycle.state = INPUT_STATE_EXIT;
    EXPECT_FALSE(Acquisition_Pass());
    EXPECT_LE(viewer.status, 0);
  });
}

}  // namespace

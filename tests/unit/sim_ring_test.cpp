// sim_ring_test.cpp: the buffer ring (QORSIM_BUFFERS): drops under a slow client, the newest
// frames after a pause, none at frame rate 0 or with an unbounded ring. Each case runs in a
// child, since the ring size is read once per process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qorlib3.h"
#include "sim_child.h"

namespace {

constexpr uint32_t kFrameRate = 0x400104, kFrameCounter = 0x500002;

struct Sim {
  ErrorData e{};
  QorHandle sys = 0, in = 0, control = 0, restart = 0, counter = 0, rate = 0;
};

int Open(Sim &s) {
  CHILD_CHECK(QorVoz3Init(&s.e) == 0);
  CHILD_CHECK(QorVoz3SystemCreate(1, &s.sys, &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemInit(s.sys, &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemGetInDInterface(s.sys, QORLIB3_DINTERFACE_ANY, 0, &s.in, &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemGetCInterface(s.sys, QORLIB3_CINTERFACE_INPUT_CONTROL, 0, &s.control,
                                         &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemGetCInterface(s.sys, QORLIB3_CINTERFACE_TRANSFER_CONTROL, 0,
                                         &s.restart, &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemGetCInterface(s.sys, kFrameCounter, 0, &s.counter, &s.e) == 0);
  CHILD_CHECK(QorVoz3SystemGetCInterface(s.sys, kFrameRate, 0, &s.rate, &s.e) == 0);
  return 0;
}

int32_t Counter(Sim &s) {
  int32_t v = -1;
  uint32_t unit = 0;
  QorVoz3GetInfoScalarVal(s.counter, &v, &unit, &s.e);
  return v;
}

// The gradient's first byte is the frame number (mod 256): which frame arrived. -1: none ready.
int ReadFrameNumber(Sim &s) {
  uint64_t ready = 0, done = 0;
  if (QorVoz3InDInterfaceQueryReady(s.in, &ready, &s.e) != 0 || ready == 0) return -1;
  std::vector<uint8_t> frame(ready);
  if (QorVoz3InDInterfaceBeginBlock(s.in, &s.e) != 0) return -2;
  if (QorVoz3InDInterfaceTransfer(s.in, frame.data(), ready, &done, &s.e) != 0) return -3;
  if (QorVoz3InDInterfaceEndBlock(s.in, &s.e) != 0) return -4;
  return frame[0];
}

// Stopped, restarted, then `triggers` frames made at once: the ring decides which ones stay.
int TriggerBurst(Sim &s, int triggers) {
  CHILD_CHECK(QorVoz3CallCInterface_0(s.control, QORLIB3_CMD_INPUT_STOP, &s.e) == 0);
  CHILD_CHECK(QorVoz3CallCInterface_0(s.restart, QORLIB3_CMD_TRANSFER_RESTART, &s.e) == 0);
  for (int i = 0; i < triggers; ++i)
    CHILD_CHECK(QorVoz3CallCInterface_0(s.control, QORLIB3_CMD_INPUT_TRIGGER, &s.e) == 0);
  return 0;
}

TEST(SimRing, FullRingKeepsTheNewestAndCountsTheRest) {
  struct Case {
    const char *buffers;  // null: the default
    int triggers;
    std::vector<int> frames;  // frame numbers delivered, in order
    const char *dropped;
  };
  const Case cases[] = {
      {nullptr, 10, {6, 7, 8, 9}, "\"frames_dropped\": 6,"},
      {"2", 10, {8, 9}, "\"frames_dropped\": 8,"},
      {"1", 3, {2}, "\"frames_dropped\": 2,"},
      {"4", 3, {0, 1, 2}, "\"frames_dropped\": 0,"},
      {"0", 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "\"frames_dropped\": 0,"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.buffers ? c.buffers : "default");
    std::string stats = TempPath("ring_stats");
    std::vector<std::pair<const char *, std::string>> env = {{"QORSIM_STATS", stats}};
    if (c.buffers) env.push_back({"QORSIM_BUFFERS", c.buffers});
    EXPECT_EQ(InChild(env,
                      [&] {
                        Sim s;
                        if (int rc = Open(s)) return rc;
                        if (int rc = TriggerBurst(s, c.triggers)) return rc;
                        // Every frame made counts, delivered or not.
                        CHILD_CHECK(Counter(s) == c.triggers);
                        for (int n : c.frames) CHILD_CHECK(ReadFrameNumber(s) == n);
                        CHILD_CHECK(ReadFrameNumber(s) == -1);
                        CHILD_CHECK(QorVoz3Exit(&s.e) == 0);
                        return 0;
                      }),
              0);
    std::string text = ReadFile(stats);
    EXPECT_NE(text.find(c.dropped), std::string::npos) << text;
    std::remove(stats.c_str());
  }
}

// A paced stream and a client that pauses: afterwards it gets the frames made last, not the
// backlog, and the drops add up with what it was given.
TEST(SimRing, AfterAPauseThePacedClientGetsTheNewestFrames) {
  std::string stats = TempPath("ring_paced");
  EXPECT_EQ(InChild({{"QORSIM_STATS", stats}},
                    [&] {
                      Sim s;
                      if (int rc = Open(s)) return rc;
                      CHILD_CHECK(QorVoz3OptionSetScalar(s.rate, 1000, 0, &s.e) == 0);  // 1 kHz
                      // The pause: bounded, until 20 frames were made; then stop.
                      for (int i = 0; i < 5000 && Counter(s) < 20; ++i) usleep(1000);
                      CHILD_CHECK(QorVoz3CallCInterface_0(s.control, QORLIB3_CMD_INPUT_STOP,
                                                          &s.e) == 0);
                      int made = Counter(s);
                      CHILD_CHECK(made >= 20);
                      for (int k = 4; k > 0; --k)
                        CHILD_CHECK(ReadFrameNumber(s) == (made - k) % 256);
                      CHILD_CHECK(ReadFrameNumber(s) == -1);
                      CHILD_CHECK(Counter(s) == made);
                      CHILD_CHECK(QorVoz3Exit(&s.e) == 0);
                      std::string expect = "\"frames_delivered\": 4, \"frames_dropped\": " +
                                           std::to_string(made - 4) + ",";
                      CHILD_CHECK(ReadFile(stats).find(expect) != std::string::npos);
                      return 0;
                    }),
            0);
  std::remove(stats.c_str());
}

TEST(SimRing, RateZeroMakesFramesOnRequestAndDropsNone) {
  std::string stats = TempPath("ring_rate0");
  EXPECT_EQ(InChild({{"QORSIM_STATS", stats}, {"QORSIM_BUFFERS", "1"}},
                    [&] {
                      Sim s;
                      if (int rc = Open(s)) return rc;
                      CHILD_CHECK(QorVoz3OptionSetScalar(s.rate, 0, 0, &s.e) == 0);
                      CHILD_CHECK(QorVoz3CallCInterface_0(s.restart, QORLIB3_CMD_TRANSFER_RESTART,
                                                          &s.e) == 0);
                      for (int n = 0; n < 12; ++n) {
                        CHILD_CHECK(QorVoz3InDInterfaceWait(s.in, 1000, &s.e) == 0);
                        CHILD_CHECK(ReadFrameNumber(s) == n);
                      }
                      CHILD_CHECK(Counter(s) == 12);
                      CHILD_CHECK(QorVoz3Exit(&s.e) == 0);
                      return 0;
                    }),
            0);
  EXPECT_NE(ReadFile(stats).find("\"frames_delivered\": 12, \"frames_dropped\": 0,"),
            std::string::npos)
      << ReadFile(stats);
  std::remove(stats.c_str());
}

TEST(SimRing, MalformedSizeFailsInitNamingIt) {
  for (const char *bad : {"four", "-1", "4x", "99999999999"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(InChild({{"QORSIM_BUFFERS", bad}},
                      [&] {
                        ErrorData e{};
                        CHILD_CHECK(QorVoz3Init(&e) == QORLIB3_ERR_BAD_ARGUMENT);
                        CHILD_CHECK(std::string(e.message).find(std::string("QORSIM_BUFFERS: \"") +
                                                                bad + "\"") == 0);
                        return 0;
                      }),
              0);
  }
}

}  // namespace

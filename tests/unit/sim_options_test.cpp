// sim_options_test.cpp: option kinds, units, ranges, enumerations, rectangles and infos.
#include <string>

#include "sim_fixture.h"

namespace {

constexpr uint32_t kTestPattern = 0x400101, kPixelFormat = 0x400102, kExposure = 0x400103,
                   kFrameRate = 0x400104, kGain = 0x400105, kRoi = 0x400106;

enum Kind { ENUM, SCALAR, RECT, NONE };

// The viewer classifies by trying enumeration, then scalar unit, then rectangle.
Kind Classify(QorHandle h, ErrorData *err) {
  uint32_t v, unit = 0, x, y, w, hh;
  if (QorVoz3OptionGetEnumVal(h, &v, err) <= 0) return ENUM;
  if (QorVoz3OptionNextScalarUnit(h, &unit, err) <= 0) return SCALAR;
  if (QorVoz3OptionGetRect(h, &x, &y, &w, &hh, err) <= 0) return RECT;
  return NONE;
}

TEST_F(SimTest, EveryInterfaceOfSystemOneClassifies) {
  QorHandle sys = MakeSystem(1, false);
  const struct {
    uint32_t type;
    Kind kind;
  } cases[] = {{kTestPattern, ENUM},  {kPixelFormat, ENUM},
               {kExposure, SCALAR},   {kFrameRate, SCALAR},
               {kGain, SCALAR},       {kRoi, RECT},
               {QORLIB3_CINTERFACE_INPUT_CONTROL, NONE},
               {QORLIB3_CINTERFACE_TRANSFER_CONTROL, NONE}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(Classify(Interface(sys, c.type), &err), c.kind);
  }
}

TEST_F(SimTest, LookupsOfAbsentTypesAndInstancesGive1903) {
  QorHandle one = MakeSystem(1, false), minimal = MakeSystem(6, false);
  QorHandle h = 0;
  const struct {
    QorHandle sys;
    uint32_t type, index;
  } absent[] = {{one, kTestPattern, 1},
                {one, QORLIB3_CINTERFACE_INPUT_CONTROL, 2},
                {one, QORLIB3_OPTION_LINE_RATE, 0},
                {minimal, QORLIB3_CINTERFACE_INPUT_CONTROL, 0},
                {minimal, QORLIB3_CINTERFACE_TRANSFER_CONTROL, 0},
                {minimal, kExposure, 0}};
  for (const auto &a : absent) {
    SCOPED_TRACE(a.type);
    EXPECT_EQ(QorVoz3SystemGetCInterface(a.sys, a.type, a.index, &h, &err), 1903);
  }
  EXPECT_EQ(QorVoz3SystemGetOptionCInterface(one, QORLIB3_CINTERFACE_INPUT_CONTROL, 0, &h, &err),
            1903);
  EXPECT_EQ(QorVoz3SystemGetOutDInterface(minimal, QORLIB3_DINTERFACE_ANY, 0, &h, &err), 1903);
  EXPECT_EQ(QorVoz3SystemGetInDInterface(one, QORLIB3_DINTERFACE_ANY, 1, &h, &err), 1903);
  // Both input-control instances of system 1 exist, and lookups repeat the same handle.
  EXPECT_NE(Interface(one, QORLIB3_CINTERFACE_INPUT_CONTROL, 1), 0u);
  QorHandle viaOption = 0;
  ASSERT_EQ(QorVoz3SystemGetOptionCInterface(one, kGain, 0, &viaOption, &err), 0);
  EXPECT_EQ(viaOption, Interface(one, kGain));
}

TEST_F(SimTest, ScalarUnitsConvertAndCycle) {
  QorHandle sys = MakeSystem(1, false);
  QorHandle exposure = Interface(sys, kExposure), rate = Interface(sys, kFrameRate),
            gain = Interface(sys, kGain);
  int32_t v = 0, lo = 0, hi = 0;
  ASSERT_EQ(QorVoz3OptionGetScalar(exposure, &v, 0, &err), 0);
  EXPECT_EQ(v, 20000);  // native unit us
  ASSERT_EQ(QorVoz3OptionGetScalar(exposure, &v, 2, &err), 0);
  EXPECT_EQ(v, 20);
  ASSERT_EQ(QorVoz3OptionGetScalarRange(exposure, &lo, &hi, 2, &err), 0);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 1000);
  // A finer unit keeps what a coarser one cannot show; reading coarse truncates.
  ASSERT_EQ(QorVoz3OptionSetScalar(rate, 25500, 4, &err), 0);
  ASSERT_EQ(QorVoz3OptionGetScalar(rate, &v, 0, &err), 0);
  EXPECT_EQ(v, 25);
  ASSERT_EQ(QorVoz3OptionRelScalar(rate, 1, 3, &err), 0);
  ASSERT_EQ(QorVoz3OptionGetScalar(rate, &v, 4, &err), 0);
  EXPECT_EQ(v, 26500);
  // A unit the option lacks is refused.
  EXPECT_EQ(QorVoz3OptionGetScalar(exposure, &v, 3, &err), QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QorVoz3OptionSetScalar(gain, 1, 1, &err), QORLIB3_ERR_BAD_ARGUMENT);

  const struct {
    QorHandle option;
    uint32_t cycle[4];
  } cycles[] = {{exposure, {1, 2, 1, 2}}, {rate, {3, 4, 3, 4}}, {gain, {5, 5, 5, 5}}};
  for (const auto &c : cycles) {
    uint32_t unit = 0;
    for (uint32_t expected : c.cycle) {
      ASSERT_EQ(QorVoz3OptionNextScalarUnit(c.option, &unit, &err), 0);
      EXPECT_EQ(unit, expected);
    }
  }
  uint32_t foreign = 5;
  EXPECT_EQ(QorVoz3OptionNextScalarUnit(exposure, &foreign, &err), QORLIB3_ERR_BAD_ARGUMENT);
}

TEST_F(SimTest, SetRefusesOutOfRangeButRelClamps) {
  QorHandle gain = Interface(MakeSystem(1, false), kGain);
  int32_t v = 0;
  ASSERT_EQ(QorVoz3OptionSetScalar(gain, 10, 0, &err), 0);
  for (int32_t bad : {-1, 49, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(QorVoz3OptionSetScalar(gain, bad, 0, &err), QORLIB3_ERR_BAD_ARGUMENT);
    EXPECT_GT(err.code, 0);
  }
  ASSERT_EQ(QorVoz3OptionGetScalar(gain, &v, 0, &err), 0);
  EXPECT_EQ(v, 10);  // refused values change nothing
  const struct {
    int32_t delta, expected;
  } steps[] = {{1000, 48}, {-1, 47}, {INT32_MIN, 0}, {INT32_MAX, 48}};
  for (const auto &s : steps) {
    ASSERT_EQ(QorVoz3OptionRelScalar(gain, s.delta, 0, &err), 0);
    ASSERT_EQ(QorVoz3OptionGetScalar(gain, &v, 0, &err), 0);
    EXPECT_EQ(v, s.expected) << s.delta;
  }
}

TEST_F(SimTest, EnumerationSkipsTheGapAndWraps) {
  QorHandle pattern = Interface(MakeSystem(1, false), kTestPattern);
  const uint32_t expected[] = {0x100, 0x101, 0x102, 0x104, 0x105, 0x100};
  for (uint32_t e : expected) {
    uint32_t v = 0;
    ASSERT_EQ(QorVoz3OptionGetEnumVal(pattern, &v, &err), 0);
    EXPECT_EQ(v, e);
    ASSERT_EQ(QorVoz3OptionSetNextEnumVal(pattern, 0, &err), 0);
  }
  EXPECT_EQ(QorVoz3OptionSetNextEnumVal(pattern, 1, &err), QORLIB3_ERR_BAD_ARGUMENT);
  // Systems without an output interface offer no uploaded-image pattern.
  QorHandle raw = Interface(MakeSystem(2, false), kTestPattern);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(QorVoz3OptionSetNextEnumVal(raw, 0, &err), 0);
  uint32_t v = 0;
  ASSERT_EQ(QorVoz3OptionGetEnumVal(raw, &v, &err), 0);
  EXPECT_EQ(v, 0x100u);
}

TEST_F(SimTest, RoiClampsToTheSensorAndSizesTheFrames) {
  QorHandle sys = MakeSystem(1);
  QorHandle roi = Interface(sys, kRoi);
  uint32_t x, y, w, h;
  const struct {
    int32_t dx, dy, dw, dh;
    uint32_t x, y, w, h;
  } steps[] = {
      {0, 0, -100, -80, 0, 0, 540, 400},        // shrink
      {1000, 1000, 0, 0, 100, 80, 540, 400},    // moved as far as the sensor allows
      {0, 0, 1000, 1000, 100, 80, 540, 400},    // growth stops at the sensor's edge
      {-5000, -5000, 0, 0, 0, 0, 540, 400},
      {0, 0, -10000, -10000, 0, 0, 8, 8},       // smallest size
      {3, 4, 629, 468, 3, 4, 637, 476},
  };
  for (const auto &s : steps) {
    ASSERT_EQ(QorVoz3OptionRelRect(roi, s.dx, s.dy, s.dw, s.dh, &err), 0);
    ASSERT_EQ(QorVoz3OptionGetRect(roi, &x, &y, &w, &h, &err), 0);
    EXPECT_EQ(x, s.x);
    EXPECT_EQ(y, s.y);
    EXPECT_EQ(w, s.w);
    EXPECT_EQ(h, s.h);
  }
  QorHandle in = Input(sys), header = 0;
  ASSERT_EQ(QorVoz3DataheaderCreate(&header, &err), 0);
  HeaderOf(in, header);
  EXPECT_EQ(U32(header, QORLIB3_DH_WIDTH), 637u);
  EXPECT_EQ(U32(header, QORLIB3_DH_HEIGHT), 476u);
  EXPECT_EQ(U32(header, QORLIB3_DH_LINE_SIZE), 637u);
  QorVoz3DataheaderFree(header, &err);
}

TEST_F(SimTest, WrongKindIsRefusedWith306) {
  QorHandle sys = MakeSystem(1, false);
  QorHandle pattern = Interface(sys, kTestPattern), gain = Interface(sys, kGain),
            control = Interface(sys, QORLIB3_CINTERFACE_INPUT_CONTROL);
  int32_t v;
  uint32_t u, x;
  EXPECT_EQ(QorVoz3OptionGetScalar(pattern, &v, 0, &err), QORLIB3_ERR_WRONG_KIND);
  EXPECT_EQ(QorVoz3OptionGetEnumVal(gain, &u, &err), QORLIB3_ERR_WRONG_KIND);
  EXPECT_EQ(QorVoz3OptionRelRect(gain, 1, 0, 0, 0, &err), QORLIB3_ERR_WRONG_KIND);
  EXPECT_EQ(QorVoz3OptionGetRect(control, &x, &x, &x, &x, &err), QORLIB3_ERR_WRONG_KIND);
  EXPECT_EQ(QorVoz3GetInfoScalarVal(gain, &v, &u, &err), QORLIB3_ERR_WRONG_KIND);
  // The line options without a unit are scalars for get and set, but have no unit to cycle.
  QorHandle mode = Interface(MakeSystem(8, false), QORLIB3_OPTION_LINE_SCAN_MODE);
  ASSERT_EQ(QorVoz3OptionSetScalar(mode, 3, 0, &err), 0);
  ASSERT_EQ(QorVoz3OptionGetScalar(mode, &v, 0, &err), 0);
  EXPECT_EQ(v, 3);
  u = 0;
  EXPECT_EQ(QorVoz3OptionNextScalarUnit(mode, &u, &err), QORLIB3_ERR_WRONG_KIND);
}

TEST_F(SimTest, InfoScalarsMoveAndFirmwareBuildIsNoScalar) {
  QorHandle sys = 0;
  QorHandle in = FastInput(1, &sys);
  QorHandle temp = Interface(sys, 0x500001), counter = Interface(sys, 0x500002),
            firmware = Interface(sys, 0x500003);
  int32_t v = -1;
  uint32_t unit = 0;
  ASSERT_EQ(QorVoz3GetInfoScalarVal(temp, &v, &unit, &err), 0);
  EXPECT_EQ(unit, 6u);
  EXPECT_GE(v, 38);
  EXPECT_LE(v, 43);
  ASSERT_EQ(QorVoz3GetInfoScalarVal(counter, &v, &unit, &err), 0);
  EXPECT_EQ(unit, 7u);
  EXPECT_EQ(v, 0);
  ReadFrame(in);
  ReadFrame(in);
  ASSERT_EQ(QorVoz3GetInfoScalarVal(counter, &v, &unit, &err), 0);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(QorVoz3GetInfoScalarVal(firmware, &v, &unit, &err), QORLIB3_ERR_WRONG_KIND);
  EXPECT_NE(std::string(err.message).find("FirmwareBuild"), std::string::npos);
}

}  // namespace

// control_table_sim_test.cpp: building, row texts and editing against the stand-in library.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "control_table_fixture.h"
#include "scratch_folder.h"

namespace {

// Every library call of this program goes to a trace file, so tests can see which calls an
// operation made. Set before the library's first call, which is when it reads the switch.
// The folder goes when the program ends.
const ScratchFolder scratch;
const std::string TRACE_PATH = [] {
  std::string path = scratch.Path("calls.trace");
  setenv("QORSIM_TRACE", path.c_str(), 1);
  return path;
}();

// Trace lines written after mark (a line count taken with Trace_Mark).
std::vector<std::string> Trace_Lines() {
  std::vector<std::string> lines;
  std::ifstream in(TRACE_PATH);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
size_t Trace_Mark() { return Trace_Lines().size(); }
std::vector<std::string> Trace_Since(size_t mark) {
  std::vector<std::string> lines = Trace_Lines();
  return std::vector<std::string>(lines.begin() + static_cast<long>(mark), lines.end());
}

std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char *format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

// prefix, a signed decimal number, suffix.
::testing::AssertionResult Is_Number_Line(const std::string &line, const std::string &prefix,
                                          const std::string &suffix) {
  const bool framed = line.size() > prefix.size() + suffix.size() &&
                      line.compare(0, prefix.size(), prefix) == 0 &&
                      line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0;
  if (framed) {
    std::string number = line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    if (number[0] == '-') number.erase(0, 1);
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
      return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\"" << line << "\"";
}

uint32_t Enum_Value(const ControlEntry *row) {
  uint32_t value = 0;
  EXPECT_LE(QorVoz3OptionGetEnumVal(row->handle, &value, nullptr), 0);
  return value;
}

int32_t Scalar_Value(const ControlEntry *row, uint32_t unit) {
  int32_t value = 0;
  EXPECT_LE(QorVoz3OptionGetScalar(row->handle, &value, unit, nullptr), 0);
  return value;
}

struct Rect {
  uint32_t x, y, w, h;
  bool operator==(const Rect &o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
std::ostream &operator<<(std::ostream &out, const Rect &r) {
  return out << "(" << r.x << "," << r.y << ")-(" << r.w << "," << r.h << ")";
}
Rect Rect_Value(const ControlEntry *row) {
  Rect r{};
  EXPECT_LE(QorVoz3OptionGetRect(row->handle, &r.x, &r.y, &r.w, &r.h, nullptr), 0);
  return r;
}

class ControlTableSim : public ControlTableSystem {};

TEST_F(ControlTableSim, BuildingSystemOnePrintsEveryLookupAndItsClass) {
  Start(1);
  const std::string out = Build(true);

  // The lookups the stand-in refuses show as lines with nothing after the instance number;
  // the handles are whatever the library gave, echoed from the rows.
  const ControlEntry *e = controlTable.entries;
  ASSERT_EQ(15u, controlTable.count) << out;
  const std::string expected =
      "Get interfaces:\n" +
      Printf("  %-20s 0: (%u) <ENUM>\n", "TestPattern", e[0].handle) +
      Printf("  %-20s 1: \n", "TestPattern") +
      Printf("  %-20s 0: (%u) <ENUM>\n", "PixelFormat", e[1].handle) +
      Printf("  %-20s 1: \n", "PixelFormat") +
      Printf("  %-20s 0: (%u) <SCALAR>\n", "ExposureTime", e[2].handle) +
      Printf("  %-20s 1: \n", "ExposureTime") +
      Printf("  %-20s 0: (%u) <SCALAR>\n", "FrameRate", e[3].handle) +
      Printf("  %-20s 1: \n", "FrameRate") +
      Printf("  %-20s 0: (%u) <SCALAR>\n", "Gain", e[4].handle) +
      Printf("  %-20s 1: \n", "Gain") +
      Printf("  %-20s 0: (%u) <RECT>\n", "ROI", e[5].handle) +
      Printf("  %-20s 1: \n", "ROI") +
      Printf("  %-20s 0: (%u) <UNKNOWN>\n", "InputControl", e[6].handle) +
      Printf("  %-20s 1: (%u) <UNKNOWN>\n", "InputControl", e[7].handle) +
      Printf("  %-20s 2: \n", "InputControl") +
      Printf("  %-20s 0: (%u) <UNKNOWN>\n", "TransferControl", e[8].handle) +
      Printf("  %-20s 1: \n", "TransferControl") +
      Printf("  %-20s 0: \n", "LineScanMode") +
      Printf("  %-20s 0: \n", "LineRate") +
      Printf("  %-20s 0: \n", "LineTrigger") +
      "Info intefaces\n" +
      Printf("  %-20s 0: (%u) <INFO SCALAR>\n", "SensorTemp", e[9].handle) +
      Printf("  %-20s 1: \n", "SensorTemp") +
      Printf("  %-20s 0: (%u) <INFO SCALAR>\n", "FrameCounter", e[10].handle) +
      Printf("  %-20s 1: \n", "FrameCounter") +
      // Not an info scalar: its line stays open and the next lookup continues on it.
      Printf("  %-20s 0: (%u)   %-20s 1: \n", "FirmwareBuild", e[11].handle, "FirmwareBuild") +
      Printf("QorVoz3SystemGetOutDInterface: OK (%u)\n", e[12].handle) +
      Printf("QORLIB3_CINTERFACE_INPUT_CONTROL[0]: OK (%u)\n", e[13].handle) +
      Printf("QORLIB3_CINTERFACE_INPUT_CONTROL[1]: OK (%u)\n", e[14].handle) +
      "QORLIB3_CINTERFACE_INPUT_CONTROL[2]: Not present\n";
  EXPECT_EQ(expected, out);
}

TEST_F(ControlTableSim, ClassifiesEachEntryOfSystemOne) {
  Start(1);
  Build(true);
  struct Case {
    const char *name;
    uint32_t instance;
    uint32_t kind;
    const char *unit;   // scalar rows: the unit's name
  };
  const Case cases[] = {
      {"TestPattern", 0, CONTROL_KIND_ENUM, nullptr},
      {"PixelFormat", 0, CONTROL_KIND_ENUM, nullptr},
      {"ExposureTime", 0, CONTROL_KIND_SCALAR, "us"},
      {"FrameRate", 0, CONTROL_KIND_SCALAR, "Hz"},
      {"Gain", 0, CONTROL_KIND_SCALAR, "dB"},
      {"ROI", 0, CONTROL_KIND_RECT, nullptr},
      {"InputControl", 0, CONTROL_KIND_UNKNOWN, nullptr},
      {"InputControl", 1, CONTROL_KIND_UNKNOWN, nullptr},
      {"TransferControl", 0, CONTROL_KIND_UNKNOWN, nullptr},
      {"SensorTemp", 0, CONTROL_KIND_INFO_SCALAR, nullptr},
      {"FrameCounter", 0, CONTROL_KIND_INFO_SCALAR, nullptr},
      {"FirmwareBuild", 0, CONTROL_KIND_UNKNOWN, nullptr},
      {"OUTINTERFACE0", 0, CONTROL_KIND_OUT_INTERFACE, nullptr},
      {"INPUT_CONTROL", 0, CONTROL_KIND_INPUT_CONTROL, nullptr},
      {"INPUT_CONTROL", 1, CONTROL_KIND_INPUT_CONTROL, nullptr},
  };
  const QorHandle units = QorVoz3ListGetStdList(QORLIB3_STDLIST_UNIT);
  for (const Case &c : cases) {
    const ControlEntry *row = Row(c.name, c.instance);
    EXPECT_EQ(c.kind, row->kind) << c.name << " " << c.instance;
    if (c.unit) {
      const char *unit = QorVoz3ListGetString(row->unit, units);
      EXPECT_STREQ(c.unit, unit ? unit : "(none)") << c.name;
    }
  }
  EXPECT_EQ(0u, Row("ROI")->rectPart);
  // The input-control rows from the interface list and the instances added later are the same
  // interfaces.
  EXPECT_EQ(Row("InputControl", 1)->handle, Row("INPUT_CONTROL", 1)->handle);
}

TEST_F(ControlTableSim, EachKindsLineText) {
  Start(1);
  Build(true);
  ASSERT_LE(QorVoz3OptionSetScalar(Row("Gain")->handle, 12, 0, nullptr), 0);
  ASSERT_LE(QorVoz3OptionSetScalar(Row("ExposureTime")->handle, 2500, 0, nullptr), 0);
  Row("ROI")->rectPart = 3;

  struct Case {
    const char *name;
    std::string line;
  };
  const Case cases[] = {
      {"TestPattern", "  TestPattern         : Gradient" + Blanks(70)},
      {"PixelFormat", "  PixelFormat         : Mono8" + Blanks(70)},
      {"ExposureTime", "  ExposureTime        :[1000]---  2500 ---[1000000] (us)" + Blanks(49)},
      {"Gain", "  Gain                :[0]---  12 ---[48] (dB)" + Blanks(49)},
      {"ROI", "  ROI                 : (0,0)-(640,480) H" + Blanks(54)},
      {"InputControl", ""},
      {"FirmwareBuild", ""},
      {"OUTINTERFACE0", "  OUTINTERFACE0       :"},
      {"INPUT_CONTROL", "  INPUT_CONTROL       :"},
  };
  for (const Case &c : cases) EXPECT_EQ(c.line, Line(Row(c.name))) << c.name;

  // Info values change over time: only their shape is fixed.
  EXPECT_TRUE(Is_Number_Line(Line(Row("SensorTemp")), "  SensorTemp          : ",
                             " (C)" + Blanks(49)));
  EXPECT_TRUE(Is_Number_Line(Line(Row("FrameCounter")), "  FrameCounter        : ",
                             " (frames)" + Blanks(49)));

  // The output interface's row reads the interface's data type into the viewer's header.
  uint32_t width = 0, height = 0;
  EXPECT_LE(QorVoz3DataheaderGetU32(viewer.dataHeaderTmp, QORLIB3_DH_WIDTH, &width, nullptr), 0);
  EXPECT_LE(QorVoz3DataheaderGetU32(viewer.dataHeaderTmp, QORLIB3_DH_HEIGHT, &height, nullptr), 0);
  EXPECT_EQ(640u, width);
  EXPECT_EQ(480u, height);
}

TEST_F(ControlTableSim, RowsLeaveTheStatusOfTheirLastCall) {
  Start(1);
  Build(true);
  const QorHandle exposure = Row("ExposureTime")->handle;
  struct Case {
    const char *what;
    ControlEntry row;
    bool drawn;
    bool failed;   // status above 0 afterwards
  };
  const Case cases[] = {
      {"enumeration", *Row("TestPattern"), true, false},
      {"scalar", *Row("ExposureTime"), true, false},
      {"info scalar", *Row("SensorTemp"), true, false},
      {"output interface", *Row("OUTINTERFACE0"), true, false},
      // Rows whose reads the library refuses.
      {"enumeration on a scalar", {"E", exposure, CONTROL_KIND_ENUM, 0, 0}, true, true},
      {"rectangle on a scalar", {"R", exposure, CONTROL_KIND_RECT, 0, 0}, true, true},
      {"scalar in a unit it lacks", {"S", exposure, CONTROL_KIND_SCALAR, 5, 0}, true, true},
      {"info on an option", {"I", exposure, CONTROL_KIND_INFO_SCALAR, 0, 0}, false, true},
      {"output interface on an option", {"O", exposure, CONTROL_KIND_OUT_INTERFACE, 0, 0},
       false, true},
  };
  for (const Case &c : cases) {
    viewer.status = -77;
    EXPECT_EQ(c.drawn, !Line(&c.row).empty()) << c.what;
    EXPECT_EQ(c.failed, viewer.status > 0) << c.what << ": " << viewer.status;
  }
  // Rows that make no call leave the status alone.
  for (const char *name : {"InputControl", "INPUT_CONTROL"}) {
    viewer.status = -77;
    Line(Row(name));
    EXPECT_EQ(-77, viewer.status) << name;
  }
  // A refused enumeration read is still drawn, with the text for no value.
  const ControlEntry bad{"E", exposure, CONTROL_KIND_ENUM, 0, 0};
  EXPECT_EQ("  E                   : ???" + Blanks(70), Line(&bad));
}

TEST_F(ControlTableSim, StepChangesEachKindItsOwnWay) {
  Start(1);
  Build(true);

  // Enumerations move to the next value whichever the sign and size, over the gap after
  // Checkerboard.
  ControlEntry *pattern = Row("TestPattern");
  const uint32_t values[] = {0x100, 0x101, 0x102, 0x104, 0x105};
  const int32_t deltas[] = {1, -1, 1000, -10};
  ASSERT_EQ(values[0], Enum_Value(pattern));
  for (size_t i = 0; i < 4; ++i) {
    viewer.status = 77;
    Control_Step(pattern, deltas[i]);
    EXPECT_LE(viewer.status, 0);
    EXPECT_EQ(values[i + 1], Enum_Value(pattern)) << "after delta " << deltas[i];
  }

  // Scalars move by the delta in the row's unit.
  ControlEntry *gain = Row("Gain");
  ASSERT_LE(QorVoz3OptionSetScalar(gain->handle, 20, 0, nullptr), 0);
  Control_Step(gain, 10);
  EXPECT_EQ(30, Scalar_Value(gain, 0));
  Control_Step(gain, -1);
  EXPECT_EQ(29, Scalar_Value(gain, 0));

  // Rectangles move the value that rectPart names.
  ControlEntry *roi = Row("ROI");
  struct RectCase {
    uint32_t part;
    int32_t delta;
    Rect after;
  };
  const RectCase rectCases[] = {
      {2, -100, {0, 0, 540, 480}},
      {0, 10, {10, 0, 540, 480}},
      {3, -80, {10, 0, 540, 400}},
      {1, 1, {10, 1, 540, 400}},
  };
  for (const RectCase &c : rectCases) {
    Control_Select_Part(roi, c.part);
    Control_Step(roi, c.delta);
    EXPECT_EQ(c.after, Rect_Value(roi)) << "part " << c.part << " delta " << c.delta;
  }

  // No call at all: a rectangle part beyond H, and the kinds that cannot be stepped.
  roi->rectPart = 4;
  ControlEntry others[] = {*roi, *Row("InputControl"), *Row("OUTINTERFACE0"),
                           *Row("INPUT_CONTROL"), *Row("SensorTemp")};
  const size_t mark = Trace_Mark();
  viewer.status = -77;
  for (ControlEntry &row : others) Control_Step(&row, 1);
  EXPECT_EQ(std::vector<std::string>{}, Trace_Since(mark));
  EXPECT_EQ(-77, viewer.status);
  EXPECT_EQ((Rect{10, 1, 540, 400}), Rect_Value(roi));
}

TEST_F(ControlTableSim, RefusedStepEndsWithAFailedStatus) {
  Start(1);
  Build(true);
  // A scalar row in a unit its option lacks: the library refuses the change.
  ControlEntry row = *Row("Gain");
  row.unit = 1;
  viewer.status = 0;
  Control_Step(&row, 1);
  EXPECT_GT(viewer.status, 0);
}

TEST_F(ControlTableSim, NextUnitSwitchesTheUnitTheRowReadsAndSteps) {
  Start(1);
  Build(true);
  ControlEntry *exposure = Row("ExposureTime");
  ASSERT_LE(QorVoz3OptionSetScalar(exposure->handle, 5000, 0, nullptr), 0);

  viewer.status = -77;
  Control_Next_Unit(exposure);
  EXPECT_EQ(-77, viewer.status);
  EXPECT_EQ(2u, exposure->unit);   // ms
  EXPECT_EQ("  ExposureTime        :[1]---  5 ---[1000] (ms)" + Blanks(49), Line(exposure));
  Control_Step(exposure, 1);
  EXPECT_EQ(6000, Scalar_Value(exposure, 0));

  // A row without units: the library refuses, the status is not kept.
  viewer.status = -77;
  Control_Next_Unit(Row("INPUT_CONTROL"));
  EXPECT_EQ(-77, viewer.status);
}

TEST_F(ControlTableSim, SelectPartOnlyOnRectangles) {
  Start(1);
  Build(true);
  for (const char *name : {"TestPattern", "ExposureTime", "InputControl", "OUTINTERFACE0",
                           "INPUT_CONTROL", "SensorTemp"}) {
    ControlEntry *row = Row(name);
    Control_Select_Part(row, 2);
    EXPECT_EQ(0u, row->rectPart) << name;
  }
  for (uint32_t part : {3u, 1u, 2u, 0u}) {
    Control_Select_Part(Row("ROI"), part);
    EXPECT_EQ(part, Row("ROI")->rectPart);
  }
}

TEST_F(ControlTableSim, CommandsGoOnlyToInputControlRows) {
  Start(1);
  Build(true);
  ControlEntry *control = Row("INPUT_CONTROL", 1);
  const std::string handle = std::to_string(control->handle);

  size_t mark = Trace_Mark();
  Control_Command(control, QORLIB3_CMD_INPUT_STOP);
  Control_Command(control, QORLIB3_CMD_INPUT_START);
  Control_Activate(control);
  const std::vector<std::string> calls = Trace_Since(mark);
  ASSERT_EQ(3u, calls.size());
  EXPECT_EQ(0u, calls[0].rfind("CallCInterface_0(" + handle + ", 2684354664, ptr) -> ", 0))
      << calls[0];
  EXPECT_EQ(0u, calls[1].rfind("CallCInterface_0(" + handle + ", 2684354660, ptr) -> ", 0))
      << calls[1];
  EXPECT_EQ(0u, calls[2].rfind("CallCInterface_0(" + handle + ", 2684354661, ptr) -> ", 0))
      << calls[2];

  // The same interface reached through the interface list is a kind 0 row: no command.
  mark = Trace_Mark();
  for (const char *name : {"InputControl", "TestPattern", "ExposureTime", "ROI", "SensorTemp"}) {
    Control_Command(Row(name), QORLIB3_CMD_INPUT_START);
    Control_Activate(Row(name));
  }
  EXPECT_EQ(std::vector<std::string>{}, Trace_Since(mark));

  // A refused command is not kept.
  ControlEntry gone = *control;
  gone.handle = QORLIB3_NONE;
  viewer.status = -77;
  Control_Command(&gone, QORLIB3_CMD_INPUT_START);
  Control_Activate(&gone);
  EXPECT_EQ(-77, viewer.status);
}

TEST_F(ControlTableSim, SystemWithoutOutputOrInputControlsAddsNoRows) {
  Start(6);
  Build(false);
  const uint32_t built = controlTable.count;
  testing::internal::CaptureStdout();
  Control_Table_Add_Interfaces(viewer.system);
  EXPECT_EQ(
      "QorVoz3SystemGetOutDInterface: Not present\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[0]: Not present\n",
      testing::internal::GetCapturedStdout());
  EXPECT_EQ(built, controlTable.count);
}

}  // namespace

// keyboard_map_test.cpp: every key's effect on state, selection, toggles and library calls,
// and the handling of several waiting keys in one pass.
#include <ctime>
#include <deque>

#include "acquisition_fixture.h"
#include "keyboard.h"

namespace {

constexpr uint32_t TEST_PATTERN_OPTION = 0x400101;
constexpr uint32_t ROI_OPTION = 0x400106;

enum Toggle { STRETCH = 1, HISTOGRAM = 2, SINGLE_STEP = 4, ATTRIBUTE_VIEW = 8 };

int Toggles() {
  return (viewer.stretchFlag ? STRETCH : 0) | (viewer.histogramFlag ? HISTOGRAM : 0) |
         (viewer.singleStepFlag ? SINGLE_STEP : 0) |
         (viewer.attributeViewFlag ? ATTRIBUTE_VIEW : 0);
}

// The keys waiting in Allegro's buffer, as readkey gives them (scancode in the upper byte).
std::deque<int> waiting;
int Fake_Keypressed() { return !waiting.empty(); }
int Fake_Readkey() {
  int k = waiting.front();
  waiting.pop_front();
  return k << 8;
}

class KeyTest : public CycleTest {
 protected:
  // System 1 with rows 0 scalar (frame rate), 1 enumeration, 2 rectangle, 3 input control.
  void Start_With_Table(const std::string &faults = "") {
    Start(1, 8, faults);
    Add(FRAME_RATE_OPTION, CONTROL_KIND_SCALAR, "FrameRate");
    QorVoz3OptionNextScalarUnit(controlTable.entries[0].handle, &controlTable.entries[0].unit,
                                nullptr);
    Add(TEST_PATTERN_OPTION, CONTROL_KIND_ENUM, "TestPattern");
    Add(ROI_OPTION, CONTROL_KIND_RECT, "ROI");
    Add(QORLIB3_CINTERFACE_INPUT_CONTROL, CONTROL_KIND_INPUT_CONTROL, "INPUT_CONTROL");
    ASSERT_LE(QorVoz3SystemGetCInterface(viewer.system, QORLIB3_CINTERFACE_INPUT_CONTROL, 0,
                                         &viewer.inputControl, nullptr),
              0);
    ASSERT_LE(QorVoz3SystemGetCInterface(viewer.system, QORLIB3_CINTERFACE_TRANSFER_CONTROL, 0,
                                         &viewer.transferControl, nullptr),
              0);
    install_keyboard_hooks(Fake_Keypressed, Fake_Readkey);
    waiting.clear();
    key_shifts = 0;
    Mark();
  }
  void Add(uint32_t type, uint32_t kind, const char *name) {
    ControlEntry &e = controlTable.entries[controlTable.count++];
    e.name = name;
    e.kind = kind;
    ASSERT_LE(QorVoz3SystemGetCInterface(viewer.system, type, 0, &e.handle, nullptr), 0) << name;
  }
};

enum Target { NO_CALL, ENTRY, INPUT_CONTROL, TRANSFER_CONTROL, ANY };

struct KeyCase {
  const char *name;
  int scancode;
  int shifts;
  uint32_t selected;
  int from;
  int to;
  uint32_t selectedAfter;
  int toggles;
  Target target;
  const char *call;      // operation name; its first argument is the target's handle
  const char *argument;  // a fragment of the arguments after the handle
  const char *printed;   // standard output starts with this ("" = nothing printed)
};

const int SHIFT = KB_SHIFT_FLAG;
const int CTRL = KB_CTRL_FLAG;
const int R = INPUT_STATE_READ;
const int P = INPUT_STATE_WAIT_KEYPRESS;
const int W = INPUT_STATE_WAIT;

const KeyCase KEYS[] = {
    {"ESC", KEY_ESC, 0, 0, R, INPUT_STATE_EXIT, 0, 0, NO_CALL, "", "", ""},
    {"ESC in pause", KEY_ESC, 0, 0, P, INPUT_STATE_EXIT, 0, 0, NO_CALL, "", "", ""},
    {"key without action", KEY_A, 0, 0, R, W, 0, 0, NO_CALL, "", "", ""},
    {"key without action in alloc", KEY_A, 0, 0, INPUT_STATE_ALLOC_BUFFERS, W, 0, 0, NO_CALL, "",
     "", ""},
    {"key without action in pause", KEY_A, 0, 0, P, P, 0, 0, NO_CALL, "", "", ""},
    {"UP", KEY_UP, 0, 2, R, W, 1, 0, NO_CALL, "", "", ""},
    {"UP on first row", KEY_UP, 0, 0, R, W, 0, 0, NO_CALL, "", "", ""},
    {"DOWN", KEY_DOWN, 0, 0, R, W, 1, 0, NO_CALL, "", "", ""},
    {"DOWN on last row", KEY_DOWN, 0, 3, P, P, 3, 0, NO_CALL, "", "", ""},
    {"LEFT", KEY_LEFT, 0, 0, R, W, 0, 0, ENTRY, "OptionRelScalar", ", -1, ", ""},
    {"RIGHT", KEY_RIGHT, 0, 0, R, W, 0, 0, ENTRY, "OptionRelScalar", ", 1, ", ""},
    {"shift RIGHT", KEY_RIGHT, SHIFT, 0, R, W, 0, 0, ENTRY, "OptionRelScalar", ", 10, ", ""},
    {"ctrl RIGHT", KEY_RIGHT, CTRL, 0, R, W, 0, 0, ENTRY, "OptionRelScalar", ", 100, ", ""},
    {"shift ctrl RIGHT", KEY_RIGHT, SHIFT | CTRL, 0, R, W, 0, 0, ENTRY, "OptionRelScalar",
     ", 1000, ", ""},
    {"shift ctrl LEFT in pause", KEY_LEFT, SHIFT | CTRL, 0, P, P, 0, 0, ENTRY, "OptionRelScalar",
     ", -1000, ", ""},
    {"LEFT on enumeration", KEY_LEFT, 0, 1, R, W, 1, 0, ENTRY, "OptionSetNextEnumVal", ", 0, ", ""},
    {"U", KEY_U, 0, 0, R, W, 0, 0, ENTRY, "OptionNextScalarUnit", ", ", ""},
    {"E", KEY_E, 0, 3, R, W, 3, 0, ENTRY, "CallCInterface_0", ", 2684354660, ", ""},
    {"D", KEY_D, 0, 3, R, W, 3, 0, ENTRY, "CallCInterface_0", ", 2684354664, ", ""},
    {"ENTER resumes and triggers", KEY_ENTER, 0, 3, P, W, 3, 0, ENTRY, "CallCInterface_0",
     ", 2684354661, ", ""},
    {"SPACE", KEY_SPACE, 0, 0, R, W, 0, 0, INPUT_CONTROL, "CallCInterface_0", ", 2684354661, ", ""},
    {"shift SPACE", KEY_SPACE, SHIFT, 0, R, W, 0, 0, TRANSFER_CONTROL, "CallCInterface_0",
     ", 2952790019, ", ""},
    {"S", KEY_S, 0, 0, R, W, 0, STRETCH, NO_CALL, "", "", ""},
    {"S in pause", KEY_S, 0, 0, P, P, 0, STRETCH, NO_CALL, "", "", ""},
    {"F3", KEY_F3, 0, 0, R, W, 0, SINGLE_STEP, NO_CALL, "", "", ""},
    {"F4", KEY_F4, 0, 0, R, W, 0, HISTOGRAM, NO_CALL, "", "", ""},
    {"V", KEY_V, 0, 0, R, INPUT_STATE_ALLOC_BUFFERS, 0, ATTRIBUTE_VIEW, NO_CALL, "", "", ""},
    {"V in pause", KEY_V, 0, 0, P, INPUT_STATE_ALLOC_BUFFERS, 0, ATTRIBUTE_VIEW, NO_CALL, "", "",
     ""},
    {"F2 before any frame", KEY_F2, 0, 0, R, W, 0, 0, NO_CALL, "", "", ""},
    {"T", KEY_T, 0, 0, R, W, 0, 0, ANY, "ObjTreeSprintf", "", "QOR-VOZ3 Device Tree:\n"},
    {"M", KEY_M, 0, 0, R, W, 0, 0, NO_CALL, "", "",
     "------------------------------------------------------------\n"},
};

TEST_F(KeyTest, EachKeyOfTheMap) {
  for (const KeyCase &c : KEYS) {
    SCOPED_TRACE(c.name);
    In_Child([&] {
      Start_With_Table();
      controlTable.selected = c.selected;
      cycle.state = c.from;
      testing::internal::CaptureStdout();
      Keyboard_Handle(c.scancode, c.shifts);
      std::string printed = testing::internal::GetCapturedStdout();
      EXPECT_EQ(cycle.state, c.to);
      EXPECT_EQ(controlTable.selected, c.selectedAfter);
      EXPECT_EQ(Toggles(), c.toggles);
      EXPECT_LE(viewer.status, 0);
      if (*c.printed) {
        EXPECT_EQ(printed.compare(0, strlen(c.printed), c.printed), 0) << printed;
      } else {
        EXPECT_EQ(printed, "");
      }
      std::vector<std::string> calls = Calls();
      if (c.target == NO_CALL) {
        EXPECT_TRUE(calls.empty()) << calls.front();
        return;
      }
      std::vector<std::string> made = Calls(c.call);
      ASSERT_EQ(made.size(), 1u) << c.call;
      if (c.target != ANY) {
        QorHandle handle = c.target == ENTRY           ? controlTable.entries[c.selected].handle
                           : c.target == INPUT_CONTROL ? viewer.inputControl
                                                       : viewer.transferControl;
        std::string head = std::string(c.call) + "(" + std::to_string(handle) + c.argument;
        EXPECT_EQ(made[0].compare(0, head.size(), head), 0) << made[0] << " vs " << head;
      }
    });
  }
}

// With no rows the selection has nowhere to go, and the row keys find nothing to act on.
TEST_F(KeyTest, AnEmptyTableKeepsTheSelectionAtZero) {
  In_Child([&] {
    Start(1);
    for (int scancode : {KEY_DOWN, KEY_DOWN, KEY_UP, KEY_LEFT, KEY_RIGHT, KEY_E, KEY_D, KEY_ENTER}) {
      Keyboard_Handle(scancode, 0);
      EXPECT_EQ(controlTable.selected, 0u) << scancode;
    }
    EXPECT_TRUE(Calls().empty()) << Calls().front();
    EXPECT_LE(viewer.status, 0);
  });
}

TEST_F(KeyTest, RectangleKeysChooseWhichValueTheArrowsChange) {
  In_Child([&] {
    Start_With_Table();
    controlTable.selected = 2;
    const struct {
      int scancode;
      uint32_t part;
      const char *deltas;
    } parts[] = {{KEY_W, 2, "0, 0, 1, 0"},
                 {KEY_H, 3, "0, 0, 0, 1"},
                 {KEY_Y, 1, "0, 1, 0, 0"},
                 {KEY_X, 0, "1, 0, 0, 0"}};
    for (const auto &p : parts) {
      SCOPED_TRACE(p.deltas);
      Keyboard_Handle(p.scancode, 0);
      EXPECT_EQ(controlTable.entries[2].rectPart, p.part);
      Mark();
      Keyboard_Handle(KEY_RIGHT, 0);
      std::vector<std::string> made = Calls("OptionRelRect");
      ASSERT_EQ(made.size(), 1u);
      std::string head = "OptionRelRect(" + std::to_string(controlTable.entries[2].handle) + ", " +
                         p.deltas + ", ";
      EXPECT_EQ(made[0].compare(0, head.size(), head), 0) << made[0];
    }
    // The part keys leave rows that are not rectangles alone.
    controlTable.selected = 0;
    Keyboard_Handle(KEY_Y, 0);
    EXPECT_EQ(controlTable.entries[0].rectPart, 0u);
  });
}

struct StatusCase {
  const char *faults;
  int scancode;
  int shifts;
  uint32_t selected;
  bool kept;
};

// Only LEFT, RIGHT and SPACE keep their call's status; the others ignore a refusal.
TEST_F(KeyTest, OnlyArrowsAndSpaceKeepTheirStatus) {
  const StatusCase cases[] = {
      {"OptionRelScalar=55", KEY_LEFT, 0, 0, true},
      {"OptionRelScalar=55", KEY_RIGHT, SHIFT, 0, true},
      {"CallCInterface_0=55", KEY_SPACE, 0, 0, true},
      {"CallCInterface_0=55", KEY_SPACE, SHIFT, 0, true},
      {"CallCInterface_0=55", KEY_E, 0, 3, false},
      {"CallCInterface_0=55", KEY_D, 0, 3, false},
      {"CallCInterface_0=55", KEY_ENTER, 0, 3, false},
      {"OptionNextScalarUnit=55", KEY_U, 0, 0, false},
  };
  for (const StatusCase &c : cases) {
    SCOPED_TRACE(std::string(c.faults) + " key " + std::to_string(c.scancode));
    In_Child([&] {
      Start_With_Table(c.faults);
      controlTable.selected = c.selected;
      Keyboard_Handle(c.scancode, c.shifts);
      EXPECT_FALSE(Calls().empty());
      if (c.kept)
        EXPECT_EQ(viewer.status, 55);
      else
        EXPECT_LE(viewer.status, 0);
    });
  }
}

TEST_F(KeyTest, SpaceGoesToASkippedControlToo) {
  In_Child([&] {
    Start_With_Table();
    viewer.transferControl = QORLIB3_NONE;
    Keyboard_Handle(KEY_SPACE, SHIFT);
    std::vector<std::string> made = Calls("CallCInterface_0");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].compare(0, 28, "CallCInterface_0(4294967295,"), 0) << made[0];
    EXPECT_GT(viewer.status, 0) << "the library's refusal counts";
  });
}

TEST_F(KeyTest, ProcessHandlesEveryWaitingKeyInOrderWithTheShiftState) {
  In_Child([&] {
    Start_With_Table();
    waiting = {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_UP, KEY_F4, KEY_RIGHT};
    key_shifts = SHIFT | CTRL;
    Keyboard_Process();
    EXPECT_TRUE(waiting.empty());
    EXPECT_EQ(controlTable.selected, 2u);
    EXPECT_TRUE(viewer.histogramFlag);
    std::vector<std::string> made = Calls("OptionRelRect");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_NE(made[0].find(", 1000, "), std::string::npos) << made[0];
  });
}

TEST_F(KeyTest, AFailingKeyLeavesTheKeysAfterItUnread) {
  In_Child([&] {
    Start_With_Table("CallCInterface_0=55");
    waiting = {KEY_F3, KEY_SPACE, KEY_M, KEY_ESC};
    testing::internal::CaptureStdout();
    Keyboard_Process();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(viewer.status, 55);
    EXPECT_TRUE(viewer.singleStepFlag);
    EXPECT_EQ(waiting.size(), 2u);
    EXPECT_NE(cycle.state, INPUT_STATE_EXIT);
  });
}

TEST_F(KeyTest, PassReadsKeysAfterTheStepAndEndsOnEscOrAFailedKey) {
  In_Child([&] {
    Start_With_Table();
    cycle.state = INPUT_STATE_WAIT_KEYPRESS;
    waiting = {KEY_S, KEY_F4};
    EXPECT_TRUE(Acquisition_Pass());
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT_KEYPRESS);
    EXPECT_TRUE(viewer.stretchFlag && viewer.histogramFlag);
    waiting = {KEY_ESC};
    EXPECT_FALSE(Acquisition_Pass());
    EXPECT_EQ(cycle.state, INPUT_STATE_EXIT);
  });
  In_Child([&] {
    Start_With_Table("CallCInterface_0=55");
    cycle.state = INPUT_STATE_WAIT_KEYPRESS;
    waiting = {KEY_SPACE};
    EXPECT_FALSE(Acquisition_Pass());
    EXPECT_EQ(viewer.status, 55);
  });
}

double Now_Ms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The pause has no library wait to block in: each pass without a key sleeps first, asks the
// library nothing beyond the rows it draws, and a key that arrives is read on the next pass.
TEST_F(KeyTest, SingleStepPauseRestsEachPassUntilAKeyEndsIt) {
  In_Child([&] {
    Start_With_Table();
    cycle.state = INPUT_STATE_WAIT_KEYPRESS;
    constexpr int PASSES = 4;
    const double start = Now_Ms();
    for (int i = 0; i < PASSES; ++i) ASSERT_TRUE(Acquisition_Pass());
    EXPECT_GE(Now_Ms() - start, PASSES * PAUSE_REST_MS);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT_KEYPRESS);
    EXPECT_TRUE(Calls("InDInterfaceQueryReady").empty());
    EXPECT_TRUE(Calls("InDInterfaceWait").empty());

    waiting = {KEY_F4};   // any other key runs its action and the pause goes on
    ASSERT_TRUE(Acquisition_Pass());
    EXPECT_TRUE(viewer.histogramFlag);
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT_KEYPRESS);
    waiting = {KEY_ENTER};
    ASSERT_TRUE(Acquisition_Pass());
    EXPECT_EQ(cycle.state, INPUT_STATE_WAIT);
    EXPECT_TRUE(waiting.empty());
  });
}

}  // namespace

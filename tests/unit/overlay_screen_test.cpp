// overlay_screen_test.cpp: the screen the viewer leaves after its passes, pixel for pixel,
// against the same drawing done straight on a bitmap with Allegro's text, line and blit calls.
// This program defines the library calls the overlay makes, so every value is fixed by the test
// and can change between passes (shorter texts, lower bars) to show what earlier passes leave.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "acquisition.h"
#include "control_table.h"
#include "display_buffer.h"
#include "overlay.h"
#include "video.h"
#include "viewer.h"

namespace {

constexpr int VIEW_W = 640, VIEW_H = 400;
constexpr int IMAGE_W = 200, IMAGE_H = 150;
constexpr QorHandle VIEW_HEADER = 50, DEVICE_HEADER = 51, TMP_HEADER = 52, INPUT = 60;
enum RowHandle : QorHandle { ENUM_ROW = 1, SCALAR_ROW, RECT_ROW, OUT_ROW, INPUT_ROW, INFO_ROW,
                             UNKNOWN_ROW, BROKEN_INFO_ROW };

// What the scripted library answers; each round of a test changes some of it.
struct Script {
  uint32_t enumValue;        // 0 "Moving gradient", 1 "Bar"
  int32_t scalar, low, high;
  uint32_t rect[4];
  int32_t info;
  const char *outType;       // the output interface's data type text
  const char *screenText, *deviceText;
  uint32_t attributes;       // temperature attributes, values 20, 21, ...
};
Script script;

const char *const ENUM_NAMES[] = {"Moving gradient", "Bar"};

}  // namespace

extern "C" {
QorHandle QorVoz3ListGetStdList(uint32_t number) { return number; }
const char *QorVoz3ListGetString(uint32_t value, QorHandle list) {
  if (list == QORLIB3_STDLIST_ENUMERATION) return value < 2 ? ENUM_NAMES[value] : nullptr;
  if (list == QORLIB3_STDLIST_UNIT) return value == 1 ? "us" : value == 2 ? "C" : nullptr;
  if (list == QORLIB3_STDLIST_ATTRIBUTE_TYPE)
    return value == QORLIB3_ATTR_TEMPERATURE ? "Temperature" : nullptr;
  return nullptr;
}
int QorVoz3OptionGetEnumVal(QorHandle, uint32_t *value, ErrorData *) {
  *value = script.enumValue;
  return 0;
}
int QorVoz3OptionGetScalar(QorHandle, int32_t *value, uint32_t, ErrorData *) {
  *value = script.scalar;
  return 0;
}
int QorVoz3OptionGetScalarRange(QorHandle, int32_t *low, int32_t *high, uint32_t, ErrorData *) {
  *low = script.low;
  *high = script.high;
  return 0;
}
int QorVoz3OptionGetRect(QorHandle, uint32_t *x, uint32_t *y, uint32_t *w, uint32_t *h,
                         ErrorData *) {
  *x = script.rect[0];
  *y = script.rect[1];
  *w = script.rect[2];
  *h = script.rect[3];
  return 0;
}
int QorVoz3GetInfoScalarVal(QorHandle info, int32_t *value, uint32_t *unit, ErrorData *) {
  if (info == BROKEN_INFO_ROW) return 1;
  *value = script.info;
  *unit = 2;
  return 0;
}
int QorVoz3OutDInterfaceGetType(QorHandle, QorHandle, ErrorData *) { return 0; }
int QorVoz3DataSPrintf(char *buffer, uint32_t size, QorHandle header, ErrorData *) {
  const char *text = header == VIEW_HEADER   ? script.screenText
                     : header == DEVICE_HEADER ? script.deviceText
                     : header == TMP_HEADER    ? script.outType
                                               : "";
  return std::snprintf(buffer, size, "%s", text);
}
int QorVoz3InDInterfaceGetAddOnAtributeTotal(QorHandle, uint32_t *total, ErrorData *) {
  *total = script.attributes;
  return 0;
}
int QorVoz3InDInterfaceGetAddOnAtributeNum(QorHandle, uint32_t index, uint32_t *type,
                                           uint32_t *objectId, uint32_t *value, ErrorData *) {
  *type = QORLIB3_ATTR_TEMPERATURE;
  *objectId = 7;
  *value = 20 + index;
  return 0;
}
}

namespace {

struct Row {
  const char *name;
  QorHandle handle;
  uint32_t kind;
};
const Row ROWS[] = {
    {"TestPattern", ENUM_ROW, CONTROL_KIND_ENUM},
    {"ExposureTime", SCALAR_ROW, CONTROL_KIND_SCALAR},
    {"ROI", RECT_ROW, CONTROL_KIND_RECT},
    {"OUTINTERFACE0", OUT_ROW, CONTROL_KIND_OUT_INTERFACE},
    {"INPUT_CONTROL", INPUT_ROW, CONTROL_KIND_INPUT_CONTROL},
    {"SensorTemp", INFO_ROW, CONTROL_KIND_INFO_SCALAR},
    {"Unknown", UNKNOWN_ROW, CONTROL_KIND_UNKNOWN},
    {"Broken", BROKEN_INFO_ROW, CONTROL_KIND_INFO_SCALAR},
};
constexpr int ROW_COUNT = sizeof ROWS / sizeof *ROWS;

// The colours of the two depths (the 24-bit ones as the viewer makes them).
struct Colours {
  int text, background, selectionText, selectionBackground, frame;
};

int Noise(int x, int y, int depth) {
  const int v = (x * 37 + y * 91 + (x * y) % 23) & 0xff;
  return depth == 8 ? v : makecol_depth(depth, v, 255 - v, (v * 3) & 0xff);
}

struct RoundSetup {
  const char *name;
  Script script;
  uint32_t selected;
  int bins;                  // bar heights: (x * bins) % 257, so bars of many heights
  bool attributeView, stretch, badType;
};

class OverlayScreen : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (!started) started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    ASSERT_TRUE(started);
  }

  void SetUp() override {
    depth_ = GetParam();
    set_color_depth(depth_);
    Viewer_Reset();
    Cycle_Reset();
    Control_Table_Reset();
    Video_Reset();
    Overlay_Reset();
    video.width = VIEW_W;
    video.height = VIEW_H;
    video.depth = depth_;
    colours_ = depth_ == 8 ? Colours{255, 0, 0, 255, 255}
                           : Colours{makecol_depth(depth_, 255, 255, 0), 0,
                                     makecol_depth(depth_, 255, 255, 255),
                                     makecol_depth(depth_, 0, 127, 127),
                                     makecol_depth(depth_, 255, 255, 255)};
    video.colours = ColourSlots{colours_.text, colours_.background, colours_.selectionText,
                                colours_.selectionBackground, colours_.frame};
    for (const Row &r : ROWS)
      controlTable.entries[controlTable.count++] = ControlEntry{r.name, r.handle, r.kind, 1, 2};
    viewer.dataHeaderIn = DEVICE_HEADER;
    viewer.dataHeaderTmp = TMP_HEADER;
    viewer.inputData = INPUT;
    viewer.singleStepFlag = true;
    viewer.histogramFlag = true;
    cycle.state = INPUT_STATE_READ;
    cycle.transport = DIRECT_TO_BMP;
    cycle.readySize = 307200;

    screen_ = Make(VIEW_W, VIEW_H);
    reference_ = Make(VIEW_W, VIEW_H);
    image_ = Make(IMAGE_W, IMAGE_H);
    referenceImage_ = Make(IMAGE_W, IMAGE_H);
    display_ = DisplayBuffer{VIEW_HEADER, image_, IMAGE_W * static_cast<uint32_t>(depth_ / 8)};
    viewer.displayBuffer = &display_;
    screen = screen_;
  }

  void TearDown() override {
    screen = nullptr;
    for (BITMAP *b : {screen_, reference_, image_, referenceImage_, saved_[0], saved_[1]})
      if (b) destroy_bitmap(b);
  }

  BITMAP *Make(int w, int h) {
    BITMAP *b = create_bitmap_ex(depth_, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) putpixel(b, x, y, Noise(x, y, depth_));
    return b;
  }

  void Apply(const RoundSetup &r) {
    script = r.script;
    controlTable.selected = r.selected;
    viewer.attributeViewFlag = r.attributeView;
    viewer.stretchFlag = r.stretch;
    cycle.badTypeFlag = r.badType;
    std::strcpy(cycle.messageBuffer, "Bad input data type");
    for (int x = 0; x < 256; ++x) overlay.bins[x] = static_cast<uint32_t>((x * r.bins) % 257);
  }

  // One READ pass of the viewer in single-step mode, no key: the frame's part, then the
  // overlay's, in the cycle's order.
  void Viewer_Pass() {
    cycle.stateName = State_Name(INPUT_STATE_READ);
    Attributes_Draw();
    Frame_Show();
    Single_Step_Prompt();
    Frame_Rate_Draw();
    cycle.state = INPUT_STATE_WAIT_KEYPRESS;
    Histogram_Draw();
    Status_Lines_Draw();
  }

  // The same pass drawn straight on the reference bitmap: the calls the drawing is made of,
  // at the time ms and with the frame rate fps the viewer's pass saw.
  void Reference_Pass(uint32_t ms, double fps) {
    const Colours &c = colours_;
    const int lh = text_height(font) + 1;
    BITMAP *const s = reference_;
    // Attribute lines: into the image, or on the screen with the attribute view.
    BITMAP *target = viewer.attributeViewFlag ? s : referenceImage_;
    textprintf_ex(target, font, 0, 0, c.text, c.background, "Total %u attribute",
                  script.attributes);
    for (uint32_t i = 0; i < script.attributes; ++i)
      textprintf_ex(target, font, 0, 10 + 10 * static_cast<int>(i), c.text, c.background,
                    "ObjId %u: Type:%s (%x) Val:%d C   ", 7u, "Temperature",
                    QORLIB3_ATTR_TEMPERATURE, static_cast<int>(20 + i));
    // Frame display.
    if (cycle.badTypeFlag) {
      textout_centre_ex(s, font, "Bad input data type", VIEW_W / 2, VIEW_H / 2, c.text,
                        c.background);
    } else if (!viewer.attributeViewFlag && !viewer.stretchFlag) {
      rectfill(s, 0, 0, IMAGE_W + 1, IMAGE_H + 1, c.frame);
      blit(referenceImage_, s, 0, 0, 1, 1, IMAGE_W, IMAGE_H);
    } else if (!viewer.attributeViewFlag) {
      rectfill(s, 0, 0, VIEW_W, VIEW_H - 2, c.frame);
      stretch_blit(referenceImage_, s, 0, 0, IMAGE_W, IMAGE_H, 1, 1, VIEW_W, VIEW_H - 2);
    }
    textprintf_ex(s, font, VIEW_W / 2, VIEW_H / 2, 255, 0, "Press enter for next frame...");
    const int white = makecol(255, 255, 255);
    textprintf_right_ex(s, font, VIEW_W, 1, white, 0, "FPS: %2.2f", fps);
    textprintf_right_ex(s, font, VIEW_W, 11, white, 0, "dT: %5d", 1000);
    // Bars.
    const int top = VIEW_H - (ROW_COUNT + 4) * lh;
    for (int x = 0; x < 256; ++x) vline(s, x, top, top - static_cast<int>(overlay.bins[x]), c.text);
    for (int x = 0; x < 256; ++x) {
      const int h = static_cast<int>(overlay.bins[x]);
      vline(s, x, top - h, top - h - 20, c.background);
    }
    // Status lines.
    int y = top;
    textprintf_ex(s, font, 0, y, c.text, c.background, "State [%-20s] %s ReadySize %10u ESC exit",
                  "Read", viewer.stretchFlag ? "Stretch" : "Not Stretch", 307200u);
    textprintf_ex(s, font, 0, y += lh, c.text, c.background, "Transport:%s Mode %s",
                  "DIRECT_TO_BMP", "640x400 GRAY_FULL");
    textprintf_ex(s, font, 0, y += lh, c.text, c.background, "Screen : %s", script.screenText);
    textprintf_ex(s, font, 0, y += lh, c.text, c.background, "Device : %s", script.deviceText);
    // Control rows.
    for (int i = 0; i < ROW_COUNT; ++i) {
      y += lh;
      const bool selected = static_cast<uint32_t>(i) == controlTable.selected;
      const int fg = selected ? c.selectionText : c.text;
      const int bg = selected ? c.selectionBackground : c.background;
      const char *name = ROWS[i].name;
      switch (ROWS[i].kind) {
        case CONTROL_KIND_ENUM:
          textprintf_ex(s, font, 0, y, fg, bg, "  %-20s: %s%70s", name,
                        ENUM_NAMES[script.enumValue], "");
          break;
        case CONTROL_KIND_SCALAR:
          textprintf_ex(s, font, 0, y, fg, bg, "  %-20s:[%d]---  %d ---[%d] (%s)%49s", name,
                        script.low, script.scalar, script.high, "us", "");
          break;
        case CONTROL_KIND_RECT:
          textprintf_ex(s, font, 0, y, fg, bg, "  %-20s: (%u,%u)-(%u,%u) %s%54s", name,
                        script.rect[0], script.rect[1], script.rect[2], script.rect[3], "W", "");
          break;
        case CONTROL_KIND_OUT_INTERFACE: {
          char label[64];
          std::snprintf(label, sizeof label, "  %-20s:", name);
          textout_ex(s, font, label, 0, y, fg, bg);
          const int l = text_length(font, label);
          const char *text = script.outType;
          const int n = static_cast<int>(std::strlen(text));
          int fit = 0;
          while (fit < n && l + text_length(font, text + fit) > VIEW_W) ++fit;
          const int from = fit == 0 ? 0 : static_cast<int>((ms * 6ull / 1000) % (fit + 5));
          textout_ex(s, font, text + from, l, y, fg, bg);
          // The viewer's own addition: the shrinking text leaves no end of a longer one.
          const int end = l + text_length(font, text + from);
          if (end < VIEW_W) rectfill(s, end, y, VIEW_W - 1, y + text_height(font) - 1, bg);
          break;
        }
        case CONTROL_KIND_INPUT_CONTROL:
          textprintf_ex(s, font, 0, y, fg, bg, "  %-20s:", name);
          break;
        case CONTROL_KIND_INFO_SCALAR:
          if (ROWS[i].handle != BROKEN_INFO_ROW)
            textprintf_ex(s, font, 0, y, fg, bg, "  %-20s: %d (%s)%49s", name, script.info, "C",
                          "");
          break;
        default:
          break;
      }
    }
  }

  // Both passes from the same start. The frame rate is the first frame of a window 2.9 s old:
  // 1000 / 2900 shows as 0.34 until 2985 ms, so the pass may take its time. Repeated when the
  // scroll step moved on during the viewer's pass.
  void Both_Passes() {
    Save(0, screen_);
    Save(1, referenceImage_);
    constexpr uint32_t WINDOW_MS = 2900, SLACK_MS = 80;
    for (int attempt = 0; attempt < 20; ++attempt) {
      blit(saved_[0], screen_, 0, 0, 0, 0, VIEW_W, VIEW_H);
      blit(saved_[0], reference_, 0, 0, 0, 0, VIEW_W, VIEW_H);
      blit(saved_[1], referenceImage_, 0, 0, 0, 0, IMAGE_W, IMAGE_H);
      blit(saved_[1], image_, 0, 0, 0, 0, IMAGE_W, IMAGE_H);
      overlay.fpsFrames = 0;
      const uint32_t before = Clock_Ms();
      if (before == WINDOW_MS) continue;   // a start time of 0 would mean "not started"
      overlay.fpsStart = before - WINDOW_MS;
      Viewer_Pass();
      const uint32_t after = Clock_Ms();
      if (after - before > SLACK_MS || before * 6ull / 1000 != after * 6ull / 1000) continue;
      Reference_Pass(before, 1000.0 / WINDOW_MS);
      return;
    }
    FAIL() << "no pass of the viewer kept within one scroll step";
  }

  void Save(int i, BITMAP *b) {
    if (!saved_[i]) saved_[i] = create_bitmap_ex(depth_, b->w, b->h);
    blit(b, saved_[i], 0, 0, 0, 0, b->w, b->h);
  }

  // Every pixel of the screen equals the reference; the first difference is reported.
  void Expect_Same_Screen(const char *round) {
    int differences = 0, fx = -1, fy = -1;
    for (int y = 0; y < VIEW_H; ++y)
      for (int x = 0; x < VIEW_W; ++x)
        if (getpixel(screen_, x, y) != getpixel(reference_, x, y) && differences++ == 0) {
          fx = x;
          fy = y;
        }
    EXPECT_EQ(differences, 0) << round << ": first at (" << fx << ", " << fy << ") screen "
                              << (fx >= 0 ? getpixel(screen_, fx, fy) : 0) << " reference "
                              << (fx >= 0 ? getpixel(reference_, fx, fy) : 0);
  }

  int depth_ = 8;
  Colours colours_{};
  BITMAP *screen_ = nullptr, *reference_ = nullptr, *image_ = nullptr,
         *referenceImage_ = nullptr;
  BITMAP *saved_[2] = {nullptr, nullptr};
  DisplayBuffer display_{};
};

// 89 characters: beside the 23-character label on a 640-pixel screen it has to scroll.
const char *const LONG_TYPE =
    "Image 640x480 8 bit mono, pixel format 0x10001, layout 0x20000, 307200 elements, line 640";

// Each round runs over what the one before left: shorter texts, lower bars, another selected
// row, the attributes moving from the image to the screen, the stretched and refused frames.
const RoundSetup ROUNDS[] = {
    {"framed image", {0, 5000, 10, 1000000, {0, 0, 640, 480}, 41, LONG_TYPE,
      "Image 640x480 8 bit", "Image 640x480 8 bit mono", 3}, 0, 97, false, false, false},
    {"attribute view, shorter texts", {1, 7, 1, 9, {1, 2, 3, 4}, -5, "Image 2x2",
      "Image", "Image 1x1", 2}, 3, 13, true, false, false},
    {"stretched", {0, 123, 0, 200, {0, 0, 64, 48}, 100, LONG_TYPE, "Image 640x480 8 bit",
      "", 0}, 1, 255, false, true, false},
    {"bad input", {1, 5, 0, 9, {0, 0, 1, 1}, 7, "", "", "", 1}, 5, 1, false, false, true},
};

TEST_P(OverlayScreen, PassesLeaveTheScreenTheDirectDrawingLeaves) {
  Frame_Rate_Draw();   // starts the frame-rate window (and fixes its white): draws nothing
  for (const RoundSetup &r : ROUNDS) {
    Apply(r);
    Both_Passes();
    Expect_Same_Screen(r.name);
  }
}

TEST_P(OverlayScreen, ARowDrawnAloneLeavesTheRestOfItsLine) {
  script = ROUNDS[1].script;
  blit(screen_, reference_, 0, 0, 0, 0, VIEW_W, VIEW_H);
  Control_Draw_Line(4, 100);   // INPUT_CONTROL: a short label, the rest of the line stays
  textprintf_ex(reference_, font, 0, 100, colours_.text, colours_.background, "  %-20s:",
                "INPUT_CONTROL");
  Control_Draw_Line(6, 120);   // kind 0: nothing at all
  Expect_Same_Screen("rows alone");
}

INSTANTIATE_TEST_SUITE_P(Depths, OverlayScreen, ::testing::Values(8, 24),
                         [](const ::testing::TestParamInfo<int> &p) {
                           return std::to_string(p.param) + "bit";
                         });

}  // namespace

// overlay_text_test.cpp: attribute texts, the frame-rate window and the status line texts.
#include "overlay_fixture.h"

#include <string>

namespace {

using OverlayText = OverlayTest;

TEST_F(OverlayText, AttributeValueTexts) {
  struct Case {
    uint32_t type, value;
    const char *want;
  } cases[] = {
      {QORLIB3_ATTR_TEMPERATURE, 41, "41 C   "},
      {QORLIB3_ATTR_TEMPERATURE, 0xfffffffbu, "-5 C   "},
      {QORLIB3_ATTR_ANGLE, 1073741824u, "180.000000 (grad)   "},
      {QORLIB3_ATTR_ANGLE, static_cast<uint32_t>(-536870912), "-90.000000 (grad)   "},
      // Single precision shows here: double arithmetic would give 335.276127.
      {QORLIB3_ATTR_ANGLE, 1999999999u, "335.276123 (grad)   "},
      {QORLIB3_ATTR_RATIO, 0x00020001u, "0.500000  "},
      {QORLIB3_ATTR_RATIO, 5u, "Error val"},
      {QORLIB3_ATTR_RATIO_B, 0x0000ffffu, "Error val"},
      // 65535 / 7 in single precision (double: 9362.142857).
      {QORLIB3_ATTR_RATIO_B, 0x0007ffffu, "9362.142578  "},
      {QORLIB3_ATTR_RATIO_C, 0xffff0000u, "0.000000  "},
      {0x400003u, 0xffffffffu, "*4294967295    "},
      {0u, 7u, "*7    "},
  };
  for (const Case &c : cases) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    Attribute_Value_Text(text, sizeof text, c.type, c.value);
    EXPECT_STREQ(text, c.want) << std::hex << c.type << " " << c.value;
  }
}

TEST_F(OverlayText, AttributeTextsStayInsideTheirBuffer) {
  char text[16];
  std::memset(text, 'x', sizeof text);
  Attribute_Value_Text(text, 5, QORLIB3_ATTR_ANGLE, 1073741824u);
  EXPECT_STREQ(text, "180.");
  EXPECT_EQ(text[5], 'x');

  // The label alone overfills: cut and terminated, no value appended past the end.
  std::memset(text, 'x', sizeof text);
  Attribute_Format(text, 10, 0x123u, 4000000000u, 5u);
  EXPECT_STREQ(text, "ObjId 400");
  EXPECT_EQ(text[10], 'x');

  // Fits: label, the type's name (none for a type no list knows) and the value.
  char line[128];
  Attribute_Format(line, sizeof line, 0x123u, 7u, 5u);
  EXPECT_STREQ(line, "ObjId 7: Type:??? (123) Val:*5    ");
}

TEST_F(OverlayText, FrameRateWindow) {
  struct Step {
    uint32_t now;
    bool shown;
    double fps;
    uint32_t startAfter, framesAfter;
  } steps[] = {
      {1000, false, 0, 1000, 0},    // first frame starts the window, draws nothing
      {1000, false, 0, 1000, 1},    // no time passed yet: counted, not drawn
      {1500, true, 4.0, 1000, 2},   // 2 frames in 500 ms
      {3999, true, 3000.0 / 2999, 1000, 3},   // 2999 ms: still the same window
      {4000, true, 4000.0 / 3000, 4000, 0},   // 3000 ms: shown, then the window restarts
      {4100, true, 10.0, 4000, 1},
  };
  for (const Step &s : steps) {
    double fps = -1;
    EXPECT_EQ(Frame_Rate_Tick(s.now, &fps), s.shown) << s.now;
    if (s.shown) {
      EXPECT_DOUBLE_EQ(fps, s.fps) << s.now;
    }
    EXPECT_EQ(overlay.fpsStart, s.startAfter) << s.now;
    EXPECT_EQ(overlay.fpsFrames, s.framesAfter) << s.now;
  }
}

TEST_F(OverlayText, StateAndTransportLines) {
  char line[256];
  cycle.stateName = "Read";
  cycle.readySize = 0x100000005ull;   // only the low 32 bits are shown
  Status_Line_Format(line, sizeof line, 0);
  EXPECT_STREQ(line, "State [Read                ] Not Stretch ReadySize          5 ESC exit");
  viewer.stretchFlag = true;
  cycle.readySize = 307200;
  Status_Line_Format(line, sizeof line, 0);
  EXPECT_STREQ(line, "State [Read                ] Stretch ReadySize     307200 ESC exit");

  cycle.transport = DIRECT_TO_BMP;
  Status_Line_Format(line, sizeof line, 1);
  EXPECT_EQ(std::string(line), std::string("Transport:DIRECT_TO_BMP Mode ") + Video_Mode_Text());

  // A line cut to a small buffer stays terminated inside it.
  std::memset(line, 'x', sizeof line);
  Status_Line_Format(line, 8, 0);
  EXPECT_STREQ(line, "State [");
  EXPECT_EQ(line[8], 'x');
}

TEST_F(OverlayText, HeaderLinesShowTheLibrarysText) {
  ErrorData error{};
  if (QorVoz3Init(&error) > 0) GTEST_SKIP() << "library refuses to start";
  QorHandle screenHeader = 0, deviceHeader = 0;
  ASSERT_LE(QorVoz3DataheaderCreate(&screenHeader, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderCreate(&deviceHeader, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderSetType(screenHeader, 3, 8, 0, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderSetU32(screenHeader, QORLIB3_DH_WIDTH, 640, nullptr), 0);
  ASSERT_LE(QorVoz3DataheaderSetType(deviceHeader, 3, 16, 307200, nullptr), 0);
  DisplayBuffer display{screenHeader, nullptr, 0};
  viewer.displayBuffer = &display;
  viewer.dataHeaderIn = deviceHeader;

  struct Case {
    int line;
    QorHandle header;
    const char *label;
  } cases[] = {{2, screenHeader, "Screen : "}, {3, deviceHeader, "Device : "}};
  for (const Case &c : cases) {
    char want[TEXT_BUFFER_SIZE];
    ASSERT_GT(QorVoz3DataSPrintf(want, sizeof want, c.header, nullptr), 0);
    char line[TEXT_BUFFER_SIZE + 64];
    Status_Line_Format(line, sizeof line, c.line);
    EXPECT_EQ(std::string(line), std::string(c.label) + want);
  }

  viewer.displayBuffer = nullptr;   // no display buffer: an empty text, not a crash
  char line[64];
  Status_Line_Format(line, sizeof line, 2);
  EXPECT_STREQ(line, "Screen : ");
  QorVoz3DataheaderFree(screenHeader, nullptr);
  QorVoz3DataheaderFree(deviceHeader, nullptr);
  QorVoz3Exit(&error);
}

}  // namespace

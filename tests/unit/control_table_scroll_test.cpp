// control_table_scroll_test.cpp: where the output interface's data type text starts as time runs.
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "control_table.h"

namespace {

// The default font is 8 pixels a character; the label "  %-20s:" is 23 characters.
int Eight_Per_Char(const char *text) {
  return 8 * static_cast<int>(std::strlen(text));
}
constexpr int LABEL = 23 * 8;

// First millisecond of step k at six steps a second.
uint32_t Step_Start(uint32_t k) {
  return (k * 1000u + 5u) / 6u;
}

TEST(ControlScrollFit, FindsTheFirstCharacterWhoseRestFitsBesideTheLabel) {
  struct Case {
    const char *what;
    int labelWidth;
    int screenWidth;
    size_t textChars;
    uint32_t fit;
  };
  const Case cases[] = {
      {"fits exactly", LABEL, 800, 77, 0},
      {"shorter", LABEL, 800, 40, 0},
      {"one character too long", LABEL, 800, 78, 1},
      {"ten characters too long", LABEL, 800, 87, 10},
      {"label alone fills the screen", 800, 800, 12, 12},
      {"label wider than the screen", 900, 800, 12, 12},
      {"empty text", LABEL, 800, 0, 0},
  };
  for (const Case &c : cases) {
    const std::string text(c.textChars, 'a');
    EXPECT_EQ(c.fit, Control_Scroll_Fit(c.labelWidth, c.screenWidth, text.c_str(),
                                        static_cast<uint32_t>(text.size()), Eight_Per_Char))
        << c.what;
  }
}

TEST(ControlScrollOffset, TextThatFitsStaysStill) {
  for (uint32_t ms : {0u, 1u, 166u, 167u, 999u, 123456u, 4294967295u}) {
    EXPECT_EQ(0u, Control_Scroll_Offset(0, 60, ms)) << ms;
  }
}

TEST(ControlScrollOffset, TenCharactersTooLongCyclesInFifteenSteps) {
  const uint32_t fit = 10, length = 87;
  for (uint32_t k = 0; k < 46; ++k) {
    const uint32_t expected = k % 15;
    EXPECT_EQ(expected, Control_Scroll_Offset(fit, length, Step_Start(k))) << "step " << k;
    // Unchanged until the next step begins.
    EXPECT_EQ(expected, Control_Scroll_Offset(fit, length, Step_Start(k + 1) - 1)) << "step " << k;
  }
}

TEST(ControlScrollOffset, StaysWithinTheTextWhenFitIsNearItsEnd) {
  // A label wider than the screen: fit is the whole length, the five extra steps would start
  // past the end of the text.
  const uint32_t length = 3;
  for (uint32_t k = 0; k < 16; ++k) {
    const uint32_t offset = Control_Scroll_Offset(length, length, Step_Start(k));
    EXPECT_LE(offset, length) << "step " << k;
    EXPECT_EQ(k % 8 < length ? k % 8 : length, offset) << "step " << k;
  }
}

TEST(ControlScrollOffset, KeepsCountingAfterDaysOfRunning) {
  // 800000000 ms is past the point where milliseconds times six leave 32 bits.
  EXPECT_EQ(0u, Control_Scroll_Offset(10, 87, 800000000u));    // step 4800000, 15 divides it
  EXPECT_EQ(1u, Control_Scroll_Offset(10, 87, 800000167u));    // step 4800001
  EXPECT_EQ(14u, Control_Scroll_Offset(10, 87, 799999999u));   // step 4799999
}

}  // namespace

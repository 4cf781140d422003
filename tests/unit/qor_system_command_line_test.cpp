// qor_system_command_line_test.cpp: the viewer's arguments, number reading and override lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup.h"
#include "video.h"
#include "viewer.h"

namespace {

struct ArgsCase {
  std::vector<const char *> args;   // after the program name
  int32_t systemId;
  bool pio;
  uint32_t width;
  uint32_t height;
  uint32_t mode;
  std::string output;
};

const char BAD[] = "\nBad command line option: ";

std::string Read_Args(const std::vector<const char *> &args) {
  Viewer_Reset();
  Video_Reset();
  std::vector<const char *> argv{"qor-system"};
  argv.insert(argv.end(), args.begin(), args.end());
  testing::internal::CaptureStdout();
  Command_Line_Read(static_cast<int>(argv.size()), argv.data());
  return testing::internal::GetCapturedStdout();
}

TEST(CommandLine, ArgumentsAndTheirEffects) {
  const std::string b = BAD;
  const ArgsCase cases[] = {
      {{}, -1, false, 800, 600, GRAY_FULL, ""},
      {{"s1"}, 1, false, 800, 600, GRAY_FULL, ""},
      {{"s3", "s7"}, 7, false, 800, 600, GRAY_FULL, ""},          // a later s replaces
      {{"s 42"}, 42, false, 800, 600, GRAY_FULL, ""},             // %u skips blanks
      {{"s5x"}, 5, false, 800, 600, GRAY_FULL, ""},               // trailing text ignored
      {{"s"}, -1, false, 800, 600, GRAY_FULL, b + "s\n"},
      {{"sx1"}, -1, false, 800, 600, GRAY_FULL, b + "sx1\n"},
      {{"s99999999999"}, -1, false, 800, 600, GRAY_FULL, b + "s99999999999\n"},
      {{"p"}, -1, true, 800, 600, GRAY_FULL, ""},
      {{"pio-anything"}, -1, true, 800, 600, GRAY_FULL, ""},
      {{"o640-480"}, -1, false, 640, 480, GRAY_FULL, ""},
      {{"o640"}, -1, false, 800, 600, GRAY_FULL, b + "o640\n"},
      {{"o640-"}, -1, false, 800, 600, GRAY_FULL, b + "o640\n"},
      {{"oabc-480"}, -1, false, 800, 600, GRAY_FULL, b + "oabc\n"},
      {{"o640-abc-CW"}, -1, false, 800, 600, GRAY_FULL, b + "o640\n"},
      {{"o"}, -1, false, 800, 600, GRAY_FULL, b + "o\n"},
      {{"o1024-768-cw"}, -1, false, 1024, 768,
       COLOR_WIN, "Video_Select_Mode 5\nVideo_Select_Mode 6\n"},
      {{"o800-600-C-x-W"}, -1, false, 800, 600,
       COLOR_WIN, "Video_Select_Mode 5\nVideo_Select_Mode 6\n"},
      {{"o800-600-CW", "o1280-1024-f"}, -1, false, 1280, 1024, COLOR_FULL,
       "Video_Select_Mode 5\nVideo_Select_Mode 6\nVideo_Select_Mode 7\n"},
      {{"-Gain=5", "-broken"}, -1, false, 800, 600, GRAY_FULL, ""},
      {{""}, -1, false, 800, 600, GRAY_FULL, b + "\n"},
      {{"x", "S1", "s2"}, 2, false, 800, 600, GRAY_FULL, b + "x\n" + b + "S1\n"},
  };
  for (const ArgsCase &c : cases) {
    std::string label;
    for (const char *a : c.args) label += std::string("[") + a + "]";
    SCOPED_TRACE(label);
    EXPECT_EQ(Read_Args(c.args), c.output);
    EXPECT_EQ(viewer.systemId, c.systemId);
    EXPECT_EQ(viewer.pioFlag, c.pio);
    EXPECT_EQ(video.width, c.width);
    EXPECT_EQ(video.height, c.height);
    EXPECT_EQ(video.mode, c.mode);
  }
}

TEST(CommandLine, NumbersReadLikeScanf) {
  struct Case {
    const char *text;
    bool ok;
    uint32_t value;
  };
  const Case unsignedCases[] = {
      {"0", true, 0},         {"4294967295", true, 4294967295u}, {"4294967296", false, 0},
      {" +7", true, 7},       {"-1", true, 4294967295u},         {"12ab", true, 12},
      {"", false, 0},         {"+", false, 0},                   {"x1", false, 0},
  };
  for (const Case &c : unsignedCases) {
    SCOPED_TRACE(c.text);
    uint32_t v = 12345;
    EXPECT_EQ(Scan_Unsigned(c.text, nullptr, &v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  uint32_t v = 0;
  const char bounded[] = "640-480";
  ASSERT_TRUE(Scan_Unsigned(bounded, bounded + 2, &v));
  EXPECT_EQ(v, 64u);
  EXPECT_FALSE(Scan_Unsigned(bounded, bounded, &v));

  struct SignedCase {
    const char *text;
    bool ok;
    int32_t value;
  };
  const SignedCase signedCases[] = {
      {"-2147483648", true, INT32_MIN}, {"2147483647", true, INT32_MAX},
      {"2147483648", false, 0},         {"-2147483649", false, 0},
      {" 25us", true, 25},              {"fast", false, 0},
      {"", false, 0},
  };
  for (const SignedCase &c : signedCases) {
    SCOPED_TRACE(c.text);
    int32_t s = 12345;
    EXPECT_EQ(Scan_Signed(c.text, &s), c.ok);
    if (c.ok) {
      EXPECT_EQ(s, c.value);
    }
  }
}

TEST(CommandLine, OverrideLookup) {
  const char *argv[] = {"qor-system", "-Gain=3", "s1",         "-Gain",        "-GainX=9",
                        "-Gai=8",     "Gain=7",  "-Gain=12=x", "-Exposure=",   "-FrameRate=0"};
  const int argc = static_cast<int>(sizeof argv / sizeof argv[0]);
  struct Case {
    const char *name;
    const char *value;
  };
  const Case cases[] = {
      {"Gain", "12=x"},        // the last match counts; its value runs to the end
      {"Exposure", ""},
      {"FrameRate", "0"},
      {"Gai", "8"},
      {"GainX", "9"},
      {"Missing", nullptr},
      {nullptr, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name ? c.name : "(null)");
    const char *v = Option_Override(c.name, argc, argv);
    if (c.value) {
      ASSERT_NE(v, nullptr);
      EXPECT_STREQ(v, c.value);
    } else {
      EXPECT_EQ(v, nullptr);
    }
  }
}

}  // namespace

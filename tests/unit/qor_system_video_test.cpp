// qor_system_video_test.cpp: video mode letters, the mode text and the candidate order.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cerrno>
#include <string>

#include "video.h"

namespace {

TEST(Video, SelectModeSequences) {
  struct Case {
    uint32_t start;
    std::vector<uint32_t> codes;
    uint32_t mode;
  };
  const Case cases[] = {
      {GRAY_FULL, {COLOR, GRAY}, GRAY_FULL},    // CG
      {GRAY_FULL, {GRAY, COLOR}, COLOR_FULL},   // GC
      {GRAY_FULL, {FULL, WIN}, GRAY_WIN},       // FW
      {GRAY_FULL, {COLOR, WIN}, COLOR_WIN},     // CW
      {COLOR_WIN, {FULL}, COLOR_FULL},
      {COLOR_WIN, {GRAY}, GRAY_WIN},
      {GRAY_WIN, {WIN, WIN}, GRAY_WIN},
      {COLOR_FULL, {GRAY_WIN}, GRAY_WIN},       // a mode code sets both flags
      {GRAY_FULL, {COLOR_WIN, FULL}, COLOR_FULL},
      {COLOR_WIN, {8}, COLOR_WIN},              // unknown code: no change
      {GRAY_WIN, {0xffffffffu}, GRAY_WIN},
  };
  for (const Case &c : cases) {
    Video_Reset();
    video.mode = c.start;
    std::string expected;
    for (uint32_t code : c.codes) expected += "Video_Select_Mode " + std::to_string(code) + "\n";
    SCOPED_TRACE(expected);
    testing::internal::CaptureStdout();
    for (uint32_t code : c.codes) Video_Select_Mode(code);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(video.mode, c.mode);
  }
}

TEST(Video, ModeText) {
  Video_Reset();
  EXPECT_STREQ(Video_Mode_Text(), "800x600 GRAY_FULL");
  const struct {
    uint32_t width, height, mode;
    const char *text;
  } cases[] = {
      {640, 480, GRAY_WIN, "640x480 GRAY_WIN"},
      {1024, 768, COLOR_FULL, "1024x768 COLOR_FULL"},
      {4294967295u, 0, COLOR_WIN, "4294967295x0 COLOR_WIN"},
  };
  for (const auto &c : cases) {
    Video_Set_Size(c.width, c.height);
    video.mode = c.mode;
    EXPECT_STREQ(Video_Mode_Text(), c.text);
  }
}

// Without any graphics driver every candidate is refused: the order of attempts shows, the
// depth stays 0 and the colour slots keep their start values.
TEST(Video, OpenWithoutGraphicsTriesEveryCandidate) {
  ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
  const struct {
    uint32_t mode;
    const char *output;
  } cases[] = {
      {GRAY_FULL, "Mode (320x200x8) GFX_AUTODETECT...Not awailable\nUnable setup video mode.\n"},
      {COLOR_WIN,
       "Mode (320x200x8) GFX_AUTODETECT_WINDOWED...Not awailable\nUnable setup video mode.\n"},
      {COLOR_FULL,
       "Mode (320x200x24) GFX_AUTODETECT...Not awailable\n"
       "Mode (320x200x32) GFX_AUTODETECT...Not awailable\n"
       "Mode (320x200x16) GFX_AUTODETECT...Not awailable\n"
       "Unable setup video mode.\n"},
  };
  for (const auto &c : cases) {
    Video_Reset();
    Video_Set_Size(320, 200);
    video.mode = c.mode;
    video.depth = 8;   // a stale depth must not survive a failed open
    testing::internal::CaptureStdout();
    Video_Open();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output);
    EXPECT_EQ(video.depth, 0);
    EXPECT_EQ(video.colours.text, 255);
    EXPECT_EQ(video.colours.background, 0);
    EXPECT_EQ(video.colours.selectionText, 0);
    EXPECT_EQ(video.colours.selectionBackground, 0);
    EXPECT_EQ(video.colours.frame, 0);
  }
  allegro_exit();
}

}  // namespace

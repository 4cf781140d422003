// overlay_fixture.h: Allegro without a display, memory bitmaps, and a memory "screen".
#ifndef QOR_TESTS_OVERLAY_FIXTURE_H
#define QOR_TESTS_OVERLAY_FIXTURE_H

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "acquisition.h"
#include "control_table.h"
#include "display_buffer.h"
#include "overlay.h"
#include "video.h"
#include "viewer.h"

// 8-bit colours the tests draw with, distinct from each other and from the untouched fill.
constexpr int TEXT = 250;
constexpr int BACKGROUND = 10;
constexpr int FRAME = 200;
constexpr int UNTOUCHED = 77;

class OverlayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (!started) started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    ASSERT_TRUE(started);
  }

  void SetUp() override {
    Viewer_Reset();
    Cycle_Reset();
    Control_Table_Reset();
    Video_Reset();
    std::memset(&controlTable, 0, sizeof controlTable);
    Overlay_Reset();
    video.depth = 8;
    video.colours.text = TEXT;
    video.colours.background = BACKGROUND;
    video.colours.frame = FRAME;
    cycle.badTypeFlag = false;
    cycle.stateName = nullptr;
  }

  void TearDown() override {
    screen = nullptr;
    for (BITMAP *b : bitmaps_) destroy_bitmap(b);
  }

  // An 8-bit bitmap filled with one value, freed after the test.
  BITMAP *Bitmap(int w, int h, int fill, int depth = 8) {
    BITMAP *b = create_bitmap_ex(depth, w, h);
    clear_to_color(b, fill);
    bitmaps_.push_back(b);
    return b;
  }

  // A memory bitmap standing in for the screen.
  BITMAP *Screen(int w, int h) {
    screen = Bitmap(w, h, UNTOUCHED);
    return screen;
  }

  // Points the viewer's display buffer at a bitmap.
  void Display(BITMAP *bitmap) {
    display_ = DisplayBuffer{QORLIB3_NONE, bitmap, bitmap ? static_cast<uint32_t>(bitmap->w) : 0};
    viewer.displayBuffer = &display_;
  }

 private:
  std::vector<BITMAP *> bitmaps_;
  DisplayBuffer display_{};
};

#endif

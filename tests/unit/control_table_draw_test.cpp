// control_table_draw_test.cpp: control rows drawn on a memory bitmap standing in for the screen.
#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <set>

#include "control_table_fixture.h"

namespace {

constexpr int TEXT = 10, BACKGROUND = 20, SELECTION_TEXT = 30, SELECTION_BACKGROUND = 40;
constexpr int UNTOUCHED = 99;
constexpr int ROW_Y = 12;

class ControlTableDraw : public ControlTableSystem {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (!started) started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    ASSERT_TRUE(started);
  }

  void Screen(int width) {
    bitmap_ = create_bitmap_ex(8, width, 40);
    clear_to_color(bitmap_, UNTOUCHED);
    screen = bitmap_;
    video.depth = 8;
    video.colours = ColourSlots{TEXT, BACKGROUND, SELECTION_TEXT, SELECTION_BACKGROUND, 50};
  }

  void TearDown() override {
    screen = nullptr;
    if (bitmap_) destroy_bitmap(bitmap_);
    ControlTableSystem::TearDown();
  }

  uint32_t Index_Of(const char *name) {
    return static_cast<uint32_t>(Row(name) - controlTable.entries);
  }

  // Values found in columns [x0, x1) of the rows [y0, y1).
  std::set<int> Values(int x0, int x1, int y0, int y1) const {
    std::set<int> found;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) found.insert(getpixel(bitmap_, x, y));
    return found;
  }

  BITMAP *bitmap_ = nullptr;
};

TEST_F(ControlTableDraw, SelectedRowInSelectionColoursOthersInTextColours) {
  Start(1);
  Build(true);
  Screen(800);
  const int h = text_height(font);
  for (const char *name : {"TestPattern", "Gain", "ROI", "SensorTemp", "INPUT_CONTROL"}) {
    for (bool selected : {false, true}) {
      clear_to_color(bitmap_, UNTOUCHED);
      const uint32_t index = Index_Of(name);
      controlTable.selected = selected ? index : index + 1;
      Control_Draw_Line(index, ROW_Y);

      const int width = text_length(font, Line(Row(name)).c_str());
      const std::set<int> colours = selected ? std::set<int>{SELECTION_TEXT, SELECTION_BACKGROUND}
                                             : std::set<int>{TEXT, BACKGROUND};
      const int drawn = width < 800 ? width : 800;
      EXPECT_EQ(colours, Values(0, drawn, ROW_Y, ROW_Y + h)) << name << " " << selected;
      // Nothing outside the row's text.
      EXPECT_EQ(std::set<int>{UNTOUCHED}, Values(0, 800, 0, ROW_Y)) << name;
      EXPECT_EQ(std::set<int>{UNTOUCHED}, Values(0, 800, ROW_Y + h, 40)) << name;
      if (drawn < 800) {
        EXPECT_EQ(std::set<int>{UNTOUCHED}, Values(drawn, 800, ROW_Y, ROW_Y + h)) << name;
      }
    }
  }
}

TEST_F(ControlTableDraw, RowsWithNothingToShowLeaveTheScreenAlone) {
  Start(1);
  Build(true);
  Screen(800);
  ControlEntry &info = controlTable.entries[controlTable.count++];
  info = ControlEntry{"Broken", Row("Gain")->handle, CONTROL_KIND_INFO_SCALAR, 0, 0};
  for (const char *name : {"InputControl", "FirmwareBuild", "Broken"}) {
    Control_Draw_Line(Index_Of(name), ROW_Y);
    EXPECT_EQ(std::set<int>{UNTOUCHED}, Values(0, 800, 0, 40)) << name;
  }
  Control_Draw_Line(controlTable.count, ROW_Y);   // past the rows in use
  EXPECT_EQ(std::set<int>{UNTOUCHED}, Values(0, 800, 0, 40));
}

TEST_F(ControlTableDraw, DataTypeTextPaintsTheWholeRowStillOrScrolling) {
  Start(1);
  Build(true);
  for (int width : {900, 260}) {   // the 85-character text fits beside the label, or 9 of it
    Screen(width);
    const uint32_t index = Index_Of("OUTINTERFACE0");
    for (bool selected : {false, true}) {
      clear_to_color(bitmap_, UNTOUCHED);
      controlTable.selected = selected ? index : index + 1;
      viewer.status = 77;
      Control_Draw_Line(index, ROW_Y);
      EXPECT_LE(viewer.status, 0);
      const std::set<int> colours = selected ? std::set<int>{SELECTION_TEXT, SELECTION_BACKGROUND}
                                             : std::set<int>{TEXT, BACKGROUND};
      EXPECT_EQ(colours, Values(0, width, ROW_Y, ROW_Y + text_height(font))) << width;
    }
    destroy_bitmap(bitmap_);
    bitmap_ = nullptr;
  }
}

TEST_F(ControlTableDraw, WithoutAScreenTheRowStillKeepsItsStatus) {
  Start(1);
  Build(true);
  screen = nullptr;
  ControlEntry &info = controlTable.entries[controlTable.count++];
  info = ControlEntry{"Broken", Row("Gain")->handle, CONTROL_KIND_INFO_SCALAR, 0, 0};
  viewer.status = 0;
  Control_Draw_Line(controlTable.count - 1, ROW_Y);
  EXPECT_GT(viewer.status, 0);
}

}  // namespace

// qor_line_cleanup_test.cpp: the cleanup releases exactly what was taken, in reverse order, once.
#include "line_cleanup.h"

#include "qor_line_fake_lib.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

class LineCleanup : public ::testing::Test {
 protected:
  void SetUp() override {
    Fake_Reset();
    ASSERT_EQ(0, install_allegro(SYSTEM_NONE, &errno, atexit));
  }
  void TearDown() override { allegro_exit(); }
  ErrorData record_{};
};

struct Taken {
  const char *what;
  bool errorData;
  QorHandle dataHeader;
  QorHandle system;
  std::vector<std::string> calls;
};

TEST_F(LineCleanup, ReleasesOnlyWhatWasTakenInReverseOrder) {
  const Taken cases[] = {
      {"nothing but the error record", true, 0, QORLIB3_NONE,
       {"Exit(err)", "ErrorDataFree(err)"}},
      {"data header, library never started", true, 7, QORLIB3_NONE,
       {"DataheaderFree(7, err)", "Exit(err)", "ErrorDataFree(err)"}},
      {"system and data header", true, 7, 5,
       {"SystemDestroy(5, err)", "DataheaderFree(7, err)", "Exit(err)", "ErrorDataFree(err)"}},
      {"system 0 is a real handle", true, 7, 0,
       {"SystemDestroy(0, err)", "DataheaderFree(7, err)", "Exit(err)", "ErrorDataFree(err)"}},
      {"no error record", false, 0, QORLIB3_NONE, {"Exit(null)"}},
  };
  for (const Taken &c : cases) {
    SCOPED_TRACE(c.what);
    Fake_Reset();
    LineState state;
    state.errorData = c.errorData ? &record_ : nullptr;
    state.dataHeader = c.dataHeader;
    state.system = c.system;
    testing::internal::CaptureStdout();
    Cleanup_Release(state);
    EXPECT_EQ("Cleanup...Done\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(c.calls, g_fake.calls);
    EXPECT_EQ(nullptr, state.errorData);
    EXPECT_EQ(0u, state.dataHeader);
    EXPECT_EQ(QORLIB3_NONE, state.system);
  }
}

TEST_F(LineCleanup, SecondCleanupReleasesNothingTwice) {
  LineState state;
  state.errorData = &record_;
  state.dataHeader = 7;
  state.system = 5;
  testing::internal::CaptureStdout();
  Cleanup_Release(state);
  g_fake.calls.clear();
  Cleanup_Release(state);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::vector<std::string>{"Exit(null)"}, g_fake.calls);
}

TEST_F(LineCleanup, DestroysTheBitmapAndLeavesAllegroRunningWithoutGraphics) {
  LineState state;
  state.lineBitmap = create_bitmap(64, 8);
  ASSERT_NE(nullptr, state.lineBitmap);
  testing::internal::CaptureStdout();
  Cleanup_Release(state);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(nullptr, state.lineBitmap);
  EXPECT_NE(nullptr, system_driver) << "graphics never entered: Allegro is left to its atexit";
}

TEST_F(LineCleanup, ShutsAllegroDownOnceGraphicsWereEntered) {
  LineState state;
  state.graphicsActive = 1;
  state.lineBitmap = create_bitmap(64, 8);
  testing::internal::CaptureStdout();
  Cleanup_Release(state);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(nullptr, system_driver);
  EXPECT_EQ(nullptr, state.lineBitmap);
}

TEST(LineCleanupExit, EndsTheProcessWithTheCodeAfterCleaningUp) {
  Fake_Reset();
  // -1 reaches the shell as 255; the echoed calls show the cleanup ran before the exit.
  g_fake.echo = true;
  g_line.system = 5;
  EXPECT_EXIT(Cleanup_And_Exit(-1), ::testing::ExitedWithCode(255),
              "SystemDestroy\\(5, null\\)\nExit\\(null\\)");
  g_line.system = QORLIB3_NONE;
  EXPECT_EXIT(Cleanup_And_Exit(0), ::testing::ExitedWithCode(0), "Exit\\(null\\)");
  g_fake.echo = false;
}

}  // namespace

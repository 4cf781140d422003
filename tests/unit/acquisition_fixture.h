// acquisition_fixture.h: a viewer on a stand-in system (faults, trace, memory screen) for the
// cycle and key tests, each case in a child process of its own.
#ifndef QOR_TESTS_ACQUISITION_FIXTURE_H
#define QOR_TESTS_ACQUISITION_FIXTURE_H

#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "acquisition.h"
#include "control_table.h"
#include "display_buffer.h"
#include "overlay.h"
#include "scratch_folder.h"
#include "video.h"
#include "viewer.h"

constexpr uint32_t FRAME_RATE_OPTION = 0x400104;

class CycleTest : public ::testing::Test {
 protected:
  // The library reads its switches once per process, so every case runs in a fork of a parent
  // that never called it. The child's failures are printed as they happen and fail the parent.
  void In_Child(const std::function<void()> &body) {
    std::fflush(stdout);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      alarm(60);  // a hung case ends as a failure, not as a hung suite
      body();
      std::fflush(stdout);
      _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the case failed in its child process (see above), wait status " << status;
  }

  // Starts the library with the given faults, creates and initialises the system, the two
  // input headers, the input interface and a display buffer on a screen of the given depth.
  void Start(uint32_t systemId, int depth = 8, const std::string &faults = "") {
    static bool allegroUp = false;
    if (!allegroUp) {
      ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
      allegroUp = true;
    }
    Viewer_Reset();
    Cycle_Reset();
    Video_Reset();
    Control_Table_Reset();
    Overlay_Reset();
    video.depth = depth;
    screen = create_bitmap_ex(depth, 800, 600);
    ASSERT_NE(screen, nullptr);
    clear_to_color(screen, 7);

    tracePath = scratch_.Path("calls.trace");
    std::remove(tracePath.c_str());
    setenv("QORSIM_TRACE", tracePath.c_str(), 1);
    setenv("QORSIM_FAULTS", faults.c_str(), 1);
    unsetenv("QORSIM_STATS");

    ASSERT_LE(QorVoz3Init(&viewer.error), 0);
    ASSERT_LE(QorVoz3SystemCreate(systemId, &viewer.system, &viewer.error), 0);
    ASSERT_LE(QorVoz3SystemInit(viewer.system, &viewer.error), 0);
    ASSERT_LE(QorVoz3DataheaderCreate(&viewer.dataHeaderIn, &viewer.error), 0);
    ASSERT_LE(QorVoz3DataheaderCreate(&viewer.dataHeaderInOld, &viewer.error), 0);
    ASSERT_LE(QorVoz3SystemGetInDInterface(viewer.system, QORLIB3_DINTERFACE_ANY, 0,
                                           &viewer.inputData, &viewer.error),
              0);
    // Frames on demand, so a READ never waits for the sensor.
    QorHandle rate = QORLIB3_NONE;
    if (QorVoz3SystemGetOptionCInterface(viewer.system, FRAME_RATE_OPTION, 0, &rate, nullptr) <= 0)
      QorVoz3OptionSetScalar(rate, 0, 0, nullptr);
    viewer.displayBuffer = Display_Buffer_Create(0, 0);
    ASSERT_NE(viewer.displayBuffer, nullptr);
    viewer.status = 0;
    Mark();
  }

  // Library calls made since the last Mark().
  std::vector<std::string> Calls() {
    std::vector<std::string> lines;
    std::ifstream in(tracePath);
    std::string line;
    size_t n = 0;
    while (std::getline(in, line))
      if (n++ >= marked) lines.push_back(line);
    return lines;
  }
  void Mark() {
    marked = 0;
    std::ifstream in(tracePath);
    std::string line;
    while (std::getline(in, line)) marked++;
  }
  // Calls since the mark whose line starts with the operation's name and an opening bracket.
  std::vector<std::string> Calls(const std::string &operation) {
    std::vector<std::string> found;
    for (const std::string &line : Calls())
      if (line.compare(0, operation.size() + 1, operation + "(") == 0) found.push_back(line);
    return found;
  }

  // Steps until the state is reached or a status ends the cycle; bounded (a wait is 100 ms).
  void Step_Until(int state, int limit = 60) {
    for (int i = 0; i < limit && cycle.state != state && viewer.status <= 0; i++)
      Acquisition_Step();
    ASSERT_EQ(cycle.state, state) << "status " << viewer.status;
  }

  // From the start up to a READ with buffers allocated for the current input.
  void Up_To_Read() {
    cycle.state = INPUT_STATE_ALLOC_BUFFERS;
    Acquisition_Step();
    ASSERT_EQ(cycle.state, INPUT_STATE_READ) << "status " << viewer.status;
  }

  ScratchFolder scratch_;  // made in the parent, so the child's files go with it
  std::string tracePath;
  size_t marked = 0;
};

#endif

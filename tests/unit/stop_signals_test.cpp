// stop_signals_test.cpp: the viewers' stop request, each case in a child process since the
// handlers and the request live for the whole process.
#include "stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// The child's wait status: body's result as exit code, or the signal that ended it.
int InChild(const std::function<int()> &body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) std::_Exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

#define CHILD_CHECK(cond) \
  do {                    \
    if (!(cond)) return __LINE__ % 250 + 1; \
  } while (0)

bool Exited(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

TEST(StopSignals, FirstSignalIsARequestTheSecondEndsTheProcess) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    const int status = InChild([sig] {
      Stop_Signals_Install();
      CHILD_CHECK(Stop_Signal() == 0);
      raise(sig);
      CHILD_CHECK(Stop_Signal() == sig);
      raise(sig);
      return 0;  // not reached: the second signal takes its default action
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
  }
}

TEST(StopSignals, AnInheritedIgnoreStaysThroughAReinstall) {
  const int status = InChild([] {
    signal(SIGINT, SIG_IGN);
    Stop_Signals_Install();
    signal(SIGINT, SIG_DFL);  // what Allegro's start-up does in effect: another handler
    Stop_Signals_Install();
    raise(SIGINT);
    CHILD_CHECK(Stop_Signal() == 0);
    raise(SIGTERM);  // the others still count
    CHILD_CHECK(Stop_Signal() == SIGTERM);
    return 0;
  });
  EXPECT_TRUE(Exited(status, 0)) << status;
}

TEST(StopSignals, HeldSignalsArriveWhenLetIn) {
  const int status = InChild([] {
    Stop_Signals_Install();
    Stop_Signals_Hold(true);
    raise(SIGTERM);
    CHILD_CHECK(Stop_Signal() == 0);
    Stop_Signals_Hold(false);
    CHILD_CHECK(Stop_Signal() == SIGTERM);
    return 0;
  });
  EXPECT_TRUE(Exited(status, 0)) << status;
}

TEST(StopSignals, AStopEndsTheInputOfAPrompt) {
  for (bool before : {false, true}) {
    SCOPED_TRACE(before);
    const int status = InChild([before] {
      int fds[2];
      CHILD_CHECK(pipe(fds) == 0);
      CHILD_CHECK(dup2(fds[0], STDIN_FILENO) == STDIN_FILENO);
      // The pipe's writer stays open: without the stop a read would wait for good.
      Stop_Signals_Install();
      if (before) raise(SIGINT);
      Stop_Signals_End_Input(true);
      if (!before) raise(SIGINT);
      CHILD_CHECK(std::getchar() == EOF);
      Stop_Signals_End_Input(false);
      return 0;
    });
    EXPECT_TRUE(Exited(status, 0)) << status;
  }
}

}  // namespace

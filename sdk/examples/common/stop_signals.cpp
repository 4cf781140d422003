// stop_signals.cpp: SIGINT, SIGTERM and SIGHUP turned into a stop request the program polls.
#include "stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int STOP_SIGNAL_COUNT = sizeof STOP_SIGNALS / sizeof *STOP_SIGNALS;

volatile sig_atomic_t g_stopSignal = 0;
bool g_inheritedChecked = false;
bool g_inheritedIgnore[STOP_SIGNAL_COUNT];
volatile sig_atomic_t g_endInput = 0;

// Only calls that are safe in a signal handler; a read already waiting restarts on /dev/null.
void Input_End() {
  const int null = open("/dev/null", O_RDONLY);
  if (null < 0) return;
  dup2(null, STDIN_FILENO);
  if (null != STDIN_FILENO) close(null);
}

void On_Stop_Signal(int sig) {
  if (g_stopSignal != 0) {
    // Asked again: the shutdown is not waited for. Delivered when the handler returns.
    signal(sig, SIG_DFL);
    raise(sig);
    return;
  }
  g_stopSignal = sig;
  if (g_endInput) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    Input_End();
    errno = savedErrno;
  }
}

void Stop_Set(sigset_t *set) {
  sigemptyset(set);
  for (int sig : STOP_SIGNALS) sigaddset(set, sig);
}
}  // namespace

void Stop_Signals_Install() {
  for (int i = 0; i < STOP_SIGNAL_COUNT; ++i) {
    struct sigaction action;
    if (!g_inheritedChecked) {
      sigaction(STOP_SIGNALS[i], nullptr, &action);
      g_inheritedIgnore[i] = action.sa_handler == SIG_IGN;
    }
    std::memset(&action, 0, sizeof action);
    action.sa_handler = g_inheritedIgnore[i] ? SIG_IGN : On_Stop_Signal;
    Stop_Set(&action.sa_mask);  // one handler at a time: the second one sees the first's flag
    action.sa_flags = SA_RESTART;  // console writes must not fail on a signal
    sigaction(STOP_SIGNALS[i], &action, nullptr);
  }
  g_inheritedChecked = true;
}

int Stop_Signal() { return g_stopSignal; }

void Stop_Signals_Hold(bool hold) {
  sigset_t set;
  Stop_Set(&set);
  pthread_sigmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

void Stop_Signals_End_Input(bool end) {
  g_endInput = end ? 1 : 0;
  if (end && g_stopSignal != 0) Input_End();  // the request came before the prompt
}

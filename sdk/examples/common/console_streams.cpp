// console_streams.cpp: standard descriptors that are surely open, and a checked standard output.
#include "console_streams.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
const char *g_program = "";
int g_failureStatus = 1;

void Check_Output(int status, void *) {
  errno = 0;
  const bool flushFailed = std::fflush(stdout) == EOF;
  const int error = flushFailed ? errno : 0;
  if (!flushFailed && !std::ferror(stdout)) return;
  if (error != 0) {
    std::fprintf(stderr, "%s: cannot write to standard output: %s\n", g_program,
                 std::strerror(error));
  } else {
    std::fprintf(stderr, "%s: cannot write to standard output\n", g_program);
  }
  // Every other exit handler has run (this one was registered first); only the status changes.
  if (status == 0) _exit(g_failureStatus);
}
}  // namespace

bool Std_Streams_Open() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number comes back, which is this one: the lower ones are open by now.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd) return false;
  }
  return true;
}

void Std_Output_Check_At_Exit(const char *program, int failureStatus) {
  g_program = program;
  g_failureStatus = failureStatus;
  on_exit(Check_Output, nullptr);
}

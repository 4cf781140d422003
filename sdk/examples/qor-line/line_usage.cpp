// line_usage.cpp: qor-line's help text (qor-line --help); every other argument is ignored.
#include "line_usage.h"

#include <cstdio>
#include <cstring>

bool Line_Usage_Asked(int argc, const char *const *argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return true;
  }
  return false;
}

void Line_Usage_Print() {
  std::fputs(
      "usage: qor-line\n"
      "\n"
      "Line-scan demo: creates system 8, sets its line-scan mode to 3 and its line trigger\n"
      "to 1, enters an 800x600 grey graphics mode and reads ten blocks of image lines, each\n"
      "shown as a 60-pixel strip of its first and last 30 lines; then waits for a key.\n"
      "Arguments other than --help are ignored.\n"
      "\n"
      "Exit status: 0 after the key (and when the graphics mode cannot be entered), 255\n"
      "after a library failure or when a block brings no data.\n",
      stdout);
  std::fflush(stdout);
}

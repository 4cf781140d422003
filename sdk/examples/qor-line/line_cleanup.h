// line_cleanup.h: the line viewer's run-wide resources and the one routine that releases them.
#ifndef QOR_LINE_CLEANUP_H
#define QOR_LINE_CLEANUP_H

#include "qorlib3.h"

struct BITMAP;

// Each field holds its "none" value until the resource is taken, so the cleanup can tell.
struct LineState {
  ErrorData *errorData = nullptr;        // reference handed out by the library
  QorHandle dataHeader = 0;              // 0: none
  QorHandle system = QORLIB3_NONE;       // -1: none
  BITMAP *lineBitmap = nullptr;
  int graphicsActive = 0;
};

extern LineState g_line;

// Releases whatever state holds, in reverse order of taking, and prints "Cleanup...Done".
void Cleanup_Release(LineState &state);

// Cleanup_Release on the program's state, then the C library's exit with exitCode.
[[noreturn]] void Cleanup_And_Exit(int exitCode);

#endif

// line_cleanup.cpp: releases the line viewer's resources on every way out of the program.
#include "line_cleanup.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

LineState g_line;

void Cleanup_Release(LineState &state) {
  if (state.lineBitmap) {
    destroy_bitmap(state.lineBitmap);
    state.lineBitmap = nullptr;
  }
  if (state.graphicsActive) allegro_exit();
  std::printf("Cleanup...");
  std::fflush(stdout);
  // The results below are ignored on purpose: a failing release must not start a second cleanup.
  if (state.system != QORLIB3_NONE) {
    QorVoz3SystemDestroy(state.system, state.errorData);
    state.system = QORLIB3_NONE;
  }
  if (state.dataHeader != 0) {
    QorVoz3DataheaderFree(state.dataHeader, state.errorData);
    state.dataHeader = 0;
  }
  // Unconditional: the library may hold state from a half-finished start.
  QorVoz3Exit(state.errorData);
  if (state.errorData) {
    QorVoz3ErrorDataFree(state.errorData);
    state.errorData = nullptr;
  }
  std::printf("Done\n");
  std::fflush(stdout);
}

void Cleanup_And_Exit(int exitCode) {
  Cleanup_Release(g_line);
  // exit, not _exit: Allegro's atexit handler must run and stdout be flushed.
  std::exit(exitCode);
}

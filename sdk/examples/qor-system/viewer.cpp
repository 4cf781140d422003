// viewer.cpp: the viewer's run-wide state, its clock, console output and error report.
#include "viewer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

Viewer viewer;

const char *const VIEWER_ERROR_FORMAT =
    "\nQORLIB3 %t: %c - %m\n  File: %f\n  Line: %l\n  Date: %d\n  Object Id:   %i\n"
    "  Object File: %I\n  Remark: %r\n\n";

void Viewer_Reset() {
  std::memset(&viewer, 0, sizeof viewer);
  viewer.systemId = -1;
  viewer.inputControl = QORLIB3_NONE;
  viewer.transferControl = QORLIB3_NONE;
}

namespace {
struct ViewerStart {
  ViewerStart() { Viewer_Reset(); }
} viewerStart;

uint64_t Monotonic_Ms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

const uint64_t programStart = Monotonic_Ms();
}  // namespace

uint32_t Clock_Ms() {
  return static_cast<uint32_t>(Monotonic_Ms() - programStart);
}

void Viewer_Print_Error() {
  QorVoz3ErrorPrintf(VIEWER_ERROR_FORMAT, &viewer.error,
                     QorVoz3ListGetStdList(QORLIB3_STDLIST_ERROR));
  std::fflush(stdout);
}

void Console_Printf(const char *format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

void Device_Tree_Print() {
  QorVoz3String tree = {0, nullptr};
  QorVoz3StrAlloc(&tree, 200000, nullptr);
  QorVoz3ObjTreeSprintf(&tree, QORLIB3_NONE, 2);
  // A string the library could not fill gives no text; print an empty tree, not a null.
  const char *text = QorVoz3Str2CStr(&tree);
  Console_Printf("QOR-VOZ3 Device Tree:\n%s", text ? text : "");
  QorVoz3StrFree(&tree);
}

// error_check.cpp: the inspection tools' shared error check and their flushed console output.
#include "error_check.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {
const char *const ERROR_REPORT_FORMAT =
    "\nQORLIB3 %t: %c - %m\n  File: %f\n  Line: %l\n  Date: %d\n  Object Id: %i\n  File: %I \n\n";
}

void Console_Printf(const char *format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

void Error_Check(ErrorData *record) {
  // The record's code decides, not the status of the call that came before.
  if (record->code <= 0) return;
  QorHandle errorList = QorVoz3ListGetStdList(QORLIB3_STDLIST_ERROR);
  QorVoz3ErrorPrintf(ERROR_REPORT_FORMAT, record, errorList);
  std::fflush(stdout);
  Console_Printf("Shutdown QOR-VOZ3 ");
  QorVoz3Exit(record);  // already failing: its status changes nothing
  Console_Printf("Ok\n");
  std::exit(1);
}

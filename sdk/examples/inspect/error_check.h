// error_check.h: the inspection tools' shared error check and their flushed console output.
#ifndef INSPECT_ERROR_CHECK_H
#define INSPECT_ERROR_CHECK_H

#include "qorlib3.h"

// printf to standard output, flushed at once so a step's label shows before its library call.
void Console_Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Does nothing while the record's code is 0 or less; otherwise prints the library's report,
// shuts the library down and ends the program with exit code 1.
void Error_Check(ErrorData *record);

#endif

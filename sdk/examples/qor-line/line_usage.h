// line_usage.h: qor-line's help text (qor-line --help); every other argument is ignored.
#ifndef QOR_LINE_USAGE_H
#define QOR_LINE_USAGE_H

// True when an argument is exactly "--help".
bool Line_Usage_Asked(int argc, const char *const *argv);

void Line_Usage_Print();

#endif

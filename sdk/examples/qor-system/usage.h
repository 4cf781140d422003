// usage.h: the viewer's help text (qor-system --help or -h): command line, keys, exit status.
#ifndef QOR_SYSTEM_USAGE_H
#define QOR_SYSTEM_USAGE_H

#include <cstdio>

// True when an argument is exactly "--help" or "-h". Neither holds a '=', so neither can be
// an option override.
bool Usage_Asked(int argc, const char *const *argv);

void Usage_Print(FILE *out);

#endif

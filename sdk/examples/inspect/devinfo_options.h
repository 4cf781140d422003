// devinfo_options.h: qor-devinfo's command line: the class, type and name search filters.
#ifndef INSPECT_DEVINFO_OPTIONS_H
#define INSPECT_DEVINFO_OPTIONS_H

#include <cstddef>

const size_t VALUE_BUFFER_SIZE = 1024;  // 1023 characters and the terminating zero

enum DevinfoParseResult {
  PARSE_SEARCH,   // filters set, go on with the search
  PARSE_USAGE,    // -? was read: print the usage text, exit code 0
  PARSE_UNKNOWN,  // unrecognised option in badOption: exit code 1
};

struct DevinfoOptions {
  char classValue[VALUE_BUFFER_SIZE];
  char typeValue[VALUE_BUFFER_SIZE];
  char nameValue[VALUE_BUFFER_SIZE];
  // Null until the option is read, then its value buffer (even while that is still empty).
  const char *classFilter;
  const char *typeFilter;
  const char *nameFilter;
  const char *badOption;
};

// Reads argv[1..argc-1] from left to right into options, which it resets first.
DevinfoParseResult Devinfo_Parse_Options(int argc, char **argv, DevinfoOptions *options);

void Devinfo_Print_Usage(const char *program);
void Devinfo_Print_Unknown_Option(const char *option, const char *program);

#endif

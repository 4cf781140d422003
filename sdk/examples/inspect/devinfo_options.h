// devinfo_options.h: qor-devinfo's command line: the class, type and name search filters.
#ifndef INSPECT_DEVINFO_OPTIONS_H
#define INSPECT_DEVINFO_OPTIONS_H

#include <cstddef>
#include <cstdint>

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

// Moves the object search's index on by one. False, with the index unchanged, at the last
// index an int32_t holds: the search then ends as an exhausted one does.
inline bool Search_Index_Next(int32_t *index) {
  if (*index == INT32_MAX) return false;
  ++*index;
  return true;
}

// Reads argv[1..argc-1] from left to right into options, which it resets first.
DevinfoParseResult Devinfo_Parse_Options(int argc, char **argv, DevinfoOptions *options);

void Devinfo_Print_Usage(const char *program);
void Devinfo_Print_Unknown_Option(const char *option, const char *program);

#endif

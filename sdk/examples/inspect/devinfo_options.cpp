// devinfo_options.cpp: qor-devinfo's command line: the class, type and name search filters.
#include "devinfo_options.h"

#include <cstring>

#include "error_check.h"

namespace {

// The value buffer still waiting for its text, and the room left in it.
struct PendingValue {
  char *buffer;
  size_t room;
};

// Copies text into the pending buffer, keeping one byte for the terminating zero; the rest of
// an overlong text is dropped. An empty text leaves the value pending for the next argument.
void Take_Value(PendingValue *pending, const char *text) {
  pending->buffer[0] = '\0';
  size_t n = 0;
  while (text[n] != '\0' && n + 1 < pending->room) {
    pending->buffer[n] = text[n];
    ++n;
  }
  pending->buffer[n] = '\0';
  if (n > 0) {
    pending->buffer = nullptr;
    pending->room = 0;
  }
}

}  // namespace

DevinfoParseResult Devinfo_Parse_Options(int argc, char **argv, DevinfoOptions *options) {
  std::memset(options, 0, sizeof *options);
  PendingValue pending = {nullptr, 0};
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (arg[0] != '-') {
      if (pending.buffer) Take_Value(&pending, arg);
      continue;  // no value awaited: the argument is ignored
    }
    char *buffer = nullptr;
    const char **filter = nullptr;
    switch (arg[1]) {
      case '?':
        return PARSE_USAGE;
      case 'c':
      case 'C':
        buffer = options->classValue;
        filter = &options->classFilter;
        break;
      case 't':
      case 'T':
        buffer = options->typeValue;
        filter = &options->typeFilter;
        break;
      case 'n':
      case 'N':
        buffer = options->nameValue;
        filter = &options->nameFilter;
        break;
      default:  // any other letter, and a lone dash
        options->badOption = arg;
        return PARSE_UNKNOWN;
    }
    *filter = buffer;
    pending.buffer = buffer;
    pending.room = VALUE_BUFFER_SIZE;
    Take_Value(&pending, arg + 2);
  }
  return PARSE_SEARCH;
}

void Devinfo_Print_Usage(const char *program) {
  Console_Printf("Usage:%s [options]\n", program);
  Console_Printf("Options:\n");
  Console_Printf("   -c {Class name}  - Set class name for search\n");
  Console_Printf("   -t {Type name}  - Set type name for search\n");
  Console_Printf("   -n {Name}  - Set object name for search\n");
}

void Devinfo_Print_Unknown_Option(const char *option, const char *program) {
  Console_Printf("Uncnown option %s. Use %s -? for help.\n", option, program);
}

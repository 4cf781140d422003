// fuzz_devinfo_options.cpp: qor-devinfo's option parsing on arbitrary argument vectors.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "devinfo_options.h"
#include "fuzz_input.h"

namespace {

// A filter is null or its own buffer, and every buffer holds a terminated text.
void Check_Filter(const char *filter, const char *buffer) {
  if (filter && filter != buffer) std::abort();
  if (!std::memchr(buffer, 0, VALUE_BUFFER_SIZE)) std::abort();
}

}  // namespace

// The messages go to standard output; the fuzzer's own reports to standard error.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, 1), close(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzArgs args("qor-devinfo", data, size);
  static DevinfoOptions options;
  const DevinfoParseResult result = Devinfo_Parse_Options(args.Count(), args.argv.data(), &options);
  if (result == PARSE_SEARCH) {
    Check_Filter(options.classFilter, options.classValue);
    Check_Filter(options.typeFilter, options.typeValue);
    Check_Filter(options.nameFilter, options.nameValue);
  } else if (result == PARSE_UNKNOWN) {
    if (!options.badOption || options.badOption[0] != '-') std::abort();
    Devinfo_Print_Unknown_Option(options.badOption, args.argv[0]);
  } else {
    Devinfo_Print_Usage(args.argv[0]);
  }
  return 0;
}

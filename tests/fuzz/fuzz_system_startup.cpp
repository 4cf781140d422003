// fuzz_system_startup.cpp: qor-system's command line, option overrides and system dialogue.
// Input: arguments separated by zero bytes, then two zero bytes, then standard input.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "startup.h"
#include "video.h"
#include "viewer.h"

// The programs print a lot; the fuzzer's own reports go to standard error.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, 1), close(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const size_t split = Fuzz_Split(data, size);
  FuzzArgs args("qor-system", data, split);
  Viewer_Reset();
  Video_Reset();
  Command_Line_Read(args.Count(), args.argv.data());

  // Overrides as the option listing looks them up, with names of the simulated systems'
  // options and names taken from the arguments themselves.
  const char *names[] = {"Gain", "ExposureTime", "", "=", args.texts.back().c_str()};
  for (const char *name : names) {
    if (const char *value = Option_Override(name, args.Count(), args.argv.data())) {
      int32_t number;
      Scan_Signed(value, &number);
    }
  }

  const size_t inputStart = split + 2 < size ? split + 2 : size;
  std::string input(reinterpret_cast<const char *>(data) + inputStart, size - inputStart);
  FILE *in = input.empty() ? std::fopen("/dev/null", "r")
                           : fmemopen(&input[0], input.size(), "r");
  if (!in) std::abort();
  const bool chosen = System_Choose(in);
  std::fclose(in);
  // A chosen id is one the command line gave or one the system list has.
  if (chosen && viewer.systemId == -1) std::abort();
  return 0;
}

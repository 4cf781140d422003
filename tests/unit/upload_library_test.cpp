// upload_library_test.cpp: the upload's library calls before its dialog, on the stand-in
// library with injected faults: each failure returns its status, a non-image output opens no
// dialog, and the output header is freed on every path.
#include "image_upload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_folder.h"

namespace {

// The upload's calls from the trace, names only, after the output interface was obtained.
std::vector<std::string> Upload_Calls(const std::string &trace) {
  std::ifstream in(trace);
  std::vector<std::string> calls;
  bool started = false;
  for (std::string line; std::getline(in, line);) {
    const std::string name = line.substr(0, line.find('('));
    if (started && name != "Exit") calls.push_back(name);
    if (name == "SystemGetOutDInterface") started = true;
  }
  return calls;
}

// Runs in a child process: the stand-in reads its faults once, at its first start.
[[noreturn]] void Upload_Under_Fault(const char *faults, const std::string &trace,
                                     int expectedStatus,
                                     const std::vector<std::string> &expectedCalls) {
  setenv("QORSIM_FAULTS", faults, 1);
  setenv("QORSIM_TRACE", trace.c_str(), 1);
  ErrorData error{};
  QorHandle system = 0, output = 0;
  if (QorVoz3Init(&error) > 0 || QorVoz3SystemCreate(1, &system, &error) > 0 ||
      QorVoz3SystemInit(system, &error) > 0 ||
      QorVoz3SystemGetOutDInterface(system, QORLIB3_DINTERFACE_ANY, 0, &output, &error) > 0) {
    std::fprintf(stderr, "set-up failed: %s\n", error.message ? error.message : "?");
    std::_Exit(2);
  }
  const int status = Image_Upload(output);  // a dialog here would crash: no Allegro at all
  QorVoz3Exit(&error);
  const std::vector<std::string> calls = Upload_Calls(trace);
  std::string seen;
  for (const auto &c : calls) seen += c + " ";
  std::fprintf(stderr, "status %d, calls: %s\n", status, seen.c_str());
  std::_Exit(status == expectedStatus && calls == expectedCalls ? 0 : 1);
}

TEST(UploadLibrary, FailuresBeforeTheDialogReturnAndFreeTheHeader) {
  const std::string create = "DataheaderCreate", type = "OutDInterfaceGetType",
                    kind = "DataheaderGetType", value = "DataheaderGetU32",
                    free = "DataheaderFree";
  const struct {
    const char *faults;
    int status;
    std::vector<std::string> calls;
  } cases[] = {
      {"DataheaderCreate=308", 308, {create}},
      {"OutDInterfaceGetType=301", 301, {create, type, free}},
      {"DataheaderGetType=303", 303, {create, type, kind, free}},
      {"DataheaderGetU32=309", 309, {create, type, kind, value, free}},
      // The output's type left undescribed: not an image, so no dialog and no status.
      {"OutDInterfaceGetType=0", 0, {create, type, kind, free}},
  };
  const ScratchFolder scratch;
  for (const auto &c : cases) {
    const std::string trace = scratch.Path("trace.txt");
    EXPECT_EXIT(Upload_Under_Fault(c.faults, trace, c.status, c.calls),
                ::testing::ExitedWithCode(0), "")
        << c.faults;
  }
}

}  // namespace

// sim_switches_test.cpp: QORSIM_FAULTS, QORSIM_TRACE and QORSIM_STATS, each in a fresh child
// process, since the library reads them once per process at its first call.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "qorlib3.h"
#include "sim_child.h"

namespace {

int Faults(const char *faults, const std::function<int()> &body) {
  return InChild({{"QORSIM_FAULTS", faults}}, body);
}

TEST(SimFaults, StatusFaultsFillTheRecordAndSkipTheWork) {
  EXPECT_EQ(Faults("SystemInit=5", [] {
              ErrorData e{};
              QorHandle sys;
              CHILD_CHECK(QorVoz3Init(&e) == 0);
              CHILD_CHECK(QorVoz3SystemCreate(1, &sys, &e) == 0);
              for (int i = 0; i < 2; ++i) {
                e = ErrorData{};
                CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 5);
                CHILD_CHECK(e.code == 5 && e.line > 0 && e.sourceFile && e.date);
                CHILD_CHECK(std::strstr(e.message, "SystemInit") != nullptr);
              }
              QorHandle in;
              uint64_t ready;
              CHILD_CHECK(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, &e) == 0);
              CHILD_CHECK(QorVoz3InDInterfaceQueryReady(in, &ready, &e) == QORLIB3_ERR_GENERIC);
              return 0;
            }),
            0);
}

TEST(SimFaults, NthCallCountsOverTheWholeProcess) {
  EXPECT_EQ(Faults("DataheaderCreate#1=3,SystemInit#2=7,ListGetStdList#2=99", [] {
              ErrorData e{};
              QorHandle h = 0, sys;
              CHILD_CHECK(QorVoz3DataheaderCreate(&h, &e) == 3 && e.code == 3 && h == 0);
              CHILD_CHECK(QorVoz3DataheaderCreate(&h, &e) == 0 && h != 0);
              CHILD_CHECK(QorVoz3ListGetStdList(1) == 2);  // before Init, counted too
              CHILD_CHECK(QorVoz3ListGetStdList(1) == 99);
              CHILD_CHECK(QorVoz3ListGetStdList(1) == 2);
              CHILD_CHECK(QorVoz3Init(&e) == 0 && e.code == 0);
              CHILD_CHECK(QorVoz3SystemCreate(1, &sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 7);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);
              return 0;
            }),
            0);
}

TEST(SimFaults, SuccessValuesSkipTheWork) {
  // The line viewer's "no data" path: the wait returns at once and nothing became ready.
  EXPECT_EQ(Faults("InDInterfaceWait=0,Exit=-3", [] {
              ErrorData e{};
              QorHandle sys, in;
              uint64_t ready = 1;
              CHILD_CHECK(QorVoz3Init(&e) == 0);
              CHILD_CHECK(QorVoz3SystemCreate(8, &sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, &e) == 0);
              CHILD_CHECK(QorVoz3InDInterfaceQueryReady(in, &ready, &e) == 0 && ready == 0);
              CHILD_CHECK(QorVoz3InDInterfaceWait(in, 100000, &e) == 0);
              CHILD_CHECK(QorVoz3InDInterfaceQueryReady(in, &ready, &e) == 0 && ready == 0);
              CHILD_CHECK(QorVoz3Exit(&e) == -3);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);  // Exit did not happen
              return 0;
            }),
            0);
}

TEST(SimFaults, TransfersHonourFaultsToo) {
  // Row transfers have their own short path; a fault must still reach them.
  EXPECT_EQ(Faults("InDInterfaceTransfer#2=7,InDInterfacePIOTransfer=0", [] {
              ErrorData e{};
              QorHandle sys, in, rate;
              uint64_t done = 0;
              uint8_t row[640];
              CHILD_CHECK(QorVoz3Init(&e) == 0);
              CHILD_CHECK(QorVoz3SystemCreate(1, &sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);
              CHILD_CHECK(QorVoz3SystemGetCInterface(sys, 0x400104, 0, &rate, &e) == 0);
              CHILD_CHECK(QorVoz3OptionSetScalar(rate, 0, 0, &e) == 0);
              CHILD_CHECK(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, &e) == 0);
              CHILD_CHECK(QorVoz3InDInterfaceBeginBlock(in, &e) == 0);
              CHILD_CHECK(QorVoz3InDInterfaceTransfer(in, row, 640, &done, &e) == 0 && done == 640);
              CHILD_CHECK(QorVoz3InDInterfaceTransfer(in, row, 640, &done, &e) == 7 && e.code == 7);
              done = 99;
              CHILD_CHECK(QorVoz3InDInterfacePIOTransfer(in, row, 640, &done, &e) == 0 && done == 99);
              CHILD_CHECK(QorVoz3InDInterfaceTransfer(in, row, 640, &done, &e) == 0);
              CHILD_CHECK(row[0] == 1);  // the second row: the faulted calls read nothing
              return 0;
            }),
            0);
}

TEST(SimFaults, ListAndTextResults) {
  EXPECT_EQ(Faults("ListGetStdList#1=0,ListGetString#1=0,ListGetString#2=1,ListGetAll#1=0,"
                   "Str2CStr=0,ErrorPrintf=4",
                   [] {
                     QorHandle systems = QorVoz3ListGetStdList(10);
                     CHILD_CHECK(systems == 0);
                     systems = QorVoz3ListGetStdList(10);
                     CHILD_CHECK(QorVoz3ListGetString(1, systems) == nullptr);
                     CHILD_CHECK(std::strcmp(QorVoz3ListGetString(1, systems), "Injected text") == 0);
                     CHILD_CHECK(std::strcmp(QorVoz3ListGetString(1, systems), "SimMono8") == 0);
                     const char *text = nullptr;
                     uint32_t value = 0;
                     CHILD_CHECK(QorVoz3ListGetAll(&text, &value, 0, systems) == 0);
                     CHILD_CHECK(QorVoz3ListGetAll(&text, &value, 0, systems) == 1 && value == 1);
                     char buf[8] = "abc";
                     QorVoz3String s{8, buf};
                     CHILD_CHECK(QorVoz3Str2CStr(&s) == nullptr);
                     ErrorData e{};
                     CHILD_CHECK(QorVoz3ErrorPrintf("%c", &e, 0) == 4);
                     return 0;
                   }),
            0);
}

TEST(SimFaults, MalformedEntryFailsInitNamingIt) {
  EXPECT_EQ(Faults("ListGetStdList=0,SystemInt=5", [] {
              ErrorData e{};
              for (int i = 0; i < 2; ++i) {
                CHILD_CHECK(QorVoz3Init(&e) == QORLIB3_ERR_BAD_ARGUMENT);
                CHILD_CHECK(e.code == QORLIB3_ERR_BAD_ARGUMENT);
                CHILD_CHECK(std::strstr(e.message, "\"SystemInt=5\"") != nullptr);
                CHILD_CHECK(std::strstr(e.message, "QORSIM_FAULTS") != nullptr);
              }
              CHILD_CHECK(QorVoz3ListGetStdList(2) == 3);  // none of the entries applies
              return 0;
            }),
            0);
}

// Calls made by the trace and determinism tests.
int TracedCalls() {
  ErrorData e{};
  QorHandle sys = 0, in = 0;
  QorObjectId id = 0;
  QorVoz3ListGetStdList(2);
  QorVoz3Init(&e);
  QorVoz3SystemCreate(1, &sys, &e);
  QorVoz3SystemInit(sys, &e);
  QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, nullptr);
  QorVoz3ListGetString(7, QorVoz3ListGetStdList(10));
  QorVoz3ObjectSearch(0, QORLIB3_NONE, "Port", nullptr, "a \"q\"\n", 1, &id, &e);
  QorVoz3SystemInit(sys, &e);
  QorVoz3Exit(&e);
  return 0;
}

TEST(SimTrace, OneLinePerCallAsItHappens) {
  std::string path = TempPath("trace");
  ASSERT_EQ(InChild({{"QORSIM_TRACE", path}, {"QORSIM_FAULTS", "SystemInit#2=1903"}},
                    TracedCalls),
            0);
  EXPECT_EQ(ReadFile(path),
            "ListGetStdList(2) -> 3\n"
            "Init(ptr) -> 0\n"
            "SystemCreate(1, ptr, ptr) -> 0\n"
            "SystemInit(16, ptr) -> 0\n"
            "SystemGetInDInterface(16, 3221225472, 0, ptr, null) -> 0\n"
            "ListGetStdList(10) -> 11\n"
            "ListGetString(7, 11) -> null\n"
            "ObjectSearch(0, 4294967295, \"Port\", null, \"a \\\"q\\\"\\n\", 1, ptr, ptr) -> 309\n"
            "SystemInit(16, ptr) -> 1903\n"
            "Exit(ptr) -> 0\n");
  // The same calls number their handles the same in every run.
  std::string again = TempPath("trace2");
  ASSERT_EQ(InChild({{"QORSIM_TRACE", again}, {"QORSIM_FAULTS", "SystemInit#2=1903"}},
                    TracedCalls),
            0);
  EXPECT_EQ(ReadFile(again), ReadFile(path));
  std::remove(path.c_str());
  std::remove(again.c_str());
}

TEST(SimTrace, StringTextsAreReadNoFurtherThanTheirCapacity) {
  // A caller's string need not be terminated within its capacity; the trace must not read
  // past it (the sanitizer build catches any byte beyond the heap block).
  std::string path = TempPath("trace_capacity");
  ASSERT_EQ(InChild({{"QORSIM_TRACE", path}},
                    [] {
                      char *heap = static_cast<char *>(std::malloc(4));
                      std::memcpy(heap, "abcd", 4);
                      QorVoz3String unterminated{4, heap};
                      CHILD_CHECK(QorVoz3Str2CStr(&unterminated) == heap);
                      std::memcpy(heap, "ab\0d", 4);
                      CHILD_CHECK(QorVoz3Str2CStr(&unterminated) == heap);
                      QorVoz3String empty{0, heap};
                      CHILD_CHECK(QorVoz3Str2CStr(&empty) == heap);
                      std::free(heap);
                      return 0;
                    }),
            0);
  EXPECT_EQ(ReadFile(path),
            "Str2CStr(ptr) -> \"abcd\"...\n"
            "Str2CStr(ptr) -> \"ab\"\n"
            "Str2CStr(ptr) -> \"\"...\n");
  std::remove(path.c_str());
}

uint64_t Fnv(const std::vector<uint8_t> &data) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

TEST(SimStats, CountsFramesBlocksBytesAndUploads) {
  std::vector<uint8_t> image(1000);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31);
  for (bool exitCalled : {true, false}) {
    SCOPED_TRACE(exitCalled);
    std::string path = TempPath(exitCalled ? "stats_exit" : "stats_atexit");
    ASSERT_EQ(InChild({{"QORSIM_STATS", path}},
                      [&] {
                        ErrorData e{};
                        QorHandle sys, in, out, rate;
                        uint64_t done;
                        std::vector<uint8_t> frame(307200);
                        CHILD_CHECK(QorVoz3Init(&e) == 0);
                        CHILD_CHECK(QorVoz3SystemCreate(1, &sys, &e) == 0);
                        CHILD_CHECK(QorVoz3SystemInit(sys, &e) == 0);
                        CHILD_CHECK(QorVoz3SystemGetCInterface(sys, 0x400104, 0, &rate, &e) == 0);
                        CHILD_CHECK(QorVoz3OptionSetScalar(rate, 0, 0, &e) == 0);
                        CHILD_CHECK(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, &e) == 0);
                        for (uint64_t size : {307200, 307200, 100}) {
                          CHILD_CHECK(QorVoz3InDInterfaceBeginBlock(in, &e) == 0);
                          CHILD_CHECK(QorVoz3InDInterfaceTransfer(in, frame.data(), size, &done, &e) == 0);
                          CHILD_CHECK(QorVoz3InDInterfaceEndBlock(in, &e) == 0);
                        }
                        CHILD_CHECK(QorVoz3InDInterfaceBeginBlock(in, &e) == 0);  // never ended
                        CHILD_CHECK(QorVoz3SystemGetOutDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &out, &e) == 0);
                        CHILD_CHECK(QorVoz3OutDInterfaceBeginBlock(out, &e) == 0);
                        CHILD_CHECK(QorVoz3OutDInterfaceTransfer(out, image.data(), image.size(), &done, &e) == 0);
                        CHILD_CHECK(QorVoz3OutDInterfaceEndBlock(out, &e) == 0);
                        if (exitCalled) CHILD_CHECK(QorVoz3Exit(&e) == 0);
                        std::exit(0);  // atexit handlers run, as in a program's normal end
                      }),
              0);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv(image)));
    EXPECT_EQ(ReadFile(path),
              std::string("{\"frames_delivered\": 2, \"frames_dropped\": 0, \"blocks_begun\": 4, "
                          "\"blocks_ended\": 3, \"bytes_transferred\": 614500, \"uploads\": [{\"bytes\": 1000, "
                          "\"fnv1a64\": \"") +
                  hash + "\"}]}\n");
    std::remove(path.c_str());
  }
}

}  // namespace

// sim_misuse_test.cpp: calls out of order, bad handles, null pointers, small strings.
#include <cstring>
#include <string>

#include "sim_fixture.h"

namespace {

TEST(SimLifetime, CallsBeforeInitAndAfterExitGive305) {
  ErrorData err{};
  QorHandle h = 0;
  QorObjectId id = 0;
  char buf[64];
  QorVoz3String s{sizeof buf, buf};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(QorVoz3SystemCreate(1, &h, &err), QORLIB3_ERR_NOT_INITIALISED);
    EXPECT_EQ(err.code, QORLIB3_ERR_NOT_INITIALISED);
    EXPECT_NE(std::strstr(err.message, "QorVoz3Init"), nullptr);
    EXPECT_EQ(QorVoz3VersionInfo(&s, &err), QORLIB3_ERR_NOT_INITIALISED);
    EXPECT_EQ(QorVoz3ObjectSearch(0, QORLIB3_NONE, nullptr, nullptr, nullptr, 1, &id, &err),
              QORLIB3_ERR_NOT_INITIALISED);
    EXPECT_EQ(QorVoz3ObjTreeSprintf(&s, QORLIB3_NONE, 2), QORLIB3_ERR_NOT_INITIALISED);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(QorVoz3Exit(&err), QORLIB3_ERR_NOT_INITIALISED);
    ASSERT_EQ(QorVoz3Init(&err), 0);
    ASSERT_EQ(QorVoz3Exit(&err), 0);
  }
}

TEST(SimLifetime, HeadersRecordsAndStringsWorkWithoutInit) {
  ErrorData *record = nullptr;
  ASSERT_EQ(QorVoz3ErrorDataCreate(&record), 0);
  QorHandle header = 0;
  ASSERT_EQ(QorVoz3DataheaderCreate(&header, record), 0);
  ASSERT_EQ(QorVoz3Init(record), 0);
  ASSERT_EQ(QorVoz3DataheaderSetU32(header, QORLIB3_DH_WIDTH, 77, record), 0);
  ASSERT_EQ(QorVoz3Exit(record), 0);
  uint32_t w = 0;
  ASSERT_EQ(QorVoz3DataheaderGetU32(header, QORLIB3_DH_WIDTH, &w, record), 0);  // outlived Exit
  EXPECT_EQ(w, 77u);
  EXPECT_EQ(QorVoz3DataheaderFree(header, record), 0);
  EXPECT_EQ(QorVoz3DataheaderFree(header, record), QORLIB3_ERR_BAD_HANDLE);
  QorVoz3String s{0, nullptr};
  ASSERT_EQ(QorVoz3StrAlloc(&s, 16, record), 0);
  EXPECT_STREQ(QorVoz3Str2CStr(&s), "");
  EXPECT_EQ(QorVoz3StrFree(&s), 0);
  EXPECT_EQ(s.text, nullptr);
  EXPECT_EQ(QorVoz3ErrorDataFree(record), 0);
}

TEST(SimLifetime, InitDefinesEveryFieldOfAnUnclearedRecord) {
  ErrorData e;
  std::memset(&e, 0x5A, sizeof e);
  ASSERT_EQ(QorVoz3Init(&e), 0);
  EXPECT_EQ(e.code, 0);
  EXPECT_STREQ(e.message, "");
  EXPECT_EQ(QorVoz3Exit(&e), 0);
}

TEST_F(SimTest, DestroyedAndUnknownHandlesGive301) {
  QorHandle sys = MakeSystem(1);
  QorHandle in = Input(sys), gain = Interface(sys, 0x400105);
  ASSERT_EQ(QorVoz3SystemDestroy(sys, &err), 0);
  uint64_t ready;
  int32_t v;
  EXPECT_EQ(QorVoz3SystemInit(sys, &err), QORLIB3_ERR_BAD_HANDLE);
  EXPECT_NE(std::string(err.message).find(std::to_string(sys)), std::string::npos);
  EXPECT_EQ(QorVoz3InDInterfaceQueryReady(in, &ready, &err), QORLIB3_ERR_BAD_HANDLE);
  EXPECT_EQ(QorVoz3OptionGetScalar(gain, &v, 0, &err), QORLIB3_ERR_BAD_HANDLE);
  EXPECT_EQ(QorVoz3SystemDestroy(sys, &err), QORLIB3_ERR_BAD_HANDLE);
  for (QorHandle bad : {0u, 1u, 0xFFFFFFFFu, 123456u}) {
    EXPECT_EQ(QorVoz3SystemInit(bad, &err), QORLIB3_ERR_BAD_HANDLE);
    EXPECT_EQ(QorVoz3CallCInterface_0(bad, QORLIB3_CMD_INPUT_START, &err),
              QORLIB3_ERR_BAD_HANDLE);
  }
  // A new system reuses the slot under another number: the old handles stay dead.
  QorHandle again = MakeSystem(1);
  EXPECT_NE(again, sys);
  EXPECT_EQ(QorVoz3SystemInit(sys, &err), QORLIB3_ERR_BAD_HANDLE);
  // Exit ends every system.
  ASSERT_EQ(QorVoz3Exit(&err), 0);
  ASSERT_EQ(QorVoz3Init(&err), 0);
  EXPECT_EQ(QorVoz3SystemInit(again, &err), QORLIB3_ERR_BAD_HANDLE);
}

TEST_F(SimTest, UnknownSystemIdsAreRefused) {
  QorHandle h = 42;
  for (uint32_t id : {0u, 7u, 9u, 0xFFFFFFFFu}) {
    EXPECT_EQ(QorVoz3SystemCreate(id, &h, &err), QORLIB3_ERR_UNKNOWN_SYSTEM);
    EXPECT_NE(std::string(err.message).find(std::to_string(id)), std::string::npos);
  }
  EXPECT_EQ(h, 42u);
}

TEST_F(SimTest, NullOutPointersAreRefused) {
  QorHandle sys = MakeSystem(1);
  QorHandle in = Input(sys), exposure = Interface(sys, 0x400103);
  uint8_t byte;
  int32_t v;
  EXPECT_EQ(QorVoz3SystemCreate(1, nullptr, &err), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3SystemGetCInterface(sys, 0x400103, 0, nullptr, &err),
            QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3InDInterfaceQueryReady(in, nullptr, &err), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3OptionGetScalar(exposure, nullptr, 0, &err), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3OptionGetScalarRange(exposure, &v, nullptr, 0, &err),
            QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3DataheaderCreate(nullptr, &err), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3ErrorDataCreate(nullptr), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3VersionInfo(nullptr, &err), QORLIB3_ERR_NULL_POINTER);
  ASSERT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0);
  ASSERT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0);
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, &byte, 1, nullptr, &err), QORLIB3_ERR_NULL_POINTER);
  uint64_t done = 5;
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, nullptr, 1, &done, &err), QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);
  // A null record is allowed everywhere.
  EXPECT_EQ(QorVoz3SystemCreate(7, &sys, nullptr), QORLIB3_ERR_UNKNOWN_SYSTEM);
}

TEST_F(SimTest, BlocksMustBeBegunOnceAndEnded) {
  QorHandle in = FastInput(1);
  uint8_t byte;
  uint64_t done;
  EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), QORLIB3_ERR_BLOCK_STATE);
  EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, &byte, 1, &done, &err), QORLIB3_ERR_BLOCK_STATE);
  ASSERT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0);
  EXPECT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), QORLIB3_ERR_BLOCK_STATE);
  EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);  // ending early is allowed
  EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), QORLIB3_ERR_BLOCK_STATE);
  // Frames are asked of an initialised system only.
  QorHandle idle = Input(MakeSystem(1, false));
  uint64_t ready;
  EXPECT_EQ(QorVoz3InDInterfaceQueryReady(idle, &ready, &err), QORLIB3_ERR_GENERIC);
  EXPECT_EQ(QorVoz3InDInterfaceWait(idle, 1, &err), QORLIB3_ERR_GENERIC);
}

TEST_F(SimTest, TooSmallStringsAreCutAndTerminated) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  QorVoz3String s{5, buf};
  EXPECT_EQ(QorVoz3VersionInfo(&s, &err), QORLIB3_ERR_STRING_TOO_SMALL);
  EXPECT_STREQ(buf, "3.0.");
  EXPECT_EQ(buf[5], 'x');
  QorVoz3String empty{0, buf};
  EXPECT_EQ(QorVoz3VersionInfo(&empty, &err), QORLIB3_ERR_STRING_TOO_SMALL);
  EXPECT_EQ(buf[5], 'x');
  QorVoz3String none{16, nullptr};
  EXPECT_EQ(QorVoz3VersionInfo(&none, &err), QORLIB3_ERR_NULL_POINTER);
  // StrFree frees only what StrAlloc made.
  EXPECT_EQ(QorVoz3StrFree(&s), QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(s.text, buf);
  EXPECT_EQ(QorVoz3StrAlloc(&s, 0, &err), QORLIB3_ERR_BAD_ARGUMENT);
}

}  // namespace

// sim_errors_test.cpp: error records and the report formatter's directives.
#include <cstring>
#include <string>

#include "sim_fixture.h"

namespace {

class SimErrors : public SimTest {
 protected:
  std::string Format(const char *format, const ErrorData &record, QorHandle list) {
    char buf[512];
    int n = QorVoz3ErrorSPrintf(buf, sizeof buf, format, &record, list);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
    return buf;
  }
};

TEST_F(SimErrors, FailuresFillEveryField) {
  QorHandle h;
  ASSERT_EQ(QorVoz3SystemCreate(7, &h, &err), QORLIB3_ERR_UNKNOWN_SYSTEM);
  EXPECT_EQ(err.code, QORLIB3_ERR_UNKNOWN_SYSTEM);
  EXPECT_GT(err.line, 0);
  EXPECT_EQ(err.objectId, -1);
  EXPECT_EQ(err.objectFile, nullptr);
  EXPECT_STREQ(err.sourceFile, "systems.cpp");
  EXPECT_STREQ(err.date, __DATE__);  // built together with the tests
  EXPECT_NE(std::strstr(err.message, "system id 7"), nullptr);
  // Object failures name the object.
  QorHandle control;
  ASSERT_EQ(QorVoz3GetCInterface(3, QORLIB3_CINTERFACE_OBJECT_CONTROL, &control, &err), 1903);
  EXPECT_EQ(err.objectId, 3);
  EXPECT_STREQ(err.objectFile, "qorsim_grabber.drv");
}

TEST_F(SimErrors, DirectivesExpand) {
  ErrorData e{310, 146, 4, "cam.drv", "systems.cpp", "Dec 11 2026", "no such system"};
  QorHandle errors = QorVoz3ListGetStdList(QORLIB3_STDLIST_ERROR);
  const struct {
    const char *format, *expected;
  } cases[] = {
      {"%t: %c - %m", "Error: 310 - no such system"},
      {"%f:%l %d", "systems.cpp:146 Dec 11 2026"},
      {"[%i] [%I] %r", "[4] [cam.drv] Unknown system"},
      {"100%% %q %", "100% %q %"},
      {"", ""},
  };
  for (const auto &c : cases) EXPECT_EQ(Format(c.format, e, errors), c.expected) << c.format;
  ErrorData quiet{0, 0, -1, nullptr, nullptr, nullptr, nullptr};
  EXPECT_EQ(Format("%t|%m|%I|%i|%r", quiet, errors), "Ok|||-1|No error");
  ErrorData odd{5, 0, -1, nullptr, nullptr, nullptr, nullptr};
  EXPECT_EQ(Format("%r", odd, errors), "Unknown error");
  ErrorData warning{-2, 0, -1, nullptr, nullptr, nullptr, nullptr};
  EXPECT_EQ(Format("%t", warning, errors), "Warning");
}

TEST_F(SimErrors, FormattedReportIsBounded) {
  ErrorData e{1, 1, -1, nullptr, "a.cpp", "d", "0123456789"};
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(QorVoz3ErrorSPrintf(buf, 5, "%m", &e, 0), 4);
  EXPECT_STREQ(buf, "0123");
  EXPECT_EQ(buf[5], 'x');
  EXPECT_LT(QorVoz3ErrorSPrintf(buf, 0, "%m", &e, 0), 0);
  EXPECT_LT(QorVoz3ErrorSPrintf(nullptr, 5, "%m", &e, 0), 0);
  EXPECT_LT(QorVoz3ErrorSPrintf(buf, sizeof buf, "%m", nullptr, 0), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_GT(QorVoz3ErrorPrintf(nullptr, &e, 0), 0);
}

TEST_F(SimErrors, RecordTextsOutliveLaterFailures) {
  // A record filled earlier keeps its message while other calls fail.
  ErrorData first{};
  QorHandle h;
  QorVoz3SystemCreate(9, &h, &first);
  std::string kept = first.message;
  for (int i = 0; i < 50; ++i) QorVoz3SystemInit(0, &err);
  EXPECT_EQ(kept, first.message);
}

TEST(SimErrorRecords, CreateAndFree) {
  ErrorData *a = nullptr, *b = nullptr;
  ASSERT_EQ(QorVoz3ErrorDataCreate(&a), 0);
  ASSERT_EQ(QorVoz3ErrorDataCreate(&b), 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->code, 0);
  EXPECT_EQ(QorVoz3ErrorDataFree(a), 0);
  EXPECT_EQ(QorVoz3ErrorDataFree(b), 0);
  ErrorData mine{};
  EXPECT_EQ(QorVoz3ErrorDataFree(&mine), QORLIB3_ERR_BAD_ARGUMENT);  // not the library's
  EXPECT_EQ(QorVoz3ErrorDataFree(nullptr), QORLIB3_ERR_NULL_POINTER);
}

}  // namespace

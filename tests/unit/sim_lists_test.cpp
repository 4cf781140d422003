// sim_lists_test.cpp: the standard lists the programs walk and look texts up in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qorlib3.h"

namespace {

struct Entry {
  uint32_t list;
  uint32_t index;
  const char *text;
  uint32_t value;
};

// First, last and a few telling entries of every list (the tools print them verbatim).
const Entry kEntries[] = {
    {QORLIB3_STDLIST_SYSTEM, 0, "SimMono8", 1},
    {QORLIB3_STDLIST_SYSTEM, 5, "SimMinimal", 6},
    {QORLIB3_STDLIST_SYSTEM, 6, "SimLineScan", 8},
    {QORLIB3_STDLIST_INTERFACE, 0, "TestPattern", 0x400101},
    {QORLIB3_STDLIST_INTERFACE, 6, "InputControl", QORLIB3_CINTERFACE_INPUT_CONTROL},
    {QORLIB3_STDLIST_INTERFACE, 7, "TransferControl", QORLIB3_CINTERFACE_TRANSFER_CONTROL},
    {QORLIB3_STDLIST_INTERFACE, 10, "LineTrigger", QORLIB3_OPTION_LINE_TRIGGER},
    {QORLIB3_STDLIST_OPTION, 5, "ROI", 0x400106},
    {QORLIB3_STDLIST_OPTION, 6, "LineScanMode", QORLIB3_OPTION_LINE_SCAN_MODE},
    {QORLIB3_STDLIST_INFO, 0, "SensorTemp", 0x500001},
    {QORLIB3_STDLIST_INFO, 2, "FirmwareBuild", 0x500003},
    {QORLIB3_STDLIST_UNIT, 0, "us", 1},
    {QORLIB3_STDLIST_UNIT, 6, "frames", 7},
    {QORLIB3_STDLIST_ENUMERATION, 3, "Noise", 0x104},
    {QORLIB3_STDLIST_ENUMERATION, 6, "Mono16", 0x201},
    {QORLIB3_STDLIST_ATTRIBUTE_TYPE, 2, "Ratio", QORLIB3_ATTR_RATIO},
    {QORLIB3_STDLIST_ATTRIBUTE_TYPE, 4, "RatioC", QORLIB3_ATTR_RATIO_C},
    {QORLIB3_STDLIST_ERROR, 14, "Interface not present", QORLIB3_ERR_NOT_PRESENT},
};

const struct {
  uint32_t list, count;
} kCounts[] = {{1, 15}, {2, 11}, {3, 7}, {4, 7}, {7, 5}, {10, 7}, {11, 9}, {12, 3}};

uint32_t CountEntries(QorHandle list) {
  const char *text;
  uint32_t value, n = 0;
  while (QorVoz3ListGetAll(&text, &value, n, list)) ++n;
  return n;
}

TEST(SimLists, EntriesAndTextsWithoutInit) {
  for (const Entry &e : kEntries) {
    SCOPED_TRACE(std::string(e.text));
    QorHandle list = QorVoz3ListGetStdList(e.list);
    ASSERT_NE(list, 0u);
    const char *text = nullptr;
    uint32_t value = 0;
    ASSERT_NE(QorVoz3ListGetAll(&text, &value, e.index, list), 0);
    EXPECT_STREQ(text, e.text);
    EXPECT_EQ(value, e.value);
    EXPECT_STREQ(QorVoz3ListGetString(e.value, list), e.text);
  }
}

TEST(SimLists, EveryListEndsWhereItShould) {
  for (const auto &c : kCounts) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(CountEntries(QorVoz3ListGetStdList(c.list)), c.count);
  }
}

TEST(SimLists, UnknownListsValuesAndIndexesGiveNothing) {
  EXPECT_EQ(QorVoz3ListGetStdList(5), 0u);
  EXPECT_EQ(QorVoz3ListGetStdList(13), 0u);
  QorHandle systems = QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM);
  EXPECT_EQ(QorVoz3ListGetString(7, systems), nullptr);  // the catalogue skips id 7
  EXPECT_EQ(QorVoz3ListGetString(0x103, QorVoz3ListGetStdList(4)), nullptr);  // the gap
  EXPECT_EQ(QorVoz3ListGetString(1, 0), nullptr);
  const char *text = "untouched";
  uint32_t value = 99;
  EXPECT_EQ(QorVoz3ListGetAll(&text, &value, 7, systems), 0);
  EXPECT_EQ(QorVoz3ListGetAll(&text, &value, 0xFFFFFFFFu, systems), 0);
  EXPECT_EQ(QorVoz3ListGetAll(&text, &value, 0, 12345), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(value, 99u);
}

TEST(SimLists, ListHandlesAreStable) {
  // Traces and transcripts show list handles; they follow the list number.
  EXPECT_EQ(QorVoz3ListGetStdList(2), 3u);
  EXPECT_EQ(QorVoz3ListGetStdList(1), QorVoz3ListGetStdList(1));
}

}  // namespace

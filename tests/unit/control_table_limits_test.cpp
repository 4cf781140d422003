// control_table_limits_test.cpp: the 200-row table filled by a scripted library.
// This program defines the list, lookup and classification calls itself; they take the place
// of the stand-in's, so the lists can be made longer than any simulated system's.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control_table.h"
#include "viewer.h"

namespace {

constexpr QorHandle INTERFACE_LIST = 2, INFO_LIST = 12;
constexpr uint32_t INFO_TYPE_BASE = 0x500000;

struct Script {
  uint32_t interfaceTypes;   // types "T00", "T01"... each answering instances 0 to 9 (and 10)
  uint32_t infoInstances;    // instances of the one info type "I0"
  uint32_t inputControls;
  // What the program asked.
  uint32_t highestInstanceTried;
  uint32_t interfaceEntriesRead;
  uint32_t infoEntriesRead;
  uint32_t outLookups;
  uint32_t inputControlLookups;
};
Script script;
std::vector<std::string> names;

QorHandle Handle_For(uint32_t type, uint32_t k) {
  return (type & 0xffff) * 100 + k + 1000;
}

}  // namespace

extern "C" {
QorHandle QorVoz3ListGetStdList(uint32_t number) {
  return number == 2 ? INTERFACE_LIST : number == 12 ? INFO_LIST : 0;
}
int QorVoz3ListGetAll(const char **text, uint32_t *value, uint32_t index, QorHandle list) {
  if (list == INTERFACE_LIST) {
    ++script.interfaceEntriesRead;
    if (index >= script.interfaceTypes) return 0;
    *text = names[index].c_str();
    *value = 0x400000 + index;
    return 1;
  }
  if (list == INFO_LIST) {
    ++script.infoEntriesRead;
    if (index > 0) return 0;
    *text = "I0";
    *value = INFO_TYPE_BASE;
    return 1;
  }
  return 0;
}
const char *QorVoz3ListGetString(uint32_t, QorHandle) { return nullptr; }
int QorVoz3SystemGetCInterface(QorHandle, uint32_t type, uint32_t index, QorHandle *handle,
                               ErrorData *) {
  if (type == QORLIB3_CINTERFACE_INPUT_CONTROL) {
    ++script.inputControlLookups;
    if (index >= script.inputControls) return QORLIB3_ERR_NOT_PRESENT;
    *handle = 9000 + index;
    return 0;
  }
  if (index > script.highestInstanceTried) script.highestInstanceTried = index;
  if (type == INFO_TYPE_BASE && index >= script.infoInstances) return QORLIB3_ERR_NOT_PRESENT;
  *handle = Handle_For(type, index);
  return 0;
}
int QorVoz3SystemGetOutDInterface(QorHandle, uint32_t, uint32_t, QorHandle *handle, ErrorData *) {
  ++script.outLookups;
  *handle = 7000;
  return 0;
}
int QorVoz3OptionGetEnumVal(QorHandle, uint32_t *value, ErrorData *) {
  *value = 0;
  return 0;
}
int QorVoz3GetInfoScalarVal(QorHandle, int32_t *value, uint32_t *unit, ErrorData *) {
  *value = 1;
  *unit = 6;
  return 0;
}
}

namespace {

class ControlTableLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer_Reset();
    Control_Table_Reset();
    script = Script{};
    names.clear();
    for (int i = 0; i < 40; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "T%02d", i);
      names.push_back(name);
    }
  }

  // Build and add, returning everything printed.
  std::string Build_All() {
    testing::internal::CaptureStdout();
    const bool built = Control_Table_Build(1);
    Control_Table_Add_Interfaces(1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(built);
    return out;
  }
};

TEST_F(ControlTableLimits, InterfaceListFillingTheTableStopsReadingBothLists) {
  script.interfaceTypes = 25;   // 250 instances on offer
  script.infoInstances = 3;
  script.inputControls = 2;
  const std::string out = Build_All();

  ASSERT_EQ(200u, controlTable.count);
  EXPECT_STREQ("T19", controlTable.entries[199].name);
  EXPECT_EQ(Handle_For(0x400013, 9), controlTable.entries[199].handle);
  EXPECT_EQ(uint32_t{CONTROL_KIND_ENUM}, controlTable.entries[199].kind);
  EXPECT_EQ(9u, script.highestInstanceTried);     // instance 10 is never asked for
  EXPECT_EQ(20u, script.interfaceEntriesRead);    // entry 20 is not read once the table is full
  EXPECT_EQ(0u, script.infoEntriesRead);

  // The interface lookups are still made and shown, with no row for them.
  EXPECT_EQ(1u, script.outLookups);
  EXPECT_EQ(3u, script.inputControlLookups);
  const std::string tail =
      "  T19                  9: (2909) <ENUM>\n"
      "Info intefaces\n"
      "QorVoz3SystemGetOutDInterface: OK (7000) (control table full, not shown)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[0]: OK (9000) (control table full, not shown)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[1]: OK (9001) (control table full, not shown)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[2]: Not present\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
}

TEST_F(ControlTableLimits, TableFillsUpInTheMiddleOfTheAddedInterfaces) {
  script.interfaceTypes = 19;   // 190 rows
  script.infoInstances = 8;     // 198
  script.inputControls = 3;     // output interface and input control 0 take the last two
  const std::string out = Build_All();

  ASSERT_EQ(200u, controlTable.count);
  EXPECT_EQ(uint32_t{CONTROL_KIND_INFO_SCALAR}, controlTable.entries[197].kind);
  EXPECT_STREQ("OUTINTERFACE0", controlTable.entries[198].name);
  EXPECT_EQ(uint32_t{CONTROL_KIND_OUT_INTERFACE}, controlTable.entries[198].kind);
  EXPECT_STREQ("INPUT_CONTROL", controlTable.entries[199].name);
  EXPECT_EQ(9000u, controlTable.entries[199].handle);
  const std::string tail =
      "  I0                   7: (1007) <INFO SCALAR>\n"
      "  I0                   8: \n"
      "QorVoz3SystemGetOutDInterface: OK (7000)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[0]: OK (9000)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[1]: OK (9001) (control table full, not shown)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[2]: OK (9002) (control table full, not shown)\n"
      "QORLIB3_CINTERFACE_INPUT_CONTROL[3]: Not present\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
}

TEST_F(ControlTableLimits, TenWorkingInstancesGiveTenRowsOfOneName) {
  script.interfaceTypes = 1;
  script.infoInstances = 0;
  script.inputControls = 10;   // all ten tried, none beyond
  Build_All();

  ASSERT_EQ(21u, controlTable.count);
  for (uint32_t i = 0; i < 10; ++i) {
    EXPECT_STREQ("T00", controlTable.entries[i].name) << i;
    EXPECT_EQ(Handle_For(0x400000, i), controlTable.entries[i].handle) << i;
  }
  EXPECT_EQ(9u, script.highestInstanceTried);
  EXPECT_EQ(10u, script.inputControlLookups);
  EXPECT_STREQ("INPUT_CONTROL", controlTable.entries[20].name);
}

}  // namespace

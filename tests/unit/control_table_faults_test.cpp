// control_table_faults_test.cpp: list handles of 0 and refused row reads, injected into the
// stand-in. The faults count calls over the whole process, so this program holds one test.
#include <cstdlib>
#include <string>

#include "control_table_fixture.h"

namespace {

// Read by the library at its first call. The interface list is refused on the first build,
// the info list on the second; every scalar value read fails, and the first range read.
const bool faultsSet = [] {
  setenv("QORSIM_FAULTS",
         "ListGetStdList#1=0,ListGetStdList#3=0,OptionGetScalar=5,OptionGetScalarRange#1=7,"
         "OutDInterfaceGetType#2=9",
         1);
  return true;
}();

class ControlTableFaults : public ControlTableSystem {};

TEST_F(ControlTableFaults, ListsOfZeroStopTheBuildAndRowsKeepTheirLastCallsStatus) {
  ASSERT_TRUE(faultsSet);
  Start(1);

  testing::internal::CaptureStdout();
  EXPECT_FALSE(Control_Table_Build(viewer.system));
  EXPECT_EQ("Get interfaces:\nError get InterfaceList\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(0u, controlTable.count);

  testing::internal::CaptureStdout();
  EXPECT_FALSE(Control_Table_Build(viewer.system));
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string tail = "Info intefaces\nError get InterfaceList\n";
  ASSERT_GT(out.size(), tail.size());
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
  EXPECT_EQ(0u, out.find("Get interfaces:\n"));
  Control_Table_Add_Interfaces(viewer.system);
  ASSERT_GT(controlTable.count, 0u);

  // The range read's status replaces the value read's: the value read always fails here.
  ControlEntry *gain = Row("Gain");
  viewer.status = 0;
  EXPECT_FALSE(Line(gain).empty());
  EXPECT_EQ(7, viewer.status);
  viewer.status = 77;
  EXPECT_FALSE(Line(gain).empty());
  EXPECT_LE(viewer.status, 0);

  // An output interface whose data type cannot be read stays undrawn with the failed status.
  ControlEntry *output = Row("OUTINTERFACE0");
  viewer.status = 0;
  EXPECT_EQ("  OUTINTERFACE0       :", Line(output));
  EXPECT_LE(viewer.status, 0);
  EXPECT_EQ("", Line(output));
  EXPECT_EQ(9, viewer.status);
}

}  // namespace

// sim_faults_grammar_test.cpp: the QORSIM_FAULTS grammar, accepted and malformed entries.
#include <gtest/gtest.h>

#include <string>

#include "hooks.h"

namespace {

using sim::FaultTable;
using sim::Op;

TEST(SimFaultGrammar, AcceptedEntries) {
  const struct {
    const char *text;
    Op op;
    uint64_t call;
    int64_t value;
  } cases[] = {
      {"SystemInit=5", sim::OP_SystemInit, 0, 5},
      {"InDInterfaceWait=0", sim::OP_InDInterfaceWait, 0, 0},
      {"ObjectInfo#3=309", sim::OP_ObjectInfo, 3, 309},
      {"Exit=-1", sim::OP_Exit, 0, -1},
      {"Exit=+2", sim::OP_Exit, 0, 2},
      {"ListGetStdList=4294967295", sim::OP_ListGetStdList, 0, 4294967295ll},
      {"Init=-2147483648", sim::OP_Init, 0, -2147483648ll},
      {"CallCInterface_1#4294967295=1", sim::OP_CallCInterface_1, 4294967295ull, 1},
      {"  DataHeaderCompare=1  ", sim::OP_DataHeaderCompare, 0, 1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    FaultTable t;
    std::string error;
    ASSERT_TRUE(sim::faults_parse(c.text, &t, &error)) << error;
    ASSERT_EQ(t.rules[c.op].size(), 1u);
    EXPECT_EQ(t.rules[c.op][0].call, c.call);
    EXPECT_EQ(t.rules[c.op][0].value, c.value);
  }
  FaultTable t;
  std::string error;
  ASSERT_TRUE(sim::faults_parse("SystemInit=1, SystemInit#2=0,Exit=3", &t, &error));
  EXPECT_EQ(t.rules[sim::OP_SystemInit].size(), 2u);
  EXPECT_EQ(t.rules[sim::OP_Exit].size(), 1u);
  EXPECT_TRUE(sim::faults_parse("", &t, &error));
  EXPECT_TRUE(sim::faults_parse("   ", &t, &error));
}

TEST(SimFaultGrammar, MalformedEntriesAreNamed) {
  const struct {
    const char *text, *entry, *reason;
  } cases[] = {
      {"Bogus=1", "Bogus=1", "unknown operation"},
      {"QorVoz3Init=1", "QorVoz3Init=1", "unknown operation"},  // names go without the prefix
      {"systeminit=1", "systeminit=1", "unknown operation"},
      {"SystemInit", "SystemInit", "no '='"},
      {"SystemInit=", "SystemInit=", "value"},
      {"SystemInit=x", "SystemInit=x", "value"},
      {"SystemInit=1x", "SystemInit=1x", "value"},
      {"SystemInit=0x10", "SystemInit=0x10", "value"},
      {"SystemInit=4294967296", "SystemInit=4294967296", "value"},
      {"SystemInit=-2147483649", "SystemInit=-2147483649", "value"},
      {"SystemInit=99999999999999999999999", "SystemInit=99999999999999999999999", "value"},
      {"SystemInit#0=1", "SystemInit#0=1", "call number"},
      {"SystemInit#=1", "SystemInit#=1", "call number"},
      {"SystemInit#-1=1", "SystemInit#-1=1", "call number"},
      {"SystemInit # 2=1", "SystemInit # 2=1", "unknown operation"},
      {"Exit=1,,Init=1", "", "empty entry"},
      {"Exit=1,", "", "empty entry"},
      {"Exit=1,Init=2=3", "Init=2=3", "value"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    FaultTable t;
    std::string error;
    ASSERT_FALSE(sim::faults_parse(c.text, &t, &error));
    EXPECT_NE(error.find(std::string("\"") + c.entry + "\""), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    for (const auto &rules : t.rules) EXPECT_TRUE(rules.empty());  // nothing half-applied
  }
}

}  // namespace

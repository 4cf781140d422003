// sim_fixture.h: a started stand-in library with helpers to make systems and read frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "qorlib3.h"

class SimTest : public ::testing::Test {
 protected:
  ErrorData err{};

  void SetUp() override { ASSERT_EQ(QorVoz3Init(&err), 0); }
  void TearDown() override { QorVoz3Exit(&err); }

  QorHandle MakeSystem(uint32_t id, bool init = true) {
    QorHandle sys = 0;
    EXPECT_EQ(QorVoz3SystemCreate(id, &sys, &err), 0) << err.message;
    if (init) {
      EXPECT_EQ(QorVoz3SystemInit(sys, &err), 0) << err.message;
    }
    return sys;
  }
  QorHandle Interface(QorHandle sys, uint32_t type, uint32_t index = 0) {
    QorHandle h = 0;
    EXPECT_EQ(QorVoz3SystemGetCInterface(sys, type, index, &h, &err), 0) << err.message;
    return h;
  }
  QorHandle Input(QorHandle sys) {
    QorHandle h = 0;
    EXPECT_EQ(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &h, &err), 0);
    return h;
  }
  // A system whose frames are ready whenever asked.
  QorHandle FastInput(uint32_t id, QorHandle *sysOut = nullptr) {
    QorHandle sys = MakeSystem(id);
    QorHandle rate = Interface(sys, 0x400104);
    EXPECT_EQ(QorVoz3OptionSetScalar(rate, 0, 0, &err), 0);
    if (sysOut) *sysOut = sys;
    return Input(sys);
  }
  uint64_t Ready(QorHandle in) {
    uint64_t ready = 0;
    EXPECT_EQ(QorVoz3InDInterfaceQueryReady(in, &ready, &err), 0);
    return ready;
  }
  // Reads the next frame in transfers of chunk bytes (0: one transfer).
  std::vector<uint8_t> ReadFrame(QorHandle in, uint64_t chunk = 0) {
    uint64_t size = Ready(in);
    std::vector<uint8_t> frame(size);
    EXPECT_EQ(QorVoz3InDInterfaceBeginBlock(in, &err), 0) << err.message;
    if (chunk == 0) chunk = size;
    for (uint64_t at = 0; at < size; at += chunk) {
      uint64_t n = size - at < chunk ? size - at : chunk, done = 0;
      EXPECT_EQ(QorVoz3InDInterfaceTransfer(in, frame.data() + at, n, &done, &err), 0);
      EXPECT_EQ(done, n);
    }
    EXPECT_EQ(QorVoz3InDInterfaceEndBlock(in, &err), 0);
    return frame;
  }
  void HeaderOf(QorHandle in, QorHandle header) {
    ASSERT_EQ(QorVoz3InDInterfaceGetType(in, header, &err), 0) << err.message;
  }
  uint32_t U32(QorHandle header, uint32_t number) {
    uint32_t v = 0;
    EXPECT_EQ(QorVoz3DataheaderGetU32(header, number, &v, &err), 0);
    return v;
  }
};

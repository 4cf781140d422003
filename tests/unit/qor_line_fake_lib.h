// qor_line_fake_lib.h: a recording stand-in for the few library calls the line viewer's parts make.
#ifndef QOR_LINE_FAKE_LIB_H
#define QOR_LINE_FAKE_LIB_H

#include <cstdint>
#include <string>
#include <vector>

struct FakeTransfer {
  void *destination;
  uint64_t size;
};

struct FakeLib {
  std::vector<std::string> calls;       // "SystemDestroy(5, err)" and the like, in order
  std::vector<FakeTransfer> transfers;
  uint64_t streamPos = 0;               // bytes delivered so far; byte k has value Fake_Byte(k)
  int failTransferAt = 0;               // 1-based Transfer call that fails, 0: none
  int failStatus = 0;
  bool echo = false;                    // also write each call to stderr (death tests)
};

extern FakeLib g_fake;

void Fake_Reset();
unsigned char Fake_Byte(uint64_t k);

#endif

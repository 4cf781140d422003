// qor_line_fake_lib.cpp: records release and transfer calls, delivers a known byte stream.
#include "qor_line_fake_lib.h"

#include "qorlib3.h"

#include <cstdio>

FakeLib g_fake;

void Fake_Reset() { g_fake = FakeLib(); }

unsigned char Fake_Byte(uint64_t k) { return (unsigned char)((k * 7 + 3) % 251); }

namespace {
// The record shows only whether a call passed the ErrorData reference or null.
const char *Err(const ErrorData *err) { return err ? "err" : "null"; }

void Record(const std::string &call) {
  g_fake.calls.push_back(call);
  if (g_fake.echo) std::fprintf(stderr, "%s\n", call.c_str());
}
}  // namespace

extern "C" {
int QorVoz3SystemDestroy(QorHandle system, ErrorData *err) {
  Record("SystemDestroy(" + std::to_string(system) + ", " + Err(err) + ")");
  return 1;  // failures here must be ignored by the cleanup
}
int QorVoz3DataheaderFree(QorHandle header, ErrorData *err) {
  Record("DataheaderFree(" + std::to_string(header) + ", " + Err(err) + ")");
  return 1;
}
int QorVoz3Exit(ErrorData *err) {
  Record(std::string("Exit(") + Err(err) + ")");
  return 1;
}
int QorVoz3ErrorDataFree(ErrorData *record) {
  Record(std::string("ErrorDataFree(") + Err(record) + ")");
  return 1;
}
int QorVoz3InDInterfaceTransfer(QorHandle, void *destination, uint64_t size,
                                uint64_t *transferred, ErrorData *) {
  g_fake.transfers.push_back({destination, size});
  if ((int)g_fake.transfers.size() == g_fake.failTransferAt) return g_fake.failStatus;
  auto *out = static_cast<unsigned char *>(destination);
  for (uint64_t i = 0; i < size; ++i) out[i] = Fake_Byte(g_fake.streamPos + i);
  g_fake.streamPos += size;
  if (transferred) *transferred = size;
  return 0;
}
}

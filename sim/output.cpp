// output.cpp: the output data interface; a completed upload becomes the "UploadedImage" pattern.
#include "qorlib3.h"

#include <cstring>

#include "call.h"
#include "dataheader.h"
#include "hooks.h"
#include "system.h"

namespace sim {

namespace {
constexpr uint64_t kUploadBytes = uint64_t{kUploadWidth} * kUploadHeight;

Geometry upload_geometry() {
  Geometry g{};
  g.kind = QORLIB3_KIND_IMAGE;
  g.bitsPerElement = 8;
  g.elementCount = kUploadBytes;
  g.width = kUploadWidth;
  g.height = kUploadHeight;
  g.lineSize = kUploadWidth;
  g.linesInBlock = kUploadHeight;
  g.pixelFormat = QORLIB3_PIXFMT_MONO8;
  g.layout = QORLIB3_LAYOUT_PLANAR_MONO;
  g.bitsPerPixel = 8;
  g.bytesPerPixel = 1;
  g.bytes = kUploadBytes;
  return g;
}

int need_block(System *sys, ErrorData *err) {
  if (sys->upload.open) return QORLIB3_OK;
  return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE, "no output block begun on system %s",
                  sys->def->name);
}

#define SIM_OUTPUT(sys, output) \
  SIM_NEED_INIT(err);           \
  SIM_GET(sys, aux_, output, SLOT_OUTPUT, "an output data interface")
}  // namespace

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3OutDInterfaceGetType(QorHandle output, QorHandle header, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OUTPUT(sys, output);
    return header_fill(header, upload_geometry(), err);
  };
  return gate_status(OP_OutDInterfaceGetType, err, work, output, header, err);
}

int QorVoz3OutDInterfaceBeginBlock(QorHandle output, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OUTPUT(sys, output);
    OutputBlock &b = sys->upload;
    if (b.open)
      return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE, "output block already begun on system %s",
                      sys->def->name);
    b.open = true;
    b.offset = 0;
    b.data.assign(kUploadBytes, 0);
    return QORLIB3_OK;
  };
  return gate_status(OP_OutDInterfaceBeginBlock, err, work, output, err);
}

int QorVoz3OutDInterfaceTransfer(QorHandle output, const void *source, uint64_t size,
                                 uint64_t *transferred, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OUTPUT(sys, output);
    if (int rc = need_block(sys, err)) return rc;
    SIM_NEED_PTR(err, transferred, "transferred pointer");
    *transferred = 0;
    OutputBlock &b = sys->upload;
    uint64_t left = kUploadBytes - b.offset;
    if (size > left)
      return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE,
                      "transfer of %llu bytes exceeds the %llu bytes left in the output block",
                      static_cast<unsigned long long>(size),
                      static_cast<unsigned long long>(left));
    if (size == 0) return QORLIB3_OK;
    SIM_NEED_PTR(err, source, "source");
    std::memcpy(b.data.data() + b.offset, source, size);
    b.offset += size;
    *transferred = size;
    return QORLIB3_OK;
  };
  return gate_status(OP_OutDInterfaceTransfer, err, work, output, source, size, transferred, err);
}

int QorVoz3OutDInterfaceEndBlock(QorHandle output, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OUTPUT(sys, output);
    if (int rc = need_block(sys, err)) return rc;
    OutputBlock &b = sys->upload;
    b.open = false;
    g_stats.uploads.push_back(Stats::Upload{b.offset, fnv1a64(b.data.data(), b.offset)});
    sys->uploaded.swap(b.data);  // bytes never sent stay 0
    b.data.clear();
    return QORLIB3_OK;
  };
  return gate_status(OP_OutDInterfaceEndBlock, err, work, output, err);
}

}  // extern "C"

// input.cpp: the input data interface: readiness, waits, blocks, transfers, frame attributes.
#include "qorlib3.h"

#include <cstring>

#include "call.h"
#include "dataheader.h"
#include "hooks.h"
#include "patterns.h"
#include "source.h"
#include "stream.h"
#include "system.h"

namespace sim {

namespace {
constexpr uint32_t kAttributeCount = 3;
constexpr uint32_t kAngleStep = 17895697;  // 3 degrees in the angle attribute's scale

int need_running(System *sys, ErrorData *err) {
  if (sys->initialised) return QORLIB3_OK;
  return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s is not initialised (QorVoz3SystemInit)",
                  sys->def->name);
}

int need_block(System *sys, ErrorData *err) {
  if (sys->block.open) return QORLIB3_OK;
  return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE, "no input block begun on system %s",
                  sys->def->name);
}

#define SIM_INPUT(sys, input)     \
  SIM_NEED_INIT(err);             \
  SIM_GET(sys, aux_, input, SLOT_INPUT, "an input data interface")

// Every transfer the row case below does not take: any size, any pattern, every check.
__attribute__((noinline)) int transfer(QorHandle input, void *destination, uint64_t size,
                                       uint64_t *transferred, ErrorData *err) {
  SIM_INPUT(sys, input);
  if (int rc = need_block(sys, err)) return rc;
  SIM_NEED_PTR(err, transferred, "transferred pointer");
  *transferred = 0;
  InputBlock &b = sys->block;
  uint64_t left = b.g.bytes - b.offset;
  if (size > left)
    return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE,
                    "transfer of %llu bytes exceeds the %llu bytes left in the block",
                    static_cast<unsigned long long>(size), static_cast<unsigned long long>(left));
  if (size == 0) return QORLIB3_OK;
  SIM_NEED_PTR(err, destination, "destination");
  if (sys->source)
    source_copy(sys, b.offset, size, static_cast<uint8_t *>(destination));
  else
    pattern_fill(b.spec, b.cursor, size, static_cast<uint8_t *>(destination));
  b.offset += size;
  *transferred = size;
  g_stats.bytesTransferred += size;
  return QORLIB3_OK;
}

// The row-by-row reader's case, kept to a few loads and tests: a valid open block, a size
// within the current row of a table pattern. Returns the block, or null for the full path.
inline InputBlock *row_transfer(QorHandle input, const void *destination, uint64_t size,
                                const uint64_t *transferred) {
  const Slot *s = g_initialised ? handle_slot(input) : nullptr;
  if (!s || s->kind != SLOT_INPUT || !destination || !transferred || size == 0) return nullptr;
  InputBlock &b = static_cast<System *>(s->ptr)->block;
  if (!b.open || size > b.spec.lineBytes - b.cursor.col || size > b.g.bytes - b.offset)
    return nullptr;
  if (b.spec.pattern != kPatGradient && b.spec.pattern != kPatCheckerboard &&
      b.spec.pattern != kPatNoise)
    return nullptr;
  return &b;
}

// Takes size bytes of the current row: moves the block on and gives where they come from.
inline const uint8_t *row_copy(InputBlock *b, uint64_t size, uint64_t *transferred) {
  const uint8_t *src = row_source(b->spec, b->cursor.row) + b->cursor.col;
  uint32_t len = static_cast<uint32_t>(size);
  cursor_advance(b->spec, b->cursor, len);
  b->offset += size;
  *transferred = size;
  g_stats.bytesTransferred += size;
  return src;
}

// Out of line, so the exported transfer ends in a tail call and saves few registers.
__attribute__((noinline)) int copy_bytes(void *destination, const uint8_t *src, uint64_t size) {
  std::memcpy(destination, src, size);
  return QORLIB3_OK;
}
}  // namespace

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3InDInterfaceGetType(QorHandle input, QorHandle header, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (sys->source) {
      Geometry g;
      if (int rc = source_geometry(sys, &g, err)) return rc;
      return header_fill(header, g, err);
    }
    return header_fill(header, system_geometry(sys), err);
  };
  return gate_status(OP_InDInterfaceGetType, err, work, input, header, err);
}

int QorVoz3InDInterfaceQueryReady(QorHandle input, uint64_t *readySize, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_running(sys, err)) return rc;
    SIM_NEED_PTR(err, readySize, "ready size pointer");
    if (sys->source) return source_ready(sys, readySize, err);
    int64_t now = now_ns();
    stream_touch(sys, now);
    stream_keep_newest(sys, now);
    *readySize = stream_ready(sys, now) ? system_geometry(sys).bytes : 0;
    return QORLIB3_OK;
  };
  return gate_status(OP_InDInterfaceQueryReady, err, work, input, readySize, err);
}

int QorVoz3InDInterfaceWait(QorHandle input, uint32_t timeout, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_running(sys, err)) return rc;
    if (sys->source) return source_wait(sys, timeout, err);
    int64_t now = now_ns();
    stream_touch(sys, now);
    stream_keep_newest(sys, now);
    if (stream_ready(sys, now)) return QORLIB3_OK;
    int64_t deadline = now + static_cast<int64_t>(timeout) * 1000000;
    int64_t due = stream_next_due(sys);
    if (due >= 0 && due <= deadline) {
      sleep_until_ns(due);
      return QORLIB3_OK;
    }
    sleep_until_ns(deadline);
    return SIM_FAIL(err, QORLIB3_ERR_TIMEOUT, "no data within %u ms on system %s", timeout,
                    sys->def->name);
  };
  return gate_status(OP_InDInterfaceWait, err, work, input, timeout, err);
}

int QorVoz3InDInterfaceBeginBlock(QorHandle input, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_running(sys, err)) return rc;
    InputBlock &b = sys->block;
    if (b.open)
      return SIM_FAIL(err, QORLIB3_ERR_BLOCK_STATE, "input block already begun on system %s",
                      sys->def->name);
    int64_t now = now_ns();
    if (sys->source) {
      if (int rc = source_begin(sys, err)) return rc;  // sets b.g
    } else {
      stream_touch(sys, now);
      stream_keep_newest(sys, now);
      if (!stream_ready(sys, now))
        return SIM_FAIL(err, QORLIB3_ERR_NO_DATA, "no data ready on system %s", sys->def->name);
      b.g = system_geometry(sys);
    }
    b.open = true;
    b.frame = sys->stream.delivered++;
    b.offset = 0;
    b.temperature = system_temperature(sys);
    FrameSpec &f = b.spec;
    f.pattern = sys->source ? 0 : system_pattern(sys);  // 0: no pattern, transfers copy frames
    f.width = b.g.width;
    f.height = b.g.height;
    f.bytesPerPixel = b.g.bytesPerPixel;
    f.lineBytes = b.g.lineSize;
    f.x0 = b.g.x0;
    f.y0 = b.g.y0;
    f.sensorWidth = sys->def->width;
    f.frame = b.frame;
    f.lineScan = sys->def->lineScan;
    f.upload = &sys->uploaded;
    f.tables = &tables();
    b.cursor = FrameCursor{0, 0};
    ++g_stats.blocksBegun;
    return QORLIB3_OK;
  };
  return gate_status(OP_InDInterfaceBeginBlock, err, work, input, err);
}

}  // extern "C"

namespace {
// With a switch set, transfers take the gate; kept out of line so the hot path stays lean.
__attribute__((noinline)) int transfer_gated(Op op, QorHandle input, void *destination,
                                             uint64_t size, uint64_t *transferred,
                                             ErrorData *err) {
  return gate_status(
      op, err, [&] { return transfer(input, destination, size, transferred, err); }, input,
      destination, size, transferred, err);
}
}  // namespace

extern "C" {

int QorVoz3InDInterfaceTransfer(QorHandle input, void *destination, uint64_t size,
                                uint64_t *transferred, ErrorData *err) {
  if (__builtin_expect(g_hooks == 0, 1)) {
    if (InputBlock *b = row_transfer(input, destination, size, transferred))
      return copy_bytes(destination, row_copy(b, size, transferred), size);
    return transfer(input, destination, size, transferred, err);
  }
  return transfer_gated(OP_InDInterfaceTransfer, input, destination, size, transferred, err);
}

int QorVoz3InDInterfacePIOTransfer(QorHandle input, void *destination, uint64_t size,
                                   uint64_t *transferred, ErrorData *err) {
  if (__builtin_expect(g_hooks == 0, 1)) {
    if (InputBlock *b = row_transfer(input, destination, size, transferred))
      return copy_bytes(destination, row_copy(b, size, transferred), size);
    return transfer(input, destination, size, transferred, err);
  }
  return transfer_gated(OP_InDInterfacePIOTransfer, input, destination, size, transferred, err);
}

int QorVoz3InDInterfaceEndBlock(QorHandle input, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_block(sys, err)) return rc;
    InputBlock &b = sys->block;
    b.open = false;
    if (sys->source) source_end(sys);
    ++g_stats.blocksEnded;
    if (b.offset == b.g.bytes) ++g_stats.framesDelivered;
    return QORLIB3_OK;
  };
  return gate_status(OP_InDInterfaceEndBlock, err, work, input, err);
}

int QorVoz3InDInterfaceGetAddOnAtributeTotal(QorHandle input, uint32_t *total, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_block(sys, err)) return rc;
    SIM_NEED_PTR(err, total, "total pointer");
    *total = sys->def->attributes ? kAttributeCount : 0;
    return QORLIB3_OK;
  };
  return gate_status(OP_InDInterfaceGetAddOnAtributeTotal, err, work, input, total, err);
}

int QorVoz3InDInterfaceGetAddOnAtributeNum(QorHandle input, uint32_t index, uint32_t *type,
                                           uint32_t *objectId, uint32_t *value,
                                           ErrorData *err) {
  auto work = [&]() -> int {
    SIM_INPUT(sys, input);
    if (int rc = need_block(sys, err)) return rc;
    uint32_t total = sys->def->attributes ? kAttributeCount : 0;
    if (index >= total)
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "attribute %u of %u does not exist", index,
                      total);
    if (!type || !objectId || !value)
      return SIM_FAIL(err, QORLIB3_ERR_NULL_POINTER, "an attribute pointer is null");
    const InputBlock &b = sys->block;
    *objectId = kCameraObjectId;
    if (index == 0) {
      *type = QORLIB3_ATTR_TEMPERATURE;
      *value = static_cast<uint32_t>(b.temperature);
    } else if (index == 1) {
      *type = QORLIB3_ATTR_ANGLE;  // turns 3 degrees a frame
      *value = static_cast<uint32_t>(b.frame * kAngleStep);
    } else {
      *type = QORLIB3_ATTR_RATIO;  // numerator in the low half, denominator in the high half
      *value = (100u << 16) | static_cast<uint32_t>(b.frame % 100);
    }
    return QORLIB3_OK;
  };
  return gate_status(OP_InDInterfaceGetAddOnAtributeNum, err, work, input, index, type, objectId,
                     value, err);
}

}  // extern "C"

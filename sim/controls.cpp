// controls.cpp: input control, transfer control and object control commands.
#include "qorlib3.h"

#include "call.h"
#include "objects.h"
#include "source.h"
#include "stream.h"
#include "system.h"

namespace sim {

namespace {
int unknown_code(ErrorData *err, uint32_t code, const char *what) {
  return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "command 0x%x unknown to the %s", code, what);
}

int system_command(const Slot &s, uint32_t code, ErrorData *err) {
  System *sys = static_cast<System *>(s.ptr);
  int64_t now = now_ns();
  if (sys->source) {
    if (s.kind == SLOT_TRANSFER_CONTROL && code == QORLIB3_CMD_TRANSFER_RESTART)
      return source_restart(sys, err);
    if (s.kind == SLOT_INPUT_CONTROL && code == QORLIB3_CMD_INPUT_START)
      return source_play(sys, true, err);
    if (s.kind == SLOT_INPUT_CONTROL && code == QORLIB3_CMD_INPUT_STOP)
      return source_play(sys, false, err);
    if (s.kind == SLOT_INPUT_CONTROL && code == QORLIB3_CMD_INPUT_TRIGGER)
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT,
                      "command 0x%x: a GStreamer source takes no software trigger", code);
  }
  if (s.kind == SLOT_INPUT_CONTROL) {
    switch (code) {
      case QORLIB3_CMD_INPUT_START:
        stream_start(sys, now);
        return QORLIB3_OK;
      case QORLIB3_CMD_INPUT_STOP:
        stream_stop(sys, now);
        return QORLIB3_OK;
      case QORLIB3_CMD_INPUT_TRIGGER:
        stream_trigger(sys);
        return QORLIB3_OK;
      default:
        return unknown_code(err, code, "input control");
    }
  }
  if (code != QORLIB3_CMD_TRANSFER_RESTART) return unknown_code(err, code, "transfer control");
  stream_restart(sys, now);
  return QORLIB3_OK;
}

// The slot of a control interface handle; options and data interfaces are refused.
int control_slot(QorHandle handle, ErrorData *err, const Slot **out) {
  const Slot *s = handle_slot(handle);
  if (!s)
    return SIM_FAIL(err, QORLIB3_ERR_BAD_HANDLE,
                    "unknown or destroyed handle %u (expected a control interface)", handle);
  if (s->kind != SLOT_INPUT_CONTROL && s->kind != SLOT_TRANSFER_CONTROL &&
      s->kind != SLOT_OBJECT_CONTROL)
    return SIM_FAIL(err, QORLIB3_ERR_WRONG_KIND, "handle %u is not a control interface", handle);
  *out = s;
  return QORLIB3_OK;
}
}  // namespace

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3CallCInterface_0(QorHandle cinterface, uint32_t code, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    const Slot *s = nullptr;
    if (int rc = control_slot(cinterface, err, &s)) return rc;
    if (s->kind == SLOT_OBJECT_CONTROL)
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT,
                      "command 0x%x of the object control needs a string (CallCInterface_1)",
                      code);
    return system_command(*s, code, err);
  };
  return gate_status(OP_CallCInterface_0, err, work, cinterface, code, err);
}

int QorVoz3CallCInterface_1(QorHandle cinterface, uint32_t code, uint32_t value, void *argument,
                            ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    const Slot *s = nullptr;
    if (int rc = control_slot(cinterface, err, &s)) return rc;
    if (s->kind != SLOT_OBJECT_CONTROL) return system_command(*s, code, err);
    return object_command(s->aux, code, static_cast<QorVoz3String *>(argument), err);
  };
  return gate_status(OP_CallCInterface_1, err, work, cinterface, code, value, argument, err);
}

}  // extern "C"

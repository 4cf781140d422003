// core.h: shared state of the stand-in library: handle table, lifetime flag, clock, error records.
#pragma once

#include <cstdint>
#include <vector>

#include "qorlib3.h"

namespace sim {

enum SlotKind : uint8_t {
  SLOT_FREE,
  SLOT_HEADER,
  SLOT_SYSTEM,
  SLOT_OPTION,
  SLOT_INFO,
  SLOT_INPUT_CONTROL,
  SLOT_TRANSFER_CONTROL,
  SLOT_OBJECT_CONTROL,
  SLOT_INPUT,
  SLOT_OUTPUT,
};

// One handle's target. aux tells apart the interfaces of one system (option index, instance).
struct Slot {
  void *ptr;
  uint32_t aux;
  uint16_t gen;
  SlotKind kind;
};

// Handles are (generation << 20) | (slot index + kHandleBase): small numbers first, never 0
// or 0xFFFFFFFF, and a reused slot gives a new number so stale handles are caught.
constexpr uint32_t kHandleBase = 16;
constexpr uint32_t kHandleIndexMask = 0xFFFFF;

extern std::vector<Slot> g_slots;
extern bool g_initialised;

QorHandle handle_new(SlotKind kind, void *ptr, uint32_t aux);
void handle_free(QorHandle handle);

inline const Slot *handle_slot(QorHandle handle) {
  uint32_t index = (handle & kHandleIndexMask) - kHandleBase;
  if (index >= g_slots.size()) return nullptr;
  const Slot &s = g_slots[index];
  if (s.kind == SLOT_FREE || s.gen != (handle >> 20)) return nullptr;
  return &s;
}

// The slot of a handle of the given kind in *slot; otherwise 301 or 306 with the record filled.
int handle_get(QorHandle handle, SlotKind kind, ErrorData *err, const char *what,
               const Slot **slot);

// Fills the record (when given) and returns code. Texts stay valid for a long time: the
// message lives in a ring of buffers, the others are string literals.
int fail_at(ErrorData *err, int code, const char *file, int line, int32_t objectId,
            const char *objectFile, const char *format, ...)
    __attribute__((format(printf, 7, 8)));

#define SIM_FAIL(err, code, ...) \
  ::sim::fail_at((err), (code), __FILE__, __LINE__, -1, nullptr, __VA_ARGS__)
#define SIM_FAIL_OBJ(err, code, id, file, ...) \
  ::sim::fail_at((err), (code), __FILE__, __LINE__, (int32_t)(id), (file), __VA_ARGS__)

// 305 unless the library is started.
#define SIM_NEED_INIT(err)                                                              \
  do {                                                                                  \
    if (!::sim::g_initialised)                                                          \
      return SIM_FAIL(err, QORLIB3_ERR_NOT_INITIALISED,                                 \
                      "library not initialised (QorVoz3Init not called or after QorVoz3Exit)"); \
  } while (0)

#define SIM_NEED_PTR(err, p, name)                                                  \
  do {                                                                              \
    if (!(p)) return SIM_FAIL(err, QORLIB3_ERR_NULL_POINTER, "%s is a null pointer", name); \
  } while (0)

// Build date text of the library, as error records report it.
const char *build_date();

// Monotonic clock in nanoseconds.
int64_t now_ns();
// Sleeps until the monotonic clock reaches deadline.
void sleep_until_ns(int64_t deadline);

// Copies text into a library string: 302 on a null string or buffer, 304 when cut.
int put_text(QorVoz3String *text, const char *value, ErrorData *err);

}  // namespace sim

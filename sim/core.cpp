// core.cpp: handle table, error records, clock and library-string output of the stand-in library.
#include "core.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace sim {

std::vector<Slot> g_slots;
bool g_initialised = false;

namespace {
std::vector<uint32_t> g_freeSlots;  // reused last-in first-out, so numbering is deterministic

constexpr int kRing = 128;
constexpr int kMessageSize = 320;
char g_messages[kRing][kMessageSize];
int g_nextMessage = 0;

const char *base_name(const char *path) {
  const char *slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}
}  // namespace

QorHandle handle_new(SlotKind kind, void *ptr, uint32_t aux) {
  uint32_t index;
  if (!g_freeSlots.empty()) {
    index = g_freeSlots.back();
    g_freeSlots.pop_back();
  } else {
    if (g_slots.size() >= kHandleIndexMask - kHandleBase) return 0;
    index = static_cast<uint32_t>(g_slots.size());
    g_slots.push_back(Slot{nullptr, 0, 0, SLOT_FREE});
  }
  Slot &s = g_slots[index];
  s.ptr = ptr;
  s.aux = aux;
  s.kind = kind;
  return (static_cast<uint32_t>(s.gen) << 20) | (index + kHandleBase);
}

void handle_free(QorHandle handle) {
  if (!handle_slot(handle)) return;
  uint32_t index = (handle & kHandleIndexMask) - kHandleBase;
  Slot &s = g_slots[index];
  s.kind = SLOT_FREE;
  s.ptr = nullptr;
  // A slot whose generation is used up is retired, so no handle number ever repeats.
  if (s.gen < 0xFFE) {
    ++s.gen;
    g_freeSlots.push_back(index);
  }
}

int handle_get(QorHandle handle, SlotKind kind, ErrorData *err, const char *what,
               const Slot **slot) {
  const Slot *s = handle_slot(handle);
  if (!s)
    return SIM_FAIL(err, QORLIB3_ERR_BAD_HANDLE, "unknown or destroyed handle %u (expected %s)",
                    handle, what);
  if (s->kind != kind)
    return SIM_FAIL(err, QORLIB3_ERR_WRONG_KIND, "handle %u is not %s", handle, what);
  *slot = s;
  return QORLIB3_OK;
}

int fail_at(ErrorData *err, int code, const char *file, int line, int32_t objectId,
            const char *objectFile, const char *format, ...) {
  if (!err) return code;
  char *message = g_messages[g_nextMessage];
  g_nextMessage = (g_nextMessage + 1) % kRing;
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, kMessageSize, format, args);
  va_end(args);
  err->code = code;
  err->line = line;
  err->objectId = objectId;
  err->objectFile = objectFile;
  err->sourceFile = base_name(file);
  err->date = build_date();
  err->message = message;
  return code;
}

const char *build_date() { return __DATE__; }

int64_t now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleep_until_ns(int64_t deadline) {
  timespec ts;
  ts.tv_sec = static_cast<time_t>(deadline / 1000000000);
  ts.tv_nsec = static_cast<long>(deadline % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

int put_text(QorVoz3String *text, const char *value, ErrorData *err) {
  SIM_NEED_PTR(err, text, "library string");
  SIM_NEED_PTR(err, text->text, "library string text");
  size_t length = std::strlen(value);
  if (text->capacity == 0)
    return SIM_FAIL(err, QORLIB3_ERR_STRING_TOO_SMALL,
                    "library string has capacity 0, text needs %zu bytes", length + 1);
  size_t room = text->capacity - 1;
  size_t n = length < room ? length : room;
  std::memcpy(text->text, value, n);
  text->text[n] = '\0';
  if (n < length)
    return SIM_FAIL(err, QORLIB3_ERR_STRING_TOO_SMALL,
                    "text of %zu bytes cut to the string's capacity of %u", length + 1,
                    text->capacity);
  return QORLIB3_OK;
}

}  // namespace sim

// call.h: the gate every exported operation passes: first-use set-up, injected faults, trace.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <string>

#include "core.h"
#include "hooks.h"

namespace sim {

// ---- Trace formatting of arguments and results ----
// Quotes text, reading at most readable bytes of it (a caller's buffer may lack its zero).
void trace_text(std::string &out, const char *text, size_t readable = SIZE_MAX);
// A library string's text: readable as far as the string's capacity.
struct StringText {
  const char *text;
  size_t readable;
};
inline void trace_arg(std::string &out, const StringText &s) {
  trace_text(out, s.text, s.readable);
}
inline void trace_arg(std::string &out, uint32_t v) { out += std::to_string(v); }
inline void trace_arg(std::string &out, int32_t v) { out += std::to_string(v); }
inline void trace_arg(std::string &out, uint64_t v) { out += std::to_string(v); }
inline void trace_arg(std::string &out, const char *text) { trace_text(out, text); }
template <class T>
inline void trace_arg(std::string &out, T *p) {
  out += p ? "ptr" : "null";
}

inline void trace_args(std::string &) {}
template <class A, class... Rest>
inline void trace_args(std::string &out, const A &first, const Rest &...rest) {
  trace_arg(out, first);
  if (sizeof...(rest) > 0) out += ", ";
  trace_args(out, rest...);
}

template <class R, class... A>
void trace_call(Op op, const R &result, const A &...args) {
  std::string line = op_name(op);
  line += '(';
  trace_args(line, args...);
  line += ") -> ";
  trace_arg(line, result);
  trace_write(line);
}

// An injected fault of an operation with a status: above 0 fills the record like a real
// failure would; the value is returned either way and the work is skipped.
int inject_status(Op op, ErrorData *err, int64_t value);
// An injected text result: 0 gives null, anything else a fixed text.
const char *inject_text(int64_t value);

template <class R, class Work, class Fault, class... A>
R gate_slow(Op op, Work &work, Fault &fault, const A &...args) {
  hooks_load();
  int64_t value = 0;
  R result = fault_take(op, &value) ? fault(value) : work();
  if (trace_on()) trace_call(op, result, args...);
  return result;
}

// Runs work, or an injected fault, and traces the call. One branch when no switch is set.
template <class R, class Work, class Fault, class... A>
inline R gate(Op op, Work &&work, Fault &&fault, const A &...args) {
  if (__builtin_expect(g_hooks == 0, 1)) return work();
  return gate_slow<R>(op, work, fault, args...);
}

// The common case: an operation that returns a status and takes a record.
template <class Work, class... A>
inline int gate_status(Op op, ErrorData *err, Work &&work, const A &...args) {
  return gate<int>(
      op, work, [op, err](int64_t v) { return inject_status(op, err, v); }, args...);
}

// An operation that returns a number without a record: a fault returns the value itself.
template <class Work, class... A>
inline int gate_value(Op op, Work &&work, const A &...args) {
  return gate<int>(
      op, work, [](int64_t v) { return static_cast<int>(v); }, args...);
}

}  // namespace sim

// faults.cpp: the QORSIM_FAULTS grammar and the per-operation call counters.
#include "hooks.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "call.h"

namespace sim {

namespace {
FaultTable g_faults;
bool g_faultsOn = false;
uint64_t g_calls[OP_COUNT];
std::string g_faultsError;

bool parse_number(const char *s, const char *end, bool allowSign, int64_t low, int64_t high,
                  int64_t *out) {
  bool negative = false;
  if (allowSign && s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
  if (s == end) return false;
  int64_t v = 0;
  for (; s < end; ++s) {
    if (!std::isdigit(static_cast<unsigned char>(*s))) return false;
    v = v * 10 + (*s - '0');
    if (v > 0x1FFFFFFFFll) return false;  // beyond any allowed value; stop before overflow
  }
  if (negative) v = -v;
  if (v < low || v > high) return false;
  *out = v;
  return true;
}

// One entry "Name=value" or "Name#n=value", already trimmed. Returns a reason or null.
const char *parse_entry(const char *s, const char *end, FaultTable *table) {
  if (s == end) return "empty entry";
  const char *eq = static_cast<const char *>(std::memchr(s, '=', end - s));
  if (!eq) return "no '='";
  const char *hash = static_cast<const char *>(std::memchr(s, '#', eq - s));
  const char *nameEnd = hash ? hash : eq;
  Op op = op_find(s, static_cast<unsigned>(nameEnd - s));
  if (op == OP_COUNT) return "unknown operation";
  int64_t call = 0;
  if (hash && !parse_number(hash + 1, eq, false, 1, 0xFFFFFFFFll, &call))
    return "call number is not a whole number from 1";
  int64_t value = 0;
  if (!parse_number(eq + 1, end, true, INT32_MIN, UINT32_MAX, &value))
    return "value is not a whole number from -2147483648 to 4294967295";
  table->rules[op].push_back(FaultRule{static_cast<uint64_t>(call), value});
  return nullptr;
}
}  // namespace

bool faults_parse(const char *text, FaultTable *table, std::string *error) {
  *table = FaultTable();
  const char *s = text;
  while (*s && std::isspace(static_cast<unsigned char>(*s))) ++s;
  if (!*s) return true;
  for (;;) {
    const char *end = std::strchr(s, ',');
    if (!end) end = s + std::strlen(s);
    const char *a = s, *b = end;
    while (a < b && std::isspace(static_cast<unsigned char>(*a))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(b[-1]))) --b;
    if (const char *reason = parse_entry(a, b, table)) {
      *error = "QORSIM_FAULTS: malformed entry \"" + std::string(a, b) + "\": " + reason;
      *table = FaultTable();
      return false;
    }
    if (!*end) return true;
    s = end + 1;
  }
}

void faults_load(const char *text) {
  if (!text) return;
  if (!faults_parse(text, &g_faults, &g_faultsError)) return;
  for (const auto &rules : g_faults.rules)
    if (!rules.empty()) g_faultsOn = true;
}

bool faults_active() { return g_faultsOn; }

bool fault_take(Op op, int64_t *value) {
  if (!g_faultsOn) return false;
  uint64_t call = ++g_calls[op];
  // A rule for this very call wins over an every-call rule; among alike rules the last wins.
  bool hit = false, exact = false;
  for (const FaultRule &r : g_faults.rules[op]) {
    if (r.call == call) {
      *value = r.value;
      hit = exact = true;
    } else if (r.call == 0 && !exact) {
      *value = r.value;
      hit = true;
    }
  }
  return hit;
}

const char *faults_error() { return g_faultsError.empty() ? nullptr : g_faultsError.c_str(); }

int inject_status(Op op, ErrorData *err, int64_t value) {
  // A value beyond int's range stays the failure it was written as, not a negative success.
  const int status = value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
  if (status > 0)
    SIM_FAIL(err, status, "injected fault: QORSIM_FAULTS makes %s return %d", op_name(op),
             status);
  return status;
}

const char *inject_text(int64_t value) { return value == 0 ? nullptr : "Injected text"; }

}  // namespace sim

// hooks.h: the QORSIM_ switches: fault injection, call trace and statistics.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ops.h"

namespace sim {

// Non-zero while a call must take the slow path: before the switches are read, or when
// faults or a trace are set. The hot path tests only this.
extern int g_hooks;

// Reads QORSIM_FAULTS, QORSIM_TRACE and QORSIM_STATS on first use (once per process).
void hooks_load();

// ---- Faults ----
struct FaultRule {
  uint64_t call;  // 0: every call
  int64_t value;
};
struct FaultTable {
  std::vector<FaultRule> rules[OP_COUNT];
};
// Reads the QORSIM_FAULTS text (null: no faults).
void faults_load(const char *text);
// True when any fault entry is set.
bool faults_active();
// Parses the QORSIM_FAULTS grammar. Returns false and writes a message naming the first
// malformed entry into error (the table is then left empty).
bool faults_parse(const char *text, FaultTable *table, std::string *error);
// Counts a call of op; true with *value when a fault applies to this call.
bool fault_take(Op op, int64_t *value);
// The message of a malformed QORSIM_FAULTS (Init fails with it), or null.
const char *faults_error();

// ---- Trace ----
bool trace_on();
void trace_write(const std::string &line);

// ---- Statistics ----
struct Stats {
  uint64_t framesDelivered = 0;
  uint64_t framesDropped = 0;
  uint64_t blocksBegun = 0;
  uint64_t blocksEnded = 0;
  uint64_t bytesTransferred = 0;
  struct Upload {
    uint64_t bytes;
    uint64_t fnv1a64;
  };
  std::vector<Upload> uploads;
};
extern Stats g_stats;
// Writes the statistics file if QORSIM_STATS is set.
void stats_write();
// The statistics as the JSON text the file holds.
std::string stats_json(const Stats &stats);
uint64_t fnv1a64(const uint8_t *data, uint64_t size, uint64_t hash = 0xcbf29ce484222325ull);

}  // namespace sim

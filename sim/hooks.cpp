// hooks.cpp: reads the QORSIM_ switches once, writes the call trace and the statistics file.
#include "hooks.h"

#include <cstdio>
#include <cstdlib>

#include "call.h"

namespace sim {

int g_hooks = 1;
Stats g_stats;

namespace {
bool g_loaded = false;
FILE *g_trace = nullptr;
std::string g_statsPath;
bool g_statsWritten = false;

void stats_at_exit() {
  // Exit came and nothing changed since: the file already holds the final figures.
  if (g_statsWritten && !g_initialised) return;
  stats_write();
}
}  // namespace

void hooks_load() {
  if (g_loaded) return;
  g_loaded = true;
  faults_load(std::getenv("QORSIM_FAULTS"));
  const char *tracePath = std::getenv("QORSIM_TRACE");
  if (tracePath && *tracePath) {
    g_trace = std::fopen(tracePath, "w");
    if (!g_trace) std::fprintf(stderr, "qorlib3: cannot write the trace file %s\n", tracePath);
  }
  const char *statsPath = std::getenv("QORSIM_STATS");
  if (statsPath && *statsPath) {
    g_statsPath = statsPath;
    std::atexit(stats_at_exit);
  }
  g_hooks = (faults_active() || g_trace) ? 1 : 0;
}

bool trace_on() { return g_trace != nullptr; }

void trace_write(const std::string &line) {
  std::fputs(line.c_str(), g_trace);
  std::fputc('\n', g_trace);
  std::fflush(g_trace);
}

void trace_text(std::string &out, const char *text, size_t readable) {
  if (!text) {
    out += "null";
    return;
  }
  // Long texts (a whole device tree) are cut so that a trace line stays readable.
  const size_t kMax = 256;
  out += '"';
  size_t i = 0;
  for (; i < readable && i < kMax && text[i]; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  if (i == readable || text[i]) out += "...";
}

uint64_t fnv1a64(const uint8_t *data, uint64_t size, uint64_t hash) {
  for (uint64_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string stats_json(const Stats &stats) {
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "{\"frames_delivered\": %llu, \"frames_dropped\": %llu, \"blocks_begun\": %llu, "
                "\"blocks_ended\": %llu, \"bytes_transferred\": %llu, \"uploads\": [",
                static_cast<unsigned long long>(stats.framesDelivered),
                static_cast<unsigned long long>(stats.framesDropped),
                static_cast<unsigned long long>(stats.blocksBegun),
                static_cast<unsigned long long>(stats.blocksEnded),
                static_cast<unsigned long long>(stats.bytesTransferred));
  std::string out = buf;
  for (size_t i = 0; i < stats.uploads.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s{\"bytes\": %llu, \"fnv1a64\": \"%016llx\"}",
                  i ? ", " : "", static_cast<unsigned long long>(stats.uploads[i].bytes),
                  static_cast<unsigned long long>(stats.uploads[i].fnv1a64));
    out += buf;
  }
  out += "]}\n";
  return out;
}

void stats_write() {
  if (g_statsPath.empty()) return;
  FILE *f = std::fopen(g_statsPath.c_str(), "w");
  if (!f) {
    std::fprintf(stderr, "qorlib3: cannot write the statistics file %s\n", g_statsPath.c_str());
    return;
  }
  std::string text = stats_json(g_stats);
  std::fputs(text.c_str(), f);
  std::fclose(f);
  g_statsWritten = true;
}

}  // namespace sim

// hooks.cpp: reads the QORSIM_ switches once, writes the call trace and the statistics file.
#include "hooks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "call.h"

namespace sim {

int g_hooks = 1;
Stats g_stats;

namespace {
bool g_loaded = false;
FILE *g_trace = nullptr;
std::string g_tracePath;
bool g_traceWarned = false;
std::string g_statsPath;
bool g_statsWritten = false;
bool g_statsWarned = false;

// Once per file: a lost trace or statistics file is worth one line, not one per call.
void warn_once(bool *warned, const char *what, const std::string &path, int error) {
  if (*warned) return;
  *warned = true;
  std::fprintf(stderr, "qorlib3: cannot write the %s file %s: %s\n", what, path.c_str(),
               std::strerror(error));
}

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
    g_tracePath = tracePath;
    g_trace = std::fopen(tracePath, "w");
    if (!g_trace) warn_once(&g_traceWarned, "trace", g_tracePath, errno);
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
  const int callerErrno = errno;  // the traced call's caller may still look at it
  errno = 0;
  if (std::fputs(line.c_str(), g_trace) == EOF || std::fputc('\n', g_trace) == EOF ||
      std::fflush(g_trace) == EOF)
    warn_once(&g_traceWarned, "trace", g_tracePath, errno ? errno : EIO);
  errno = callerErrno;
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
    warn_once(&g_statsWarned, "statistics", g_statsPath, errno);
    return;
  }
  std::string text = stats_json(g_stats);
  errno = 0;
  const bool put = std::fputs(text.c_str(), f) != EOF;
  const int putError = errno;
  // fclose flushes: a full device shows here.
  if (std::fclose(f) != 0 || !put) {
    warn_once(&g_statsWarned, "statistics", g_statsPath, put ? (errno ? errno : EIO) : putError);
    return;
  }
  g_statsWritten = true;
}

}  // namespace sim

// stream.cpp: frame pacing and the buffer ring: a slow client finds the newest frames waiting,
// the older ones counted as dropped, as a grabber's ring of buffers would leave them.
#include "stream.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "hooks.h"

namespace sim {

namespace {
uint64_t clock_frames(const System *sys, int64_t now) {
  const Stream &s = sys->stream;
  int64_t period = stream_period(sys);
  if (!s.running || !s.clockStarted || period <= 0 || now < s.t0) return 0;
  return static_cast<uint64_t>((now - s.t0) / period);
}
// Folds the frames that came due into base and restarts the clock. Frames handed out at
// frame rate 0 came due on request, so base never falls behind what was delivered.
void settle(System *sys, int64_t now) {
  Stream &s = sys->stream;
  s.base += clock_frames(sys, now);
  uint64_t handed = s.delivered > s.triggers ? s.delivered - s.triggers : 0;
  if (s.base < handed) s.base = handed;
  s.t0 = now;
}

constexpr uint32_t kDefaultRing = 4;
constexpr unsigned long kMaxRing = 1000000;

struct RingSetting {
  uint32_t size = kDefaultRing;
  std::string error;
};

const RingSetting &ring_setting() {
  static const RingSetting setting = [] {
    RingSetting r;
    const char *text = std::getenv("QORSIM_BUFFERS");
    if (!text || !*text) return r;
    char *end = nullptr;
    unsigned long n = std::strtoul(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || n > kMaxRing) {
      r.error = std::string("QORSIM_BUFFERS: \"") + text +
                "\" is not a number of buffers from 0 (unbounded) to " + std::to_string(kMaxRing);
      return r;
    }
    r.size = static_cast<uint32_t>(n);
    return r;
  }();
  return setting;
}

uint64_t due_frames(const System *sys, int64_t now) {
  const Stream &s = sys->stream;
  return s.base + s.triggers + clock_frames(sys, now);
}
}  // namespace

uint32_t stream_ring_size() { return ring_setting().size; }

const char *stream_ring_error() {
  const RingSetting &r = ring_setting();
  return r.error.empty() ? nullptr : r.error.c_str();
}

void stream_keep_newest(System *sys, int64_t now) {
  uint32_t ring = stream_ring_size();
  Stream &s = sys->stream;
  if (ring == 0) return;
  uint64_t due = due_frames(sys, now);
  if (due <= s.delivered + ring) return;
  uint64_t lost = due - ring - s.delivered;
  s.delivered += lost;
  s.dropped += lost;
  g_stats.framesDropped += lost;
}

uint64_t stream_made(const System *sys, int64_t now) {
  uint64_t due = due_frames(sys, now);
  return due > sys->stream.delivered ? due : sys->stream.delivered;
}

int64_t stream_period(const System *sys) {
  if (sys->def->lineScan) {
    const OptionState *rate = system_option(const_cast<System *>(sys), kTypeLineRate);
    int64_t hz = rate ? rate->value : 10240;
    return hz > 0 ? static_cast<int64_t>(sys->def->height) * 1000000000 / hz : 0;
  }
  const OptionState *rate = system_option(const_cast<System *>(sys), kTypeFrameRate);
  int64_t mhz = rate ? rate->value : 25000;
  return mhz > 0 ? 1000000000000ll / mhz : 0;
}

void stream_start(System *sys, int64_t now) {
  Stream &s = sys->stream;
  if (s.running) return;
  s.running = true;
  s.t0 = now;
}

void stream_stop(System *sys, int64_t now) {
  Stream &s = sys->stream;
  if (!s.running) return;
  settle(sys, now);
  s.running = false;
}

void stream_trigger(System *sys) { ++sys->stream.triggers; }

void stream_restart(System *sys, int64_t now) {
  Stream &s = sys->stream;
  s.base = 0;
  s.triggers = 0;
  s.delivered = 0;
  s.t0 = now;
}

void stream_rebase(System *sys, int64_t now) { settle(sys, now); }

void stream_touch(System *sys, int64_t now) {
  Stream &s = sys->stream;
  if (s.clockStarted) return;
  s.clockStarted = true;
  s.t0 = now;
}

bool stream_ready(const System *sys, int64_t now) {
  const Stream &s = sys->stream;
  if (s.running && s.clockStarted && stream_period(sys) == 0) return true;
  return s.delivered < s.base + s.triggers + clock_frames(sys, now);
}

int64_t stream_next_due(const System *sys) {
  const Stream &s = sys->stream;
  int64_t period = stream_period(sys);
  if (!s.running || !s.clockStarted) return -1;
  if (period == 0) return s.t0;
  uint64_t owed = s.base + s.triggers;
  uint64_t needed = s.delivered >= owed ? s.delivered - owed + 1 : 0;
  return s.t0 + static_cast<int64_t>(needed) * period;
}

}  // namespace sim

// stream.h: frame pacing of a system's input: due frames, the buffer ring, waits, start, stop,
// trigger, restart.
#pragma once

#include <cstdint>

#include "system.h"

namespace sim {

// Nanoseconds between two frames (blocks for the line scan); 0 means a frame whenever asked.
int64_t stream_period(const System *sys);
void stream_start(System *sys, int64_t now);
void stream_stop(System *sys, int64_t now);
void stream_trigger(System *sys);
void stream_restart(System *sys, int64_t now);
// Keeps the frames already due when the frame rate is about to change.
void stream_rebase(System *sys, int64_t now);
// Line scan: the pacing clock starts at the first query or wait.
void stream_touch(System *sys, int64_t now);
bool stream_ready(const System *sys, int64_t now);
// The ring holds at most stream_ring_size() undelivered frames: the oldest waiting ones beyond
// that are given up and counted as dropped. Call before looking at what is ready.
void stream_keep_newest(System *sys, int64_t now);
// Frames made since the last restart, delivered or not.
uint64_t stream_made(const System *sys, int64_t now);

// QORSIM_BUFFERS: undelivered frames a system holds (default 4, 0 = unbounded).
uint32_t stream_ring_size();
// The message for a malformed QORSIM_BUFFERS (Init fails with it), or null.
const char *stream_ring_error();
// When the next frame comes due, or -1 when none will without a command.
int64_t stream_next_due(const System *sys);

}  // namespace sim

// source.h: system 9, frames from a GStreamer pipeline named by QORSIM_SOURCE.
#pragma once

#include <cstdint>

#include "qorlib3.h"
#include "system.h"

namespace sim {

constexpr uint32_t kSourceSystemId = 9;

// True while QORSIM_SOURCE holds a description: only then is system 9 listed and created.
bool source_configured();

// Builds the pipeline of a new system 9 (GStreamer starts here, on first use). A description
// that does not parse or names a missing element fails with GStreamer's words.
int source_open(System *sys, ErrorData *err);
// Stops and frees the pipeline; its streaming threads are gone when this returns.
void source_close(System *sys);
// Plays the pipeline and waits, bounded, for the first frame so the format is known.
int source_start(System *sys, ErrorData *err);
// Input control start and stop: play and pause.
int source_play(System *sys, bool play, ErrorData *err);
// Transfer control restart: drops what waits and seeks to the start where the source can.
int source_restart(System *sys, ErrorData *err);
// Applies the PixelFormat, Width and Height options to the pipeline's caps.
void source_options_changed(System *sys);

// The description of the next frame (or of the last one seen when none waits).
int source_geometry(System *sys, Geometry *g, ErrorData *err);
// Bytes of the next frame, 0 when none waits; a failure of the source is an error here.
int source_ready(System *sys, uint64_t *bytes, ErrorData *err);
// Waits up to timeout ms for a frame: 0, 1202 on time-out or after the end of the stream,
// or the source's error.
int source_wait(System *sys, uint32_t timeout, ErrorData *err);
// Takes the next frame into the open block (sys->block.g is set from its caps).
int source_begin(System *sys, ErrorData *err);
// Copies size bytes of the block's frame from offset, rows without their padding.
void source_copy(System *sys, uint64_t offset, uint64_t size, uint8_t *dest);
void source_end(System *sys);

// Info values: frames made, frames dropped, negotiated rate in mHz, 1 once the stream ended.
int64_t source_info(System *sys, uint32_t infoType);

}  // namespace sim

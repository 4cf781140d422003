// system.h: a created system: its option values, interface handles, frame stream and blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue.h"
#include "core.h"
#include "patterns.h"

namespace sim {

struct Source;  // system 9's pipeline (source.cpp)

struct Rect {
  uint32_t x, y, w, h;
};

struct OptionState {
  const OptionDef *def;
  int64_t value;        // scalar, base unit
  uint32_t enumIndex;   // enumeration
  Rect rect;            // rectangle
  QorHandle handle;     // 0 until looked up
};

// Frame pacing: frames come due every period while running, plus software triggers.
struct Stream {
  bool running;
  bool clockStarted;    // line scan: pacing starts at the first query or wait
  int64_t t0;           // when the clock (re)started
  uint64_t base;        // frames that came due before t0
  uint64_t triggers;    // software-triggered frames
  uint64_t delivered;   // frames handed out or dropped since the last restart (number of the next)
  uint64_t dropped;     // frames the full ring gave up since SystemInit
};

// What a frame looks like; fixed for a block when it begins.
struct Geometry {
  uint32_t kind, bitsPerElement;
  uint64_t elementCount;
  uint32_t width, height, lineSize, linesInBlock;
  uint32_t pixelFormat, layout, bitsPerPixel;
  uint32_t bytesPerPixel;
  uint32_t x0, y0;      // offset of the region of interest on the sensor
  uint64_t bytes;       // size of the frame
};

struct InputBlock {
  bool open;
  uint64_t frame;
  uint64_t offset;
  Geometry g;
  int32_t temperature;
  FrameSpec spec;       // how to make the frame's bytes, set when the block begins
  FrameCursor cursor;
};

struct OutputBlock {
  bool open;
  uint64_t offset;
  std::vector<uint8_t> data;
};

struct System {
  InputBlock block;  // first: the hot path touches little else
  const SystemDef *def;
  QorHandle handle;
  bool initialised;
  int64_t createdAt;
  OptionState options[kMaxOptions];
  QorHandle infoHandles[kMaxInfos];
  QorHandle inputControls[kMaxInputControls];
  QorHandle transferControl;
  QorHandle input;
  QorHandle output;
  Stream stream;
  OutputBlock upload;
  std::vector<uint8_t> uploaded;  // last completed upload, kUploadWidth x kUploadHeight
  Source *source;                 // system 9 only
};

// The system a handle of the given kind belongs to (and the slot's aux number); otherwise
// 301 or 306 with the record filled.
int system_of(QorHandle handle, SlotKind kind, ErrorData *err, const char *what, System **sys,
              uint32_t *aux = nullptr);

// Declares sys for a handle of the given kind or returns the failure.
#define SIM_GET(sys, aux, handle, kind, what)                                          \
  ::sim::System *sys = nullptr;                                                       \
  uint32_t aux = 0;                                                                   \
  if (int rc_ = ::sim::system_of((handle), (kind), err, (what), &sys, &aux)) return rc_; \
  (void)aux

// Option of a type on the system, or null.
OptionState *system_option(System *sys, uint32_t type);
// Current geometry of the system's input data.
Geometry system_geometry(const System *sys);
// Current test pattern (enumeration value).
uint32_t system_pattern(const System *sys);
// Sensor temperature in degrees C, drifting with time.
int32_t system_temperature(const System *sys);

// Destroys every system (library shutdown).
void systems_destroy_all();

}  // namespace sim

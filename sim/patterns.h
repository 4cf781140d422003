// patterns.h: the test patterns, generated straight into the client's memory.
#pragma once

#include <cstdint>

namespace sim {

struct FrameSpec {
  uint32_t pattern;        // enumeration value of the test pattern
  uint32_t width, height;  // of the delivered frame, in pixels
  uint32_t bytesPerPixel;  // 1, 2 (16-bit little-endian grey) or 3 (blue, green, red)
  uint32_t x0, y0;         // region of interest on the sensor
  uint32_t sensorWidth;
  uint64_t frame;          // frame number since the stream (re)started
  bool lineScan;           // rows continue from block to block
  const uint8_t *upload;   // uploaded grey image (kUploadWidth wide) or null
};

// Writes bytes [offset, offset + size) of the frame (rows back to back) to dest.
void pattern_fill(const FrameSpec &f, uint64_t offset, uint64_t size, uint8_t *dest);

// The widest line the tables cover, in pixels.
constexpr uint32_t kMaxLinePixels = 4096;

}  // namespace sim

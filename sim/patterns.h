// patterns.h: the test patterns, generated straight into the client's memory. The per-row
// copy is inline so a row-by-row reader pays no more than a whole-frame reader per row.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "catalogue.h"

namespace sim {

// The widest line the tables cover, in pixels.
constexpr uint32_t kMaxLinePixels = 4096;
constexpr uint32_t kRampPixels = 256 + kMaxLinePixels;
constexpr uint32_t kCheckerPixels = 64 + kMaxLinePixels;
constexpr uint32_t kNoiseSpan = 65536;

// Precomputed rows every pattern copies from, by bytes per pixel (1 to 3).
struct Tables {
  uint8_t ramp[4][kRampPixels * 3];
  uint8_t checker[4][2][kCheckerPixels * 3];  // and by row phase
  uint8_t noise[kNoiseSpan + kMaxLinePixels * 3];
  Tables();
};
const Tables &tables();

struct FrameSpec {
  uint32_t pattern;        // enumeration value of the test pattern
  uint32_t width, height;  // of the delivered frame, in pixels
  uint32_t bytesPerPixel;  // 1, 2 (16-bit little-endian grey) or 3 (blue, green, red)
  uint32_t lineBytes;      // width x bytes per pixel; rows lie back to back
  uint32_t x0, y0;         // region of interest on the sensor
  uint32_t sensorWidth;
  uint64_t frame;          // frame number since the stream (re)started
  bool lineScan;           // rows continue from block to block
  const std::vector<uint8_t> *upload;  // uploaded grey image (kUploadWidth wide), may be empty
  const Tables *tables;
};

// Where the next byte of a frame comes from; moved along by every fill.
struct FrameCursor {
  uint64_t row;
  uint32_t col;  // byte in the row
};

// Patterns without a single source row (moving bar, uploaded image).
void fill_row_slow(const FrameSpec &f, uint64_t row, uint32_t col, uint32_t len, uint8_t *dest);

// Where a noise row starts in the noise table: a hash of the frame number and the line.
inline uint64_t noise_start(uint64_t frame, uint64_t line) {
  uint64_t z = frame * 0x9E3779B97F4A7C15ull ^ (line + 0x632BE59BD9B4E019ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return (z ^ (z >> 31)) % kNoiseSpan;
}

// The table row that row of the frame copies from, or null for the patterns drawn row by row.
inline const uint8_t *row_source(const FrameSpec &f, uint64_t row) {
  // Line scan rows continue the previous block; camera rows move with the frame number.
  uint64_t ys = f.lineScan ? f.frame * f.height + row : f.y0 + row;
  uint64_t n = f.lineScan ? 0 : f.frame;
  uint32_t bpp = f.bytesPerPixel;
  switch (f.pattern) {
    case kPatGradient:  // (x + y + n) & 255
      return f.tables->ramp[bpp] + ((f.x0 + ys + n) & 255) * bpp;
    case kPatCheckerboard:  // 32-pixel squares moving right a pixel a frame
      return f.tables->checker[bpp][(ys >> 5) & 1] + ((f.x0 + n) & 63) * bpp;
    case kPatNoise:  // rows from a fixed noise table
      return f.tables->noise + noise_start(n, ys);
    default:
      return nullptr;
  }
}

inline void fill_row(const FrameSpec &f, uint64_t row, uint32_t col, uint32_t len,
                     uint8_t *dest) {
  if (const uint8_t *src = row_source(f, row))
    std::memcpy(dest, src + col, len);
  else
    fill_row_slow(f, row, col, len, dest);
}

// Moves the cursor over len bytes that stay within its row.
inline void cursor_advance(const FrameSpec &f, FrameCursor &at, uint32_t len) {
  at.col += len;
  if (at.col == f.lineBytes) {
    at.col = 0;
    ++at.row;
  }
}

// Writes the next size bytes of the frame from the cursor on to dest and moves the cursor.
inline void pattern_fill(const FrameSpec &f, FrameCursor &at, uint64_t size, uint8_t *dest) {
  while (size > 0) {
    uint32_t room = f.lineBytes - at.col;
    uint32_t len = size < room ? static_cast<uint32_t>(size) : room;
    fill_row(f, at.row, at.col, len, dest);
    dest += len;
    size -= len;
    cursor_advance(f, at, len);
  }
}

}  // namespace sim

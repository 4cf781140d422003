// patterns.cpp: test patterns as copies from precomputed ramps, so a frame costs a memcpy per row.
#include "patterns.h"

#include <cstring>

#include "catalogue.h"

namespace sim {

namespace {
constexpr uint32_t kRampPixels = 256 + kMaxLinePixels;
constexpr uint32_t kCheckerPixels = 64 + kMaxLinePixels;
constexpr uint32_t kNoiseSpan = 65536;
constexpr uint8_t kBarLevel = 255, kBackground = 40, kNoUpload = 128;

struct Tables {
  uint8_t ramp[4][kRampPixels * 3];          // by bytes per pixel
  uint8_t checker[4][2][kCheckerPixels * 3]; // by bytes per pixel and row phase
  uint8_t noise[kNoiseSpan + kMaxLinePixels * 3];

  static void put(uint8_t *p, uint32_t bpp, uint32_t i, uint8_t v) {
    if (bpp == 3) {  // colour: blue, green, red ramps running apart
      p[0] = v;
      p[1] = static_cast<uint8_t>(255 - v);
      p[2] = static_cast<uint8_t>(v * 2);
    } else {
      std::memset(p, v, bpp);  // 16-bit grey v * 257 is v in both bytes
    }
    (void)i;
  }

  Tables() {
    for (uint32_t bpp = 1; bpp <= 3; ++bpp) {
      for (uint32_t i = 0; i < kRampPixels; ++i)
        put(ramp[bpp] + i * bpp, bpp, i, static_cast<uint8_t>(i & 255));
      for (uint32_t phase = 0; phase < 2; ++phase)
        for (uint32_t i = 0; i < kCheckerPixels; ++i) {
          uint8_t v = (((i >> 5) ^ phase) & 1) ? 255 : 0;
          std::memset(checker[bpp][phase] + i * bpp, v, bpp);
        }
    }
    uint64_t x = 0x2545F4914F6CDD1Dull;
    for (uint8_t &b : noise) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      b = static_cast<uint8_t>(x >> 24);
    }
  }
};

const Tables &tables() {
  static const Tables t;
  return t;
}

uint64_t mix(uint64_t a, uint64_t b) {
  uint64_t z = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void fill_bar(const FrameSpec &f, uint64_t ys, uint32_t col, uint32_t len, uint8_t *dest) {
  uint32_t span = f.sensorWidth > 64 ? f.sensorWidth - 64 : 1;
  uint64_t bx = f.lineScan ? (ys / 4) % span : (f.frame * 8) % span;
  // Bar pixels [bx, bx + 64) on the sensor, as bytes of this row.
  int64_t a = (static_cast<int64_t>(bx) - f.x0) * f.bytesPerPixel;
  int64_t b = a + 64 * static_cast<int64_t>(f.bytesPerPixel);
  int64_t lo = col, hi = static_cast<int64_t>(col) + len;
  if (a < lo) a = lo;
  if (b > hi) b = hi;
  if (a >= b) {
    std::memset(dest, kBackground, len);
    return;
  }
  std::memset(dest, kBackground, static_cast<size_t>(a - lo));
  std::memset(dest + (a - lo), kBarLevel, static_cast<size_t>(b - a));
  std::memset(dest + (b - lo), kBackground, static_cast<size_t>(hi - b));
}

void fill_upload(const FrameSpec &f, uint64_t ys, uint32_t col, uint32_t len, uint8_t *dest) {
  if (!f.upload || ys >= kUploadHeight) {
    std::memset(dest, kNoUpload, len);
    return;
  }
  const uint8_t *src = f.upload + ys * kUploadWidth + f.x0;
  if (f.bytesPerPixel == 1) {
    std::memcpy(dest, src + col, len);
    return;
  }
  for (uint32_t i = 0; i < len; ++i) dest[i] = src[(col + i) / f.bytesPerPixel];
}

void fill_row(const Tables &t, const FrameSpec &f, uint64_t row, uint32_t col, uint32_t len,
              uint8_t *dest) {
  // Line scan rows continue the previous block; camera rows move with the frame number.
  uint64_t ys = f.lineScan ? f.frame * f.height + row : f.y0 + row;
  uint64_t n = f.lineScan ? 0 : f.frame;
  uint32_t bpp = f.bytesPerPixel;
  switch (f.pattern) {
    case kPatMovingBar:
      fill_bar(f, ys, col, len, dest);
      return;
    case kPatCheckerboard: {
      uint32_t start = static_cast<uint32_t>((f.x0 + n) & 63);
      std::memcpy(dest, t.checker[bpp][(ys >> 5) & 1] + start * bpp + col, len);
      return;
    }
    case kPatNoise: {
      uint64_t start = mix(n, ys) % kNoiseSpan;
      std::memcpy(dest, t.noise + start + col, len);
      return;
    }
    case kPatUploaded:
      fill_upload(f, ys, col, len, dest);
      return;
    default: {
      uint32_t start = static_cast<uint32_t>((f.x0 + ys + n) & 255);
      std::memcpy(dest, t.ramp[bpp] + start * bpp + col, len);
      return;
    }
  }
}
}  // namespace

void pattern_fill(const FrameSpec &f, uint64_t offset, uint64_t size, uint8_t *dest) {
  const Tables &t = tables();
  uint64_t lineBytes = static_cast<uint64_t>(f.width) * f.bytesPerPixel;
  if (lineBytes == 0) return;
  uint64_t row = offset / lineBytes;
  uint32_t col = static_cast<uint32_t>(offset % lineBytes);
  while (size > 0) {
    uint64_t room = lineBytes - col;
    uint32_t len = static_cast<uint32_t>(size < room ? size : room);
    fill_row(t, f, row, col, len, dest);
    dest += len;
    size -= len;
    col = 0;
    ++row;
  }
}

}  // namespace sim

// patterns.cpp: the precomputed pattern tables, and the patterns drawn row by row.
#include "patterns.h"

#include "catalogue.h"

namespace sim {

namespace {
constexpr uint8_t kBarLevel = 255, kBackground = 40, kNoUpload = 128;

void fill_bar(const FrameSpec &f, uint64_t ys, uint32_t col, uint32_t len, uint8_t *dest) {
  uint32_t span = f.sensorWidth > 64 ? f.sensorWidth - 64 : 1;
  uint64_t bx = f.lineScan ? (ys / 4) % span : (f.frame * 8) % span;
  // Bar pixels [bx, bx + 64) on the sensor, as bytes of this row; every level has equal
  // bytes, so 16-bit and colour pixels are filled by bytes too.
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
  // Read at every row: an upload may replace the image while a block is open.
  if (!f.upload || f.upload->empty() || ys >= kUploadHeight) {
    std::memset(dest, kNoUpload, len);
    return;
  }
  const uint8_t *src = f.upload->data() + ys * kUploadWidth + f.x0;
  if (f.bytesPerPixel == 1) {
    std::memcpy(dest, src + col, len);
    return;
  }
  for (uint32_t i = 0; i < len; ++i) dest[i] = src[(col + i) / f.bytesPerPixel];
}
}  // namespace

Tables::Tables() {
  for (uint32_t bpp = 1; bpp <= 3; ++bpp) {
    for (uint32_t i = 0; i < kRampPixels; ++i) {
      uint8_t v = static_cast<uint8_t>(i & 255);
      uint8_t *p = ramp[bpp] + i * bpp;
      if (bpp == 3) {  // colour: blue, green and red ramps running apart
        p[0] = v;
        p[1] = static_cast<uint8_t>(255 - v);
        p[2] = static_cast<uint8_t>(v * 2);
      } else {
        std::memset(p, v, bpp);  // 16-bit grey v * 257 has v in both bytes
      }
    }
    for (uint32_t phase = 0; phase < 2; ++phase)
      for (uint32_t i = 0; i < kCheckerPixels; ++i)
        std::memset(checker[bpp][phase] + i * bpp, (((i >> 5) ^ phase) & 1) ? 255 : 0, bpp);
  }
  uint64_t x = 0x2545F4914F6CDD1Dull;
  for (uint8_t &b : noise) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    b = static_cast<uint8_t>(x >> 24);
  }
}

const Tables &tables() {
  static const Tables t;
  return t;
}

void fill_row_slow(const FrameSpec &f, uint64_t row, uint32_t col, uint32_t len,
                   uint8_t *dest) {
  uint64_t ys = f.lineScan ? f.frame * f.height + row : f.y0 + row;
  if (f.pattern == kPatMovingBar)
    fill_bar(f, ys, col, len, dest);
  else if (f.pattern == kPatUploaded)
    fill_upload(f, ys, col, len, dest);
  else  // an unknown pattern reads as the gradient
    std::memcpy(dest, f.tables->ramp[f.bytesPerPixel] + ((f.x0 + ys) & 255) * f.bytesPerPixel + col, len);
}

}  // namespace sim

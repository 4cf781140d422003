// display_buffer.cpp: the screen-side bitmap and the data header that describes it.
#include "display_buffer.h"

#include <allegro.h>

#include <climits>
#include <new>

#include "video.h"

namespace {

struct DepthValues {
  int depth;
  uint32_t bitsPerPixel;
  uint32_t pixelFormat;
  uint32_t pixelLayout;
  uint32_t bytesPerPixel;
};

const DepthValues DEPTH_VALUES[] = {
    {8, 8, QORLIB3_PIXFMT_MONO8, QORLIB3_LAYOUT_PLANAR_MONO, 1},
    {16, 16, QORLIB3_PIXFMT_RGB, QORLIB3_LAYOUT_BGRX_PACKED, 2},
    {24, 24, QORLIB3_PIXFMT_RGB, QORLIB3_LAYOUT_BGR_PACKED, 3},
    {32, 32, QORLIB3_PIXFMT_RGB, QORLIB3_LAYOUT_BGRX_PACKED, 4},
};

const DepthValues *Depth_Values(int depth) {
  for (const DepthValues &d : DEPTH_VALUES) {
    if (d.depth == depth) return &d;
  }
  return nullptr;
}

bool Ok(int status) { return status <= 0; }

// Allegro sizes its pixel memory in int arithmetic; a frame size from a device header that
// does not fit would give a short allocation, so such a bitmap is not made at all.
BITMAP *Create_Bitmap(int depth, uint32_t width, uint32_t height) {
  const uint64_t bytes = static_cast<uint64_t>(width) * height * ((depth + 7) / 8);
  if (width > INT_MAX || height > INT_MAX || bytes > INT_MAX) return nullptr;
  return create_bitmap_ex(depth, static_cast<int>(width), static_cast<int>(height));
}

// The per-depth values, each written only when the one before it was accepted.
void Set_Depth_Values(DisplayBuffer *buffer, const DepthValues &d, uint32_t width) {
  const QorHandle h = buffer->header;
  if (!Ok(QorVoz3DataheaderSetU32(h, QORLIB3_DH_BITS_PER_PIXEL, d.bitsPerPixel, nullptr))) return;
  if (!Ok(QorVoz3DataheaderSetU32(h, QORLIB3_DH_PIXEL_FORMAT, d.pixelFormat, nullptr))) return;
  // An 8-bit line size is known once depth and format are accepted, before the layout.
  if (d.depth == 8) buffer->lineSize = width;
  if (!Ok(QorVoz3DataheaderSetU32(h, QORLIB3_DH_PIXEL_LAYOUT, d.pixelLayout, nullptr))) return;
  buffer->lineSize = d.bytesPerPixel * width;
}

}  // namespace

DisplayBuffer *Display_Buffer_Create(uint32_t width, uint32_t height) {
  DisplayBuffer *buffer = new (std::nothrow) DisplayBuffer{QORLIB3_NONE, nullptr, 0};
  if (!buffer) return nullptr;
  if (!Ok(QorVoz3DataheaderCreate(&buffer->header, nullptr))) {
    delete buffer;
    return nullptr;
  }
  return Display_Buffer_Resize(buffer, width, height);
}

DisplayBuffer *Display_Buffer_Resize(DisplayBuffer *buffer, uint32_t width, uint32_t height) {
  if (!buffer) return nullptr;
  if (buffer->bitmap) {
    destroy_bitmap(buffer->bitmap);
    buffer->bitmap = nullptr;
  }
  const int depth = video.depth;
  if (depth == 0 || width == 0 || height == 0) return buffer;

  buffer->bitmap = Create_Bitmap(depth, width, height);
  QorVoz3DataheaderSetType(buffer->header, QORLIB3_KIND_IMAGE, 8, 0, nullptr);
  if (const DepthValues *d = Depth_Values(depth)) Set_Depth_Values(buffer, *d, width);
  QorVoz3DataheaderSetU32(buffer->header, QORLIB3_DH_WIDTH, width, nullptr);
  QorVoz3DataheaderSetU32(buffer->header, QORLIB3_DH_HEIGHT, height, nullptr);
  return buffer;
}

// The buffer lives until the program ends; nothing is freed here.
void Display_Buffer_Release(DisplayBuffer *) {}

// screen_patch.cpp: screen areas drawn in a memory bitmap and copied to the screen in one blit.
#include "screen_patch.h"

#include <allegro.h>

#include <cstring>

namespace {

// As large as the screen and of its depth, made on first use and whenever the screen changes.
BITMAP *memory = nullptr;

BITMAP *Memory_For_Screen() {
  const int depth = bitmap_color_depth(screen);
  if (memory && (bitmap_color_depth(memory) != depth || memory->w < screen->w ||
                 memory->h < screen->h))
    Patch_Release();
  if (!memory) memory = create_bitmap_ex(depth, screen->w, screen->h);
  return memory;
}

// Row of the patch's area on the screen, read from the copy Allegro keeps of it (no server
// request). Reading selects no line for writing, so there is nothing to unwrite afterwards; an
// unwrite would send the driver's last written scanline once more.
const unsigned char *Screen_Row(const ScreenPatch &patch, int row, int bytes) {
  const uintptr_t line = bmp_read_line(screen, patch.y + row);
  return reinterpret_cast<const unsigned char *>(line + static_cast<uintptr_t>(patch.x) * bytes);
}

void Copy_From_Screen(const ScreenPatch &patch) {
  const int bytes = (bitmap_color_depth(screen) + 7) / 8;
  const size_t rowBytes = static_cast<size_t>(patch.w) * bytes;
  for (int row = 0; row < patch.h; ++row)
    std::memcpy(patch.bitmap->line[row], Screen_Row(patch, row, bytes), rowBytes);
}

// Changes further apart than this many rows alike on both sides go in separate blits: an image
// request costs about as much as sending this many more rows of pixels.
constexpr int ALIKE_ROWS_APART = 32;

// Rows top to bottom of the patch and bytes [first, last) of them, sent in one blit.
struct Box {
  int top, bottom;
  size_t first, last;
};

void Send(const ScreenPatch &patch, const Box &box, int bytes) {
  const int x0 = static_cast<int>(box.first / bytes);
  const int x1 = static_cast<int>((box.last + bytes - 1) / bytes);
  blit(patch.bitmap, screen, x0, box.top, patch.x + x0, patch.y + box.top, x1 - x0,
       box.bottom - box.top + 1);
}

}  // namespace

bool Patch_Begin(ScreenPatch *patch, int x, int y, int w, int h, bool keepScreen) {
  if (!patch || !screen) return false;
  *patch = ScreenPatch{screen, 0, 0, screen->w, screen->h};
  // Clipped to the screen in 64 bits: callers pass areas that may reach far past it.
  const long long x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  long long x1 = static_cast<long long>(x) + w, y1 = static_cast<long long>(y) + h;
  if (x1 > screen->w) x1 = screen->w;
  if (y1 > screen->h) y1 = screen->h;
  if (x0 >= x1 || y0 >= y1) return true;
  BITMAP *bitmap = Memory_For_Screen();
  if (!bitmap) return true;
  *patch = ScreenPatch{bitmap, static_cast<int>(x0), static_cast<int>(y0),
                       static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
  set_clip_rect(bitmap, 0, 0, patch->w - 1, patch->h - 1);
  if (keepScreen) Copy_From_Screen(*patch);
  return true;
}

void Patch_End(const ScreenPatch &patch) {
  if (!screen || !patch.bitmap || patch.bitmap == screen) return;
  // Pixels the screen already shows need not travel: a pass changes a few lines of the
  // overlay, and a still picture (the single-step pause) none. What differs goes out in the
  // smallest rectangle around it, split only where many alike rows lie between changes.
  const int bytes = (bitmap_color_depth(screen) + 7) / 8;
  const size_t rowBytes = static_cast<size_t>(patch.w) * bytes;
  Box box{-1, -1, rowBytes, 0};
  for (int row = 0; row < patch.h; ++row) {
    const unsigned char *now = Screen_Row(patch, row, bytes);
    const unsigned char *next = patch.bitmap->line[row];
    if (std::memcmp(now, next, rowBytes) == 0) {
      if (box.top >= 0 && row - box.bottom > ALIKE_ROWS_APART) {
        Send(patch, box, bytes);
        box = Box{-1, -1, rowBytes, 0};
      }
      continue;
    }
    if (box.top < 0) box.top = row;
    box.bottom = row;
    size_t a = 0, b = rowBytes;
    while (now[a] == next[a]) ++a;
    while (now[b - 1] == next[b - 1]) --b;
    if (a < box.first) box.first = a;
    if (b > box.last) box.last = b;
  }
  if (box.top >= 0) Send(patch, box, bytes);
}

void Patch_Release() {
  if (memory) destroy_bitmap(memory);
  memory = nullptr;
}

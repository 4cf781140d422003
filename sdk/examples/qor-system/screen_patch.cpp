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

// The screen's pixels of the area, read from the copy Allegro keeps of it (no server request).
// Reading selects no line for writing, so there is nothing to unwrite afterwards; an unwrite
// would send the driver's last written scanline once more.
void Copy_From_Screen(const ScreenPatch &patch) {
  const int bytes = (bitmap_color_depth(screen) + 7) / 8;
  const size_t rowBytes = static_cast<size_t>(patch.w) * bytes;
  for (int row = 0; row < patch.h; ++row) {
    const uintptr_t from =
        bmp_read_line(screen, patch.y + row) + static_cast<uintptr_t>(patch.x) * bytes;
    std::memcpy(patch.bitmap->line[row], reinterpret_cast<const void *>(from), rowBytes);
  }
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
  blit(patch.bitmap, screen, 0, 0, patch.x, patch.y, patch.w, patch.h);
}

void Patch_Release() {
  if (memory) destroy_bitmap(memory);
  memory = nullptr;
}

// text_cache.cpp: overlay text lines rendered once and copied while they stay the same.
#include "text_cache.h"

#include <allegro.h>

#include <string>

namespace {

// Wider texts are drawn each time: their rendering would cost more memory than it saves work.
constexpr int WIDEST_CACHED = 4096;

struct Rendering {
  BITMAP *bitmap;   // the text at (0, 0), exactly as wide and high as it draws
  std::string text;
  int fg, bg;
};

Rendering slots[TEXT_SLOTS];

bool Same(const Rendering &r, const char *text, int fg, int bg, int depth) {
  return r.bitmap && r.fg == fg && r.bg == bg && bitmap_color_depth(r.bitmap) == depth &&
         r.text == text;
}

// Renders the text into the slot; false when no bitmap could be had.
bool Render(Rendering &r, const char *text, int width, int height, int fg, int bg, int depth) {
  if (r.bitmap && (r.bitmap->w != width || r.bitmap->h != height ||
                   bitmap_color_depth(r.bitmap) != depth)) {
    destroy_bitmap(r.bitmap);
    r.bitmap = nullptr;
  }
  if (!r.bitmap) r.bitmap = create_bitmap_ex(depth, width, height);
  if (!r.bitmap) return false;
  textout_ex(r.bitmap, font, text, 0, 0, fg, bg);
  r.text = text;
  r.fg = fg;
  r.bg = bg;
  return true;
}

}  // namespace

void Text_Out_Cached(BITMAP *target, unsigned slot, const char *text, int x, int y, int fg,
                     int bg) {
  const int width = text_length(font, text);
  if (slot >= TEXT_SLOTS || bg < 0 || width <= 0 || width > WIDEST_CACHED) {
    textout_ex(target, font, text, x, y, fg, bg);
    return;
  }
  Rendering &r = slots[slot];
  const int depth = bitmap_color_depth(target);
  if (!Same(r, text, fg, bg, depth) && !Render(r, text, width, text_height(font), fg, bg, depth)) {
    textout_ex(target, font, text, x, y, fg, bg);
    return;
  }
  blit(r.bitmap, target, 0, 0, x, y, r.bitmap->w, r.bitmap->h);
}

void Text_Cache_Release() {
  for (Rendering &r : slots) {
    if (r.bitmap) destroy_bitmap(r.bitmap);
    r = Rendering{nullptr, std::string(), 0, 0};
  }
}

// viewer_bare_loop.cpp: the yardstick of the viewer's frame-rate benchmark: per pass one 800x600
// 8-bit blit and a fixed number of text lines, straight to the screen, nothing else.
#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double Now_Seconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace

// Usage: viewer_bare_loop SECONDS LINES. Prints "passes N seconds S rate R".
int main(int argc, char **argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  int lines = argc > 2 ? std::atoi(argv[2]) : 16;
  if (seconds <= 0 || lines < 0 || lines > 60) {
    std::fprintf(stderr, "usage: viewer_bare_loop SECONDS LINES(0..60)\n");
    return 2;
  }
  if (allegro_init() != 0) {
    std::fprintf(stderr, "no display: %s\n", allegro_error);
    return 1;
  }
  install_keyboard();
  set_color_depth(8);
  if (set_gfx_mode(GFX_AUTODETECT, 800, 600, 800, 600) != 0) {
    std::fprintf(stderr, "no 800x600x8 mode: %s\n", allegro_error);
    return 1;
  }
  PALETTE grey;
  for (int i = 0; i < 256; i++) grey[i].r = grey[i].g = grey[i].b = static_cast<unsigned char>(i / 4);
  set_palette(grey);
  BITMAP *frame = create_bitmap_ex(8, 800, 600);
  if (!frame) {
    std::fprintf(stderr, "no bitmap\n");
    return 1;
  }
  int lineHeight = text_height(font) + 1;
  unsigned long passes = 0;
  double start = Now_Seconds();
  double elapsed = 0;
  while (elapsed < seconds) {
    // A new picture every pass, as a moving gradient would give.
    for (int y = 0; y < frame->h; y++) {
      unsigned char *row = frame->line[y];
      for (int x = 0; x < frame->w; x++) row[x] = static_cast<unsigned char>(x + y + passes);
    }
    acquire_screen();
    blit(frame, screen, 0, 0, 0, 0, frame->w, frame->h);
    release_screen();
    for (int i = 0; i < lines; i++)
      textprintf_ex(screen, font, 0, SCREEN_H - (lines - i) * lineHeight, 255, 0,
                    "Line %2d pass %10lu  the same length as an overlay line %20s", i, passes, "");
    passes++;
    elapsed = Now_Seconds() - start;
  }
  destroy_bitmap(frame);
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
  std::printf("passes %lu seconds %.3f rate %.1f\n", passes, elapsed,
              static_cast<double>(passes) / elapsed);
  return 0;
}
END_OF_MAIN()

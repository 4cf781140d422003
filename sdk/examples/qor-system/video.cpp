// video.cpp: screen size, video mode flags, graphics mode entry and the colour slots.
#include "video.h"

#include <allegro.h>

#include <sys/prctl.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "screen_patch.h"
#include "text_cache.h"
#include "viewer.h"

namespace {

constexpr ColourSlots START_COLOURS = {255, 0, 0, 0, 0};
constexpr ColourSlots GREY_COLOURS = {255, 0, 0, 255, 255};

struct ModeFlags {
  const char *name;
  bool full;
  bool colour;
};

// Indexed by the video mode code (GRAY_FULL to COLOR_WIN).
const ModeFlags MODE_FLAGS[] = {
    {"GRAY_FULL", true, false},
    {"GRAY_WIN", false, false},
    {"COLOR_FULL", true, true},
    {"COLOR_WIN", false, true},
};

struct Candidate {
  int depth;   // 0 ends a table
  int driver;
  const char *driverName;
};

const Candidate GRAY_FULL_CANDIDATES[] = {
    {8, GFX_AUTODETECT, "GFX_AUTODETECT"},
    {0, 0, nullptr},
};
const Candidate WINDOW_CANDIDATES[] = {
    {8, GFX_AUTODETECT_WINDOWED, "GFX_AUTODETECT_WINDOWED"},
    {0, 0, nullptr},
};
const Candidate COLOR_FULL_CANDIDATES[] = {
    {24, GFX_AUTODETECT, "GFX_AUTODETECT"},
    {32, GFX_AUTODETECT, "GFX_AUTODETECT"},
    {16, GFX_AUTODETECT, "GFX_AUTODETECT"},
    {0, 0, nullptr},
};

// COLOR_WIN deliberately shares the 8-bit window table: a windowed colour mode is grey.
const Candidate *const CANDIDATES[] = {
    GRAY_FULL_CANDIDATES,
    WINDOW_CANDIDATES,
    COLOR_FULL_CANDIDATES,
    WINDOW_CANDIDATES,
};

// The table entry of the current mode; a mode outside the four (set directly by a caller)
// reads as GRAY_FULL rather than past the table.
const ModeFlags &Current_Flags() {
  return MODE_FLAGS[video.mode <= COLOR_WIN ? video.mode : GRAY_FULL];
}

uint32_t Mode_From_Flags(bool full, bool colour) {
  if (colour) return full ? COLOR_FULL : COLOR_WIN;
  return full ? GRAY_FULL : GRAY_WIN;
}

// Allegro sizes the screen's pixel memory (up to 4 bytes a pixel, whatever the depth asked
// for) in int arithmetic and crashes on a size that overflows it, and its X11 driver aborts
// the process on a window with one side 0 (both 0 picks the driver's default size), which a
// side above 65535 also becomes in the X protocol's 16 bits, so such sizes are refused like
// any mode the driver cannot set.
bool Size_Fits_Allegro(uint32_t width, uint32_t height) {
  if (width > 65535 || height > 65535) return false;
  if ((width == 0) != (height == 0)) return false;
  return static_cast<uint64_t>(width) * height * 4 <= static_cast<uint64_t>(INT_MAX);
}

void Set_Grey_Palette() {
  PALETTE palette;
  for (int i = 0; i < PAL_SIZE; ++i) {
    palette[i].r = palette[i].g = palette[i].b = static_cast<unsigned char>(i / 4);
    palette[i].filler = 0;
  }
  set_palette(palette);
}

}  // namespace

VideoState video = {800, 600, GRAY_FULL, 0, START_COLOURS};

void Video_Reset() {
  video.width = 800;
  video.height = 600;
  video.mode = GRAY_FULL;
  video.depth = 0;
  video.colours = START_COLOURS;
}

void Video_Set_Size(uint32_t width, uint32_t height) {
  video.width = width;
  video.height = height;
}

void Video_Select_Mode(uint32_t code) {
  Console_Printf("Video_Select_Mode %u\n", code);
  bool full = Current_Flags().full;
  bool colour = Current_Flags().colour;
  switch (code) {
    case GRAY_FULL:
    case GRAY_WIN:
    case COLOR_FULL:
    case COLOR_WIN:
      full = MODE_FLAGS[code].full;
      colour = MODE_FLAGS[code].colour;
      break;
    case GRAY: colour = false; break;
    case COLOR: colour = true; break;
    case WIN: full = false; break;
    case FULL: full = true; break;
    default: break;
  }
  video.mode = Mode_From_Flags(full, colour);
}

const char *Video_Mode_Text() {
  static char text[256];
  std::snprintf(text, sizeof text, "%ux%u %s", video.width, video.height,
                Current_Flags().name);
  return text;
}

int Video_Install_Allegro() {
  // A failed prctl only leaves the default slack: the thread then wakes as often as it asks.
  prctl(PR_SET_TIMERSLACK, ALLEGRO_THREAD_SLACK_MS * 1000000UL, 0UL, 0UL, 0UL);
  const int result = install_allegro(SYSTEM_AUTODETECT, &errno, atexit);
  prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);   // 0: this thread's default again
  return result;
}

void Video_Open() {
  video.depth = 0;
  const Candidate *table = CANDIDATES[video.mode <= COLOR_WIN ? video.mode : GRAY_FULL];
  for (const Candidate *c = table; c->depth != 0; ++c) {
    set_color_depth(c->depth);
    Console_Printf("Mode (%ux%ux%u) %s...", video.width, video.height,
                   static_cast<unsigned>(c->depth), c->driverName);
    bool usable = Size_Fits_Allegro(video.width, video.height);
    int w = static_cast<int>(video.width);
    int h = static_cast<int>(video.height);
    if (usable && set_gfx_mode(c->driver, w, h, w, h) == 0) {
      Console_Printf("OK\n");
      video.depth = c->depth;
      break;
    }
    Console_Printf("Not awailable\n");
  }

  if (video.depth == 0) {
    Console_Printf("Unable setup video mode.\n");
  } else if (video.depth == 8) {
    Set_Grey_Palette();
    video.colours = GREY_COLOURS;
  } else {
    video.colours.text = makeacol(255, 255, 0, 0);
    video.colours.background = makeacol(0, 0, 0, 0);
    video.colours.selectionText = makeacol(255, 255, 255, 0);
    video.colours.selectionBackground = makeacol(0, 127, 127, 0);
    video.colours.frame = makeacol(255, 255, 255, 0);
  }
}

void Video_Close() {
  // Made for the screen that ends here.
  Patch_Release();
  Text_Cache_Release();
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

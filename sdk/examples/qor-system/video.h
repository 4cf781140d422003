// video.h: screen size, video mode, graphics mode entry and the colour slots.
#ifndef QOR_SYSTEM_VIDEO_H
#define QOR_SYSTEM_VIDEO_H

#include <cstdint>

enum VideoModeCode : uint32_t {
  GRAY_FULL = 0,
  GRAY_WIN = 1,
  COLOR_FULL = 2,
  COLOR_WIN = 3,
  // Selectors: each changes one flag of the current mode.
  GRAY = 4,
  COLOR = 5,
  WIN = 6,
  FULL = 7,
};

// Allegro colour values in the screen's format.
struct ColourSlots {
  int text;
  int background;
  int selectionText;
  int selectionBackground;
  int frame;
};

struct VideoState {
  uint32_t width;        // 800 at start
  uint32_t height;       // 600 at start
  uint32_t mode;         // GRAY_FULL at start
  int depth;             // screen colour depth: 0 until Video_Open found a mode
  ColourSlots colours;   // start values until Video_Open set a mode
};

extern VideoState video;

void Video_Reset();                       // start values (tests)
void Video_Set_Size(uint32_t width, uint32_t height);
void Video_Select_Mode(uint32_t code);
const char *Video_Mode_Text();
// install_allegro for the display, its background thread (window and keyboard events) made
// with a timer slack of ALLEGRO_THREAD_SLACK_MS. That thread wakes every millisecond only to
// handle the events every ten; with the slack the kernel wakes it about every 20 ms, so a key
// or an expose waits at most that long, and the idle viewer costs far less. The calling
// thread's own slack is put back. Returns install_allegro's result.
int Video_Install_Allegro();
void Video_Open();
void Video_Close();

constexpr unsigned long ALLEGRO_THREAD_SLACK_MS = 19;

#endif

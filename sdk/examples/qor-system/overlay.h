// overlay.h: frame display, attributes, histogram, status lines and frame rate.
#ifndef QOR_SYSTEM_OVERLAY_H
#define QOR_SYSTEM_OVERLAY_H

#include <cstdint>

struct BITMAP;

struct Overlay {
  uint32_t bins[256];      // histogram, kept between counts
  int lineHeight;          // text height + 1, fixed when the cycle starts
  uint32_t fpsStart;       // millisecond clock at the window's start, 0 = not started
  uint32_t fpsFrames;
  int fpsWhite;
};

extern Overlay overlay;

// Gap between the bars' tops and the text they stand on is painted over this high.
constexpr int HISTOGRAM_CLEAR_HEIGHT = 20;
// Highest bar after scaling.
constexpr uint32_t HISTOGRAM_FULL = 256;

// Start values: bins 0 (no bars before the first count), frame rate not started, line height
// from the default font. The cycle calls it once when it starts.
void Overlay_Reset();

// Screen size as drawn on: the screen bitmap's, 0 while there is none. Every routine below
// draws nothing on the screen while there is no screen bitmap.
int Overlay_Screen_W();
int Overlay_Screen_H();

// Screen height - (control entries + 4) * line height; worked out on every call.
int Overlay_Top();

// READ step, after the transfer: counts the display buffer's bitmap when it exists, the
// histogram flag is on and the stretch flag off; otherwise the bins keep the last count.
void Histogram_Count_Frame();
// Counts one bitmap under its lock (8-bit only; other depths give all bins 0), then scales.
// A null bitmap leaves the bins alone.
void Histogram_Count(BITMAP *bitmap);
// Scales in place: count * 256 / reference, capped at 256, the reference being the largest
// count below the maximum. Without such a count (every non-empty bin equal) the maximum is the
// reference, so those bins show full height; all bins 0 stay 0.
void Histogram_Scale(uint32_t bins[256]);
// Every pass after the keys: the bars in two passes on the screen, while the histogram flag
// is on (nothing otherwise).
void Histogram_Draw();

// One attribute's line ("ObjId %u: Type:%s (%x) Val:" and the value text), bounded by size.
// Asks the library for the type's name (standard list 7).
void Attribute_Format(char *buffer, unsigned size, uint32_t type, uint32_t objectId,
                      uint32_t value);
// The value text alone, by attribute type, bounded by size.
void Attribute_Value_Text(char *buffer, unsigned size, uint32_t type, uint32_t value);
// READ step, after the histogram count: asks the input interface (viewer.inputData, with
// &viewer.error) for the block's attribute total and then each attribute in index order, and
// draws "Total %u attribute" at (0, 0) and attribute i at (0, 10 + 10 i): on the screen with
// the attribute view flag on, else into the display buffer's bitmap (nothing without one).
// These statuses never reach viewer.status: they do not stop the frame. A failed total counts
// as 0 attributes; a failed attribute is drawn with type, id and value 0.
void Attributes_Draw();

// READ step, after the block has ended: the message buffer centred while the bad-type flag is
// set; else, with the attribute view flag off, the display bitmap framed 1:1 at (1, 1) or
// stretched to the screen by the stretch flag.
void Frame_Show();
// "Press enter for next frame..." at the screen's centre, colour 255 on 0.
void Single_Step_Prompt();

// The frame-rate window at time now (ms). Returns true with the rate to show; false for the
// first frame (window started) and when no time has passed. Restarts the window after 3 s.
bool Frame_Rate_Tick(uint32_t now, double *fps);
// After every completed frame: Frame_Rate_Tick on the clock, then "FPS" and "dT" top right.
void Frame_Rate_Draw();

// Status line 0 to 3 ("State", "Transport", "Screen", "Device") into buffer, bounded by size.
// Lines 2 and 3 have the library write the header's text into viewer.textBuffer first, so
// buffer must not be viewer.textBuffer.
void Status_Line_Format(char *buffer, unsigned size, int line);
// Every pass after the bars (unless the loop is ending): the four status lines from the
// overlay top, then Control_Draw_Line for each control entry, one line height apart.
void Status_Lines_Draw();

#endif

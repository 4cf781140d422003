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

void Overlay_Reset();
int Overlay_Top();                                     // screen height - (entries + 4) * line height
void Histogram_Count(BITMAP *bitmap);
void Histogram_Scale(uint32_t bins[256]);              // reference scaling in place
void Histogram_Draw();
// Formats an attribute's line into buffer (bounded by size).
void Attribute_Format(char *buffer, unsigned size, uint32_t type, uint32_t objectId, uint32_t value);
void Attribute_Value_Text(char *buffer, unsigned size, uint32_t type, uint32_t value);
void Attributes_Draw();                                // "Total %u attribute" and one line each
void Frame_Show();
void Single_Step_Prompt();
void Frame_Rate_Draw();
void Status_Lines_Draw();                              // four status lines and the control rows

#endif

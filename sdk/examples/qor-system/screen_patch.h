// screen_patch.h: screen areas drawn in a memory bitmap and copied to the screen in one blit.
#ifndef QOR_SYSTEM_SCREEN_PATCH_H
#define QOR_SYSTEM_SCREEN_PATCH_H

struct BITMAP;

// A screen area being drawn off the screen. Pixel (0, 0) of bitmap stands for screen pixel
// (x, y); what is drawn at screen (sx, sy) goes to bitmap (sx - x, sy - y), clipped to w x h.
struct ScreenPatch {
  BITMAP *bitmap;   // memory bitmap of the screen's depth, shared by all patches
  int x, y, w, h;   // the area on the screen, inside it
};

// Starts a patch for the screen rectangle (x, y, w, h), clipped to the screen. With keepScreen
// the screen's pixels are copied in first, for an area the drawing does not paint whole (gaps
// between lines, transparent parts, bars of different heights), so that the blit leaves them as
// they are. When the area is off the screen or no memory bitmap can be had, the patch is the
// screen itself (x = y = 0): the drawing then goes straight to the screen, as it always did.
// False only without a screen. One patch at a time: they share one memory bitmap.
bool Patch_Begin(ScreenPatch *patch, int x, int y, int w, int h, bool keepScreen);
// Copies a memory patch to its place on the screen: what differs from the screen's pixels, in
// one blit (one image request on X11) of the smallest rectangle around it, none when nothing
// does; changes more than 32 alike rows apart go in a blit each.
void Patch_End(const ScreenPatch &patch);
// Frees the memory bitmap (the graphics mode ends); the next patch makes a new one.
void Patch_Release();

#endif

// text_cache.h: overlay text lines rendered once and copied while they stay the same.
#ifndef QOR_SYSTEM_TEXT_CACHE_H
#define QOR_SYSTEM_TEXT_CACHE_H

struct BITMAP;

// Slots: the four status lines, then two per control row (its text and, for an output
// interface, the data type beside the label).
constexpr unsigned TEXT_SLOT_STATUS = 0;
constexpr unsigned TEXT_SLOT_ROWS = 4;
constexpr unsigned TEXT_SLOTS = TEXT_SLOT_ROWS + 2 * 200;

// Draws like textout_ex(target, font, text, x, y, fg, bg). A text with a background that the
// slot drew last time in the same colours and depth is copied from that rendering, which gives
// the same pixels without drawing it glyph by glyph again. Transparent texts, slots out of
// range and very long texts are drawn directly.
void Text_Out_Cached(BITMAP *target, unsigned slot, const char *text, int x, int y, int fg,
                     int bg);
// Frees every rendering (the graphics mode ends).
void Text_Cache_Release();

#endif

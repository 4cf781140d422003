// line_display.h: the line bitmap that holds one block and the strips drawn from it.
#ifndef QOR_LINE_DISPLAY_H
#define QOR_LINE_DISPLAY_H

#include <cstdint>

struct BITMAP;

// Lines of a block shown per half strip; a strip is two halves high.
enum { LINE_HALF_STRIP = 30, LINE_STRIP = 2 * LINE_HALF_STRIP };

// Whether a block of lineSize x linesInBlock bytes can be held by one 8-bit memory bitmap.
bool Line_Geometry_Fits(uint32_t lineSize, uint32_t linesInBlock);

// A memory bitmap of lineSize x linesInBlock in the current depth, or null.
BITMAP *Line_Bitmap_Create(uint32_t lineSize, uint32_t linesInBlock);

// Strip of block n on dest: the block's first and last 30 lines and the white markers.
void Line_Strip_Draw(BITMAP *dest, BITMAP *lines, int n, int screenWidth, int white);

#endif

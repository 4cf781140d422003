// line_display.cpp: creates the line bitmap and draws one block's strip on the screen.
#include "line_display.h"

#include <allegro.h>
#include <climits>

bool Line_Geometry_Fits(uint32_t lineSize, uint32_t linesInBlock) {
  // Allegro sizes the pixel memory as an int product; four bytes per pixel is its widest depth.
  const uint64_t bytes = uint64_t(lineSize) * linesInBlock * 4u;
  return lineSize > 0 && linesInBlock > 0 && bytes <= uint64_t(INT_MAX);
}

BITMAP *Line_Bitmap_Create(uint32_t lineSize, uint32_t linesInBlock) {
  if (!Line_Geometry_Fits(lineSize, linesInBlock)) return nullptr;
  return create_bitmap(int(lineSize), int(linesInBlock));
}

void Line_Strip_Draw(BITMAP *dest, BITMAP *lines, int n, int screenWidth, int white) {
  const int top = LINE_STRIP * n;
  const int middle = top + LINE_HALF_STRIP;
  // blit clips both rectangles, so a block under 30 lines shows only the lines it has.
  blit(lines, dest, 0, 0, 0, top, screenWidth, LINE_HALF_STRIP);
  blit(lines, dest, 0, lines->h - LINE_HALF_STRIP, 0, middle, screenWidth, LINE_HALF_STRIP);
  hline(dest, 0, top, 100, white);
  hline(dest, screenWidth - 100, top, screenWidth, white);
  hline(dest, 0, middle, screenWidth, white);
}

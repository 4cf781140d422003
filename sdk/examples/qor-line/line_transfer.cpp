// line_transfer.cpp: one transfer per block into the line bitmap, row by row only if needed.
#include "line_transfer.h"

#include <allegro.h>

bool Line_Rows_Contiguous(BITMAP *bmp) {
  const long rowBytes = long(bmp->w) * ((bitmap_color_depth(bmp) + 7) / 8);
  for (int y = 1; y < bmp->h; ++y) {
    if (bmp->line[y] != bmp->line[y - 1] + rowBytes) return false;
  }
  return true;
}

int Line_Block_Transfer(QorHandle input, BITMAP *bmp, ErrorData *err) {
  uint64_t transferred = 0;
  if (Line_Rows_Contiguous(bmp)) {
    const uint64_t size = uint64_t(bmp->w) * uint64_t(bmp->h);
    return QorVoz3InDInterfaceTransfer(input, bmp->line[0], size, &transferred, err);
  }
  int status = 0;
  for (int y = 0; y < bmp->h && status <= 0; ++y) {
    status = QorVoz3InDInterfaceTransfer(input, bmp->line[y], uint64_t(bmp->w), &transferred, err);
  }
  return status;
}

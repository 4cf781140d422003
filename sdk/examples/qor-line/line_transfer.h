// line_transfer.h: reads one block of lines from the input straight into the line bitmap.
#ifndef QOR_LINE_TRANSFER_H
#define QOR_LINE_TRANSFER_H

#include "qorlib3.h"

struct BITMAP;

// True when every row of bmp follows the previous one with nothing between them.
bool Line_Rows_Contiguous(BITMAP *bmp);

// Transfers width x height bytes of the open block into bmp: in one call when its rows are
// back to back, otherwise one call per row. Returns the first failing status, else the last.
int Line_Block_Transfer(QorHandle input, BITMAP *bmp, ErrorData *err);

#endif

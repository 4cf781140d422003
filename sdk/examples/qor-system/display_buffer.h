// display_buffer.h: the screen-side image and the data header that describes it.
#ifndef QOR_SYSTEM_DISPLAY_BUFFER_H
#define QOR_SYSTEM_DISPLAY_BUFFER_H

#include <cstdint>

#include "qorlib3.h"

struct BITMAP;

struct DisplayBuffer {
  QorHandle header;
  BITMAP *bitmap;      // null while no depth is known or the size is zero
  uint32_t lineSize;   // bytes of one row as the library delivers it
};

DisplayBuffer *Display_Buffer_Create(uint32_t width, uint32_t height);
DisplayBuffer *Display_Buffer_Resize(DisplayBuffer *buffer, uint32_t width, uint32_t height);
void Display_Buffer_Release(DisplayBuffer *buffer);

#endif

// display_buffer.cpp: placeholder, being written.
#include "display_buffer.h"

DisplayBuffer * Display_Buffer_Create(uint32_t, uint32_t) { return nullptr; }
DisplayBuffer * Display_Buffer_Resize(DisplayBuffer *, uint32_t, uint32_t) { return nullptr; }
void Display_Buffer_Release(DisplayBuffer *) { }

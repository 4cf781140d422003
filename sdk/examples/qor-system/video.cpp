// video.cpp: placeholder, being written.
#include "video.h"

VideoState video;
void Video_Reset() { }
void Video_Set_Size(uint32_t, uint32_t) { }
void Video_Select_Mode(uint32_t) { }
const char * Video_Mode_Text() { return "?"; }
void Video_Open() { }
void Video_Close() { }

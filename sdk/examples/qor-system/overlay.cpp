// overlay.cpp: placeholder, being written.
#include "overlay.h"

Overlay overlay;
void Overlay_Reset() { }
int Overlay_Top() { return 0; }
void Histogram_Count(BITMAP *) { }
void Histogram_Scale(uint32_t*) { }
void Histogram_Draw() { }
void Attribute_Format(char *, unsigned, uint32_t, uint32_t, uint32_t) { }
void Attribute_Value_Text(char *, unsigned, uint32_t, uint32_t) { }
void Attributes_Draw() { }
void Frame_Show() { }
void Single_Step_Prompt() { }
void Frame_Rate_Draw() { }
void Status_Lines_Draw() { }

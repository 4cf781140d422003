// bmp_export.cpp: placeholder, being written.
#include "bmp_export.h"

void Image_Save_Bmp(BITMAP *) { }
int Bmp_Write(const char *, BITMAP *, const RGB *) { return 0; }

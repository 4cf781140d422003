// image_upload.cpp: placeholder, being written.
#include "image_upload.h"

int Image_Upload(QorHandle) { return 0; }
void Image_To_Grey(BITMAP *, const RGB *, uint8_t *, uint32_t, uint32_t) { }

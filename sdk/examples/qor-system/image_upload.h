// image_upload.h: sending a BMP image, converted to grey, to the output data interface.
#ifndef QOR_SYSTEM_IMAGE_UPLOAD_H
#define QOR_SYSTEM_IMAGE_UPLOAD_H

#include <cstdint>

#include "qorlib3.h"

struct BITMAP;
struct RGB;

int Image_Upload(QorHandle output);
// Reads a BMP file once and loads those bytes in their own colour depth after the check;
// null when the file cannot be read or the check refuses it (*refusal then says why) or the
// loader fails (*refusal null). The name's extension plays no part.
BITMAP *Image_Load(const char *path, RGB *palette, const char **refusal);
// Grey bytes of width x height from image (points outside it read as -1), rows top-down.
void Image_To_Grey(BITMAP *image, const RGB *palette, uint8_t *grey, uint32_t width,
                   uint32_t height);

#endif

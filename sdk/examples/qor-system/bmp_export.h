// bmp_export.h: saving the display bitmap as an uncompressed BMP file.
#ifndef QOR_SYSTEM_BMP_EXPORT_H
#define QOR_SYSTEM_BMP_EXPORT_H

struct BITMAP;
struct RGB;

void Image_Save_Bmp(BITMAP *bitmap);
// Returns Allegro's error number when the file was closed, or when opening it failed.
int Bmp_Write(const char *path, BITMAP *bitmap, const RGB *palette);

#endif

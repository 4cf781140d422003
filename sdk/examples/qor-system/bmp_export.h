// bmp_export.h: saving the display bitmap as an uncompressed BMP file.
#ifndef QOR_SYSTEM_BMP_EXPORT_H
#define QOR_SYSTEM_BMP_EXPORT_H

struct BITMAP;
struct RGB;

// Size of the save path kept between saves, and the path size handed to the dialog.
constexpr int BMP_SAVE_PATH_SIZE = 256;
constexpr int BMP_DIALOG_PATH_SIZE = 250;

void Image_Save_Bmp(BITMAP *bitmap);
// Returns Allegro's error number when the file was closed, or when opening it failed.
int Bmp_Write(const char *path, BITMAP *bitmap, const RGB *palette);

// The export palette: entry i is (i, i, i), so an 8-bit file holds the grey values unchanged.
void Bmp_Fill_Export_Palette(RGB *palette);

// Ends path at the separator in front of its file name, so the next dialog opens in the
// folder of the last save; a bare file name stays whole and a root folder keeps its "/".
void Bmp_Path_Cut(char *path);

#endif

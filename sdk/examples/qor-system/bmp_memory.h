// bmp_memory.h: Allegro's BMP loader fed from bytes in memory instead of a named file.
#ifndef QOR_SYSTEM_BMP_MEMORY_H
#define QOR_SYSTEM_BMP_MEMORY_H

#include <cstddef>
#include <cstdint>

struct BITMAP;
struct RGB;

// The image of these BMP bytes in the depth the loader gives (colour conversion as set),
// its colour table in palette; null when the loader fails.
BITMAP *Bmp_Load_Memory(const uint8_t *bytes, size_t size, RGB *palette);

#endif

// bmp_export.cpp: F2's save dialog and the BMP writer (8-bit grey or 24-bit files).
#include "bmp_export.h"

#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Kept for the program's life so the next save starts where the last one went.
char savePath[BMP_SAVE_PATH_SIZE];

constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t COLOUR_TABLE_SIZE = 256 * 4;

int Error_Number() {
  return allegro_errno ? *allegro_errno : errno;
}

// The reference way to gather a row: one getpixel per pixel. Used for bitmaps whose rows
// cannot be read directly (screen, video memory) and when no row buffer can be had.
void Write_Row_Pixels(PACKFILE *file, BITMAP *bitmap, int y, int bits, uint32_t padding) {
  const int depth = bitmap_color_depth(bitmap);
  for (int x = 0; x < bitmap->w; x++) {
    const int c = getpixel(bitmap, x, y);
    if (bits == 8) {
      pack_putc(c, file);
    } else {
      pack_putc(getb_depth(depth, c), file);
      pack_putc(getg_depth(depth, c), file);
      pack_putc(getr_depth(depth, c), file);
    }
  }
  for (uint32_t i = 0; i < padding; i++) pack_putc(0, file);
}

// Fills row (pixel bytes only) from the memory row of bitmap, giving the bytes that
// Write_Row_Pixels would write: a memory bitmap's getpixel reads these same words.
void Gather_Row(BITMAP *bitmap, int y, uint8_t *row) {
  const int w = bitmap->w;
  const uint8_t *src = bitmap->line[y];
  switch (bitmap_color_depth(bitmap)) {
    case 8:
      std::memcpy(row, src, static_cast<size_t>(w));
      break;
    case 15:
    case 16: {
      const bool is15 = bitmap_color_depth(bitmap) == 15;
      for (int x = 0; x < w; x++) {
        uint16_t c;
        std::memcpy(&c, src + 2 * x, 2);
        row[3 * x + 0] = static_cast<uint8_t>(is15 ? getb15(c) : getb16(c));
        row[3 * x + 1] = static_cast<uint8_t>(is15 ? getg15(c) : getg16(c));
        row[3 * x + 2] = static_cast<uint8_t>(is15 ? getr15(c) : getr16(c));
      }
      break;
    }
    case 24: {
      const int rs = _rgb_r_shift_24, gs = _rgb_g_shift_24, bs = _rgb_b_shift_24;
      if (rs == 16 && gs == 8 && bs == 0) {  // memory already holds blue, green, red
        std::memcpy(row, src, static_cast<size_t>(w) * 3);
        break;
      }
      for (int x = 0; x < w; x++) {
        const uint8_t *p = src + 3 * x;
        const uint32_t c = p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
        row[3 * x + 0] = static_cast<uint8_t>(c >> bs);
        row[3 * x + 1] = static_cast<uint8_t>(c >> gs);
        row[3 * x + 2] = static_cast<uint8_t>(c >> rs);
      }
      break;
    }
    default: {  // 32
      const int rs = _rgb_r_shift_32, gs = _rgb_g_shift_32, bs = _rgb_b_shift_32;
      for (int x = 0; x < w; x++) {
        uint32_t c;
        std::memcpy(&c, src + 4 * x, 4);
        row[3 * x + 0] = static_cast<uint8_t>(c >> bs);
        row[3 * x + 1] = static_cast<uint8_t>(c >> gs);
        row[3 * x + 2] = static_cast<uint8_t>(c >> rs);
      }
      break;
    }
  }
}

// The file goes through Allegro's packfile calls over a plain C stream: the normal packfile
// copies byte by byte and would cost more than gathering the rows.
void Note_Error() {
  if (allegro_errno && allegro_errno != &errno) *allegro_errno = errno;
}
int Stream_Close(void *stream) {
  const int result = std::fclose(static_cast<FILE *>(stream));
  if (result != 0) Note_Error();
  return result;
}
int Stream_Getc(void *) { return EOF; }
int Stream_Ungetc(int, void *) { return EOF; }
long Stream_Read(void *, long, void *) { return 0; }
int Stream_Putc(int c, void *stream) {
  const int result = std::fputc(c, static_cast<FILE *>(stream));
  if (result == EOF) Note_Error();
  return result;
}
long Stream_Write(const void *p, long n, void *stream) {
  const size_t written = std::fwrite(p, 1, static_cast<size_t>(n), static_cast<FILE *>(stream));
  if (written != static_cast<size_t>(n)) Note_Error();
  return static_cast<long>(written);
}
int Stream_Seek(void *, int) { return -1; }
int Stream_Eof(void *stream) { return std::feof(static_cast<FILE *>(stream)); }
int Stream_Error(void *stream) { return std::ferror(static_cast<FILE *>(stream)); }

PACKFILE_VTABLE streamVtable = {Stream_Close, Stream_Getc,  Stream_Ungetc,
                                Stream_Read,  Stream_Putc,  Stream_Write,
                                Stream_Seek,  Stream_Eof,   Stream_Error};

PACKFILE *Open_For_Writing(const char *path) {
  FILE *stream = std::fopen(path, "wb");
  if (!stream) {
    Note_Error();
    return nullptr;
  }
  PACKFILE *file = pack_fopen_vtable(&streamVtable, stream);
  if (!file) std::fclose(stream);
  return file;
}

}  // namespace

void Bmp_Path_Cut(char *path) {
  char *name = get_filename(path);
  if (name == path) return;
  char *separator = name - 1;
  // A file straight in the root keeps its "/": cutting it away would leave no folder at all.
  if (separator == path) separator[1] = '\0';
  else *separator = '\0';
}

void Bmp_Fill_Export_Palette(RGB *palette) {
  for (int i = 0; i < 256; i++) {
    palette[i].r = palette[i].g = palette[i].b = static_cast<unsigned char>(i);
    palette[i].filler = 0;
  }
}

void Image_Save_Bmp(BITMAP *bitmap) {
  char before[BMP_SAVE_PATH_SIZE];
  const size_t kept = strnlen(savePath, 254);
  std::memcpy(before, savePath, kept);
  before[kept] = '\0';

  // The dialog draws on the visible screen and, with no mouse installed, takes its focus
  // from the keyboard alone; neither setting changes what is saved.
  gui_set_screen(nullptr);
  gui_mouse_focus = 0;

  Bmp_Path_Cut(savePath);
  if (file_select_ex("Save image to BMP", savePath, "BMP", BMP_DIALOG_PATH_SIZE, 0, 0)) {
    RGB palette[256];
    Bmp_Fill_Export_Palette(palette);
    Bmp_Write(savePath, bitmap, palette);  // a failed save is not reported: F2 can be pressed again
  } else {
    std::strcpy(savePath, before);
  }
}

int Bmp_Write(const char *path, BITMAP *bitmap, const RGB *palette) {
  const int bits = bitmap_color_depth(bitmap) == 8 ? 8 : 24;
  const uint32_t width = static_cast<uint32_t>(bitmap->w);
  const uint32_t height = static_cast<uint32_t>(bitmap->h);
  const uint32_t pixelBytes = width * static_cast<uint32_t>(bits) / 8;
  const uint32_t padding = (4 - pixelBytes % 4) % 4;
  const uint32_t rowSize = pixelBytes + padding;
  const uint32_t imageSize = rowSize * height;
  const uint32_t tableSize = bits == 8 ? COLOUR_TABLE_SIZE : 0;
  const uint32_t dataOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + tableSize;

  // The number returned says how this write went, not what an earlier call left behind.
  errno = 0;
  if (allegro_errno) *allegro_errno = 0;
  PACKFILE *file = Open_For_Writing(path);
  if (!file) return Error_Number();

  pack_iputw(0x4D42, file);
  pack_iputl(static_cast<int32_t>(dataOffset + imageSize), file);
  pack_iputw(0, file);
  pack_iputw(0, file);
  pack_iputl(static_cast<int32_t>(dataOffset), file);
  pack_iputl(static_cast<int32_t>(INFO_HEADER_SIZE), file);
  pack_iputl(static_cast<int32_t>(width), file);
  pack_iputl(static_cast<int32_t>(height), file);
  pack_iputw(1, file);
  pack_iputw(bits, file);
  pack_iputl(0, file);
  pack_iputl(static_cast<int32_t>(imageSize), file);
  pack_iputl(0, file);
  pack_iputl(0, file);
  pack_iputl(bits == 8 ? 256 : 0, file);
  pack_iputl(bits == 8 ? 256 : 0, file);

  if (bits == 8) {
    uint8_t table[COLOUR_TABLE_SIZE];
    for (int i = 0; i < 256; i++) {
      table[4 * i + 0] = palette[i].b;
      table[4 * i + 1] = palette[i].g;
      table[4 * i + 2] = palette[i].r;
      table[4 * i + 3] = 0;
    }
    pack_fwrite(table, COLOUR_TABLE_SIZE, file);
  }

  uint8_t *row = is_memory_bitmap(bitmap) && rowSize > 0
                     ? static_cast<uint8_t *>(std::calloc(rowSize, 1))
                     : nullptr;
  for (int y = bitmap->h - 1; y >= 0; y--) {
    if (row) {
      Gather_Row(bitmap, y, row);
      pack_fwrite(row, static_cast<long>(rowSize), file);
    } else {
      Write_Row_Pixels(file, bitmap, y, bits, padding);
    }
  }
  std::free(row);

  pack_fclose(file);
  return Error_Number();
}

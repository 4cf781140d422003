// image_upload.cpp: ENTER on the output interface row: a BMP file, made grey, sent as one block.
#include "image_upload.h"

#include <allegro.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "bmp_check.h"
#include "bmp_memory.h"
#include "file_bytes.h"
#include "viewer.h"

namespace {

constexpr int UPLOAD_PATH_SIZE = 256;

// Grey of one pixel value of an image of this depth: the mean of its three components.
uint8_t Grey_Of(int depth, int c, const RGB *palette) {
  int r, g, b;
  switch (depth) {
    case 8: {
      const RGB &entry = palette[c < 0 ? 0 : (c > 255 ? 255 : c)];
      r = entry.r, g = entry.g, b = entry.b;  // 0..63, as Allegro keeps palettes
      break;
    }
    case 15: r = getr15(c), g = getg15(c), b = getb15(c); break;
    case 16: r = getr16(c), g = getg16(c), b = getb16(c); break;
    case 24: r = getr24(c), g = getg24(c), b = getb24(c); break;
    default: r = getr32(c), g = getg32(c), b = getb32(c); break;
  }
  return static_cast<uint8_t>((r + g + b) / 3);
}

// The upload from the dialog on, once the output's size is known.
void Upload_File(QorHandle output, uint32_t width, uint32_t height, ErrorData *error) {
  char path[UPLOAD_PATH_SIZE] = "";
  if (!file_select_ex("Load from image", path, "BMP", UPLOAD_PATH_SIZE, 0, 0)) return;
  Console_Printf("-----------------------\n");

  PALETTE palette;
  const char *refusal = nullptr;
  BITMAP *image = Image_Load(path, palette, &refusal);
  if (refusal) Console_Printf("Image not sent, %s: %s\n", refusal, path);
  if (!image) return;

  // The size comes from the library: an absurd one must fail here, not wrap around. An output
  // of no pixels (or whose height could not be read) has nothing to send.
  const uint64_t size = static_cast<uint64_t>(width) * height;
  uint8_t *grey = nullptr;
  if (size > 0 && size <= SIZE_MAX) grey = static_cast<uint8_t *>(std::malloc(size));
  if (grey) {
    QorVoz3OutDInterfaceBeginBlock(output, error);  // a refusal shows in the transfer's status
    Image_To_Grey(image, palette, grey, width, height);
    uint64_t transferred = 0;  // not needed: the whole buffer goes in one call
    if (QorVoz3OutDInterfaceTransfer(output, grey, size, &transferred, error) <= 0)
      QorVoz3OutDInterfaceEndBlock(output, error);
    std::free(grey);
  } else if (size > 0) {
    Console_Printf("Image not sent: no memory for %ux%u grey bytes\n", width, height);
  }
  destroy_bitmap(image);
}

}  // namespace

BITMAP *Image_Load(const char *path, RGB *palette, const char **refusal) {
  // The loader fills only the entries the file's colour table has; pixels naming others
  // must read black, not whatever the caller's buffer held.
  std::memset(palette, 0, sizeof(RGB) * PAL_SIZE);
  // Read once: the bytes checked are the bytes loaded, whatever happens to the name later
  // (a file still being written, a link swapped, a share that changes under us).
  FileBytes file;
  *refusal = File_Bytes_Read(path, BMP_MAX_FILE_SIZE, &file);
  // The loader crashes on some hostile headers and reads truncated files as junk.
  if (!*refusal) *refusal = Bmp_Check(file.data, file.size);
  BITMAP *image = nullptr;
  if (!*refusal) {
    // Keep the file's own colour depth: converted to an 8-bit screen, a 24-bit picture would
    // lose the grey levels it is sent for. The BMP loader whatever the name ends in: the
    // check vouches for BMP bytes only.
    const int conversion = get_color_conversion();
    set_color_conversion(COLORCONV_NONE);
    image = Bmp_Load_Memory(file.data, file.size, palette);
    set_color_conversion(conversion);
  }
  File_Bytes_Free(&file);
  return image;
}

void Image_To_Grey(BITMAP *image, const RGB *palette, uint8_t *grey, uint32_t width,
                   uint32_t height) {
  const int depth = bitmap_color_depth(image);
  for (uint32_t y = 0; y < height; y++) {
    for (uint32_t x = 0; x < width; x++) {
      const bool inside = x < static_cast<uint32_t>(image->w) && y < static_cast<uint32_t>(image->h);
      const int c = inside ? getpixel(image, static_cast<int>(x), static_cast<int>(y)) : -1;
      grey[static_cast<size_t>(y) * width + x] = Grey_Of(depth, c, palette);
    }
  }
}

int Image_Upload(QorHandle output) {
  ErrorData error = {};
  QorHandle header = QORLIB3_NONE;
  int status = QorVoz3DataheaderCreate(&header, &error);
  if (status > 0) return status;

  uint32_t kind = 0, bitsPerElement = 0;
  uint64_t elementCount = 0;
  uint32_t width = 0, height = 0;
  status = QorVoz3OutDInterfaceGetType(output, header, &error);
  if (status <= 0) status = QorVoz3DataheaderGetType(header, &kind, &bitsPerElement,
                                                     &elementCount, &error);
  if (status <= 0 && kind == QORLIB3_KIND_IMAGE) {
    status = QorVoz3DataheaderGetU32(header, QORLIB3_DH_WIDTH, &width, &error);
    if (status <= 0) {
      // Not tested: a height that cannot be read stays 0 and nothing is sent.
      QorVoz3DataheaderGetU32(header, QORLIB3_DH_HEIGHT, &height, &error);
      Upload_File(output, width, height, &error);
    }
  }

  // One header per upload, freed here so repeated uploads do not pile them up.
  QorVoz3DataheaderFree(header, &error);
  return status;
}

// bmp_check.cpp: the check run on a BMP file's bytes before they go to the BMP loader.
#include "bmp_check.h"

namespace {

constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t OS2_HEADER_SIZE = 12;
constexpr uint32_t WINDOWS_HEADER_SIZE = 40;

enum Compression : uint32_t { COMP_NONE = 0, COMP_RLE8 = 1, COMP_RLE4 = 2, COMP_BITFIELDS = 3 };

uint32_t U16(const uint8_t *p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Bit counts and compressions the loader reads correctly (checked against it by the tests).
bool Format_Supported(uint32_t headerSize, uint32_t bits, uint32_t compression) {
  switch (compression) {
    case COMP_NONE:
      return bits == 1 || bits == 4 || bits == 8 || bits == 24 ||
             (headerSize == WINDOWS_HEADER_SIZE && (bits == 16 || bits == 32));
    case COMP_RLE8: return bits == 8;
    case COMP_RLE4: return bits == 4;
    case COMP_BITFIELDS: return bits == 16 || bits == 32;
    default: return false;
  }
}

// Walks a run-length stream from where the loader reads it and refuses one that would make
// the loader write outside the bitmap (it checks neither runs, jumps nor the row count) or
// that ends before the picture does.
const char *Check_Rle_Stream(const uint8_t *p, const uint8_t *end, uint32_t width,
                             uint32_t height, bool fourBits) {
  uint64_t x = 0, y = 0;  // y counts rows from the bottom, as they are stored
  for (;;) {
    if (end - p < 2) {
      // The loader stops by itself after the last row's end-of-line.
      return y >= height && x == 0 ? nullptr : "run-length data ends before the image does";
    }
    const int count = p[0], code = p[1];
    p += 2;
    if (count > 0) {
      if (y >= height || x + count > width) return "run-length data outside the image";
      x += count;
      continue;
    }
    switch (code) {
      case 0: x = 0, y++; break;  // end of line
      case 1: return nullptr;     // end of picture
      case 2: {                   // jump right and up
        if (end - p < 2) return "run-length data ends before the image does";
        x += p[0], y += p[1];
        p += 2;
        if (x > width || y >= height) return "run-length data outside the image";
        break;
      }
      default: {  // literal pixels, their bytes padded to an even count
        if (y >= height || x + code > width) return "run-length data outside the image";
        x += code;
        long bytes = fourBits ? (code + 1) / 2 : code;
        bytes += bytes & 1;
        if (end - p < bytes) return "run-length data ends before the image does";
        p += bytes;
        break;
      }
    }
  }
}

// The loader reads bit-field pixels right after the three masks, whatever the data offset
// says, and tells the layout by the red and blue masks alone: 16-bit data with 32-bit masks,
// a gap before the pixels or a green mask it does not expect would come back as wrong pixels.
const char *Check_Bit_Fields(const uint8_t *bytes, size_t size, uint32_t bits) {
  constexpr uint32_t MASKS_END = FILE_HEADER_SIZE + WINDOWS_HEADER_SIZE + 12;
  static const struct {
    uint32_t bits, red, green, blue;
  } layouts[] = {
      {16, 0x7C00, 0x03E0, 0x001F},
      {16, 0xF800, 0x07E0, 0x001F},
      {32, 0xFF0000, 0x00FF00, 0x0000FF},
  };
  if (size < MASKS_END) return "file too short for its colour masks";
  const uint8_t *masks = bytes + FILE_HEADER_SIZE + WINDOWS_HEADER_SIZE;
  bool known = false;
  for (const auto &l : layouts)
    known = known || (l.bits == bits && l.red == U32(masks) && l.green == U32(masks + 4) &&
                      l.blue == U32(masks + 8));
  if (!known) return "unsupported colour masks";
  if (U32(bytes + 10) != MASKS_END) return "pixel data does not follow the colour masks";
  return nullptr;
}

}  // namespace

const char *Bmp_Check_Header(const uint8_t *head, size_t length, uint64_t fileSize) {
  if (length > fileSize) length = static_cast<size_t>(fileSize);
  if (length < FILE_HEADER_SIZE + 4) return "file too short for a BMP header";
  if (head[0] != 'B' || head[1] != 'M') return "not a BMP file (no \"BM\" signature)";

  const uint32_t headerSize = U32(head + 14);
  if (headerSize != WINDOWS_HEADER_SIZE && headerSize != OS2_HEADER_SIZE)
    return "unknown BMP header size";
  if (length < FILE_HEADER_SIZE + headerSize) return "file too short for a BMP header";

  int64_t width, height;
  uint32_t bits, compression;
  if (headerSize == OS2_HEADER_SIZE) {
    width = U16(head + 18);
    height = U16(head + 20);
    bits = U16(head + 24);
    compression = COMP_NONE;
  } else {
    width = static_cast<int32_t>(U32(head + 18));
    height = static_cast<int32_t>(U32(head + 22));
    bits = U16(head + 28);
    compression = U32(head + 30);
  }

  // A negative height (rows stored top-down) makes the loader ask for a huge allocation.
  if (width <= 0 || height <= 0) return "image width and height must be positive";
  if (!Format_Supported(headerSize, bits, compression))
    return "unsupported bits per pixel or compression";

  uint64_t dataStart = U32(head + 10);
  if (dataStart < FILE_HEADER_SIZE + headerSize) dataStart = FILE_HEADER_SIZE + headerSize;
  uint64_t dataSize = 2;  // run-length data holds at least its end mark
  if (compression == COMP_NONE || compression == COMP_BITFIELDS) {
    const uint64_t rowSize = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    dataSize = rowSize * static_cast<uint64_t>(height);  // both below 2^37: no overflow
  }
  if (dataStart > fileSize || dataSize > fileSize - dataStart)
    return "image size does not fit the file (truncated or absurd dimensions)";

  if (width > BMP_MAX_SIDE || height > BMP_MAX_SIDE ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > BMP_MAX_PIXELS)
    return "image too large";
  return nullptr;
}

const char *Bmp_Check(const uint8_t *bytes, size_t size) {
  const size_t head = size < BMP_CHECK_HEAD_SIZE ? size : BMP_CHECK_HEAD_SIZE;
  const char *refusal = Bmp_Check_Header(bytes, head, size);
  if (refusal || U32(bytes + 14) != WINDOWS_HEADER_SIZE) return refusal;
  const uint32_t compression = U32(bytes + 30), dataStart = U32(bytes + 10);
  if (compression == COMP_BITFIELDS) return Check_Bit_Fields(bytes, size, U16(bytes + 28));
  if (compression != COMP_RLE8 && compression != COMP_RLE4) return nullptr;
  // Run-length data is checked where the loader reads it: after at most 256 colour table
  // entries, counted from the data offset.
  const uint32_t tableStart = FILE_HEADER_SIZE + WINDOWS_HEADER_SIZE;
  if (dataStart < tableStart || dataStart > tableStart + 256 * 4 ||
      (dataStart - tableStart) % 4 != 0)
    return "run-length data does not follow the colour table";
  return Check_Rle_Stream(bytes + dataStart, bytes + size, U32(bytes + 18), U32(bytes + 22),
                          compression == COMP_RLE4);
}

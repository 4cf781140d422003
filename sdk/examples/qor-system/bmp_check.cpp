// bmp_check.cpp: the header check run on a BMP file before it goes to load_bitmap.
#include "bmp_check.h"

#include <cstdio>

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

const char *Bmp_Check_File(const char *path) {
  FILE *file = std::fopen(path, "rb");
  if (!file) return "cannot open the file";
  uint8_t head[BMP_CHECK_HEAD_SIZE];
  const size_t length = std::fread(head, 1, sizeof head, file);
  int64_t fileSize = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) fileSize = std::ftell(file);
  std::fclose(file);
  if (fileSize < 0) return "cannot read the file";
  return Bmp_Check_Header(head, length, static_cast<uint64_t>(fileSize));
}

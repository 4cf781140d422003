// bmp_check.h: refusing BMP files that Allegro's loader would crash on or read as junk.
#ifndef QOR_SYSTEM_BMP_CHECK_H
#define QOR_SYSTEM_BMP_CHECK_H

#include <cstddef>
#include <cstdint>

// Bytes of the file's start that the check reads: the file header and a Windows info header.
constexpr size_t BMP_CHECK_HEAD_SIZE = 54;
// Largest side and pixel count let through; far beyond any output interface, far below
// what overflows the loader's bitmap sizes.
constexpr uint32_t BMP_MAX_SIDE = 32767;
constexpr uint64_t BMP_MAX_PIXELS = uint64_t(1) << 26;
// Largest file read for a check: every image the limits above let through, at 4 bytes a
// pixel (row padding included), with room for its headers, colour table and a trailer.
constexpr size_t BMP_MAX_FILE_SIZE = 4 * BMP_MAX_PIXELS + (size_t(1) << 20);

// Why a file with this start (length bytes of it) and this total size must not be loaded,
// or null when it may.
const char *Bmp_Check_Header(const uint8_t *head, size_t length, uint64_t fileSize);
// The same for a whole file in memory: run-length data is walked and bit-field masks are
// looked at too.
const char *Bmp_Check(const uint8_t *bytes, size_t size);

#endif

// dataheader.h: data headers, the descriptions of blocks of data.
#pragma once

#include <cstdint>
#include <string>

#include "system.h"

namespace sim {

constexpr uint32_t kHeaderValues = 16;

struct Header {
  uint32_t kind, bitsPerElement;
  uint64_t elementCount;
  uint32_t values[kHeaderValues];
};

// Writes a frame geometry into a data header handle.
int header_fill(QorHandle header, const Geometry &g, ErrorData *err);
// The one-line description DataPrintf prints.
std::string header_text(const Header &h);
// Bit mask of the differences that count (0: alike): 1 kind, 2 bits per element, 4 width,
// 8 height, 16 bits per pixel, 32 pixel format, 64 pixel layout.
uint32_t header_compare(const Header &a, const Header &b);

}  // namespace sim

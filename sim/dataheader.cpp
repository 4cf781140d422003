// dataheader.cpp: data header operations; headers live independently of Init and Exit.
#include "dataheader.h"

#include <cstdio>
#include <cstring>

#include "call.h"

namespace sim {

namespace {
int get_header(QorHandle handle, ErrorData *err, Header **out) {
  const Slot *s = nullptr;
  if (int rc = handle_get(handle, SLOT_HEADER, err, "a data header", &s)) return rc;
  *out = static_cast<Header *>(s->ptr);
  return QORLIB3_OK;
}

int bad_value_number(ErrorData *err, uint32_t number) {
  return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "data header value number %u unknown (0..%u)",
                  number, kHeaderValues - 1);
}

#define SIM_HEADER(h, handle) \
  Header *h = nullptr;        \
  if (int rc_ = get_header((handle), err, &h)) return rc_
}  // namespace

int header_fill(QorHandle header, const Geometry &g, ErrorData *err) {
  SIM_HEADER(h, header);
  h->kind = g.kind;
  h->bitsPerElement = g.bitsPerElement;
  h->elementCount = g.elementCount;
  h->values[QORLIB3_DH_WIDTH] = g.width;
  h->values[QORLIB3_DH_HEIGHT] = g.height;
  h->values[QORLIB3_DH_LINE_SIZE] = g.lineSize;
  h->values[QORLIB3_DH_LINES_IN_BLOCK] = g.linesInBlock;
  h->values[QORLIB3_DH_PIXEL_FORMAT] = g.pixelFormat;
  h->values[QORLIB3_DH_PIXEL_LAYOUT] = g.layout;
  h->values[QORLIB3_DH_BITS_PER_PIXEL] = g.bitsPerPixel;
  return QORLIB3_OK;
}

std::string header_text(const Header &h) {
  char kind[24];
  if (h.kind == QORLIB3_KIND_IMAGE)
    std::snprintf(kind, sizeof kind, "Image");
  else
    std::snprintf(kind, sizeof kind, "Kind %u", h.kind);
  char text[256];
  std::snprintf(text, sizeof text,
                "%s, %u bits x %llu, %ux%u, line %u x %u, bpp %u, format 0x%x, layout 0x%x", kind,
                h.bitsPerElement, static_cast<unsigned long long>(h.elementCount),
                h.values[QORLIB3_DH_WIDTH], h.values[QORLIB3_DH_HEIGHT],
                h.values[QORLIB3_DH_LINE_SIZE], h.values[QORLIB3_DH_LINES_IN_BLOCK],
                h.values[QORLIB3_DH_BITS_PER_PIXEL], h.values[QORLIB3_DH_PIXEL_FORMAT],
                h.values[QORLIB3_DH_PIXEL_LAYOUT]);
  return text;
}

uint32_t header_compare(const Header &a, const Header &b) {
  uint32_t r = 0;
  if (a.kind != b.kind) r |= 1;
  if (a.bitsPerElement != b.bitsPerElement) r |= 2;
  if (a.values[QORLIB3_DH_WIDTH] != b.values[QORLIB3_DH_WIDTH]) r |= 4;
  if (a.values[QORLIB3_DH_HEIGHT] != b.values[QORLIB3_DH_HEIGHT]) r |= 8;
  if (a.values[QORLIB3_DH_BITS_PER_PIXEL] != b.values[QORLIB3_DH_BITS_PER_PIXEL]) r |= 16;
  if (a.values[QORLIB3_DH_PIXEL_FORMAT] != b.values[QORLIB3_DH_PIXEL_FORMAT]) r |= 32;
  if (a.values[QORLIB3_DH_PIXEL_LAYOUT] != b.values[QORLIB3_DH_PIXEL_LAYOUT]) r |= 64;
  return r;
}

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3DataheaderCreate(QorHandle *header, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_PTR(err, header, "header pointer");
    Header *h = new Header{};
    QorHandle handle = handle_new(SLOT_HEADER, h, 0);
    if (handle == 0) {
      delete h;
      return SIM_FAIL(err, QORLIB3_ERR_NO_MEMORY, "no handle left");
    }
    *header = handle;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderCreate, err, work, header, err);
}

int QorVoz3DataheaderFree(QorHandle header, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(h, header);
    handle_free(header);
    delete h;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderFree, err, work, header, err);
}

int QorVoz3DataheaderCopy(QorHandle to, QorHandle from, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(dst, to);
    SIM_HEADER(src, from);
    *dst = *src;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderCopy, err, work, to, from, err);
}

int QorVoz3DataheaderGetType(QorHandle header, uint32_t *kind, uint32_t *bitsPerElement,
                             uint64_t *elementCount, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(h, header);
    if (!kind || !bitsPerElement || !elementCount)
      return SIM_FAIL(err, QORLIB3_ERR_NULL_POINTER, "a type pointer is null");
    *kind = h->kind;
    *bitsPerElement = h->bitsPerElement;
    *elementCount = h->elementCount;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderGetType, err, work, header, kind, bitsPerElement, elementCount,
                     err);
}

int QorVoz3DataheaderSetType(QorHandle header, uint32_t kind, uint32_t bitsPerElement,
                             uint64_t elementCount, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(h, header);
    h->kind = kind;
    h->bitsPerElement = bitsPerElement;
    h->elementCount = elementCount;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderSetType, err, work, header, kind, bitsPerElement, elementCount,
                     err);
}

int QorVoz3DataheaderGetU32(QorHandle header, uint32_t valueNumber, uint32_t *value,
                            ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(h, header);
    if (valueNumber >= kHeaderValues) return bad_value_number(err, valueNumber);
    SIM_NEED_PTR(err, value, "value pointer");
    *value = h->values[valueNumber];
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderGetU32, err, work, header, valueNumber, value, err);
}

int QorVoz3DataheaderSetU32(QorHandle header, uint32_t valueNumber, uint32_t value,
                            ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(h, header);
    if (valueNumber >= kHeaderValues) return bad_value_number(err, valueNumber);
    h->values[valueNumber] = value;
    return QORLIB3_OK;
  };
  return gate_status(OP_DataheaderSetU32, err, work, header, valueNumber, value, err);
}

int QorVoz3DataHeaderCompare(QorHandle first, QorHandle second, uint32_t *result,
                             ErrorData *err) {
  auto work = [&]() -> int {
    SIM_HEADER(a, first);
    SIM_HEADER(b, second);
    SIM_NEED_PTR(err, result, "result pointer");
    *result = header_compare(*a, *b);
    return QORLIB3_OK;
  };
  return gate_status(OP_DataHeaderCompare, err, work, first, second, result, err);
}

int QorVoz3DataPrintf(QorHandle header, uint32_t flags) {
  auto work = [&]() -> int {
    Header *h = nullptr;
    if (get_header(header, nullptr, &h)) return 0;
    std::string text = header_text(*h);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return static_cast<int>(text.size());
  };
  return gate_value(OP_DataPrintf, work, header, flags);
}

int QorVoz3DataSPrintf(char *buffer, uint32_t size, QorHandle header, ErrorData *err) {
  auto work = [&]() -> int {
    if (!buffer || size == 0) {
      SIM_FAIL(err, QORLIB3_ERR_NULL_POINTER, "no buffer to print into");
      return 0;
    }
    buffer[0] = '\0';
    Header *h = nullptr;
    if (get_header(header, err, &h)) return 0;
    std::string text = header_text(*h);
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    if (n < text.size())
      SIM_FAIL(err, QORLIB3_ERR_STRING_TOO_SMALL, "header text of %zu bytes cut to %u",
               text.size() + 1, size);
    return static_cast<int>(n);
  };
  return gate_value(OP_DataSPrintf, work, buffer, size, header, err);
}

}  // extern "C"

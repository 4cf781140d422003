// strings.cpp: library strings made and freed by the library.
#include "qorlib3.h"

#include <new>
#include <set>

#include "call.h"

namespace sim {
namespace {
std::set<char *> g_texts;  // buffers made by StrAlloc; StrFree frees only these
}
}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3StrAlloc(QorVoz3String *text, uint32_t capacity, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_PTR(err, text, "library string");
    if (capacity == 0) return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "capacity 0");
    char *buffer = new (std::nothrow) char[capacity]();
    if (!buffer)
      return SIM_FAIL(err, QORLIB3_ERR_NO_MEMORY, "no memory for a string of %u bytes",
                      capacity);
    g_texts.insert(buffer);
    text->capacity = capacity;
    text->text = buffer;
    return QORLIB3_OK;
  };
  return gate_status(OP_StrAlloc, err, work, text, capacity, err);
}

const char *QorVoz3Str2CStr(const QorVoz3String *text) {
  // The trace reads the text no further than the string's capacity.
  return gate<StringText>(
             OP_Str2CStr,
             [&] { return text ? StringText{text->text, text->capacity} : StringText{nullptr, 0}; },
             [](int64_t v) { return StringText{inject_text(v), SIZE_MAX}; }, text)
      .text;
}

int QorVoz3StrFree(QorVoz3String *text) {
  auto work = [&]() -> int {
    if (!text || !text->text) return QORLIB3_ERR_NULL_POINTER;
    auto it = g_texts.find(text->text);
    if (it == g_texts.end()) return QORLIB3_ERR_BAD_ARGUMENT;  // the caller's own buffer
    g_texts.erase(it);
    delete[] text->text;
    text->text = nullptr;
    text->capacity = 0;
    return QORLIB3_OK;
  };
  return gate_value(OP_StrFree, work, text);
}

}  // extern "C"

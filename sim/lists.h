// lists.h: the standard lists (errors, interfaces, units, enumerations, attributes, systems...).
#pragma once

#include <cstdint>

#include "qorlib3.h"

namespace sim {

struct ListEntry {
  const char *text;
  uint32_t value;
};

// The list behind a list handle, or null. A list handle is its standard-list number + 1.
const ListEntry *list_entries(QorHandle list, uint32_t *count);
// The text of value in the list, or null.
const char *list_text(QorHandle list, uint32_t value);
QorHandle list_handle(uint32_t number);

}  // namespace sim

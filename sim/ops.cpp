// ops.cpp: the table of operation names.
#include "ops.h"

#include <cstring>

namespace sim {

namespace {
#define SIM_OP_NAME(name) #name,
const char *const kNames[OP_COUNT] = {SIM_OPS(SIM_OP_NAME)};
#undef SIM_OP_NAME
}  // namespace

const char *op_name(Op op) { return op < OP_COUNT ? kNames[op] : "?"; }

Op op_find(const char *text, unsigned len) {
  for (int i = 0; i < OP_COUNT; ++i)
    if (std::strlen(kNames[i]) == len && std::strncmp(kNames[i], text, len) == 0)
      return static_cast<Op>(i);
  return OP_COUNT;
}

}  // namespace sim

// objects.h: the simulated device tree (library, boards, ports, cameras).
#pragma once

#include <cstdint>

#include "qorlib3.h"

namespace sim {

// Answers an object control command (description, serial number) for object index.
int object_command(uint32_t index, uint32_t code, QorVoz3String *answer, ErrorData *err);
// Drops the object control handles (library shutdown).
void objects_release();

}  // namespace sim

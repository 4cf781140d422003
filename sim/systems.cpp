// systems.cpp: creating, initialising and destroying systems, and looking up their interfaces.
#include "system.h"

#include <algorithm>
#include <vector>

#include "call.h"
#include "source.h"
#include "stream.h"

namespace sim {

namespace {
std::vector<System *> g_systems;

void release(System *sys) {
  source_close(sys);
  for (OptionState &o : sys->options) handle_free(o.handle);
  for (QorHandle h : sys->infoHandles) handle_free(h);
  for (QorHandle h : sys->inputControls) handle_free(h);
  handle_free(sys->transferControl);
  handle_free(sys->input);
  handle_free(sys->output);
  handle_free(sys->handle);
  delete sys;
}

int not_present(ErrorData *err, const System *sys, uint32_t type, uint32_t index) {
  return SIM_FAIL(err, QORLIB3_ERR_NOT_PRESENT,
                  "interface type 0x%x instance %u is not present on system %s", type, index,
                  sys->def->name);
}

// Hands out the cached handle of an interface, making it on first use.
int give(QorHandle *cache, SlotKind kind, System *sys, uint32_t aux, QorHandle *out,
         ErrorData *err) {
  if (*cache == 0) {
    *cache = handle_new(kind, sys, aux);
    if (*cache == 0) return SIM_FAIL(err, QORLIB3_ERR_NO_MEMORY, "no handle left");
  }
  *out = *cache;
  return QORLIB3_OK;
}

int option_interface(System *sys, uint32_t type, uint32_t index, QorHandle *out,
                     ErrorData *err) {
  for (uint32_t i = 0; i < sys->def->optionCount; ++i) {
    OptionState &o = sys->options[i];
    if (o.def->type != type) continue;
    if (index != 0) break;
    return give(&o.handle, SLOT_OPTION, sys, i, out, err);
  }
  return not_present(err, sys, type, index);
}

int control_interface(System *sys, uint32_t type, uint32_t index, QorHandle *out,
                      ErrorData *err) {
  const SystemDef *d = sys->def;
  if (type == QORLIB3_CINTERFACE_INPUT_CONTROL && index < d->inputControls)
    return give(&sys->inputControls[index], SLOT_INPUT_CONTROL, sys, index, out, err);
  if (type == QORLIB3_CINTERFACE_TRANSFER_CONTROL && index == 0 && d->transferControl)
    return give(&sys->transferControl, SLOT_TRANSFER_CONTROL, sys, 0, out, err);
  for (uint32_t i = 0; i < d->infoCount; ++i)
    if (d->infos[i]->type == type && index == 0)
      return give(&sys->infoHandles[i], SLOT_INFO, sys, i, out, err);
  return option_interface(sys, type, index, out, err);
}

}  // namespace

int system_of(QorHandle handle, SlotKind kind, ErrorData *err, const char *what, System **sys,
              uint32_t *aux) {
  const Slot *s = nullptr;
  if (int rc = handle_get(handle, kind, err, what, &s)) return rc;
  *sys = static_cast<System *>(s->ptr);
  if (aux) *aux = s->aux;
  return QORLIB3_OK;
}

OptionState *system_option(System *sys, uint32_t type) {
  for (uint32_t i = 0; i < sys->def->optionCount; ++i)
    if (sys->options[i].def->type == type) return &sys->options[i];
  return nullptr;
}

uint32_t system_pattern(const System *sys) {
  const OptionState *o = system_option(const_cast<System *>(sys), kTypeTestPattern);
  if (o) return o->def->values[o->enumIndex];
  o = system_option(const_cast<System *>(sys), kTypeLineScanMode);
  static const uint32_t kByMode[] = {kPatGradient, kPatMovingBar, kPatCheckerboard, kPatNoise};
  if (o) return kByMode[o->value & 3];
  return kPatGradient;
}

Geometry system_geometry(const System *sys) {
  const SystemDef *d = sys->def;
  Geometry g{};
  g.kind = d->kind;
  g.bitsPerElement = d->bitsPerElement;
  g.width = d->width;
  g.height = d->height;
  g.pixelFormat = d->pixelFormat;
  g.layout = d->layout;
  System *s = const_cast<System *>(sys);
  if (const OptionState *roi = system_option(s, kTypeRoi)) {
    g.x0 = roi->rect.x;
    g.y0 = roi->rect.y;
    g.width = roi->rect.w;
    g.height = roi->rect.h;
  }
  if (const OptionState *fmt = system_option(s, kTypePixelFormat)) {
    if (fmt->def->values[fmt->enumIndex] == kFmtMono16) {
      g.bitsPerElement = 16;
      g.pixelFormat = QORLIB3_PIXFMT_MONO16;
    }
  }
  g.bitsPerPixel = g.bitsPerElement * d->elementsPerPixel;
  g.bytesPerPixel = g.bitsPerPixel / 8;
  g.lineSize = g.width * g.bytesPerPixel;
  g.linesInBlock = g.height;
  g.elementCount = static_cast<uint64_t>(g.width) * g.height * d->elementsPerPixel;
  g.bytes = static_cast<uint64_t>(g.lineSize) * g.height;
  return g;
}

int32_t system_temperature(const System *sys) {
  // A slow triangle between 38 and 43 degrees, one step every half second.
  int64_t step = (now_ns() - sys->createdAt) / 500000000 % 10;
  return static_cast<int32_t>(38 + (step < 5 ? step : 10 - step));
}

void systems_destroy_all() {
  for (System *sys : g_systems) release(sys);
  g_systems.clear();
}

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3SystemCreate(uint32_t systemId, QorHandle *system, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, system, "system handle pointer");
    const SystemDef *def = catalogue_find(systemId);
    if (def && def->id == kSourceSystemId && !source_configured()) def = nullptr;
    if (!def)
      return SIM_FAIL(err, QORLIB3_ERR_UNKNOWN_SYSTEM,
                      "system id %u is not in the catalogue (1, 2, 3, 4, 5, 6, 8%s)", systemId,
                      source_configured() ? ", 9" : "");
    System *sys = new System{};
    sys->def = def;
    sys->createdAt = now_ns();
    for (uint32_t i = 0; i < def->optionCount; ++i) {
      OptionState &o = sys->options[i];
      o.def = def->options[i];
      o.value = o.def->initial;
      o.enumIndex = o.def->initialIndex;
      o.rect = Rect{0, 0, def->width, def->height};
    }
    if (def->id == kSourceSystemId) {
      if (int rc = source_open(sys, err)) {
        delete sys;
        return rc;
      }
    }
    sys->handle = handle_new(SLOT_SYSTEM, sys, 0);
    if (sys->handle == 0) {
      source_close(sys);
      delete sys;
      return SIM_FAIL(err, QORLIB3_ERR_NO_MEMORY, "no handle left");
    }
    g_systems.push_back(sys);
    *system = sys->handle;
    return QORLIB3_OK;
  };
  return gate_status(OP_SystemCreate, err, work, systemId, system, err);
}

int QorVoz3SystemInit(QorHandle system, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    sys->initialised = true;
    sys->block.open = false;
    Stream &s = sys->stream;
    s = Stream{};
    s.running = true;
    s.clockStarted = !sys->def->lineScan;
    s.t0 = now_ns();
    if (sys->source) {
      sys->initialised = false;
      if (int rc = source_start(sys, err)) return rc;
      sys->initialised = true;
    }
    return QORLIB3_OK;
  };
  return gate_status(OP_SystemInit, err, work, system, err);
}

int QorVoz3SystemDestroy(QorHandle system, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    g_systems.erase(std::find(g_systems.begin(), g_systems.end(), sys));
    release(sys);
    return QORLIB3_OK;
  };
  return gate_status(OP_SystemDestroy, err, work, system, err);
}

int QorVoz3SystemGetCInterface(QorHandle system, uint32_t type, uint32_t index, QorHandle *handle,
                               ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, handle, "handle pointer");
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    return control_interface(sys, type, index, handle, err);
  };
  return gate_status(OP_SystemGetCInterface, err, work, system, type, index, handle, err);
}

int QorVoz3SystemGetOptionCInterface(QorHandle system, uint32_t type, uint32_t index,
                                     QorHandle *handle, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, handle, "handle pointer");
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    return option_interface(sys, type, index, handle, err);
  };
  return gate_status(OP_SystemGetOptionCInterface, err, work, system, type, index, handle, err);
}

int QorVoz3SystemGetInDInterface(QorHandle system, uint32_t type, uint32_t index,
                                 QorHandle *handle, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, handle, "handle pointer");
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    if (type != QORLIB3_DINTERFACE_ANY || index != 0) return not_present(err, sys, type, index);
    return give(&sys->input, SLOT_INPUT, sys, 0, handle, err);
  };
  return gate_status(OP_SystemGetInDInterface, err, work, system, type, index, handle, err);
}

int QorVoz3SystemGetOutDInterface(QorHandle system, uint32_t type, uint32_t index,
                                  QorHandle *handle, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, handle, "handle pointer");
    SIM_GET(sys, aux, system, SLOT_SYSTEM, "a system");
    if (type != QORLIB3_DINTERFACE_ANY || index != 0 || !sys->def->output)
      return not_present(err, sys, type, index);
    return give(&sys->output, SLOT_OUTPUT, sys, 0, handle, err);
  };
  return gate_status(OP_SystemGetOutDInterface, err, work, system, type, index, handle, err);
}

}  // extern "C"

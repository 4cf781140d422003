// options.cpp: option operations (enumerations, scalars with units, rectangles) and info values.
#include "qorlib3.h"

#include "call.h"
#include "lists.h"
#include "source.h"
#include "stream.h"
#include "system.h"

namespace sim {

namespace {
constexpr uint32_t kMinRoi = 8;

const char *option_name(uint32_t type) {
  const char *name = list_text(list_handle(QORLIB3_STDLIST_INTERFACE), type);
  return name ? name : "option";
}

int wrong_kind(ErrorData *err, const OptionState &o, const char *kind) {
  return SIM_FAIL(err, QORLIB3_ERR_WRONG_KIND, "option %s is not %s", option_name(o.def->type),
                  kind);
}

int unit_count(const OptionState &o) {
  int n = 0;
  while (n < 2 && o.def->units[n].code != 0) ++n;
  return n;
}

// Factor from the unit to the option's base unit; unit 0 is the native (first) unit.
int unit_factor(const OptionState &o, uint32_t unit, int64_t *factor, ErrorData *err) {
  int n = unit_count(o);
  if (unit == 0) {
    *factor = n > 0 ? o.def->units[0].factor : 1;
    return QORLIB3_OK;
  }
  for (int i = 0; i < n; ++i)
    if (o.def->units[i].code == unit) {
      *factor = o.def->units[i].factor;
      return QORLIB3_OK;
    }
  return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "unit %u is not a unit of option %s", unit,
                  option_name(o.def->type));
}

// Frame pacing keeps the frames already due before the rate changes.
void set_value(System *sys, OptionState &o, int64_t value) {
  if (o.def->type == kTypeFrameRate || o.def->type == kTypeLineRate)
    stream_rebase(sys, now_ns());
  o.value = value;
  if (sys->source) source_options_changed(sys);
}

int64_t clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

#define SIM_OPTION(o, handle)                                    \
  SIM_NEED_INIT(err);                                            \
  SIM_GET(sys, index_, handle, SLOT_OPTION, "an option");        \
  OptionState &o = sys->options[index_]

#define SIM_SCALAR(o, handle)                                              \
  SIM_OPTION(o, handle);                                                   \
  if (o.def->kind != OPT_SCALAR) return wrong_kind(err, o, "a scalar")
}  // namespace

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3OptionGetScalar(QorHandle option, int32_t *value, uint32_t unit, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_SCALAR(o, option);
    SIM_NEED_PTR(err, value, "value pointer");
    int64_t factor;
    if (int rc = unit_factor(o, unit, &factor, err)) return rc;
    *value = static_cast<int32_t>(o.value / factor);
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionGetScalar, err, work, option, value, unit, err);
}

int QorVoz3OptionSetScalar(QorHandle option, int32_t value, uint32_t unit, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_SCALAR(o, option);
    int64_t factor;
    if (int rc = unit_factor(o, unit, &factor, err)) return rc;
    int64_t base = static_cast<int64_t>(value) * factor;
    if (base < o.def->low || base > o.def->high)
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT,
                      "value %d is outside the range %lld..%lld of option %s", value,
                      static_cast<long long>(o.def->low / factor),
                      static_cast<long long>(o.def->high / factor), option_name(o.def->type));
    set_value(sys, o, base);
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionSetScalar, err, work, option, value, unit, err);
}

int QorVoz3OptionRelScalar(QorHandle option, int32_t delta, uint32_t unit, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_SCALAR(o, option);
    int64_t factor;
    if (int rc = unit_factor(o, unit, &factor, err)) return rc;
    set_value(sys, o, clamp64(o.value + static_cast<int64_t>(delta) * factor, o.def->low,
                              o.def->high));
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionRelScalar, err, work, option, delta, unit, err);
}

int QorVoz3OptionGetScalarRange(QorHandle option, int32_t *low, int32_t *high, uint32_t unit,
                                ErrorData *err) {
  auto work = [&]() -> int {
    SIM_SCALAR(o, option);
    SIM_NEED_PTR(err, low, "low pointer");
    SIM_NEED_PTR(err, high, "high pointer");
    int64_t factor;
    if (int rc = unit_factor(o, unit, &factor, err)) return rc;
    *low = static_cast<int32_t>(o.def->low / factor);
    *high = static_cast<int32_t>(o.def->high / factor);
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionGetScalarRange, err, work, option, low, high, unit, err);
}

int QorVoz3OptionNextScalarUnit(QorHandle option, uint32_t *unit, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_SCALAR(o, option);
    SIM_NEED_PTR(err, unit, "unit pointer");
    int n = unit_count(o);
    if (n == 0)
      return SIM_FAIL(err, QORLIB3_ERR_WRONG_KIND, "option %s has no units",
                      option_name(o.def->type));
    if (*unit == 0) {
      *unit = o.def->units[0].code;
      return QORLIB3_OK;
    }
    for (int i = 0; i < n; ++i)
      if (o.def->units[i].code == *unit) {
        *unit = o.def->units[(i + 1) % n].code;
        return QORLIB3_OK;
      }
    return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "unit %u is not a unit of option %s", *unit,
                    option_name(o.def->type));
  };
  return gate_status(OP_OptionNextScalarUnit, err, work, option, unit, err);
}

int QorVoz3OptionGetEnumVal(QorHandle option, uint32_t *value, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OPTION(o, option);
    if (o.def->kind != OPT_ENUM) return wrong_kind(err, o, "an enumeration");
    SIM_NEED_PTR(err, value, "value pointer");
    *value = o.def->values[o.enumIndex];
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionGetEnumVal, err, work, option, value, err);
}

int QorVoz3OptionSetNextEnumVal(QorHandle option, uint32_t mode, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OPTION(o, option);
    if (o.def->kind != OPT_ENUM) return wrong_kind(err, o, "an enumeration");
    if (mode != 0)
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "mode %u unknown (0: next value)", mode);
    o.enumIndex = (o.enumIndex + 1) % o.def->valueCount;
    if (sys->source) source_options_changed(sys);
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionSetNextEnumVal, err, work, option, mode, err);
}

int QorVoz3OptionGetRect(QorHandle option, uint32_t *x, uint32_t *y, uint32_t *w, uint32_t *h,
                         ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OPTION(o, option);
    if (o.def->kind != OPT_RECT) return wrong_kind(err, o, "a rectangle");
    if (!x || !y || !w || !h)
      return SIM_FAIL(err, QORLIB3_ERR_NULL_POINTER, "a rectangle pointer is null");
    *x = o.rect.x;
    *y = o.rect.y;
    *w = o.rect.w;
    *h = o.rect.h;
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionGetRect, err, work, option, x, y, w, h, err);
}

int QorVoz3OptionRelRect(QorHandle option, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                         ErrorData *err) {
  auto work = [&]() -> int {
    SIM_OPTION(o, option);
    if (o.def->kind != OPT_RECT) return wrong_kind(err, o, "a rectangle");
    // Size first (growing stops at the sensor's edge), then the position within the sensor.
    int64_t sw = sys->def->width, sh = sys->def->height;
    Rect &r = o.rect;
    r.w = static_cast<uint32_t>(clamp64(int64_t{r.w} + dw, kMinRoi, sw - r.x));
    r.h = static_cast<uint32_t>(clamp64(int64_t{r.h} + dh, kMinRoi, sh - r.y));
    r.x = static_cast<uint32_t>(clamp64(int64_t{r.x} + dx, 0, sw - r.w));
    r.y = static_cast<uint32_t>(clamp64(int64_t{r.y} + dy, 0, sh - r.h));
    return QORLIB3_OK;
  };
  return gate_status(OP_OptionRelRect, err, work, option, dx, dy, dw, dh, err);
}

int QorVoz3GetInfoScalarVal(QorHandle info, int32_t *value, uint32_t *unit, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_GET(sys, index, info, SLOT_INFO, "an info interface");
    const InfoDef *d = sys->def->infos[index];
    if (d->kind == INFO_NOT_SCALAR)
      return SIM_FAIL(err, QORLIB3_ERR_WRONG_KIND, "info %s is not an info scalar",
                      list_text(list_handle(QORLIB3_STDLIST_INFO), d->type));
    SIM_NEED_PTR(err, value, "value pointer");
    SIM_NEED_PTR(err, unit, "unit pointer");
    if (d->kind == INFO_SOURCE)
      *value = static_cast<int32_t>(source_info(sys, d->type));
    else
      *value = d->kind == INFO_TEMPERATURE ? system_temperature(sys)
                                           : static_cast<int32_t>(stream_made(sys, now_ns()));
    *unit = d->unit;
    return QORLIB3_OK;
  };
  return gate_status(OP_GetInfoScalarVal, err, work, info, value, unit, err);
}

}  // extern "C"

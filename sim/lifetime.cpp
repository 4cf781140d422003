// lifetime.cpp: starting and stopping the library, and its version.
#include "qorlib3.h"

#include "call.h"
#include "objects.h"
#include "stream.h"
#include "system.h"

namespace sim {
namespace {
const char kVersion[] = "3.0.0-sim (stand-in acquisition library)";
}
}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3Init(ErrorData *err) {
  auto work = [&]() -> int {
    if (const char *malformed = faults_error())
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "%s", malformed);
    if (const char *malformed = stream_ring_error())
      return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "%s", malformed);
    g_initialised = true;
    // The caller may hand over a record it never cleared: leave every field defined.
    if (err) *err = ErrorData{0, 0, -1, nullptr, "", build_date(), ""};
    return QORLIB3_OK;
  };
  return gate_status(OP_Init, err, work, err);
}

int QorVoz3Exit(ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    systems_destroy_all();
    objects_release();
    g_initialised = false;
    stats_write();
    return QORLIB3_OK;
  };
  return gate_status(OP_Exit, err, work, err);
}

int QorVoz3VersionInfo(QorVoz3String *version, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    return put_text(version, kVersion, err);
  };
  return gate_status(OP_VersionInfo, err, work, version, err);
}

}  // extern "C"

// qor-consumer.cpp: the smallest qorlib3 program: list the systems, read a few frames, shut down.
//
// Start your own acquisition program from this file. Every library call returns a status
// (0 or less: success); each one is checked where it is made, and a failure prints the
// library's own report and releases what was taken, in reverse order.
#include <qorlib3.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t DEFAULT_SYSTEM = 1;
const uint32_t DEFAULT_FRAMES = 5;
const uint32_t WAIT_TIMEOUT_MS = 2000;
const uint64_t FRAME_SIZE_LIMIT = uint64_t(1) << 30;  // larger is no image we can hold

const char *const REPORT_FORMAT = "  QORLIB3 %t: %c - %m\n  File: %f  Line: %l\n";

ErrorData g_error;  // filled by every failing call

// True when the call succeeded; otherwise prints what failed and the library's report.
bool Ok(int status, const char *what) {
  if (status <= 0) return true;
  std::printf("%s failed with status %d\n", what, status);
  if (QorVoz3ErrorPrintf(REPORT_FORMAT, &g_error, QorVoz3ListGetStdList(QORLIB3_STDLIST_ERROR)) > 0) {
    std::printf("  %s\n", g_error.message ? g_error.message : "(no message)");
  }
  return false;
}

// 64-bit FNV-1a: a checksum that shows whether two runs read the same bytes.
uint64_t Fnv1a64(const unsigned char *data, uint64_t size) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (uint64_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 0x100000001b3u;
  }
  return hash;
}

bool Parse_Count(const char *text, uint32_t *value) {
  char *end = nullptr;
  const unsigned long long number = std::strtoull(text, &end, 10);
  if (text[0] < '0' || text[0] > '9' || *end != '\0' || number > UINT32_MAX) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

void Systems_List() {
  const QorHandle systems = QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM);
  std::printf("Systems:\n");
  const char *name = nullptr;
  uint32_t id = 0;
  for (uint32_t i = 0; QorVoz3ListGetAll(&name, &id, i, systems); ++i) {
    std::printf("  %u %s\n", id, name ? name : "");
  }
}

// The input's current frame size in bytes, from its data header.
bool Frame_Size(QorHandle input, QorHandle header, uint64_t *size, uint32_t *width,
                uint32_t *height) {
  uint32_t kind = 0;
  uint32_t bitsPerElement = 0;
  uint64_t elements = 0;
  if (!Ok(QorVoz3InDInterfaceGetType(input, header, &g_error), "InDInterfaceGetType") ||
      !Ok(QorVoz3DataheaderGetType(header, &kind, &bitsPerElement, &elements, &g_error),
          "DataheaderGetType") ||
      !Ok(QorVoz3DataheaderGetU32(header, QORLIB3_DH_WIDTH, width, &g_error), "DataheaderGetU32") ||
      !Ok(QorVoz3DataheaderGetU32(header, QORLIB3_DH_HEIGHT, height, &g_error), "DataheaderGetU32")) {
    return false;
  }
  if (bitsPerElement == 0 || elements > FRAME_SIZE_LIMIT * 8 / bitsPerElement) {
    std::printf("Frame of %" PRIu64 " elements of %u bits is too large\n", elements, bitsPerElement);
    return false;
  }
  *size = elements * bitsPerElement / 8;
  return true;
}

// Waits for the next frame and reads it whole into buffer (grown as needed).
bool Frame_Read(QorHandle input, QorHandle header, uint32_t n, unsigned char **buffer,
                uint64_t *capacity) {
  uint64_t ready = 0;
  if (!Ok(QorVoz3InDInterfaceWait(input, WAIT_TIMEOUT_MS, &g_error), "InDInterfaceWait") ||
      !Ok(QorVoz3InDInterfaceQueryReady(input, &ready, &g_error), "InDInterfaceQueryReady")) {
    return false;
  }
  uint64_t size = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  if (!Frame_Size(input, header, &size, &width, &height)) return false;
  if (size > *capacity) {
    void *grown = std::realloc(*buffer, size);
    if (!grown) {
      std::printf("No memory for a frame of %" PRIu64 " bytes\n", size);
      return false;
    }
    *buffer = static_cast<unsigned char *>(grown);
    *capacity = size;
  }
  uint64_t transferred = 0;
  if (!Ok(QorVoz3InDInterfaceBeginBlock(input, &g_error), "InDInterfaceBeginBlock")) return false;
  const bool read =
      Ok(QorVoz3InDInterfaceTransfer(input, *buffer, size, &transferred, &g_error),
         "InDInterfaceTransfer");
  // A begun block is always ended, also after a failed transfer.
  const bool ended = Ok(QorVoz3InDInterfaceEndBlock(input, &g_error), "InDInterfaceEndBlock");
  if (!read || !ended) return false;
  std::printf("frame %u: %ux%u, %" PRIu64 " bytes, fnv1a64 %016" PRIx64 "\n", n, width, height,
              transferred, Fnv1a64(*buffer, transferred));
  return true;
}

// Everything between system creation and destruction; false after a failure.
bool Frames_Read(QorHandle system, uint32_t frames) {
  if (!Ok(QorVoz3SystemInit(system, &g_error), "SystemInit")) return false;
  QorHandle input = QORLIB3_NONE;
  if (!Ok(QorVoz3SystemGetInDInterface(system, QORLIB3_DINTERFACE_ANY, 0, &input, &g_error),
          "SystemGetInDInterface")) {
    return false;
  }
  QorHandle header = QORLIB3_NONE;
  if (!Ok(QorVoz3DataheaderCreate(&header, &g_error), "DataheaderCreate")) return false;
  unsigned char *buffer = nullptr;
  uint64_t capacity = 0;
  bool ok = true;
  for (uint32_t n = 0; ok && n < frames; ++n) ok = Frame_Read(input, header, n, &buffer, &capacity);
  std::free(buffer);
  return Ok(QorVoz3DataheaderFree(header, &g_error), "DataheaderFree") && ok;
}

}  // namespace

int main(int argc, char **argv) {
  uint32_t systemId = DEFAULT_SYSTEM;
  uint32_t frames = DEFAULT_FRAMES;
  if (argc > 3 || (argc > 1 && !Parse_Count(argv[1], &systemId)) ||
      (argc > 2 && !Parse_Count(argv[2], &frames))) {
    std::fprintf(stderr, "usage: %s [SYSTEM_ID [FRAMES]]  (default: system %u, %u frames)\n",
                 argv[0], DEFAULT_SYSTEM, DEFAULT_FRAMES);
    return 2;
  }

  if (!Ok(QorVoz3Init(&g_error), "Init")) return 1;
  Systems_List();

  QorHandle system = QORLIB3_NONE;
  bool ok = Ok(QorVoz3SystemCreate(systemId, &system, &g_error), "SystemCreate");
  if (ok) {
    std::printf("System %u created\n", systemId);
    ok = Frames_Read(system, frames);
    ok = Ok(QorVoz3SystemDestroy(system, &g_error), "SystemDestroy") && ok;
  }
  ok = Ok(QorVoz3Exit(&g_error), "Exit") && ok;
  std::printf("%s\n", ok ? "Done" : "Failed");
  return ok ? 0 : 1;
}

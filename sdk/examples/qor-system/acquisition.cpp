// acquisition.cpp: the acquisition loop: wait, header check, buffer set-up and frame reading.
#include "acquisition.h"

#include <allegro.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "display_buffer.h"
#include "keyboard.h"
#include "overlay.h"
#include "stop_signals.h"
#include "viewer.h"

Cycle cycle;

namespace {

struct CycleStart {
  CycleStart() { Cycle_Reset(); }
} cycleStart;

const char *const STATE_NAMES[] = {
    "Alloc buffers", "Wait", "Wait-TO", "Check DataHeader", "Read", "Waiting a keypress",
};

const char *const TRANSPORT_NAMES[] = {
    "TO_NULL", "DIRECT_TO_BMP", "DIRECT_TO_BMP_SINGLE_BLOCK", "TO_BUFFER",
};

const char *const BAD_INPUT_TEXT = "Bad input data type";

void Set_Message(const char *text) {
  std::strncpy(cycle.messageBuffer, text, MESSAGE_BUFFER_SIZE - 1);
  cycle.messageBuffer[MESSAGE_BUFFER_SIZE - 1] = '\0';
}

// The viewer's own record for an input it will not show; printed only if the loop fails later.
void Refuse_Input() {
  viewer.error.code = 1;
  viewer.error.line = 736;
  viewer.error.objectId = -1;
  viewer.error.objectFile = nullptr;
  viewer.error.sourceFile = "out\\win\\sdk\\examples\\qor-system_api";
  viewer.error.date = __DATE__;
  viewer.error.message = BAD_INPUT_TEXT;
  Set_Message(BAD_INPUT_TEXT);
  cycle.badTypeFlag = true;
}

BITMAP *Display_Bitmap() {
  return viewer.displayBuffer ? viewer.displayBuffer->bitmap : nullptr;
}

bool Failed(int status) {
  viewer.status = status;
  return status > 0;
}

int Choose_Transport(uint32_t compareResult) {
  if (compareResult == 0) return DIRECT_TO_BMP;
  uint32_t inFormat = 0;
  uint32_t screenFormat = 0;
  if (Failed(QorVoz3DataheaderGetU32(viewer.dataHeaderIn, QORLIB3_DH_PIXEL_FORMAT, &inFormat,
                                     &viewer.error)))
    return -1;
  if (Failed(QorVoz3DataheaderGetU32(viewer.displayBuffer->header, QORLIB3_DH_PIXEL_FORMAT,
                                     &screenFormat, &viewer.error)))
    return -1;
  // Raw 8-bit sensor data is still one byte per pixel: show it as grey without a copy.
  if (inFormat == QORLIB3_PIXFMT_RAW8 && screenFormat == QORLIB3_PIXFMT_MONO8) return DIRECT_TO_BMP;
  return TO_BUFFER;
}

void Step_Alloc_Buffers() {
  Console_Printf("**INPUT_STATE_ALLOC_BUFFERS**\n");
  if (Failed(QorVoz3InDInterfaceGetType(viewer.inputData, viewer.dataHeaderIn, &viewer.error)))
    return;
  uint32_t kind = 0;
  uint32_t bitsPerElement = 0;
  uint64_t elementCount = 0;
  if (Failed(QorVoz3DataheaderGetType(viewer.dataHeaderIn, &kind, &bitsPerElement, &elementCount,
                                      &viewer.error)))
    return;
  if (kind != QORLIB3_KIND_IMAGE) {
    Refuse_Input();
    return;
  }
  cycle.badTypeFlag = false;
  uint32_t width = 0;
  uint32_t height = 0;
  if (Failed(QorVoz3DataheaderGetU32(viewer.dataHeaderIn, QORLIB3_DH_WIDTH, &width,
                                     &viewer.error)))
    return;
  if (Failed(QorVoz3DataheaderGetU32(viewer.dataHeaderIn, QORLIB3_DH_HEIGHT, &height,
                                     &viewer.error)))
    return;

  int transport = TO_BUFFER;
  if (viewer.displayBuffer) {
    Display_Buffer_Resize(viewer.displayBuffer, width, height);
    uint32_t compareResult = 0;
    if (Failed(QorVoz3DataHeaderCompare(viewer.dataHeaderIn, viewer.displayBuffer->header,
                                        &compareResult, &viewer.error)))
      return;
    Console_Printf("CompareResult=%u\n", compareResult);
    transport = Choose_Transport(compareResult);
    if (transport < 0) return;
  }
  cycle.transport = transport;
  // A frame that cannot be held must not be transferred into nothing: say so where the
  // image would be and keep the loop going, so the operator can change options or leave.
  if (transport == TO_BUFFER && !Transfer_Buffer_Alloc(elementCount, bitsPerElement))
    cycle.badTypeFlag = true;

  if (Failed(QorVoz3DataheaderCopy(viewer.dataHeaderInOld, viewer.dataHeaderIn, &viewer.error)))
    return;
  cycle.state = INPUT_STATE_READ;
  if (screen) clear_bitmap(screen);
}

void Step_Wait() {
  if (Failed(QorVoz3InDInterfaceQueryReady(viewer.inputData, &cycle.readySize, &viewer.error)))
    return;
  if (cycle.readySize != 0) {
    cycle.state = INPUT_STATE_CHECK_DATA_HEADER;
    return;
  }
  int status = QorVoz3InDInterfaceWait(viewer.inputData, WAIT_TIMEOUT, &viewer.error);
  if (status == QORLIB3_ERR_TIMEOUT || status == QORLIB3_ERR_NO_DATA) {
    viewer.status = 0;
    cycle.state = INPUT_STATE_WAIT_TO;
    return;
  }
  viewer.status = status;
}

void Step_Check_Data_Header() {
  if (Failed(QorVoz3InDInterfaceGetType(viewer.inputData, viewer.dataHeaderIn, &viewer.error)))
    return;
  uint32_t compareResult = 1;
  if (Failed(QorVoz3DataHeaderCompare(viewer.dataHeaderIn, viewer.dataHeaderInOld,
                                      &compareResult, &viewer.error)))
    return;
  cycle.state = compareResult == 0 ? INPUT_STATE_READ : INPUT_STATE_ALLOC_BUFFERS;
}

// Reads every row of the display bitmap straight from the library, under one lock.
void Read_Rows(BITMAP *bitmap) {
  Console_Printf("LineSize:%lu\n", static_cast<unsigned long>(viewer.displayBuffer->lineSize));
  // Never let a stale line size write past the row the bitmap really has.
  uint64_t rowBytes = static_cast<uint64_t>(bitmap->w) * ((bitmap_color_depth(bitmap) + 7) / 8);
  uint64_t size = viewer.displayBuffer->lineSize;
  if (size > rowBytes) size = rowBytes;
  acquire_bitmap(bitmap);
  for (int y = 0; y < bitmap->h && viewer.status <= 0; y++) {
    viewer.status = viewer.pioFlag
        ? QorVoz3InDInterfacePIOTransfer(viewer.inputData, bitmap->line[y], size,
                                         &cycle.transferred, &viewer.error)
        : QorVoz3InDInterfaceTransfer(viewer.inputData, bitmap->line[y], size,
                                      &cycle.transferred, &viewer.error);
  }
  release_bitmap(bitmap);
}

void Step_Read() {
  Console_Printf("!!!!!!!!!!!!!!!!!!!!!");
  int status = QorVoz3InDInterfaceBeginBlock(viewer.inputData, &viewer.error);
  if (status == QORLIB3_ERR_TIMEOUT || status == QORLIB3_ERR_NO_DATA) {
    // No frame yet: V (or a key during a refused input) comes here straight from the
    // allocation, without one being ready. That is a time-out like the wait's, not a failure.
    viewer.status = 0;
    cycle.state = INPUT_STATE_WAIT;
    return;
  }
  if (Failed(status)) return;
  BITMAP *bitmap = Display_Bitmap();
  if (cycle.transport == DIRECT_TO_BMP && bitmap) {
    Read_Rows(bitmap);
    if (viewer.status > 0) return;
  }
  if (cycle.transport == TO_BUFFER && cycle.transferBuffer) {
    if (Failed(QorVoz3InDInterfaceTransfer(viewer.inputData, cycle.transferBuffer,
                                           cycle.transferBufferSize, &cycle.transferred,
                                           &viewer.error)))
      return;
  }
  Histogram_Count_Frame();
  Attributes_Draw();
  if (Failed(QorVoz3InDInterfaceEndBlock(viewer.inputData, &viewer.error))) return;
  Frame_Show();
  if (viewer.singleStepFlag) {
    cycle.state = INPUT_STATE_WAIT_KEYPRESS;
    Single_Step_Prompt();
  } else {
    cycle.state = INPUT_STATE_WAIT;
  }
  Frame_Rate_Draw();
}

// The single-step pause has no library wait to block in: without a rest each pass would redraw
// the same still picture as fast as it can. Allegro's rest() does not sleep without its timer,
// so this is a real sleep; a signal cuts it short, and a key is read on the pass it ends in.
void Rest_In_Pause() {
  if (cycle.state != INPUT_STATE_WAIT_KEYPRESS || keypressed()) return;
  const timespec pause = {0, PAUSE_REST_MS * 1000000L};
  nanosleep(&pause, nullptr);
}

}  // namespace

void Cycle_Reset() {
  std::free(cycle.transferBuffer);
  std::memset(&cycle, 0, sizeof cycle);
  cycle.state = INPUT_STATE_WAIT;
  cycle.transport = TO_NULL;
  Set_Message("???");
  cycle.stateName = "?";
}

const char *State_Name(int state) {
  if (state < 0 || state >= static_cast<int>(sizeof STATE_NAMES / sizeof *STATE_NAMES)) return "?";
  return STATE_NAMES[state];
}

const char *Transport_Name(int transport) {
  if (transport < 0 || transport >= static_cast<int>(sizeof TRANSPORT_NAMES / sizeof *TRANSPORT_NAMES))
    return "?";
  return TRANSPORT_NAMES[transport];
}

bool Transfer_Buffer_Size(uint64_t elementCount, uint32_t bitsPerElement, uint64_t *size) {
  *size = 0;
  if (bitsPerElement != 0 && elementCount > UINT64_MAX / bitsPerElement) return false;
  uint64_t bits = elementCount * bitsPerElement;
  if (bits > static_cast<uint64_t>(INT64_MAX)) return false;
  *size = static_cast<uint64_t>(static_cast<int64_t>(bits) / 8);
  return true;
}

bool Transfer_Buffer_Alloc(uint64_t elementCount, uint32_t bitsPerElement) {
  std::free(cycle.transferBuffer);
  cycle.transferBuffer = nullptr;
  cycle.transferBufferSize = 0;
  uint64_t size = 0;
  if (!Transfer_Buffer_Size(elementCount, bitsPerElement, &size) || size >= TRANSFER_BUFFER_LIMIT ||
      size > SIZE_MAX) {
    Set_Message("Transfer buffer too large");
    return false;
  }
  // One byte at least, so an empty frame still has a block to name.
  void *block = std::malloc(size ? static_cast<size_t>(size) : 1);
  if (!block) {
    Set_Message("Transfer buffer too large");
    return false;
  }
  cycle.transferBuffer = block;
  cycle.transferBufferSize = size;
  return true;
}

void Acquisition_Step() {
  cycle.stateName = State_Name(cycle.state);
  switch (cycle.state) {
    case INPUT_STATE_ALLOC_BUFFERS: Step_Alloc_Buffers(); break;
    case INPUT_STATE_WAIT:
    case INPUT_STATE_WAIT_TO: Step_Wait(); break;
    case INPUT_STATE_CHECK_DATA_HEADER: Step_Check_Data_Header(); break;
    case INPUT_STATE_READ: Step_Read(); break;
    default: break;  // WAIT_KEYPRESS and EXIT have no step
  }
}

bool Acquisition_Pass() {
  Rest_In_Pause();
  cycle.stateName = "?";
  viewer.textBuffer[TEXT_BUFFER_SIZE - 1] = '\0';
  Acquisition_Step();
  if (viewer.status > 0) return false;
  Keyboard_Process();
  if (viewer.histogramFlag) Histogram_Draw();
  if (viewer.status > 0) return false;
  Status_Lines_Draw();
  return cycle.state != INPUT_STATE_EXIT && viewer.status <= 0;
}

void Acquisition_Loop() {
  Overlay_Reset();  // fixes the line height and starts the frame-rate window afresh
  while (!Stop_Signal() && Acquisition_Pass()) {  // a stop signal ends the loop as ESC does
  }
}

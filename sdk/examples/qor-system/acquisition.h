// acquisition.h: the acquisition loop's states, transport modes and cycle variables.
#ifndef QOR_SYSTEM_ACQUISITION_H
#define QOR_SYSTEM_ACQUISITION_H

#include <cstddef>
#include <cstdint>

enum InputState : int {
  INPUT_STATE_ALLOC_BUFFERS = 0,
  INPUT_STATE_WAIT = 1,
  INPUT_STATE_WAIT_TO = 2,
  INPUT_STATE_CHECK_DATA_HEADER = 3,
  INPUT_STATE_READ = 4,
  INPUT_STATE_WAIT_KEYPRESS = 5,
  INPUT_STATE_EXIT = 6,
};

enum TransportMode : int {
  TO_NULL = 0,
  DIRECT_TO_BMP = 1,
  DIRECT_TO_BMP_SINGLE_BLOCK = 2,
  TO_BUFFER = 3,
};

constexpr unsigned MESSAGE_BUFFER_SIZE = 256;

// The wait's time-out value (milliseconds on the stand-in library).
constexpr uint32_t WAIT_TIMEOUT = 100;
// A pass in the single-step pause with no key waiting first sleeps this long.
constexpr long PAUSE_REST_MS = 10;

// Frames of this many bytes or more are refused: the buffer is one block and the viewer's
// home platform cannot address it.
constexpr uint64_t TRANSFER_BUFFER_LIMIT = 1ull << 32;

struct Cycle {
  int state;
  int transport;
  void *transferBuffer;
  uint64_t transferBufferSize;
  uint64_t readySize;
  bool badTypeFlag;
  char messageBuffer[MESSAGE_BUFFER_SIZE];
  uint64_t transferred;
  const char *stateName;   // the status line's state text for this pass ("?" until a step ran)
};

extern Cycle cycle;

void Cycle_Reset();                       // start values: WAIT, TO_NULL, "???" (tests)
const char *State_Name(int state);        // overlay text of a state ("?" when none)
const char *Transport_Name(int transport);

// Bytes of a frame: count x bits / 8 in 64 bits, truncated. False when the product does not
// fit (the frame cannot be held in one block).
bool Transfer_Buffer_Size(uint64_t elementCount, uint32_t bitsPerElement, uint64_t *size);
// Replaces the transfer buffer with one for such a frame. False (no buffer, size 0, the
// message buffer says why) when it is too large or cannot be had.
bool Transfer_Buffer_Alloc(uint64_t elementCount, uint32_t bitsPerElement);

void Acquisition_Step();                  // the current state's step
bool Acquisition_Pass();                  // one pass; false when the loop is to end
void Acquisition_Loop();                  // passes until EXIT or a status above 0

#endif

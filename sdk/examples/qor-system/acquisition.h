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

struct Cycle {
  int state;
  int transport;
  void *transferBuffer;
  uint64_t transferBufferSize;
  uint64_t readySize;
  bool badTypeFlag;
  char messageBuffer[MESSAGE_BUFFER_SIZE];
  uint64_t transferred;
};

extern Cycle cycle;

void Cycle_Reset();                       // start values: WAIT, TO_NULL, "???" (tests)
const char *State_Name(int state);        // overlay text of a state ("?" when none)
const char *Transport_Name(int transport);

void Acquisition_Step();                  // the current state's step
void Acquisition_Loop();                  // passes until EXIT or a status above 0

#endif

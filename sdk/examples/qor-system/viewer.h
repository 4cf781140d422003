// viewer.h: the viewer's run-wide state, shared by the main flow and its concerns.
#ifndef QOR_SYSTEM_VIEWER_H
#define QOR_SYSTEM_VIEWER_H

#include <cstdint>

#include "qorlib3.h"

struct DisplayBuffer;

// Size of the overlay's shared text buffer (status lines, attributes, output-interface rows).
constexpr unsigned TEXT_BUFFER_SIZE = 4000;

// Everything the main flow, the cycle, the overlay and the keys share for the whole run.
// One instance (`viewer`); tests reset it with Viewer_Reset().
struct Viewer {
  ErrorData error;                 // the main flow's error record, passed last to every call
  int32_t systemId;                // -1 until chosen
  QorHandle system;
  int status;                      // last kept library status; above 0 ends the loop
  bool pioFlag;                    // p argument: rows read with PIO transfers

  QorHandle dataHeaderIn;
  QorHandle dataHeaderInOld;
  QorHandle dataHeader16;
  QorHandle dataHeaderTmp;

  QorHandle inputData;
  QorHandle inputControl;          // QORLIB3_NONE when skipped
  QorHandle transferControl;       // QORLIB3_NONE when skipped

  DisplayBuffer *displayBuffer;    // null until Display_Buffer_Create succeeded

  // Toggles set by keys, read by the cycle and the overlay.
  bool stretchFlag;
  bool histogramFlag;
  bool singleStepFlag;
  bool attributeViewFlag;

  char textBuffer[TEXT_BUFFER_SIZE];
};

extern Viewer viewer;

// Puts the state back to its start values (system id -1, controls none, flags off).
void Viewer_Reset();

// Milliseconds since the program started (counted from its static start-up).
uint32_t Clock_Ms();

// The error report format printed at every failure site of the viewer.
extern const char *const VIEWER_ERROR_FORMAT;

// Prints the library's report for the viewer's error record.
void Viewer_Print_Error();

// printf to standard output followed by a flush, so each step's label shows before its call.
void Console_Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Prints the library's device tree (start-up, shutdown and the T key). No result is tested.
void Device_Tree_Print();

#endif

// keyboard.cpp: the operator's keys: state rule, step from shift and ctrl, and each key's action.
#include "keyboard.h"

#include <allegro.h>

#include "acquisition.h"
#include "bmp_export.h"
#include "control_table.h"
#include "display_buffer.h"
#include "viewer.h"

// Operators and scripts know the keys by these numbers; Allegro must agree.
static_assert(KEY_ESC == 59 && KEY_UP == 84 && KEY_DOWN == 85 && KEY_LEFT == 82 &&
                  KEY_RIGHT == 83, "arrow and ESC scancodes");
static_assert(KEY_U == 21 && KEY_X == 24 && KEY_Y == 25 && KEY_W == 23 && KEY_H == 8 &&
                  KEY_E == 5 && KEY_D == 4 && KEY_S == 19 && KEY_V == 22 && KEY_T == 20 &&
                  KEY_M == 13, "letter scancodes");
static_assert(KEY_ENTER == 67 && KEY_SPACE == 75 && KEY_F2 == 48 && KEY_F3 == 49 && KEY_F4 == 50,
              "ENTER, SPACE and function key scancodes");

int32_t Keyboard_Step(int shifts) {
  int32_t step = 1;
  if (shifts & KB_SHIFT_FLAG) step *= 10;
  if (shifts & KB_CTRL_FLAG) step *= 100;
  return step;
}

void Keyboard_Handle(int scancode, int shifts) {
  // Any key resumes waiting, except in the single-step pause, where only ENTER does.
  if (cycle.state != INPUT_STATE_WAIT_KEYPRESS || scancode == KEY_ENTER)
    cycle.state = INPUT_STATE_WAIT;
  int32_t step = Keyboard_Step(shifts);
  uint32_t &selected = controlTable.selected;
  ControlEntry *entry = &controlTable.entries[selected < CONTROL_TABLE_SIZE ? selected : 0];

  switch (scancode) {
    case KEY_ESC: cycle.state = INPUT_STATE_EXIT; break;
    case KEY_UP:
      if (selected > 0) selected--;
      break;
    case KEY_DOWN:
      if (selected + 1 < controlTable.count) selected++;
      break;
    case KEY_LEFT: Control_Step(entry, -step); break;
    case KEY_RIGHT: Control_Step(entry, step); break;
    case KEY_U: Control_Next_Unit(entry); break;
    case KEY_X: Control_Select_Part(entry, 0); break;
    case KEY_Y: Control_Select_Part(entry, 1); break;
    case KEY_W: Control_Select_Part(entry, 2); break;
    case KEY_H: Control_Select_Part(entry, 3); break;
    case KEY_E: Control_Command(entry, QORLIB3_CMD_INPUT_START); break;
    case KEY_D: Control_Command(entry, QORLIB3_CMD_INPUT_STOP); break;
    case KEY_ENTER: Control_Activate(entry); break;
    case KEY_SPACE:
      // Sent also to a control that was skipped at start-up (-1): the library's answer counts.
      viewer.status = (shifts & KB_SHIFT_FLAG)
          ? QorVoz3CallCInterface_0(viewer.transferControl, QORLIB3_CMD_TRANSFER_RESTART,
                                    &viewer.error)
          : QorVoz3CallCInterface_0(viewer.inputControl, QORLIB3_CMD_INPUT_TRIGGER,
                                    &viewer.error);
      break;
    case KEY_S: viewer.stretchFlag = !viewer.stretchFlag; break;
    case KEY_V:
      viewer.attributeViewFlag = !viewer.attributeViewFlag;
      cycle.state = INPUT_STATE_ALLOC_BUFFERS;
      break;
    case KEY_F2:
      if (viewer.displayBuffer && viewer.displayBuffer->bitmap)
        Image_Save_Bmp(viewer.displayBuffer->bitmap);
      break;
    case KEY_F3: viewer.singleStepFlag = !viewer.singleStepFlag; break;
    case KEY_F4: viewer.histogramFlag = !viewer.histogramFlag; break;
    case KEY_T: Device_Tree_Print(); break;
    case KEY_M:
      Console_Printf("------------------------------------------------------------\n");
      break;
    default: break;
  }
}

void Keyboard_Process() {
  while (viewer.status <= 0 && keypressed()) {
    int scancode = readkey() >> 8;
    Keyboard_Handle(scancode, key_shifts);
  }
}

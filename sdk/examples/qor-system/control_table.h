// control_table.h: the options, info values and interfaces the operator watches and edits.
#ifndef QOR_SYSTEM_CONTROL_TABLE_H
#define QOR_SYSTEM_CONTROL_TABLE_H

#include <cstdint>

#include "qorlib3.h"

struct ScreenPatch;

enum ControlKind : uint32_t {
  CONTROL_KIND_UNKNOWN = 0,
  CONTROL_KIND_ENUM = 1,
  CONTROL_KIND_SCALAR = 2,
  CONTROL_KIND_RECT = 3,
  CONTROL_KIND_OUT_INTERFACE = 4,
  CONTROL_KIND_INPUT_CONTROL = 5,
  CONTROL_KIND_INFO_SCALAR = 6,
};

struct ControlEntry {
  const char *name;    // list text (owned by the library) or a fixed text
  QorHandle handle;
  uint32_t kind;
  uint32_t unit;       // scalar entries
  uint32_t rectPart;   // rectangle entries: 0 X, 1 Y, 2 W, 3 H
};

constexpr uint32_t CONTROL_TABLE_SIZE = 200;

struct ControlTable {
  ControlEntry entries[CONTROL_TABLE_SIZE];
  uint32_t count;
  uint32_t selected;   // the selected entry, moved by UP and DOWN
};

extern ControlTable controlTable;

void Control_Table_Reset();   // empty table, selection 0 (tests)

// Return false when a list handle is 0 ("Error get InterfaceList" was printed).
bool Control_Table_Build(QorHandle system);
// With the table full the lookups are still made and printed, marked as not shown.
void Control_Table_Add_Interfaces(QorHandle system);

void Control_Draw_Line(uint32_t index, int y);
// Control_Draw_Line into a patch that covers the row (the overlay draws all rows into one):
// the same library calls and pixels. True when the row drew something.
bool Control_Draw_Line_Into(const ScreenPatch &patch, uint32_t index, int y);
void Control_Step(ControlEntry *entry, int32_t delta);
void Control_Next_Unit(ControlEntry *entry);
void Control_Select_Part(ControlEntry *entry, uint32_t part);
void Control_Command(ControlEntry *entry, uint32_t code);
void Control_Activate(ControlEntry *entry);

// A row's text as Control_Draw_Line shows it, with the row's library calls (their statuses
// kept in viewer.status). For an output-interface row only the label: its data type text is
// drawn beside it. False when the row stays undrawn.
bool Control_Format_Line(const ControlEntry *entry, char *buffer, uint32_t size);

// First character of an output-interface text that lets the rest fit beside a label of
// labelWidth pixels on a screen screenWidth wide; length when no earlier one does.
uint32_t Control_Scroll_Fit(int labelWidth, int screenWidth, const char *text, uint32_t length,
                            int (*textWidth)(const char *text));
// Character from which that text (length characters) is drawn at ms milliseconds: still when
// fit is 0, else six characters a second, running five beyond fit before it starts again,
// never beyond the text's end.
uint32_t Control_Scroll_Offset(uint32_t fit, uint32_t length, uint32_t ms);

#endif

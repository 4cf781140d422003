// control_table.h: the options, info values and interfaces the operator watches and edits.
#ifndef QOR_SYSTEM_CONTROL_TABLE_H
#define QOR_SYSTEM_CONTROL_TABLE_H

#include <cstdint>

#include "qorlib3.h"

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
void Control_Table_Add_Interfaces(QorHandle system);

void Control_Draw_Line(uint32_t index, int y);
void Control_Step(ControlEntry *entry, int32_t delta);
void Control_Next_Unit(ControlEntry *entry);
void Control_Select_Part(ControlEntry *entry, uint32_t part);
void Control_Command(ControlEntry *entry, uint32_t code);
void Control_Activate(ControlEntry *entry);

#endif

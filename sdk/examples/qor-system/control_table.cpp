// control_table.cpp: placeholder, being written.
#include "control_table.h"

ControlTable controlTable;
void Control_Table_Reset() { }
bool Control_Table_Build(QorHandle) { return true; }
void Control_Table_Add_Interfaces(QorHandle) { }
void Control_Draw_Line(uint32_t, int) { }
void Control_Step(ControlEntry *, int32_t) { }
void Control_Next_Unit(ControlEntry *) { }
void Control_Select_Part(ControlEntry *, uint32_t) { }
void Control_Command(ControlEntry *, uint32_t) { }
void Control_Activate(ControlEntry *) { }

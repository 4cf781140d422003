// acquisition.cpp: placeholder, being written.
#include "acquisition.h"

Cycle cycle;
void Cycle_Reset() { }
const char * State_Name(int) { return "?"; }
const char * Transport_Name(int) { return "?"; }
void Acquisition_Step() { }
void Acquisition_Loop() { }

// keyboard.cpp: placeholder, being written.
#include "keyboard.h"

int32_t Keyboard_Step(int) { return 1; }
void Keyboard_Handle(int, int) { }
void Keyboard_Process() { }

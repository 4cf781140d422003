// keyboard.h: the operator's keys while frames are shown.
#ifndef QOR_SYSTEM_KEYBOARD_H
#define QOR_SYSTEM_KEYBOARD_H

#include <cstdint>

// Step for LEFT and RIGHT from Allegro's shift flags: 1, 10, 100 or 1000.
int32_t Keyboard_Step(int shifts);
// One key's action (scancode, shift flags), after the state rule.
void Keyboard_Handle(int scancode, int shifts);
// Every key waiting now, while the status is 0 or less.
void Keyboard_Process();

#endif

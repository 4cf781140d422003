// startup.h: what the viewer is asked to run: command line, option overrides, system dialogue.
#ifndef QOR_SYSTEM_STARTUP_H
#define QOR_SYSTEM_STARTUP_H

#include <cstdint>
#include <cstdio>

// Reads a number the way scanf's "%u" does (leading blanks, an optional sign, digits, anything
// after ignored) from text up to end (null: the terminator). False when no digits come first
// or the magnitude does not fit 32 bits.
bool Scan_Unsigned(const char *text, const char *end, uint32_t *value);
// The same for "%d" into a signed 32-bit value.
bool Scan_Signed(const char *text, int32_t *value);

// Applies the arguments after the program name: s, o, p; '-' overrides are left for the
// option listing; anything else prints the bad-option message (--help and -h, which main
// answers before, are overrides that match no option here).
void Command_Line_Read(int argc, const char *const *argv);

// The value of the last "-name=value" argument for this option name, or null.
const char *Option_Override(const char *name, int argc, const char *const *argv);

// Asks for a system id on input until one from the system list is given (viewer.systemId).
// Returns false when the input ended first.
bool System_Choose(FILE *in);

// The system list's name for an id, or "unknown".
const char *System_Name(uint32_t systemId);

#endif

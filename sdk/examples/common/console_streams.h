// console_streams.h: standard descriptors that are surely open, and a checked standard output.
#ifndef QOR_CONSOLE_STREAMS_H
#define QOR_CONSOLE_STREAMS_H

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so that a file or X
// connection opened later cannot take its number and receive the console text. Call first in
// main. False when a closed one cannot be filled.
bool Std_Streams_Open();

// Registers the check that runs when the program ends: if anything written to standard output
// (by the program or by the library) was lost, it says so on standard error, prefixed with
// program, and turns an exit status of 0 into failureStatus. A nonzero status is kept. Call
// before anything else registers exit handlers, so that the check runs after all of them.
void Std_Output_Check_At_Exit(const char *program, int failureStatus);

#endif

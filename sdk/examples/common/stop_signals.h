// stop_signals.h: SIGINT, SIGTERM and SIGHUP turned into a stop request the program polls.
#ifndef QOR_STOP_SIGNALS_H
#define QOR_STOP_SIGNALS_H

// Installs the stop handler on SIGINT, SIGTERM and SIGHUP. A signal the process inherited as
// ignored stays ignored. Call first in main, and again after anything that puts handlers of its
// own in place (Allegro's start-up). The first signal only records the request; a second one
// ends the process at once by the signal's default action.
void Stop_Signals_Install();

// The stop signal received so far, 0 while none came.
int Stop_Signal();

// Holds the stop signals back (pending) while true, delivers them when set back to false:
// for a start-up during which another handler would act on them.
void Stop_Signals_Hold(bool hold);

// While true a stop signal also puts /dev/null on standard input, so that a prompt's read ends
// (as at the end of input) whether it was already waiting or not yet begun.
void Stop_Signals_End_Input(bool end);

#endif

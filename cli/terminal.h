#pragma once
// What the companion asks of the platform about its standard streams and
// signals, each in one place.

// True when standard error is a terminal a person watches.
bool standardErrorIsTerminal();

// Ctrl+C and a termination signal ask the running job to stop at the next
// command, so it ends as cleanly as a "STOP" in the window; a second one ends
// the program at once.
void catchStopSignals();
bool stopRequested();

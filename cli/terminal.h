#pragma once
// What the companion asks of the platform about its signals, in one place
// (whether standard error is a terminal: link/standard_error_console.h).

// Ctrl+C and a termination signal ask the running job to stop at the next
// command, so it ends as cleanly as a "STOP" in the window; a second one ends
// the program at once.
void catchStopSignals();
bool stopRequested();

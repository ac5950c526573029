#pragma once
// What the companion asks of the platform about its command line and
// signals, each in one place (whether standard error is a terminal:
// link/standard_error_console.h).

#include <string>
#include <vector>

// The arguments after the program's name. On Windows they are read from the
// system's own (UTF-16) command line as UTF-8, since `argv` holds them in the
// ANSI code page, with '?' for every character it lacks.
std::vector<std::string> commandLineArguments(int argc, char* argv[]);

// Ctrl+C and a termination signal ask the running job to stop at the next
// command, so it ends as cleanly as a "STOP" in the window; a second one ends
// the program at once.
void catchStopSignals();
bool stopRequested();

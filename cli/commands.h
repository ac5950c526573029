#pragma once
// The companion's commands, each a thin run over the plain cores that the
// window program's pages use, so a file the companion writes is byte for byte
// the file the window writes for the same data.

#include "command_line.h"

class RegionalForms;
class StderrUserInterface;
class ProgressBar;

// Runs the command; returns the exit status (cli/exit_status.h). `bar` is
// null when no progress is to be shown.
int runCompanionCommand(const CommandLine& line, const RegionalForms& forms, StderrUserInterface& ui,
                        ProgressBar* bar);

// tallivos-cli: the command-line companion of the service utility, for
// scripted jobs. Reads its command line, runs one command against the scale
// and ends with an exit status a script can read (cli/exit_status.h).

#include "command_line.h"
#include "commands.h"
#include "exit_status.h"
#include "link/standard_error_console.h"
#include "progress_bar.h"
#include "region/system_regional_forms.h"
#include "stderr_user_interface.h"
#include "terminal.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const ParsedCommandLine parsed = parseCommandLine(commandLineArguments(argc, argv));
    if (!parsed.line) {
        std::fprintf(stderr, "tallivos-cli: %s\nTry 'tallivos-cli --help'.\n", parsed.error.c_str());
        return exit_status::kUsage;
    }
    const CommandLine& line = *parsed.line;
    if (line.help) {
        std::fputs(usageText(), stdout);
        return exit_status::kOk;
    }
    if (line.version) {
        std::puts("tallivos-cli " TALLIVOS_VERSION);
        return exit_status::kOk;
    }

    catchStopSignals();
    const auto forms = makeSystemRegionalForms();
    StderrUserInterface ui;
    std::optional<ProgressBar> bar;
    if (!line.quiet && standardErrorIsConsole()) {
        bar.emplace(stderr);
    }
    const int status = runCompanionCommand(line, *forms, ui, bar ? &*bar : nullptr);
    std::fflush(stdout);
    return status;
}

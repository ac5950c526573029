#include "command_line.h"

#include "link/number_parsing.h"

#include <array>
#include <string_view>

namespace {

struct KnownCommand {
    const char* name;
    Command command;
    bool takesPath;
    bool takesRange;
    bool takesRestoreOptions;
};

constexpr std::array<KnownCommand, 10> kCommands{{
    {"identify", Command::Identify, false, false, false},
    {"plu-load", Command::PluLoad, true, true, false},
    {"plu-save", Command::PluSave, true, true, false},
    {"settings-load", Command::SettingsLoad, true, false, false},
    {"settings-send", Command::SettingsSend, true, false, false},
    {"clock-read", Command::ClockRead, false, false, false},
    {"clock-sync", Command::ClockSync, false, false, false},
    {"report", Command::Report, true, false, false},
    {"backup", Command::Backup, true, false, false},
    {"restore", Command::Restore, true, false, true},
}};

// How a port is named on this platform.
#if defined(_WIN32)
#define TALLIVOS_PORT_FORMS "COMn (COM1 to COM255), or a device name such as CNCA0"
#else
#define TALLIVOS_PORT_FORMS "COMn, a device path, or a bare name under /dev"
#endif

constexpr int kFirstPlu = 1;
constexpr int kLastPlu = 1799;

ParsedCommandLine usageError(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

const char* usageText() {
    return "usage: tallivos-cli --port PORT [--speed N] [--quiet] COMMAND [ARGS]\n"
           "\n"
           "Reads and writes what a retail counter scale holds, for scripted jobs.\n"
           "\n"
           "commands:\n"
           "  identify                           print \"SCALE ID: <text>\" and \"STATUS:<two hex digits>\"\n"
           "  plu-load FILE [--from N] [--to N]  read PLUs (0, 1800, then FROM..TO, default 1..1799) and\n"
           "                                     write FILE in the PLU text file format, byte for byte as\n"
           "                                     SAVE TO DISK writes the same grid\n"
           "  plu-save FILE [--from N] [--to N]  read FILE as LOAD FROM DISK does, send as SAVE TO SCALE\n"
           "                                     (rows by position, command 39 at the end)\n"
           "  settings-load FILE                 read the settings as the SETTINGS page's LOAD FROM SCALE\n"
           "                                     does and write them to FILE\n"
           "  settings-send FILE                 send FILE's settings as SEND TO SCALE does (54 commands);\n"
           "                                     a file that leaves settings out is put over the scale's "
           "own\n"
           "  clock-read                         print the scale's clock in the clock box's form\n"
           "  clock-sync                         set the scale's clock to the PC's time now\n"
           "  report FILE                        read the report and write its text as SAVE TO FILE does\n"
           "  backup DIR                         write everything readable into the new folder DIR:\n"
           "                                     plus.txt, settings.txt, clock.txt, report.txt, "
           "manifest.txt\n"
           "  restore DIR [--dry-run] [--clock]  check the backup's sums, then write its PLUs and settings\n"
           "                                     (never the calibration parameters; the clock only with\n"
           "                                     --clock); --dry-run prints what would be written\n"
           "\n"
           "options:\n"
           "  --port PORT   " TALLIVOS_PORT_FORMS "\n"
           "  --speed N     line speed in bit/s (default 9600)\n"
           "  --quiet       no progress bar (it shows only when standard error is a terminal)\n"
           "  --help        this text\n"
           "  --version     the program's version\n"
           "\n"
           "Messages go to standard error. Exit status: 0 done, 1 the link failed, 2 usage error,\n"
           "3 file error, 4 data refused by a check, 130 stopped by Ctrl+C.\n";
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> positional;
    const KnownCommand* known = nullptr;
    bool rangeGiven = false;
    bool restoreOptionGiven = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0 || argument == "--") {
            positional.push_back(argument);
            continue;
        }
        std::string name = argument;
        std::optional<std::string> attached;
        if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (attached) {
                return attached;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            return std::nullopt;
        };
        const auto flag = [&](bool& target) {
            target = true;
            return !attached.has_value();
        };
        const auto number = [&](int& target, int lowest, int highest) {
            const auto text = value();
            std::int32_t parsed = 0;
            if (!text || !parseInt(*text, parsed) || parsed < lowest || parsed > highest) {
                return false;
            }
            target = parsed;
            return true;
        };

        bool good = true;
        if (name == "--help") {
            good = flag(line.help);
        } else if (name == "--version") {
            good = flag(line.version);
        } else if (name == "--quiet") {
            good = flag(line.quiet);
        } else if (name == "--port") {
            const auto text = value();
            good = text && !text->empty();
            line.port = text.value_or("");
        } else if (name == "--speed") {
            good = number(line.speed, 1, 4000000);
        } else if (name == "--from") {
            good = number(line.from, kFirstPlu, kLastPlu);
            rangeGiven = true;
        } else if (name == "--to") {
            good = number(line.to, kFirstPlu, kLastPlu);
            rangeGiven = true;
        } else if (name == "--dry-run") {
            good = flag(line.dryRun);
            restoreOptionGiven = true;
        } else if (name == "--clock") {
            good = flag(line.clock);
            restoreOptionGiven = true;
        } else {
            return usageError("unknown option " + name);
        }
        if (!good) {
            if (name == "--from" || name == "--to") {
                return usageError(name + " takes a PLU number from 1 to 1799");
            }
            if (name == "--speed") {
                return usageError("--speed takes a line speed in bit/s, such as 9600");
            }
            return usageError(attached ? name + " takes no value" : name + " needs a value");
        }
    }
    if (line.help || line.version) {
        return {line, {}};
    }
    if (positional.empty()) {
        return usageError("no command given");
    }
    for (const KnownCommand& candidate : kCommands) {
        if (positional.front() == candidate.name) {
            known = &candidate;
        }
    }
    if (known == nullptr) {
        return usageError("unknown command " + positional.front());
    }
    line.command = known->command;
    line.commandName = known->name;
    const std::size_t wanted = known->takesPath ? 2 : 1;
    if (positional.size() < wanted) {
        return usageError(
            line.commandName + " needs a " +
            (known->command == Command::Backup || known->command == Command::Restore ? "folder" : "file") +
            " name");
    }
    if (positional.size() > wanted) {
        return usageError(line.commandName + " takes no argument " + positional[wanted]);
    }
    if (known->takesPath) {
        line.path = positional[1];
    }
    if (rangeGiven && !known->takesRange) {
        return usageError(line.commandName + " takes no --from or --to");
    }
    if (restoreOptionGiven && !known->takesRestoreOptions) {
        return usageError(line.commandName + " takes no --dry-run or --clock");
    }
    // A dry run talks to no scale, so it needs no port.
    if (line.port.empty() && !(line.command == Command::Restore && line.dryRun)) {
        return usageError("--port is needed: COMn, a device path, or a bare name under /dev");
    }
    return {line, {}};
}

std::filesystem::path pathFromArgument(const std::string& argument) {
    // A path of UTF-8 text: decoded on Windows, taken as it is elsewhere.
    return std::filesystem::path(std::u8string(argument.begin(), argument.end()));
}

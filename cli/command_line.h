#pragma once
// The companion's command line, read into plain data:
//
//   tallivos-cli --port PORT [--speed N] [--quiet] COMMAND [ARGS]
//
// Options may stand before or after the command, as --name VALUE or
// --name=VALUE. An option the command does not take is a usage error.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

enum class Command {
    Identify,
    PluLoad,
    PluSave,
    SettingsLoad,
    SettingsSend,
    ClockRead,
    ClockSync,
    Report,
    Backup,
    Restore,
};

inline constexpr int kDefaultSpeed = 9600;

struct CommandLine {
    bool help = false;
    bool version = false;
    std::string port; // as typed; empty when not given
    int speed = kDefaultSpeed;
    bool quiet = false;
    Command command = Command::Identify;
    std::string commandName;
    std::string path; // FILE or DIR, as the arguments came (UTF-8 on Windows)
    int from = 1;
    int to = 1799;
    bool dryRun = false;
    bool clock = false; // restore: set the clock too
};

struct ParsedCommandLine {
    std::optional<CommandLine> line;
    std::string error; // for a usage error
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The file or folder a path argument names. The arguments' bytes are the
// file system's on POSIX systems and UTF-8 on Windows (cli/terminal.h), so
// a name in any script opens there too.
std::filesystem::path pathFromArgument(const std::string& argument);

// The text --help prints.
const char* usageText();

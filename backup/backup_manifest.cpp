#include "backup_manifest.h"

#include "link/number_parsing.h"
#include "settings/keyed_file.h"
#include "settings/quoted_text.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t kSha256HexDigits = 64;
// A backup folder has a handful of files; more sums than this is no manifest.
constexpr std::size_t kMaxFileSums = 64;

constexpr std::string_view kHead =
    "# Backup of a scale: the scale, when it was taken, and a SHA-256 for each file.\r\n"
    "# Check the files with: sha256sum -c manifest.txt\r\n";

bool isLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// A plain file name of the folder, as the program names its files: printable
// ASCII, no folders, nothing hidden.
bool isPlainFileName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find_first_of("/\\:") == std::string_view::npos &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

bool parseDateTime(std::string_view text, LocalDateTime& moment) {
    LocalDateTime parsed;
    char tail = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &parsed.year, &parsed.month, &parsed.day,
                    &parsed.hour, &parsed.minute, &parsed.second, &tail) != 6 ||
        copy.size() != 19) {
        return false;
    }
    if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 || parsed.hour > 23 ||
        parsed.minute > 59 || parsed.second > 59) {
        return false;
    }
    moment = parsed;
    return true;
}

} // namespace

const BackupFileSum* BackupManifest::file(std::string_view name) const {
    const auto found = std::find_if(files.begin(), files.end(), [&](const BackupFileSum& sum) { return sum.name == name; });
    return found == files.end() ? nullptr : &*found;
}

std::string isoDateTime(const LocalDateTime& moment) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", moment.year, moment.month, moment.day,
                  moment.hour, moment.minute, moment.second);
    return text;
}

std::string formatBackupManifest(const BackupManifest& manifest) {
    char status[8];
    std::snprintf(status, sizeof status, "%02X", static_cast<unsigned>(manifest.status));
    std::string out(kHead);
    out += keyedLine("scale", quotedText(manifest.scale));
    out += keyedLine("status", status);
    out += keyedLine("taken", isoDateTime(manifest.taken));
    out += keyedLine("program", quotedText(manifest.program));
    out += keyedLine("decimal-separator", quotedText(std::string(1, manifest.decimalSeparator)));
    for (const BackupFileSum& file : manifest.files) {
        out += file.sha256;
        out += "  ";
        out += file.name;
        out += kKeyedLineEnd;
    }
    return out;
}

ManifestRead parseBackupManifest(std::string_view bytes) {
    ManifestRead read;
    BackupManifest& manifest = read.manifest;
    std::string problem;
    const auto sumLine = [&](std::string_view line, int number) {
        // sha256sum's form: the digits, a blank, a blank or '*', the name.
        if (line.size() < kSha256HexDigits + 3 || line[kSha256HexDigits] != ' ' ||
            !std::all_of(line.begin(), line.begin() + kSha256HexDigits, isLowerHex)) {
            return false;
        }
        const std::string_view name = line.substr(kSha256HexDigits + 2);
        if ((line[kSha256HexDigits + 1] != ' ' && line[kSha256HexDigits + 1] != '*') || !isPlainFileName(name) ||
            manifest.file(name) != nullptr || manifest.files.size() == kMaxFileSums) {
            problem = "line " + std::to_string(number) + ": not a file of the backup";
            return false;
        }
        manifest.files.push_back({std::string(name), std::string(line.substr(0, kSha256HexDigits))});
        return true;
    };
    auto split = splitKeyedFile(bytes, sumLine);
    if (const auto* error = std::get_if<KeyedFileError>(&split)) {
        read.problem = problem.empty() ? "line " + std::to_string(error->line) + ": " + error->reason : problem;
        return read;
    }
    const TextFileEncoding encoding = detectTextFileEncoding(bytes);
    bool haveScale = false;
    bool haveTaken = false;
    for (const KeyedEntry& entry : std::get<std::vector<KeyedEntry>>(split)) {
        std::string reason;
        bool good = true;
        if (entry.name == "scale" || entry.name == "program") {
            const auto text = unquotedText(entry.value, encoding, reason);
            good = text.has_value();
            if (good) {
                (entry.name == "scale" ? manifest.scale : manifest.program) = *text;
                haveScale = haveScale || entry.name == "scale";
            }
        } else if (entry.name == "status") {
            good = entry.value.size() == 2 && hexDigitValue(entry.value[0]) >= 0 && hexDigitValue(entry.value[1]) >= 0;
            if (good) {
                manifest.status = static_cast<std::uint8_t>(hexDigitValue(entry.value[0]) * 16 + hexDigitValue(entry.value[1]));
            }
        } else if (entry.name == "taken") {
            good = haveTaken = parseDateTime(entry.value, manifest.taken);
        } else if (entry.name == "decimal-separator") {
            const auto text = unquotedText(entry.value, encoding, reason);
            good = text && text->size() == 1;
            if (good) {
                manifest.decimalSeparator = text->front();
            }
        }
        // Names a later program may add are no reason to refuse a backup.
        if (!good) {
            read.problem = "line " + std::to_string(entry.line) + ": '" + entry.name + "' is not readable";
            return read;
        }
    }
    if (!haveScale || !haveTaken) {
        read.problem = "the scale or the time of the backup is missing";
        return read;
    }
    read.ok = true;
    return read;
}

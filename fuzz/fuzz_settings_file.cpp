// The settings file and the backup's manifest over arbitrary bytes, the two
// texts a person edits by hand and the program reads back.
//
// Input: byte 0 chooses the reader (even: settings file, odd: manifest) and,
// for the settings file, the decimal separator (bit 1: comma); the rest is the
// file. Whatever a reader accepts is written and read back to the same thing,
// and a file with a mistake changes nothing.

#include "backup/backup_manifest.h"
#include "fuzz_support.h"
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void settingsFile(std::string_view bytes, char separator) {
    ScaleSettings settings = ScaleSettings::startValues(separator);
    const std::string before = formatSettingsFile(settings, separator);
    const SettingsFileRead read = parseSettingsFile(bytes, separator, settings);
    const std::string after = formatSettingsFile(settings, separator);
    if (read.result != SettingsFileResult::Ok) {
        FUZZ_CHECK(after == before);
        return;
    }
    ScaleSettings again = ScaleSettings::startValues(separator);
    const SettingsFileRead reread = parseSettingsFile(after, separator, again);
    FUZZ_CHECK(reread.result == SettingsFileResult::Ok && reread.complete);
    FUZZ_CHECK(formatSettingsFile(again, separator) == after);
}

void manifest(std::string_view bytes) {
    const ManifestRead read = parseBackupManifest(bytes);
    if (!read.ok) {
        FUZZ_CHECK(!read.problem.empty());
        return;
    }
    for (const BackupFileSum& file : read.manifest.files) {
        FUZZ_CHECK(file.sha256.size() == 64 && !file.name.empty() && file.name.find('/') == std::string::npos);
    }
    const ManifestRead again = parseBackupManifest(formatBackupManifest(read.manifest));
    FUZZ_CHECK(again.ok && formatBackupManifest(again.manifest) == formatBackupManifest(read.manifest));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) == 0) {
        settingsFile(bytes, (data[0] & 2) != 0 ? ',' : '.');
    } else {
        manifest(bytes);
    }
    return 0;
}

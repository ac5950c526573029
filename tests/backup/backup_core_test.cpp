// The backup's manifest: SHA-256 as sha256sum writes it, every field through
// a write and a read, and what a manifest may not name.

#include "backup/backup_manifest.h"
#include "backup/sha256.h"

#include <gtest/gtest.h>

namespace {

TEST(BackupManifest, SumsAreSha256sumsAndEveryFieldComesBack) {
    // FIPS 180-2 examples.
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    BackupManifest manifest;
    manifest.scale = "\x80 \"SCALE\" \\ 2";
    manifest.status = 0x04;
    manifest.taken = {2026, 12, 8, 7, 5, 9};
    manifest.program = "tallivos-cli 1.62";
    manifest.decimalSeparator = ',';
    manifest.files = {{"plus.txt", sha256Hex("abc")}, {"settings.txt", sha256Hex("")}};
    const std::string text = formatBackupManifest(manifest);
    EXPECT_NE(text.find("\r\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  plus.txt\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("taken = 2026-12-08 07:05:09\r\n"), std::string::npos);
    const ManifestRead read = parseBackupManifest(text);
    ASSERT_TRUE(read.ok) << read.problem;
    EXPECT_EQ(read.manifest.scale, manifest.scale);
    EXPECT_EQ(read.manifest.status, 0x04);
    EXPECT_EQ(read.manifest.taken, manifest.taken);
    EXPECT_EQ(read.manifest.program, manifest.program);
    EXPECT_EQ(read.manifest.decimalSeparator, ',');
    EXPECT_EQ(read.manifest.files, manifest.files);
}

TEST(BackupManifest, RefusesWhatNamesNoFileOfTheFolder) {
    const std::string head = "scale = \"S\"\r\ntaken = 2026-12-08 07:05:09\r\n";
    const std::string sum(64, 'a');
    const struct {
        std::string text;
        const char* problem;
    } bad[] = {
        {head + sum + "  ../settings.txt\r\n", "line 3: not a file of the backup"},
        {head + sum + "  /etc/passwd\r\n", "line 3: not a file of the backup"},
        {head + sum + "  .hidden\r\n", "line 3: not a file of the backup"},
        {head + sum + "  pl\x91s.txt\r\n", "line 3: not a file of the backup"},
        {head + sum + "  plus.txt\r\n" + sum + "  plus.txt\r\n", "line 4: not a file of the backup"},
        {head + std::string(63, 'a') + "  plus.txt\r\n", "line 3: a line must read: name = value"},
        {"scale = \"S\"\r\n", "the scale or the time of the backup is missing"},
        {head + "taken = 2026-13-08 07:05:09\r\n", "line 3: 'taken' is given twice"},
        {"scale = \"S\"\r\ntaken = 2026-13-08 07:05:09\r\n", "line 2: 'taken' is not readable"},
        {head + "status = 4\r\n", "line 3: 'status' is not readable"},
    };
    for (const auto& manifest : bad) {
        const ManifestRead read = parseBackupManifest(manifest.text);
        EXPECT_FALSE(read.ok) << manifest.text;
        EXPECT_EQ(read.problem, manifest.problem) << manifest.text;
    }
}

} // namespace

// The companion driven as a process, as a scheduled job drives it, against
// the simulated scale over a real pseudo-terminal: every command and exit
// status, the files beside what the window's plain cores write, a scale that
// goes silent half-way, and a backup restored onto a blank scale.

#include "companion_process.h"
#include "backup/sha256.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_file.h"
#include "plu/plu_transfer.h"
#include "plu/whole_file.h"
#include "region/qt_regional_forms.h"
#include "settings/settings_file.h"
#include "settings/settings_transfer.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"
#include "tools/report_file.h"
#include "tools/report_reader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kCommunicationError = "Comunication Error!";
// Every run gets these regional forms, so the test can reproduce the files.
const std::vector<std::string> kPlainLocale{"LC_ALL=C"};
const std::vector<std::string> kGermanLocale{"LC_ALL=de_DE.UTF-8"};

std::string readFile(const fs::path& path) {
    return readWholeFile(path, 16 * 1024 * 1024).value_or("");
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CompanionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        std::string error;
        ASSERT_TRUE(scale.loadSeed(TALLIVOS_DEMO_SEED, &error)) << error;
        char pattern[] = "/tmp/companion-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }

    // The companion on the simulated scale at 115200 bit/s.
    CompanionRun run(std::vector<std::string> arguments, const std::vector<std::string>& environment = kPlainLocale,
                     sim::SimulatedScale* on = nullptr) {
        arguments.insert(arguments.begin(), {"--port", (on ? on : &scale)->device(), "--speed", "115200"});
        return runCompanion(arguments, false, environment);
    }

    // What the window's plain cores read from the scale, for comparison.
    PluGrid gridOfTheScale(int from, int to, char separator) {
        ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
        EXPECT_TRUE(link.openLink(PortId::named(scale.device()), 115200));
        PluGrid grid;
        EXPECT_EQ(loadPluRange(link, grid, from, to, separator, {}), TransferEnd::Completed);
        scale.clearRequests();
        return grid;
    }

    // The file's lines after its stamp line, which holds the time of writing.
    static std::string afterStamp(const std::string& file) { return file.substr(file.find("\r\n")); }

    fs::path dir;
    sim::SimulatedScale scale;
    RecordingUi ui;
    const QtRegionalForms plainForms{QLocale::c()};
};

TEST_F(CompanionTest, UsageErrorsAndHelpSendNothing) {
    const CompanionRun help = runCompanion({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* part : {"identify", "plu-load FILE [--from N] [--to N]", "plu-save", "settings-load",
                             "settings-send", "clock-read", "clock-sync", "report FILE", "backup DIR",
                             "restore DIR [--dry-run]", "--port PORT", "--speed N", "--quiet", "Exit status"}) {
        EXPECT_TRUE(contains(help.out, part)) << part;
    }
    const std::string port = scale.device();
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } mistakes[] = {
        {{"--port", port, "frobnicate"}, "unknown command frobnicate"},
        {{"--port", port, "--bogus", "identify"}, "unknown option --bogus"},
        {{"identify"}, "--port is needed"},
        {{"--port", port, "plu-load"}, "plu-load needs a file name"},
        {{"--port", port, "plu-load", "a", "b"}, "plu-load takes no argument b"},
        {{"--port", port, "plu-load", "x.txt", "--from", "0"}, "--from takes a PLU number from 1 to 1799"},
        {{"--port", port, "identify", "--dry-run"}, "identify takes no --dry-run or --clock"},
        {{"--port", port, "report", "r.txt", "--to", "5"}, "report takes no --from or --to"},
        {{"--port", port, "--speed", "fast", "identify"}, "--speed takes a line speed"},
        {{"--port", port, "--quiet=yes", "identify"}, "--quiet takes no value"},
        {{"--port"}, "--port needs a value"},
    };
    for (const auto& mistake : mistakes) {
        const CompanionRun refused = runCompanion(mistake.arguments);
        EXPECT_EQ(refused.status, 2) << mistake.message;
        EXPECT_TRUE(contains(refused.err, std::string("tallivos-cli: ") + mistake.message)) << refused.err;
        EXPECT_TRUE(refused.out.empty());
    }
    EXPECT_TRUE(scale.requests().empty());
}

TEST_F(CompanionTest, IdentifyReadsAndSetsTheClockAndNamesAPortThatWillNotOpen) {
    scale.withMemory([](sim::ScaleMemory& m) { return m.status = 0x04; });
    const CompanionRun identify = run({"identify"});
    EXPECT_EQ(identify.status, 0);
    EXPECT_EQ(identify.out, "SCALE ID: TV-15 COUNTER SCALE v2.31\nSTATUS:04\n");
    EXPECT_EQ(identify.err, "");

    const CompanionRun clock = run({"clock-read"});
    EXPECT_EQ(clock.status, 0);
    EXPECT_EQ(clock.out, "08-12-26 17:45:00\n");

    const LocalDateTime before = localNow();
    const CompanionRun sync = run({"clock-sync"});
    const LocalDateTime after = localNow();
    EXPECT_EQ(sync.status, 0);
    const auto set = scale.snapshot().clock;
    const std::array<int, 6> scaleClock{2000 + set[0], set[1], set[2], set[3], set[4], set[5]};
    const auto fields = [](const LocalDateTime& t) {
        return std::array<int, 6>{t.year, t.month, t.day, t.hour, t.minute, t.second};
    };
    EXPECT_LE(fields(before), scaleClock);
    EXPECT_LE(scaleClock, fields(after));
    EXPECT_EQ(sync.out.size(), 18u); // the time it set, in the clock box's form

    const CompanionRun missing = runCompanion({"--port", (dir / "no-such-port").string(), "identify"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.err, "tallivos-cli: identify: Cannot inicialize COM port! (" +
                                          (dir / "no-such-port").string()))
        << missing.err;
}

TEST_F(CompanionTest, PluFilesAreWhatTheWindowWritesAndASaveChangesTheScale) {
    const fs::path all = dir / "all.txt";
    const LocalDateTime before = localNow();
    const CompanionRun load = run({"plu-load", all.string()});
    const LocalDateTime after = localNow();
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_EQ(load.err, ""); // no progress where no terminal is
    const std::string file = readFile(all);
    // The stamp is the moment of writing, in the user's forms, as SAVE TO DISK writes it.
    const std::string stamp = file.substr(0, file.find("\r\n"));
    EXPECT_TRUE(stamp == "; created: " + plainForms.shortDate(before) + " " + plainForms.longTime(before) ||
                stamp == "; created: " + plainForms.shortDate(after) + " " + plainForms.longTime(after))
        << stamp;
    EXPECT_EQ(afterStamp(file), afterStamp(formatPluFile(gridOfTheScale(1, 1799, '.'), "", "")));

    const fs::path some = dir / "some.txt";
    ASSERT_EQ(run({"plu-load", some.string(), "--from", "20", "--to", "29"}).status, 0);
    const std::string part = readFile(some);
    EXPECT_EQ(afterStamp(part), afterStamp(formatPluFile(gridOfTheScale(20, 29, '.'), "", "")));
    EXPECT_EQ(lines(part).size(), 2u + 1u + 10u); // stamp, empty line, PLU 0 (the demo has no 1800), 20..29
    EXPECT_FALSE(contains(part, "Apples"));

    // A price list from the back office: two changed rows, sent by position.
    std::string prices = "; tonight\r\n\r\n";
    prices += "0\t0.00\t0\t0\t0\t0\t0\t0\t\t0\t\r\n";
    prices += "1800\t0.00\t0\t0\t0\t0\t0\t0\t\t0\t\r\n";
    prices += "1\t2.59\t200001\t1\t1\t0\t0\t0\tPomme Caf\xE9 \xC0 la cr\xE8me\t0\t\r\n";
    writeFile(dir / "prices.txt", prices);
    scale.clearRequests();
    const CompanionRun save = run({"plu-save", (dir / "prices.txt").string(), "--from", "1", "--to", "1"});
    EXPECT_EQ(save.status, 0) << save.err;
    const sim::PluFields apples = sim::decodePlu(scale.snapshot().plu[1]);
    EXPECT_EQ(apples.price, 259);
    EXPECT_EQ(apples.name, "Pomme Caf\xE9 \xC0 la cr\xE8me");
    EXPECT_EQ(apples.quantity, 11411); // the scale's own figures stay
    EXPECT_EQ(scale.snapshot().endOfPluUploads, 1);
    EXPECT_EQ(scale.requests().size(), 4u); // rows 1, 2, 3 and command 39
}

TEST_F(CompanionTest, PluSaveRefusesABadFileBeforeSendingAnything) {
    const std::string good = "1\t2.49\t200001\t1\t1\t0\t0\t0\tApples\t0\t\r\n";
    const struct {
        std::string file;
        int status;
        std::string message;
    } cases[] = {
        {"; x\r\n" + good + "2\t2.49\t200002\t41\t1\t0\t0\t0\tPears\t0\t\r\n", 4,
         "bad.txt line 3: error in input file"},
        {good + "1.5\t2.49\t200002\t1\t1\t0\t0\t0\tPears\t0\t\r\n", 4,
         "bad.txt row 2: '1.5' is not a valid integer value."},
    };
    for (const auto& bad : cases) {
        writeFile(dir / "bad.txt", bad.file);
        const CompanionRun save = run({"plu-save", (dir / "bad.txt").string()});
        EXPECT_EQ(save.status, bad.status);
        EXPECT_TRUE(contains(save.err, "tallivos-cli: plu-save: " + (dir / bad.message).string())) << save.err;
    }
    const CompanionRun missing = run({"plu-save", (dir / "missing.txt").string()});
    EXPECT_EQ(missing.status, 3);
    EXPECT_TRUE(contains(missing.err, "tallivos-cli: plu-save: " + (dir / "missing.txt: I/O Error!").string()))
        << missing.err;
    EXPECT_TRUE(scale.requests().empty());
}

TEST_F(CompanionTest, SettingsAndReportFilesAreWhatTheWindowWrites) {
    const fs::path settingsFile = dir / "settings.txt";
    ASSERT_EQ(run({"settings-load", settingsFile.string()}).status, 0);
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 115200));
    ScaleSettings read = ScaleSettings::startValues('.');
    ASSERT_EQ(loadSettingsFromScale(link, ui, read, '.'), SettingsTransferEnd::Completed);
    EXPECT_EQ(readFile(settingsFile), formatSettingsFile(read, '.'));

    std::vector<std::string> report;
    ASSERT_TRUE(readReport(link, ui, reportStamp(plainForms, localNow()), '.',
                           [&](const std::string& line) { report.push_back(line); }));
    link.closeLink();
    const fs::path reportFile = dir / "today.txt";
    ASSERT_EQ(run({"report", reportFile.string()}).status, 0);
    EXPECT_EQ(afterStamp(readFile(reportFile)), afterStamp(reportFileBytes(report)));

    // A file that names only what is to change: the rest stays as the scale has it.
    writeFile(dir / "change.txt", "# new shop\r\ncurrency = \"EUR\"\r\ndepartment-3 = \"Gr\xC3\xBCnes\"\r\n");
    scale.clearRequests();
    const CompanionRun send = run({"settings-send", (dir / "change.txt").string()});
    EXPECT_EQ(send.status, 0) << send.err;
    const sim::ScaleMemory memory = scale.snapshot();
    EXPECT_EQ(memory.departmentNames[3], "Gr\xFCnes");
    EXPECT_EQ(memory.departmentNames[1], "Fruit");
    EXPECT_EQ(memory.clerkNames[0], "Mara");
    EXPECT_EQ(memory.generalSettings[46], 0x80); // as SEND TO SCALE sends EUR
    EXPECT_EQ(scale.requests().size(), 2u * 54u);

    writeFile(dir / "wrong.txt", "currency = \"EUR\"\r\ntax-A = \"200\"\r\n");
    const CompanionRun wrong = run({"settings-send", (dir / "wrong.txt").string()});
    EXPECT_EQ(wrong.status, 4);
    EXPECT_TRUE(contains(wrong.err, "error in input file (line 2: tax-A must be a rate")) << wrong.err;
}

TEST_F(CompanionTest, AScaleGoingSilentHalfWayLeavesNoCompleteLookingFileOrFolder) {
    const fs::path folder = dir / "backup";
    scale.injectFault(sim::Fault::Late, 100); // a late answer without delay is a plain one
    scale.injectFault(sim::Fault::Silent, 3);
    const CompanionRun backup = run({"backup", folder.string()});
    EXPECT_EQ(backup.status, 1);
    EXPECT_TRUE(contains(backup.err, "tallivos-cli: backup: PLU 98: " + kCommunicationError)) << backup.err;
    EXPECT_TRUE(fs::is_empty(dir)); // no folder, and no work folder either

    // Ctrl+C in the middle: the job stops at the next command, cleanly. The
    // line paced at its speed, so the signal comes long before the end.
    scale.setPacing(115200);
    const CompanionRun stopped =
        runCompanion({"--port", scale.device(), "--speed", "115200", "backup", folder.string()}, false, kPlainLocale,
                     [&] { return scale.requests().size() > 150; });
    EXPECT_EQ(stopped.status, 130);
    EXPECT_TRUE(contains(stopped.err, "tallivos-cli: backup: stopped")) << stopped.err;
    EXPECT_TRUE(fs::is_empty(dir));
    scale.setPacing(0);

    // Unplugged in the middle: an older file of the same name stays as it was.
    for (const std::vector<std::string>& job : {std::vector<std::string>{"plu-load", "old.txt"},
                                                std::vector<std::string>{"settings-load", "old.txt"},
                                                std::vector<std::string>{"report", "old.txt"}}) {
        sim::SimulatedScale dying;
        ASSERT_TRUE(dying.start());
        dying.injectFault(sim::Fault::Late, 3);
        dying.injectFault(sim::Fault::HangUp);
        writeFile(dir / "old.txt", "yesterday");
        std::vector<std::string> arguments = job;
        arguments[1] = (dir / job[1]).string();
        const CompanionRun failed = run(arguments, kPlainLocale, &dying);
        EXPECT_EQ(failed.status, 1) << job[0];
        EXPECT_TRUE(contains(failed.err, kCommunicationError)) << failed.err;
        EXPECT_EQ(readFile(dir / "old.txt"), "yesterday") << job[0];
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << job[0];
    }
}

// A scale the file's limits would refuse, in every way a scale can hold it.
void addWhatOnlyAScaleHolds(sim::SimulatedScale& scale) {
    scale.withMemory([](sim::ScaleMemory& m) {
        sim::PluFields odd;
        odd.price = 12345678; // 123456.78, beyond the file's 99999.99
        odd.code = 99999999;  // beyond 999999
        odd.department = 255;
        odd.tax = 9;
        odd.flags = 0x01; // NW
        odd.valid = -1;
        for (int b = 0x80; b < 0x80 + 30; ++b) {
            odd.name.push_back(static_cast<char>(b));
        }
        m.plu[1799] = sim::encodePlu(odd);
        m.departmentNames[39] = "\xFF\xA0\x81 end";
        m.clerkNames[3] = "Lor Daviken ";
        const char currency[] = {'E', 'U', 'R', 0}; // the three letters, not the euro byte
        std::copy(currency, currency + 4, m.generalSettings.begin() + 46);
        return 0;
    });
}

TEST_F(CompanionTest, ABackupRestoredOntoABlankScaleGivesTheSameFilesBack) {
    addWhatOnlyAScaleHolds(scale);
    const sim::ScaleMemory source = scale.snapshot();
    // Taken on a PC that writes decimals with a comma, restored on one with a point.
    ASSERT_EQ(run({"backup", (dir / "first").string()}, kGermanLocale).status, 0);
    EXPECT_TRUE(contains(readFile(dir / "first" / "plus.txt"), "\t2,49\t"));
    for (const char* name : {"plus.txt", "settings.txt", "clock.txt", "report.txt", "manifest.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(dir / "first" / name)) << name;
    }
    EXPECT_EQ(run({"backup", (dir / "first").string()}).status, 3); // never over a backup

    sim::SimulatedScale blank;
    ASSERT_TRUE(blank.start());
    const CompanionRun dryRun = runCompanion({"restore", (dir / "first").string(), "--dry-run"});
    EXPECT_EQ(dryRun.status, 0);
    EXPECT_TRUE(contains(dryRun.out, "would write 42 PLUs (0-10, 20-29")) << dryRun.out;
    EXPECT_TRUE(contains(dryRun.out, "would leave the clock"));
    EXPECT_TRUE(contains(dryRun.out, "calibration parameters"));

    const CompanionRun restore = run({"restore", (dir / "first").string()}, kPlainLocale, &blank);
    EXPECT_EQ(restore.status, 0) << restore.err;
    const sim::ScaleMemory restored = blank.snapshot();
    for (int plu = 0; plu < sim::kPluCount; ++plu) {
        const auto& was = source.plu[static_cast<std::size_t>(plu)];
        const auto& now = restored.plu[static_cast<std::size_t>(plu)];
        // What command 35 carries; the running figures are the scale's own.
        EXPECT_TRUE(std::equal(was.begin(), was.begin() + sim::kPluWrittenBytes, now.begin())) << plu;
    }
    EXPECT_EQ(restored.generalSettings, source.generalSettings);
    EXPECT_EQ(restored.departmentNames, source.departmentNames);
    EXPECT_EQ(restored.printLines, source.printLines);
    EXPECT_EQ(restored.taxRates, source.taxRates);
    EXPECT_EQ(restored.clock, sim::ScaleMemory{}.clock); // not asked for
    EXPECT_FALSE(restored.systemParametersWritten);

    ASSERT_EQ(run({"backup", (dir / "second").string()}, kGermanLocale, &blank).status, 0);
    EXPECT_EQ(readFile(dir / "second" / "settings.txt"), readFile(dir / "first" / "settings.txt"));
    // plus.txt line by line, but for its stamp and the running figures
    // (QUANTITY, TOTAL, COUNT), which no command writes.
    const auto first = lines(readFile(dir / "first" / "plus.txt"));
    const auto second = lines(readFile(dir / "second" / "plus.txt"));
    ASSERT_EQ(first.size(), second.size());
    const auto firstTenFields = [](const std::string& line) {
        std::size_t at = 0;
        for (int field = 0; field < 10 && at != std::string::npos + 1; ++field) {
            at = line.find('\t', at) + 1;
        }
        return line.substr(0, at);
    };
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_EQ(firstTenFields(first[i]), firstTenFields(second[i])) << i;
    }

    const CompanionRun withClock = run({"restore", (dir / "first").string(), "--clock"}, kPlainLocale, &blank);
    EXPECT_EQ(withClock.status, 0);
    EXPECT_EQ(blank.snapshot().clock, source.clock);
}

TEST_F(CompanionTest, ARestoreOfATamperedBackupSendsNothing) {
    ASSERT_EQ(run({"backup", (dir / "b").string()}).status, 0);
    std::string settings = readFile(dir / "b" / "settings.txt");
    settings.replace(settings.find("Mara"), 4, "Maya");
    writeFile(dir / "b" / "settings.txt", settings);
    scale.clearRequests();
    const CompanionRun restore = run({"restore", (dir / "b").string()});
    EXPECT_EQ(restore.status, 4);
    EXPECT_TRUE(contains(restore.err, "tallivos-cli: restore: settings.txt does not match its SHA-256 in manifest.txt"))
        << restore.err;
    // Cut down and summed again: still no backup, since it lacks settings.
    const std::string cut = "clerk-1 = \"Maya\"\r\n";
    writeFile(dir / "b" / "settings.txt", cut);
    std::string manifest = readFile(dir / "b" / "manifest.txt");
    const std::size_t line = manifest.find("  settings.txt");
    manifest.replace(line - 64, 64, sha256Hex(cut));
    writeFile(dir / "b" / "manifest.txt", manifest);
    const CompanionRun partial = run({"restore", (dir / "b").string()});
    EXPECT_EQ(partial.status, 4);
    EXPECT_TRUE(contains(partial.err, "settings.txt does not name every setting")) << partial.err;

    fs::remove(dir / "b" / "manifest.txt");
    EXPECT_EQ(run({"restore", (dir / "b").string()}).status, 3);
    EXPECT_TRUE(scale.requests().empty());
}

TEST_F(CompanionTest, ProgressShowsOnATerminalUnlessQuiet) {
    const std::vector<std::string> job{"--port", scale.device(), "--speed", "115200", "plu-load",
                                       (dir / "p.txt").string(), "--to", "40"};
    const CompanionRun shown = runCompanion(job, true, kPlainLocale);
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(contains(shown.err, "\r[")) << shown.err;
    EXPECT_TRUE(contains(shown.err, "/42  ")) << shown.err;
    EXPECT_TRUE(contains(shown.err, " left")) << shown.err;
    std::vector<std::string> quiet = job;
    quiet.push_back("--quiet");
    const CompanionRun silent = runCompanion(quiet, true, kPlainLocale);
    EXPECT_EQ(silent.status, 0);
    EXPECT_EQ(silent.err, "");
}

} // namespace

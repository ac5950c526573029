// The settings file: every byte of every text through a save and a load, the
// look a person edits, and every mistake refused at its line with nothing
// changed.

#include "settings/default_settings.h"
#include "settings/settings_file.h"

#include <gtest/gtest.h>

namespace {

bool sameSettings(const ScaleSettings& a, const ScaleSettings& b) {
    return a.clerkMode == b.clerkMode && a.printOptions == b.printOptions &&
           a.singleItemBarcode == b.singleItemBarcode && a.totalBarcode == b.totalBarcode &&
           a.baudRate == b.baudRate && a.autoOffMinutes == b.autoOffMinutes && a.lanNumber == b.lanNumber &&
           a.discountPercent == b.discountPercent && a.drawerOpenTime == b.drawerOpenTime &&
           a.printerDarkness == b.printerDarkness && a.currency == b.currency &&
           a.printAllReports == b.printAllReports && a.printTax == b.printTax && a.clerkNames == b.clerkNames &&
           a.headerLines == b.headerLines && a.footerLines == b.footerLines &&
           a.departmentNames == b.departmentNames && a.taxRates == b.taxRates;
}

// Settings unlike the start values in every field, with all 256 byte values
// spread over the department names.
ScaleSettings unusualSettings(char separator) {
    ScaleSettings s = ScaleSettings::startValues(separator);
    s.clerkMode = kNoClerkMode;
    s.printOptions = 0xA5;
    s.singleItemBarcode = "\"quoted\" \\slash\\";
    s.totalBarcode = "";
    s.baudRate = "12x"; // kept as typed; sending refuses it
    s.autoOffMinutes = 240;
    s.lanNumber = 99;
    s.discountPercent = 0;
    s.drawerOpenTime = 1;
    s.printerDarkness = "5";
    s.currency = "\x80";
    s.printAllReports = true;
    s.printTax = true;
    s.clerkNames = {"Lor Daviken ", " ", "\xC4\xD6\xDC\xDF", "sixteen chars..."};
    s.headerLines = {"  first", "", "third", "", "", "", "seventh, never sent"};
    s.footerLines = {"", "last"};
    for (int k = 0; k < kDepartmentCount; ++k) {
        std::string name;
        for (int b = k * 7; b < k * 7 + 7 && b < 256; ++b) {
            name.push_back(static_cast<char>(b));
        }
        s.departmentNames[static_cast<std::size_t>(k)] = name;
    }
    s.departmentNames[39] = "\xF9\xFA\xFB\xFC\xFD\xFE\xFF";
    s.taxRates = {std::string("15") + separator + "5", "-5", "", std::string(1, separator), "99.99", "0", "7", "1e1"};
    if (separator != '.') {
        s.taxRates[4] = std::string("99") + separator + "99";
    }
    return s;
}

TEST(SettingsFile, KeepsEveryByteThroughASaveAndALoadUnderEitherSeparator) {
    for (const char separator : {'.', ','}) {
        const ScaleSettings original = unusualSettings(separator);
        const std::string file = formatSettingsFile(original, separator);
        ScaleSettings read = ScaleSettings::startValues(separator);
        applyDefaultSettings(read);
        const SettingsFileRead result = parseSettingsFile(file, separator, read);
        ASSERT_EQ(result.result, SettingsFileResult::Ok) << describeSettingsFileError(result.error);
        EXPECT_TRUE(result.complete);
        EXPECT_TRUE(sameSettings(read, original)) << separator;
        // The same file whatever the reader's separator: rates travel with a point.
        EXPECT_NE(file.find("tax-A = \"15.5\"\r\n"), std::string::npos);
    }
}

TEST(SettingsFile, ReadsAsAPersonWritesIt) {
    ScaleSettings s = ScaleSettings::startValues('.');
    s.currency = "\x80";
    s.departmentNames[0] = "Caf\xE9";
    const std::string file = formatSettingsFile(s, '.');
    EXPECT_EQ(file.rfind("# ", 0), 0u);
    for (const char* line : {"clerk-mode = 0\r\n", "print-receipt = yes\r\n", "print-duplicate = no\r\n",
                             "rs-baud-rate = \"1200\"\r\n", "auto-off-time = 20\r\n", "currency = \"\xE2\x82\xAC\"\r\n",
                             "clerk-2 = \"Lor Daviken \"\r\n", "header-2 = \"    Header Line Message!\"\r\n",
                             "department-0 = \"Caf\xC3\xA9\"\r\n", "tax-H = \"0.00\"\r\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line;
    }

    // A hand-made file: LF ends, a byte order mark, bare words, notes, blanks
    // around the '=', and only the settings that are to change.
    ScaleSettings edited = ScaleSettings::startValues(',');
    const SettingsFileRead result = parseSettingsFile("\xEF\xBB\xBF# prices for the new shop\n"
                                                      "rs-baud-rate=9600\n"
                                                      "  tax-B   =  7.5  \n"
                                                      "; another note\n\n"
                                                      "footer-2 = \"Goodbye\"\n",
                                                      ',', edited);
    ASSERT_EQ(result.result, SettingsFileResult::Ok) << describeSettingsFileError(result.error);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(edited.baudRate, "9600");
    EXPECT_EQ(edited.taxRates[1], "7,5");
    EXPECT_EQ(edited.footerLines, (std::vector<std::string>{"", "Goodbye"})); // the box replaced whole
    EXPECT_EQ(edited.headerLines, ScaleSettings{}.headerLines);              // not given: kept
    EXPECT_EQ(edited.clerkNames, ScaleSettings{}.clerkNames);

    // Saved by an editor in the Windows character set: each byte stands for itself.
    ScaleSettings windows = ScaleSettings::startValues('.');
    ASSERT_EQ(parseSettingsFile("currency = \"\x80\"\r\nclerk-1 = \"J\xF6rg\"\r\n", '.', windows).result,
              SettingsFileResult::Ok);
    EXPECT_EQ(windows.currency, "\x80");
    EXPECT_EQ(windows.clerkNames[0], "J\xF6rg");
}

TEST(SettingsFile, RefusesEveryMistakeAtItsLineAndChangesNothing) {
    const struct {
        const char* line;
        const char* reason;
    } mistakes[] = {
        {"tax-I = \"1\"", "'tax-I' is no setting"},
        {"clerk-mode = 5", "clerk-mode must be 0 to 4 or none"},
        {"print-tax = maybe", "print-tax must be yes or no"},
        {"auto-off-time = 241", "auto-off-time must be a whole number from 0 to 240"},
        {"discount-percent = 1.5", "discount-percent must be a whole number from 0 to 99"},
        {"drawer-open-time = 0", "drawer-open-time must be a whole number from 1 to 99"},
        {"currency = \"EURO\"", "the text is longer than 3 characters"},
        {"clerk-1 = \"seventeen chars..\"", "the text is longer than 16 characters"},
        {"clerk-1 = \"open", "the closing quote is missing"},
        {"clerk-1 = \"a\" b", "nothing may follow the closing quote"},
        {"clerk-1 = \"\\q\"", "a backslash must begin \\\" \\\\ or \\x and two hex digits"},
        {"clerk-1 = \"\xC5\x81\"", "the text holds a character the scale cannot store"}, // U+0141
        {"clerk-1 = two words", "a text must stand in double quotes"},
        {"tax-A = \"100\"", "tax-A must be a rate of at most 99.99, written with a point"},
        {"tax-A = \"-\"", "tax-A must be a rate of at most 99.99, written with a point"},
        {"header-0 = \"x\"", "'header-0' is no setting"},
        {"currency", "a line must read: name = value"},
        {"lan-number = 1", "'lan-number' is given twice"},
    };
    for (const auto& mistake : mistakes) {
        ScaleSettings s = ScaleSettings::startValues('.');
        const std::string file = std::string("# note\r\nprint-receipt = no\r\nlan-number = 3\r\n") + mistake.line + "\r\n";
        const SettingsFileRead result = parseSettingsFile(file, '.', s);
        EXPECT_EQ(result.result, SettingsFileResult::InputError) << mistake.line;
        EXPECT_EQ(describeSettingsFileError(result.error), std::string("line 4: ") + mistake.reason) << mistake.line;
        EXPECT_TRUE(sameSettings(s, ScaleSettings::startValues('.'))) << mistake.line;
    }
}

} // namespace

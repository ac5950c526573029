// The 54-command transfers of the settings page: order, line rules, the tax
// read's request, partial failures and conversion errors.

#include "scripted_scale.h"
#include "settings/name_records.h"
#include "settings/settings_transfer.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string payloadText(const Request& request) {
    // index byte, then a NUL-padded text
    std::string out;
    for (std::size_t i = 1; i < request.payload.size() && request.payload[i] != 0; ++i) {
        out.push_back(static_cast<char>(request.payload[i]));
    }
    return out;
}

class SettingsTransfer : public ::testing::Test {
protected:
    void SetUp() override { scale.connect(); }
    ScriptedScale scale;
    ScaleSettings settings = ScaleSettings::startValues('.');
};

TEST_F(SettingsTransfer, SendWritesEveryPartInOrderWithTheLineRules) {
    settings.headerLines = {"first", "", "third line that is longer than thirty-two chars", "4", "5", "6", "7", "8"};
    settings.footerLines = {};
    settings.clerkNames[1] = "Lor Daviken ";
    settings.departmentNames[5] = "FRUIT";
    settings.taxRates = {"15.5", "-5", "0.125", "12.345", "99.99", ".", "0", "7"};
    scale.acknowledge(54);
    EXPECT_EQ(sendSettingsToScale(scale.link(), scale.ui, settings, '.'), SettingsTransferEnd::Completed);

    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 54u);
    std::vector<std::uint8_t> expected{34, 37, 37, 37, 37};
    expected.insert(expected.end(), 8, 33);
    expected.insert(expected.end(), 40, 38);
    expected.push_back(40);
    EXPECT_EQ(scale.commands(), expected);

    EXPECT_EQ(requests[2].payload[0], 1);
    EXPECT_EQ(payloadText(requests[2]), "Lor Daviken "); // the trailing blank travels
    EXPECT_EQ(requests[2].payload.size(), 18u);

    std::vector<std::string> lines;
    for (int i = 0; i < 8; ++i) {
        const auto& r = requests[5 + static_cast<std::size_t>(i)];
        EXPECT_EQ(r.payload[0], i + 1);
        EXPECT_EQ(r.payload.size(), 34u);
        lines.push_back(payloadText(r));
    }
    // Lines 7 and 8 of the header box are not sent; the empty footer sends empty texts.
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "", "third line that is longer than t", "4", "5", "6", "",
                                               ""}));

    EXPECT_EQ(requests[13 + 5].payload[0], 5);
    EXPECT_EQ(payloadText(requests[13 + 5]), "FRUIT");
    EXPECT_EQ(requests[13 + 39].payload[0], 39);

    EXPECT_EQ(requests[53].payload, hexBytes("06 0E" /*15.5*/ "FE 0C" /*-5*/ "00 0C" /*0.125: half to even*/
                                             "04 D2" /*12.345 -> 1234*/ "27 0F" /*99.99*/ "00 00" /*"."*/
                                             "00 00" "02 BC" /*7*/));
    EXPECT_EQ(scale.ui.busyShown, 1);
    EXPECT_EQ(scale.ui.busyDepth, 0);
    EXPECT_TRUE(scale.ui.errors.empty());
}

TEST_F(SettingsTransfer, LoadFillsThePageAndAsksForTaxesWithTheByte39) {
    Bytes general(52, 0);
    general[36 + 2] = 0x25;
    general[36 + 3] = 0x80; // 9600
    general[45] = 2;
    scale.reply(general);
    for (const char* name : {"Ann", "Bo", "", "Dee"}) {
        scale.replyText(name, 16);
    }
    for (const char* line : {"H1", "", "H3", "", "", "", "F1", ""}) {
        scale.replyText(line, 32);
    }
    for (int i = 0; i < 40; ++i) {
        scale.replyText("D" + std::to_string(i), 16);
    }
    scale.reply(hexBytes("06 0E 02 BC 00 00 FF 06 07 CF 00 05 80 00 7F FF"));
    settings.currency = "EUR";
    loadSettingsFromScale(scale.link(), scale.ui, settings, ',');

    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 54u);
    EXPECT_EQ(requests[0].command, 5);
    EXPECT_TRUE(requests[0].payload.empty());
    EXPECT_EQ(requests[4].payload, Bytes{3});
    EXPECT_EQ(requests[12].payload, Bytes{8});
    EXPECT_EQ(requests[52].payload, Bytes{39});
    EXPECT_EQ(requests[53].command, 11);
    EXPECT_EQ(requests[53].payload, Bytes{39});

    EXPECT_EQ(settings.baudRate, "9600");
    EXPECT_EQ(settings.printerDarkness, "2");
    EXPECT_EQ(settings.currency, "");
    EXPECT_EQ(settings.clerkNames, (std::array<std::string, 4>{"Ann", "Bo", "", "Dee"}));
    // Every received line keeps its own place, empty ones included.
    EXPECT_EQ(settings.headerLines, (std::vector<std::string>{"H1", "", "H3", "", "", ""}));
    EXPECT_EQ(settings.footerLines, (std::vector<std::string>{"F1", ""}));
    EXPECT_EQ(settings.departmentNames[0], "D0");
    EXPECT_EQ(settings.departmentNames[39], "D39");
    EXPECT_EQ(settings.taxRates, (std::array<std::string, 8>{"15,5", "7", "0", "-2,5", "19,99", "0,05", "-327,68",
                                                             "327,67"}));
    EXPECT_EQ(scale.ui.busyDepth, 0);
    EXPECT_EQ(scale.ui.busyShown, 1);
}

TEST_F(SettingsTransfer, ASendThatFailsPartWayStopsThereAndStillShowsTheWordEur) {
    scale.acknowledge(1 + 4 + 2); // command 34, clerks, header lines 1 and 2
    scale.staySilent();           // line 3
    std::vector<int> steps;
    EXPECT_EQ(sendSettingsToScale(scale.link(), scale.ui, settings, '.', CurrencyRule::EuroAsByte,
                                  [&](int index) { steps.push_back(index); }),
              SettingsTransferEnd::LinkFailed);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(settingsCommandName(steps.back()), "header line 3");

    const auto commands = scale.commands();
    ASSERT_EQ(commands.size(), 7u + 3u); // three attempts at line 3, nothing after
    EXPECT_EQ(commands.back(), 33);
    EXPECT_EQ(scale.requests().back().payload[0], 3);
    EXPECT_EQ(scale.ui.errorCount("Comunication Error!"), 1);
    EXPECT_EQ(scale.ui.errors.size(), 1u);
    EXPECT_EQ(scale.ui.busyDepth, 0);
    EXPECT_EQ(settings.currency, "EUR");
}

TEST_F(SettingsTransfer, ALoadThatFailsAtDepartment17KeepsWhatCameBefore) {
    settings.departmentNames.fill("old");
    settings.taxRates.fill("1.00");
    scale.reply(Bytes(52, 0));
    for (int i = 0; i < 4; ++i) {
        scale.replyText("C", 16);
    }
    for (int i = 0; i < 8; ++i) {
        scale.replyText("L", 32);
    }
    for (int i = 0; i < 17; ++i) {
        scale.replyText("new", 16);
    }
    scale.staySilent();
    EXPECT_EQ(loadSettingsFromScale(scale.link(), scale.ui, settings, '.'), SettingsTransferEnd::LinkFailed);

    EXPECT_EQ(settings.departmentNames[16], "new");
    EXPECT_EQ(settings.departmentNames[17], "old");
    EXPECT_EQ(settings.departmentNames[39], "old");
    EXPECT_EQ(settings.taxRates[0], "1.00");
    EXPECT_EQ(scale.ui.errors.size(), 1u);
    EXPECT_EQ(scale.ui.busyDepth, 0);
}

TEST_F(SettingsTransfer, ALoadThatFailsInTheHeaderLeavesTheLinesReceivedSoFar) {
    scale.reply(Bytes(52, 0));
    for (int i = 0; i < 4; ++i) {
        scale.replyText("C", 16);
    }
    scale.replyText("one", 32);
    scale.replyText("two", 32);
    scale.staySilent();
    loadSettingsFromScale(scale.link(), scale.ui, settings, '.');
    EXPECT_EQ(settings.headerLines, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(settings.footerLines, ScaleSettings{}.footerLines); // not reached: untouched
}

TEST_F(SettingsTransfer, ATextThatIsNoWholeNumberStopsBeforeAnythingIsSent) {
    for (auto field : {&ScaleSettings::baudRate, &ScaleSettings::printerDarkness}) {
        ScriptedScale fresh;
        fresh.connect();
        auto page = ScaleSettings::startValues('.');
        page.*field = "12x";
        EXPECT_EQ(sendSettingsToScale(fresh.link(), fresh.ui, page, '.'), SettingsTransferEnd::ConversionFailed);
        EXPECT_TRUE(fresh.requests().empty());
        ASSERT_EQ(fresh.ui.errors.size(), 1u);
        EXPECT_EQ(fresh.ui.errors[0].text, "'12x' is not a valid integer value.");
        EXPECT_EQ(fresh.ui.errors[0].title, fresh.ui.title);
        EXPECT_EQ(fresh.ui.busyDepthAtError[0], 0); // the cursor has ended before the box
        EXPECT_EQ(page.currency, "EUR");
    }
}

TEST_F(SettingsTransfer, ATaxCellThatIsNoNumberStopsBeforeTheTaxCommandOnly) {
    settings.taxRates[2] = "";
    scale.acknowledge(53);
    sendSettingsToScale(scale.link(), scale.ui, settings, '.');
    EXPECT_EQ(scale.requests().size(), 53u);
    EXPECT_EQ(scale.commands().back(), 38);
    ASSERT_EQ(scale.ui.errors.size(), 1u);
    EXPECT_EQ(scale.ui.errors[0].text, "'' is not a valid floating point value.");
    EXPECT_EQ(scale.ui.busyDepthAtError[0], 0);
    EXPECT_EQ(settings.currency, "EUR");
}

TEST_F(SettingsTransfer, NotConnectedSendsNothingButStillTurnsTheEuroByteIntoTheWord) {
    ScriptedScale offline;
    settings.currency = "\x80";
    EXPECT_EQ(sendSettingsToScale(offline.link(), offline.ui, settings, '.'), SettingsTransferEnd::NotConnected);
    EXPECT_EQ(loadSettingsFromScale(offline.link(), offline.ui, settings, '.'), SettingsTransferEnd::NotConnected);
    EXPECT_TRUE(offline.requests().empty());
    EXPECT_EQ(offline.ui.errorCount("You are not connected to the scale!"), 2);
    EXPECT_EQ(offline.ui.busyShown, 0);
    EXPECT_EQ(settings.currency, "EUR");
}

TEST(SettingsCommandName, NamesEachOfThe54CommandsInOrder) {
    const std::pair<int, const char*> names[] = {{0, "general settings"}, {1, "clerk 1"},      {4, "clerk 4"},
                                                 {5, "header line 1"},    {10, "header line 6"}, {11, "footer line 1"},
                                                 {12, "footer line 2"},   {13, "department 0"}, {52, "department 39"},
                                                 {53, "tax rates"}};
    for (const auto& [index, name] : names) {
        EXPECT_EQ(settingsCommandName(index), name);
    }
}

TEST_F(SettingsTransfer, ARestoreSendsTheCurrencyExactlyAsHeld) {
    for (const std::string currency : {"EUR", "\x80"}) {
        ScriptedScale fresh;
        fresh.connect();
        fresh.acknowledge(54);
        settings.currency = currency;
        EXPECT_EQ(sendSettingsToScale(fresh.link(), fresh.ui, settings, '.', CurrencyRule::AsHeld),
                  SettingsTransferEnd::Completed);
        const Bytes general = fresh.requests().at(0).payload;
        EXPECT_EQ(std::string(general.begin() + 46, general.begin() + 46 + static_cast<long>(currency.size())),
                  currency);
        EXPECT_EQ(settings.currency, currency);
    }
}

} // namespace

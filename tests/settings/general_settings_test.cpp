// Command 34 on the wire and the rules that fill the page from a command 5 reply.

#include "scripted_scale.h"
#include "settings/default_settings.h"
#include "settings/general_settings_record.h"
#include "settings/settings_transfer.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s, std::size_t width) {
    Bytes out(s.begin(), s.end());
    out.resize(width + 1, 0);
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Sends the page and returns the request of command 34.
Bytes sentGeneralSettings(ScaleSettings& settings, char separator = '.') {
    ScriptedScale scale;
    scale.connect();
    scale.acknowledge(54);
    sendSettingsToScale(scale.link(), scale.ui, settings, separator);
    const auto requests = scale.requests();
    EXPECT_EQ(requests.size(), 54u);
    EXPECT_EQ(requests.at(0).command, 34);
    return requests.at(0).payload;
}

GeneralSettingsRecord decoded(const Bytes& payload) {
    MessageBuffer buffer;
    Bytes reply{0x00, 0x00};
    reply.insert(reply.end(), payload.begin(), payload.end());
    reply.push_back(0x00); // check byte
    buffer.storeReply(reply);
    buffer.setCursor(2);
    return decodeGeneralSettingsRecord(buffer);
}

TEST(GeneralSettings, StartValuesGoOutAsTheirKnownBytes) {
    auto settings = ScaleSettings::startValues('.');
    const Bytes expected = concat({
        hexBytes("00"),          // clerk mode "All at once"
        hexBytes("45"),          // receipt, graphics logo, discount
        text("a44W5U5", 16),     // single-item barcode
        text("a44W5P5", 16),     // total barcode
        hexBytes("00 00 04 B0"), // 1200 bit/s
        hexBytes("00"),          // LAN number
        hexBytes("00 14"),       // auto-off 20 min
        hexBytes("06"),          // discount %
        hexBytes("0A"),          // drawer open time
        hexBytes("03"),          // darkness
        hexBytes("80 00 00 00"), // "EUR" as the euro byte
        hexBytes("00 00"),       // print all reports, print tax
    });
    EXPECT_EQ(sentGeneralSettings(settings), expected);
    EXPECT_EQ(expected.size(), kGeneralSettingsRecordSize);
    EXPECT_EQ(settings.currency, "EUR");
}

TEST(GeneralSettings, DefaultSetGoesOutAsItsKnownBytesAndKeepsClerkModeAndTaxes) {
    auto settings = ScaleSettings::startValues(',');
    settings.clerkMode = 3;
    settings.taxRates[0] = "15,5";
    applyDefaultSettings(settings);
    EXPECT_EQ(settings.clerkMode, 3);
    EXPECT_EQ(settings.taxRates[0], "15,5");
    EXPECT_EQ(settings.departmentNames[39], "GROUP 39");

    const Bytes sent = sentGeneralSettings(settings, ',');
    const Bytes expected = concat({hexBytes("03 DD"), text("a44W5U5", 16), text("a44W5P5", 16),
                                   hexBytes("00 01 C2 00" /*115200*/ "00" /*LAN*/ "00 00" /*auto-off*/
                                            "00" /*discount*/ "32" /*drawer 50*/ "03" /*darkness*/
                                            "80 00 00 00" /*currency*/ "00 01" /*all reports, tax*/)});
    EXPECT_EQ(sent, expected);
}

TEST(GeneralSettings, ValuesBeyondTheirFieldsAreCut) {
    auto settings = ScaleSettings::startValues('.');
    settings.clerkMode = kNoClerkMode;
    settings.singleItemBarcode = "ABCDEFGHIJKLMNOPQRS";
    settings.printerDarkness = "300";
    settings.baudRate = "-1";
    settings.currency = "eur";
    const Bytes sent = sentGeneralSettings(settings);
    EXPECT_EQ(sent[0], 255);                                          // no clerk mode
    EXPECT_EQ(Bytes(sent.begin() + 2, sent.begin() + 19), text("ABCDEFGHIJKLMNOP", 16));
    EXPECT_EQ(Bytes(sent.begin() + 36, sent.begin() + 40), hexBytes("FF FF FF FF"));
    EXPECT_EQ(sent[45], 44);                                          // 300 & 0xFF
    EXPECT_EQ(Bytes(sent.begin() + 46, sent.begin() + 50), text("eur", 3)); // other cases go as typed
}

TEST(GeneralSettings, ReceivedValuesAreClampedAndSelectedByThePageRules) {
    const Bytes reply = concat({hexBytes("07 AA"), text("X1", 16), text("X2", 16),
                                hexBytes("00 00 30 39" /*12345*/ "96" /*LAN 150*/ "FF FF" /*-1*/
                                         "FF" /*discount 255*/ "00" /*drawer 0*/ "09" /*darkness*/),
                                text("\x80", 3), hexBytes("FE 03")});
    auto settings = ScaleSettings::startValues('.');
    applyGeneralSettingsToPage(decoded(reply), settings);
    EXPECT_EQ(settings.clerkMode, kNoClerkMode);
    EXPECT_EQ(settings.printOptions, 0xAA);
    EXPECT_EQ(settings.singleItemBarcode, "X1");
    EXPECT_EQ(settings.totalBarcode, "X2");
    EXPECT_EQ(settings.baudRate, "12345");
    EXPECT_EQ(settings.lanNumber, 99);
    EXPECT_EQ(settings.autoOffMinutes, 0);
    EXPECT_EQ(settings.discountPercent, 99);
    EXPECT_EQ(settings.drawerOpenTime, 1);
    EXPECT_EQ(settings.printerDarkness, "9");
    EXPECT_EQ(settings.currency, "\x80"); // shown as received
    EXPECT_FALSE(settings.printAllReports); // only bit 0 counts
    EXPECT_TRUE(settings.printTax);

    // A clerk mode in range selects its item; an auto-off time above 240 is cut to it.
    Bytes other = reply;
    other[0] = 4;
    other[41] = 0x01; // 0x01FF = 511
    applyGeneralSettingsToPage(decoded(other), settings);
    EXPECT_EQ(settings.clerkMode, 4);
    EXPECT_EQ(settings.autoOffMinutes, 240);
}

TEST(GeneralSettings, ALoadedEuroByteIsSentUnchangedAndThenShownAsTheWord) {
    auto settings = ScaleSettings::startValues('.');
    settings.currency = "\x80";
    const Bytes sent = sentGeneralSettings(settings);
    EXPECT_EQ(Bytes(sent.begin() + 46, sent.begin() + 50), hexBytes("80 00 00 00"));
    EXPECT_EQ(settings.currency, "EUR");
}

TEST(GeneralSettings, NoClerkModeReceivedGoesBackAs255) {
    auto settings = ScaleSettings::startValues('.');
    GeneralSettingsRecord record;
    record.clerkMode = 7;
    applyGeneralSettingsToPage(record, settings);
    settings.baudRate = "9600";
    EXPECT_EQ(sentGeneralSettings(settings)[0], 255);
}

} // namespace

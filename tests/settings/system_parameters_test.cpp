// Command 65: the record's bytes for the start values and every preset, the
// "Max Tare" rule, cut fields and conversion errors.

#include "scripted_scale.h"
#include "settings/system_parameters.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encoded(const SystemParameters& parameters, char separator = '.') {
    const auto record = systemParametersFromPage(parameters, separator);
    EXPECT_TRUE(record) << record.error.text;
    MessageBuffer buffer;
    encodeSystemParametersRecord(buffer, *record.value);
    const auto request = buffer.request();
    return Bytes(request.begin(), request.end());
}

TEST(SystemParameters, StartValuesGoOutAsTheirKnownBytes) {
    const Bytes expected = hexBytes("08"          /*tag*/
                                    "0F"          /*capacity 15*/
                                    "02"          /*e=d 2*/
                                    "20"          /*digits 32*/
                                    "00 01"       /*price round*/
                                    "03 E8"       /*unit 1000*/
                                    "02"          /*dual interval*/
                                    "00 01 7E CA" /*local g 97994*/
                                    "00 01 7E CA" /*destination g*/
                                    "0A"          /*initial zero 10*/
                                    "00 00 17 70" /*max tare 6000*/
                                    "00"          /*minimum sale*/
                                    "03" /*stable count*/);
    EXPECT_EQ(encoded(SystemParameters::startValues('.')), expected);
    EXPECT_EQ(encoded(SystemParameters::startValues(','), ','), expected);
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(kSystemParametersRecordSize));
}

TEST(SystemParameters, EveryPresetSetsItsRowAndTheSharedValues) {
    // capacity, e=d, flags, max tare (4 bytes) for each preset in button order
    const Bytes rows[] = {hexBytes("06 02 00 00 00 17 70"), hexBytes("0F 05 00 00 00 3A 98"),
                          hexBytes("1E 0A 00 00 00 75 30"), hexBytes("06 01 02 00 00 17 70"),
                          hexBytes("0F 02 02 00 00 17 70"), hexBytes("1E 05 02 00 00 17 70")};
    for (std::size_t i = 0; i < kCalibrationPresets.size(); ++i) {
        SystemParameters parameters;
        parameters.digits = 11;
        parameters.modeFlags = 0x0F;
        parameters.unit = 1;
        parameters.stableCount = "1";
        parameters.priceRounding = "50";
        applyCalibrationPreset(kCalibrationPresets[i], parameters);
        const Bytes sent = encoded(parameters);
        const Bytes row{sent[1], sent[2], sent[8], sent[18], sent[19], sent[20], sent[21]};
        EXPECT_EQ(row, rows[i]) << kCalibrationPresets[i].caption;
        EXPECT_EQ(Bytes(sent.begin() + 3, sent.begin() + 8), hexBytes("20 00 01 03 E8"));
        EXPECT_EQ(Bytes(sent.begin() + 9, sent.begin() + 18), hexBytes("00 01 7E CA 00 01 7E CA 0A"));
        EXPECT_EQ(sent[22], 1); // minimum sale
        EXPECT_EQ(sent[23], 3);
    }
}

TEST(SystemParameters, MaxTareIsItsWholePartTimes1000AndWideFieldsKeepTheirLowBytes) {
    auto parameters = SystemParameters::startValues('.');
    const std::pair<const char*, Bytes> tares[] = {
        {"6.9", hexBytes("00 00 17 70")}, {"2.5", hexBytes("00 00 07 D0")}, {"-1", hexBytes("FF FF FC 18")},
        {"-1.9", hexBytes("FF FF FC 18")}, {"15", hexBytes("00 00 3A 98")}, {"0.999", hexBytes("00 00 00 00")},
        {"5e6", hexBytes("2A 05 F2 00")}, // 5 000 000 000 cut to 32 bits
    };
    for (const auto& [text, bytes] : tares) {
        parameters.maxTare = text;
        const Bytes sent = encoded(parameters);
        EXPECT_EQ(Bytes(sent.begin() + 18, sent.begin() + 22), bytes) << text;
    }
    parameters.maxTare = "6";
    parameters.capacity = "300";
    parameters.initialZeroPercent = 300;
    parameters.priceRounding = "70000";
    const Bytes sent = encoded(parameters);
    EXPECT_EQ(sent[1], 44);
    EXPECT_EQ(sent[17], 44);
    EXPECT_EQ(Bytes(sent.begin() + 4, sent.begin() + 6), hexBytes("11 70"));
    parameters.capacity = "120";
    EXPECT_EQ(encoded(parameters)[1], 120);
}

TEST(SystemParameters, SendStopsOnTextsThatAreNoNumbersAndOtherwiseRunsCommand65) {
    struct Case {
        std::string SystemParameters::*field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {&SystemParameters::capacity, "1x", "'1x' is not a valid integer value."},
        {&SystemParameters::scaleInterval, "", "'' is not a valid integer value."},
        {&SystemParameters::priceRounding, "1.5", "'1.5' is not a valid integer value."},
        {&SystemParameters::stableCount, "three", "'three' is not a valid integer value."},
        {&SystemParameters::maxTare, "", "'' is not a valid floating point value."},
        {&SystemParameters::maxTare, "6,0", "'6,0' is not a valid floating point value."},
        {&SystemParameters::maxTare, "1e30", "'1e30' is not a valid floating point value."},
    };
    for (const auto& c : cases) {
        ScriptedScale scale;
        scale.connect();
        auto parameters = SystemParameters::startValues('.');
        parameters.*(c.field) = c.text;
        EXPECT_FALSE(sendSystemParameters(scale.link(), scale.ui, parameters, '.'));
        EXPECT_TRUE(scale.requests().empty()) << c.text;
        ASSERT_EQ(scale.ui.errors.size(), 1u);
        EXPECT_EQ(scale.ui.errors[0], (RecordingUi::Message{c.message, scale.ui.title}));
    }

    ScriptedScale scale;
    scale.connect();
    scale.reply();
    EXPECT_TRUE(sendSystemParameters(scale.link(), scale.ui, SystemParameters::startValues('.'), '.'));
    ASSERT_EQ(scale.requests().size(), 1u);
    EXPECT_EQ(scale.requests()[0].command, 65);
    EXPECT_EQ(scale.requests()[0].payload.size(), 24u);
    EXPECT_EQ(scale.ui.busyShown, 0);

    ScriptedScale offline;
    EXPECT_FALSE(sendSystemParameters(offline.link(), offline.ui, SystemParameters::startValues('.'), '.'));
    EXPECT_EQ(offline.ui.errorCount("You are not connected to the scale!"), 1);
}

} // namespace

// The scale's own records as the program reads them back: a PLU (command 4)
// and the whole settings page (54 reads), from replies of any length and
// content. Every read goes through the link and the response area, as in the
// program.
//
// Input, front to back: shape byte (bit 0: the settings page, otherwise one
// PLU; bit 1: decimal comma), for a PLU its number (two bytes, big-endian),
// then for each read a length byte and that many reply data bytes after the
// status byte and the byte the program skips. A read whose bytes have run out
// meets a silent scale.

#include "fuzz_support.h"
#include "link/frame_exchange.h"
#include "plu/plu_file.h"
#include "plu/plu_record.h"
#include "settings/settings_transfer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSettingsReads = 1 + kClerkCount + kHeaderLineCount + kFooterLineCount + kDepartmentCount + 1;

// Payload bytes a good reply can carry: the response area holds the status
// byte, the skipped byte, the payload and the check byte.
constexpr std::size_t kLongestPayload = MessageBuffer::kAreaSize - 3;

void scriptReplies(ScriptedScale& scale, InputBytes& input, int replies) {
    for (int reply = 0; reply < replies; ++reply) {
        const std::size_t length = std::min<std::size_t>(input.u8(), kLongestPayload);
        std::vector<std::uint8_t> data{0x00, 0x00}; // status byte, skipped byte
        const auto payload = input.bytes(length);
        data.insert(data.end(), payload.begin(), payload.end());
        scale.channel->afterRequest(scaleReply(data));
    }
}

// A PLU read from the scale, saved in a PLU file and loaded again, is the
// same PLU: the file may refuse figures beyond its own limits, but what it
// takes must not be shifted or cut. Bytes that would end a cell are saved as
// blanks.
void checkSavedAndLoaded(const PluGrid& grid, int row, char decimalSeparator) {
    // Grids of 1801 rows are costly to make; these keep only row 1 filled.
    static PluGrid one;
    static PluGrid loaded;
    one.row(1) = grid.row(row);
    loaded.row(1) = PluRow{};
    std::istringstream saved(formatPluFile(one, "08.12.2026", "16:57:37"));
    if (readPluFile(saved, loaded, decimalSeparator).result != PluFileResult::Ok) {
        return;
    }
    for (int column = 0; column < kPluFileFields; ++column) {
        std::string expected = grid.cell(row, column);
        std::replace_if(
            expected.begin(), expected.end(),
            [](char byte) { return byte == '\t' || byte == '\r' || byte == '\n' || byte == '\x1a'; }, ' ');
        FUZZ_CHECK(loaded.cell(1, column) == expected);
    }
}

void readOnePlu(InputBytes& input, char decimalSeparator) {
    ScriptedScale scale;
    const auto high = input.u8();
    const auto plu = static_cast<std::uint16_t>(high << 8 | input.u8());
    scriptReplies(scale, input, 1);
    static PluGrid grid;
    const int row = 1 + plu % kPluDataRows;
    grid.row(row) = PluRow{};
    const PluReadResult result = readPlu(scale.link, grid, plu, row, decimalSeparator);
    FUZZ_CHECK(result != PluReadResult::LinkFailed);
    FUZZ_CHECK(scale.ui.errors.empty());
    if (result == PluReadResult::Ok) {
        const std::string& name = grid.cell(row, PluColumn::Name);
        FUZZ_CHECK(name.size() <= kPluNameWidth);
        FUZZ_CHECK(name.find('\0') == std::string::npos);
        FUZZ_CHECK(grid.cell(row, PluColumn::Num) == std::to_string(plu));
        checkSavedAndLoaded(grid, row, decimalSeparator);
    } else {
        for (const std::string& cell : grid.row(row)) {
            FUZZ_CHECK(cell.empty()); // an absent PLU leaves its row alone
        }
    }
}

void loadSettings(InputBytes& input, char decimalSeparator) {
    ScriptedScale scale;
    scriptReplies(scale, input, kSettingsReads);
    ScaleSettings settings;
    loadSettingsFromScale(scale.link, scale.ui, settings, decimalSeparator);
    // Every read was answered with a good frame: nothing to report, and the
    // busy cursor is off again.
    for (const auto& error : scale.ui.errors) {
        std::fprintf(stderr, "shown: %s / %s\n", error.text.c_str(), error.title.c_str());
    }
    FUZZ_CHECK(scale.ui.errors.empty());
    FUZZ_CHECK(scale.ui.busyDepth == 0);
    FUZZ_CHECK(scale.channel->count(ScriptedChannel::Event::Kind::Block) == kSettingsReads);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input({data, size});
    const std::uint8_t shape = input.u8();
    const char decimalSeparator = (shape & 0x02) != 0 ? ',' : '.';
    if ((shape & 0x01) != 0) {
        loadSettings(input, decimalSeparator);
    } else {
        readOnePlu(input, decimalSeparator);
    }
    return 0;
}

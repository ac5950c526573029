#pragma once
// Shared pieces of the PLU tests: a scripted scale behind the one link, and
// PLU records written as hex with a comment per field.

#include "link/scale_link.h"
#include "plu/plu_grid.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <memory>
#include <string>

// A link over a scripted channel, already open.
struct ScriptedLink {
    RecordingUi ui;
    ScriptedChannel* channel = nullptr;
    std::unique_ptr<ScaleLink> link;

    ScriptedLink() {
        auto owned = std::make_unique<ScriptedChannel>();
        channel = owned.get();
        link = std::make_unique<ScaleLink>(std::move(owned), ui);
        link->openLink(PortId::numbered(1), 9600);
    }
    // The scale answers the next request with status 00, the skipped byte and `payload`.
    void answer(const std::vector<std::uint8_t>& payload) {
        std::vector<std::uint8_t> data{0x00, 0x00};
        data.insert(data.end(), payload.begin(), payload.end());
        channel->afterRequest(scaleReply(data));
    }
    // The scale stays silent for all three attempts of the next command.
    void silence() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            channel->afterRequest({});
        }
    }
};

// The 31-byte name field: the text, zero-filled.
inline std::string nameField(const std::string& name) {
    std::string hex;
    for (std::size_t i = 0; i < 31; ++i) {
        const unsigned byte = i < name.size() ? static_cast<unsigned char>(name[i]) : 0u;
        const char digits[] = "0123456789ABCDEF";
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
        hex += ' ';
    }
    return hex;
}

// A data row with every writable cell given.
inline PluRow makeRow(std::string num, std::string price, std::string name = "ITEM") {
    PluRow row;
    row[PluColumn::Num] = std::move(num);
    row[PluColumn::Price] = std::move(price);
    row[PluColumn::Code] = "1234";
    row[PluColumn::Dep] = "3";
    row[PluColumn::Tax] = "2";
    row[PluColumn::Nw] = "1";
    row[PluColumn::Fix] = "0";
    row[PluColumn::Bar] = "1";
    row[PluColumn::Name] = std::move(name);
    row[PluColumn::ValidDate] = "10";
    return row;
}

#pragma once
// A ScaleLink over the scripted channel, with the requests read back as
// (command, payload) and replies queued by their data bytes.

#include "link/scale_link.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <cstdint>
#include <memory>
#include <vector>

struct Request {
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
};

// Undoes the framing of one request: C3 04, address, command, payload, check, C3 02.
inline Request decodeRequestFrame(const std::vector<std::uint8_t>& frame) {
    std::vector<std::uint8_t> data;
    for (std::size_t i = 2; i + 2 < frame.size(); ++i) {
        data.push_back(frame[i]);
        if (frame[i] == 0xC3) {
            ++i; // the doubled mark
        }
    }
    Request request;
    if (data.size() >= 3) {
        request.command = data[1];
        request.payload.assign(data.begin() + 2, data.end() - 1);
    }
    return request;
}

class ScriptedScale {
public:
    ScriptedScale() {
        auto channel = std::make_unique<ScriptedChannel>();
        channel_ = channel.get();
        link_ = std::make_unique<ScaleLink>(std::move(channel), ui);
    }

    void connect() { link_->openLink(PortId::numbered(1), 9600); }

    // The next request is answered with status 00, the skipped byte and `payload`.
    void reply(const std::vector<std::uint8_t>& payload = {}) {
        std::vector<std::uint8_t> data{0x00, 0x00};
        data.insert(data.end(), payload.begin(), payload.end());
        channel_->afterRequest(scaleReply(data));
    }
    void replyText(const std::string& text, std::size_t width) {
        std::vector<std::uint8_t> field(text.begin(), text.end());
        field.resize(width + 1, 0);
        reply(field);
    }
    void acknowledge(int count) {
        for (int i = 0; i < count; ++i) {
            reply();
        }
    }
    // The next exchange fails: every attempt meets silence.
    void staySilent() {
        for (int i = 0; i < 3; ++i) {
            channel_->afterRequest({});
        }
    }

    // Every request sent, attempts of a failed exchange included.
    std::vector<Request> requests() const {
        std::vector<Request> out;
        for (const auto& frame : channel_->requests()) {
            out.push_back(decodeRequestFrame(frame));
        }
        return out;
    }
    std::vector<std::uint8_t> commands() const {
        std::vector<std::uint8_t> out;
        for (const auto& r : requests()) {
            out.push_back(r.command);
        }
        return out;
    }

    ScaleLink& link() { return *link_; }

    RecordingUi ui;

private:
    ScriptedChannel* channel_ = nullptr;
    std::unique_ptr<ScaleLink> link_;
};

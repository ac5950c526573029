#pragma once
// A ScaleLink over the scripted channel, with helpers to script replies and
// read back the requests the program framed.

#include "link/scale_link.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <memory>
#include <vector>

class ScriptedLink {
  public:
    ScriptedLink() {
        auto channel = std::make_unique<ScriptedChannel>();
        channel_ = channel.get();
        link_ = std::make_unique<ScaleLink>(std::move(channel), ui);
        link_->openLink(PortId::named("/dev/scripted"), 9600);
    }

    ScaleLink& link() { return *link_; }
    ScriptedChannel& channel() { return *channel_; }

    // A good reply: status byte 00, the skipped byte, then `payload`.
    void replyWith(std::vector<std::uint8_t> payload = {}) {
        payload.insert(payload.begin(), {0x00, 0x00});
        channel_->afterRequest(scaleReply(payload));
    }
    // No answer to the next request (one attempt).
    void silence() { channel_->afterRequest({}); }

    struct Request {
        std::uint8_t command = 0;
        std::vector<std::uint8_t> payload;
    };
    // The frames written so far, de-stuffed: C3 04, address, command, payload, check, C3 02.
    std::vector<Request> requests() const {
        std::vector<Request> out;
        for (const auto& frame : channel_->requests()) {
            Request request;
            request.command = frame.at(3);
            for (std::size_t i = 4; i + 3 < frame.size(); ++i) {
                request.payload.push_back(frame[i]);
                if (frame[i] == 0xC3) {
                    ++i; // a doubled C3 stands for one
                }
            }
            out.push_back(request);
        }
        return out;
    }

    RecordingUi ui;

  private:
    ScriptedChannel* channel_ = nullptr;
    std::unique_ptr<ScaleLink> link_;
};

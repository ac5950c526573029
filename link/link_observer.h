#pragma once
// What the link tells whoever watches it: every frame both ways and every turn
// an exchange takes (attempts, acknowledgements, time-outs, check-byte errors,
// purged and stray bytes), and the opening and closing of the port.
//
// The link never formats or stores anything itself: an observer does, when one
// is attached. With none attached each place that could tell costs one test of
// a pointer. Observers are called on the thread that runs the exchange, at the
// moment the event happens, so they may take the time themselves.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

enum class LinkEventKind : std::uint8_t {
    RequestSent,         // bytes: the request frame as written
    AcknowledgementTaken, // bytes: the byte after the request, taken as the acknowledgement
    NakReceived,         // bytes: 15, the scale asks for the request again
    ReplyReceived,       // bytes: the reply frame from its C3 04 to its C3 02, check byte good
    CheckByteError,      // bytes: a whole reply frame whose check byte is wrong
    AcknowledgementSent, // bytes: 06, the reply was taken
    NakSent,             // bytes: 15, the scale is asked to send the reply again
    StrayBytes,          // bytes: received outside any frame (noise, another address, an abandoned frame)
    AcknowledgementTimeout, // nothing came after the request within the read time-out
    ReplyTimeout,        // the reply stopped coming (time-out or line failure) before it was whole
    TooManyBytes,        // count: the attempt took this many bytes without a good reply
    ReplyTooLong,        // count: the reply carried more data than the response area holds
    Purged,              // count: bytes discarded by the purge before an attempt or before giving up
    ExchangeFailed,      // count: the attempts made; the exchange gave up
    PortOpened,          // text: the port and its speed
    PortOpenFailed,      // text: the port, its speed and why it did not open
    PortClosed,          // text: the port
};

struct LinkEvent {
    LinkEventKind kind = LinkEventKind::RequestSent;
    std::uint8_t command = 0;                // the command of the exchange (0 for port events)
    int attempt = 0;                         // 1 to 3 within an exchange, 0 for port events
    std::span<const std::uint8_t> request;   // the exchange's request payload, unstuffed
    std::span<const std::uint8_t> bytes;     // the bytes on the wire, where the event has any
    std::size_t count = 0;                   // see the kind
    std::string_view text;                   // see the kind
};

class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void onLinkEvent(const LinkEvent& event) = 0;
};

// Every observer of one link (the communication log, what the PLU page knows
// of the scale), each told of every event in the order they were added. An
// observer is not added or removed from inside a notification.
class LinkObservers final : public LinkObserver {
public:
    void add(LinkObserver& observer) {
        if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
            observers_.push_back(&observer);
        }
    }
    void remove(LinkObserver& observer) { std::erase(observers_, &observer); }
    bool empty() const { return observers_.empty(); }
    void onLinkEvent(const LinkEvent& event) override {
        for (LinkObserver* observer : observers_) {
            observer->onLinkEvent(event);
        }
    }

private:
    std::vector<LinkObserver*> observers_;
};

// Tells `observer`, when there is one, of a port event with its text.
inline void tellPortEvent(LinkObserver* observer, LinkEventKind kind, std::string_view text) {
    if (observer != nullptr) {
        LinkEvent event{};
        event.kind = kind;
        event.text = text;
        observer->onLinkEvent(event);
    }
}

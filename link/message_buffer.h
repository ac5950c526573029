#pragma once
// The request and response areas that every command goes through.
//
// Puts write big-endian numbers and fixed texts into the request area, gets
// read them back from the response area; both move one shared 8-bit cursor,
// which wraps from 255 to 0. A fixed text of width n always takes n + 1 bytes.
//
// The exchange stores an accepted reply with storeReply(). Gets beyond the
// bytes that reply carried read 0, so a short reply never shows bytes that an
// older reply left behind.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class MessageBuffer {
public:
    static constexpr std::size_t kAreaSize = 256;
    static constexpr std::size_t kMaxRequestLength = 255; // the length travels in one byte

    // Building a request.
    void clear();
    void putU8(std::uint8_t value);
    void putU16(std::uint16_t value);
    void putU32(std::uint32_t value);
    void putText(std::string_view text, std::uint8_t width);

    // Reading a reply, from the cursor.
    std::uint8_t getU8();
    std::uint16_t getU16();
    std::uint32_t getU32();
    std::string getText(std::uint8_t width);
    static std::uint32_t swap32(std::uint32_t value);

    std::uint8_t cursor() const { return cursor_; }
    void setCursor(std::uint8_t position) { cursor_ = position; }

    // The request as the exchange frames it.
    std::span<const std::uint8_t> request() const { return {request_.data(), requestLength_}; }
    std::size_t requestLength() const { return requestLength_; }

    // The reply, by position: byte 0 is the status byte. Positions beyond the
    // accepted reply's data (its check byte included) read 0.
    std::uint8_t responseByte(std::size_t position) const;
    std::size_t responseLength() const { return responseLength_; }

    // Called by the exchange: the data bytes of an accepted reply, check byte
    // last. The check byte is stored but not readable as data.
    void storeReply(std::span<const std::uint8_t> dataWithCheck);
    // Called by the exchange when it fails: no reply is readable.
    void discardReply() { responseLength_ = 0; }

private:
    std::array<std::uint8_t, kAreaSize> request_{};
    std::array<std::uint8_t, kAreaSize> response_{};
    std::size_t requestLength_ = 0;
    std::size_t responseLength_ = 0; // data bytes of the accepted reply, without its check byte
    std::uint8_t cursor_ = 0;
};

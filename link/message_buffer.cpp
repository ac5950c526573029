#include "message_buffer.h"

#include <algorithm>

void MessageBuffer::clear() {
    cursor_ = 0;
    requestLength_ = 0;
}

void MessageBuffer::putU8(std::uint8_t value) {
    // The request length is one byte on the wire: a 256th byte has no place.
    if (requestLength_ >= kMaxRequestLength) {
        return;
    }
    request_[cursor_] = value;
    ++cursor_;
    ++requestLength_;
}

void MessageBuffer::putU16(std::uint16_t value) {
    putU8(static_cast<std::uint8_t>(value >> 8));
    putU8(static_cast<std::uint8_t>(value));
}

void MessageBuffer::putU32(std::uint32_t value) {
    putU8(static_cast<std::uint8_t>(value >> 24));
    putU8(static_cast<std::uint8_t>(value >> 16));
    putU8(static_cast<std::uint8_t>(value >> 8));
    putU8(static_cast<std::uint8_t>(value));
}

void MessageBuffer::putText(std::string_view text, std::uint8_t width) {
    const std::size_t kept = std::min<std::size_t>(text.size(), width);
    for (std::size_t i = 0; i < width; ++i) {
        putU8(i < kept ? static_cast<std::uint8_t>(text[i]) : 0);
    }
    putU8(0);
}

std::uint8_t MessageBuffer::responseByte(std::size_t position) const {
    return position < responseLength_ ? response_[position] : 0;
}

std::uint8_t MessageBuffer::getU8() {
    const std::uint8_t value = responseByte(cursor_);
    ++cursor_;
    return value;
}

std::uint16_t MessageBuffer::getU16() {
    const std::uint16_t high = getU8();
    return static_cast<std::uint16_t>((high << 8) | getU8());
}

std::uint32_t MessageBuffer::getU32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | getU8();
    }
    return value;
}

std::string MessageBuffer::getText(std::uint8_t width) {
    std::string text;
    // The end of the reply ends the text as a NUL byte would.
    std::size_t position = cursor_;
    while (text.size() < width && position < responseLength_ && response_[position] != 0) {
        text.push_back(static_cast<char>(response_[position]));
        ++position;
    }
    cursor_ = static_cast<std::uint8_t>(cursor_ + width + 1);
    return text;
}

std::uint32_t MessageBuffer::swap32(std::uint32_t value) {
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
           ((value & 0xFF000000u) >> 24);
}

void MessageBuffer::storeReply(std::span<const std::uint8_t> dataWithCheck) {
    const std::size_t stored = std::min(dataWithCheck.size(), kAreaSize);
    std::copy_n(dataWithCheck.begin(), stored, response_.begin());
    responseLength_ = stored == 0 ? 0 : stored - 1;
}

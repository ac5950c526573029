#include "sim/scale_frame.h"

namespace sim {

std::uint8_t xorOf(std::span<const std::uint8_t> bytes, std::uint8_t seed) {
    for (std::uint8_t b : bytes) {
        seed ^= b;
    }
    return seed;
}

void appendStuffed(std::vector<std::uint8_t>& out, std::uint8_t byte) {
    out.push_back(byte);
    if (byte == kFrameMark) {
        out.push_back(byte);
    }
}

std::vector<std::uint8_t> encodeReplyFrame(std::uint8_t address, std::span<const std::uint8_t> data,
                                           std::uint8_t checkTamper) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() * 2 + 8);
    out.push_back(kFrameMark);
    out.push_back(kStartOfFrame);
    out.push_back(address); // the address travels unstuffed
    for (std::uint8_t b : data) {
        appendStuffed(out, b);
    }
    appendStuffed(out, static_cast<std::uint8_t>(xorOf(data, address) ^ checkTamper));
    out.push_back(kFrameMark);
    out.push_back(kEndOfFrame);
    return out;
}

std::vector<std::uint8_t> encodeRequestFrame(std::uint8_t address, std::uint8_t command,
                                             std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out{kFrameMark, kStartOfFrame, address, command};
    for (std::uint8_t b : payload) {
        appendStuffed(out, b);
    }
    appendStuffed(out,
                  static_cast<std::uint8_t>(xorOf(payload, static_cast<std::uint8_t>(address ^ command))));
    out.push_back(kFrameMark);
    out.push_back(kEndOfFrame);
    return out;
}

RequestReader::Step RequestReader::feed(std::uint8_t byte) {
    switch (state_) {
    case State::Idle:
        if (byte == kFrameMark) {
            state_ = State::Mark;
            return Step::InFrame;
        }
        return Step::Outside;
    case State::Mark:
        // A repeated mark keeps waiting for the start byte; anything else was noise.
        if (byte == kStartOfFrame) {
            state_ = State::Address;
        } else if (byte != kFrameMark) {
            state_ = State::Idle;
        }
        return Step::InFrame;
    case State::Address:
        address_ = byte;
        state_ = State::Command;
        return Step::InFrame;
    case State::Command:
        command_ = byte; // the command byte is never stuffed
        data_.clear();
        state_ = State::Data;
        return Step::InFrame;
    case State::Data:
        if (byte == kFrameMark) {
            state_ = State::DataMark;
        } else if (data_.size() < kMaxRequestData) {
            data_.push_back(byte);
        } else {
            state_ = State::Idle; // runaway frame: drop it
        }
        return Step::InFrame;
    case State::DataMark:
        if (byte == kFrameMark) {
            if (data_.size() < kMaxRequestData) {
                data_.push_back(byte);
                state_ = State::Data;
            } else {
                state_ = State::Idle;
            }
            return Step::InFrame;
        }
        if (byte == kStartOfFrame) {
            state_ = State::Address; // a new frame starts over the abandoned one
            return Step::InFrame;
        }
        if (byte != kEndOfFrame) {
            state_ = State::Idle;
            return Step::InFrame;
        }
        state_ = State::Idle;
        frame_.address = address_;
        frame_.command = command_;
        frame_.checkOk = !data_.empty() && xorOf(data_, static_cast<std::uint8_t>(address_ ^ command_)) == 0;
        frame_.payload.assign(data_.begin(), data_.empty() ? data_.end() : data_.end() - 1);
        return Step::Complete;
    }
    return Step::Outside;
}

} // namespace sim

#include "link_log_format.h"

#include "commands.h"
#include "frame_exchange.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Reads big-endian fields out of a payload; past its end every field is absent.
class Fields {
public:
    explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool has(std::size_t offset, std::size_t width) const { return offset + width <= bytes_.size(); }
    unsigned u8(std::size_t offset) const { return bytes_[offset]; }
    unsigned u16(std::size_t offset) const { return bytes_[offset] * 256u + bytes_[offset + 1]; }
    std::int32_t s32(std::size_t offset) const {
        const std::uint32_t v = (std::uint32_t{bytes_[offset]} << 24) | (std::uint32_t{bytes_[offset + 1]} << 16) |
                                (std::uint32_t{bytes_[offset + 2]} << 8) | bytes_[offset + 3];
        return static_cast<std::int32_t>(v);
    }

    // A fixed text of `width` characters at `offset`, quoted; empty when absent.
    std::string quoted(std::size_t offset, std::size_t width) const {
        if (offset >= bytes_.size()) {
            return {};
        }
        std::string out = " \"";
        for (std::size_t i = offset; i < bytes_.size() && i < offset + width && bytes_[i] != 0; ++i) {
            const std::uint8_t c = bytes_[i];
            if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
                out += static_cast<char>(c);
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                out += escaped;
            }
        }
        out += '"';
        return out;
    }

    std::size_t size() const { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
};

std::string number(unsigned value) { return " " + std::to_string(value); }

std::string hexNumber(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, " 0x%0*X", digits, value);
    return text;
}

// Six bytes: year - 2000, month, day, hour, minute, second.
std::string clockText(const Fields& f, std::size_t offset) {
    if (!f.has(offset, 6)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, " %04u-%02u-%02u %02u:%02u:%02u", 2000 + f.u8(offset), f.u8(offset + 1),
                  f.u8(offset + 2), f.u8(offset + 3), f.u8(offset + 4), f.u8(offset + 5));
    return text;
}

// Widths of the texts the scale keeps, in characters.
constexpr std::size_t kIdentificationWidth = 32;
constexpr std::size_t kNameWidth = 16; // clerk and department names
constexpr std::size_t kLineWidth = 32; // receipt lines
constexpr std::size_t kPluNameWidth = 30;
// Where the PLU's name sits: in a read reply's record, and in a write request.
constexpr std::size_t kPluNameInRecord = 11;
constexpr std::size_t kPluNameInWrite = 14;

// The data of a reply frame (C3 04, address, stuffed data, C3 02), unstuffed,
// its check byte last.
std::vector<std::uint8_t> replyData(std::span<const std::uint8_t> frame) {
    std::vector<std::uint8_t> data;
    constexpr std::size_t kHeader = 3; // C3 04 and the address
    constexpr std::size_t kTrailer = 2; // C3 02
    if (frame.size() < kHeader + kTrailer) {
        return data;
    }
    const auto body = frame.subspan(kHeader, frame.size() - kHeader - kTrailer);
    for (std::size_t i = 0; i < body.size(); ++i) {
        data.push_back(body[i]);
        if (body[i] == frame::kMark && i + 1 < body.size() && body[i + 1] == frame::kMark) {
            ++i;
        }
    }
    return data;
}

// The main field of a reply's payload (from reply byte 2), for the commands
// whose reply carries one worth reading in a log.
std::string replyMainField(std::uint8_t command, const Fields& payload) {
    switch (command) {
    case cmd::kIdentify:
        return payload.quoted(0, kIdentificationWidth);
    case cmd::kReadClock:
        return clockText(payload, 0);
    case cmd::kReadPlu:
        if (payload.has(0, 4) && payload.s32(0) < 0) {
            return " absent";
        }
        return payload.quoted(kPluNameInRecord, kPluNameWidth);
    case cmd::kReadClerkName:
    case cmd::kReadDepartmentName:
        return payload.quoted(0, kNameWidth);
    case cmd::kReadPrintLine:
        return payload.quoted(0, kLineWidth);
    default:
        return {};
    }
}

std::string describeReply(const LinkEvent& event) {
    std::string text = describeRequest(event.command, event.request) + " reply";
    const std::vector<std::uint8_t> data = replyData(event.bytes);
    if (data.empty()) {
        return text;
    }
    char status[24];
    std::snprintf(status, sizeof status, ", status %02X", data[0]);
    text += status;
    constexpr std::size_t kPayloadStart = 2; // after the status byte and the skipped byte
    if (event.kind == LinkEventKind::ReplyReceived && data.size() > kPayloadStart) {
        // The check byte is no payload.
        const Fields payload(std::span<const std::uint8_t>(data).subspan(kPayloadStart, data.size() - 1 - kPayloadStart));
        const std::string field = replyMainField(event.command, payload);
        if (!field.empty()) {
            text += ":" + field;
        }
    }
    return text;
}

std::string attempt(const LinkEvent& event) { return " (attempt " + std::to_string(event.attempt) + ")"; }

} // namespace

std::string commandName(std::uint8_t command) {
    switch (command) {
    case cmd::kIdentify: return "identify";
    case cmd::kReadClock: return "read clock";
    case cmd::kReadPlu: return "read PLU";
    case cmd::kReadGeneralSettings: return "read general settings";
    case cmd::kReadClerkName: return "read clerk name";
    case cmd::kReadDepartmentName: return "read department name";
    case cmd::kReadPrintLine: return "read receipt line";
    case cmd::kReadTaxRates: return "read tax rates";
    case cmd::kWriteClock: return "set clock";
    case cmd::kWritePrintLine: return "write receipt line";
    case cmd::kWriteGeneralSettings: return "write general settings";
    case cmd::kWritePlu: return "write PLU";
    case cmd::kWriteLogo: return "write logo";
    case cmd::kWriteClerkName: return "write clerk name";
    case cmd::kWriteDepartmentName: return "write department name";
    case cmd::kEndPluUpload: return "end of PLU upload";
    case cmd::kWriteTaxRates: return "write tax rates";
    case cmd::kPressKey: return "press key";
    case cmd::kWriteSystemParameters: return "write system parameters";
    case cmd::kPollDisplay: return "poll display";
    case cmd::kReadReportBlock: return "read report block";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "command %02X", command);
        return text;
    }
    }
}

std::string describeRequest(std::uint8_t command, std::span<const std::uint8_t> payload) {
    const Fields f(payload);
    std::string text = commandName(command);
    switch (command) {
    case cmd::kReadPlu:
        return f.has(0, 2) ? text + number(f.u16(0)) : text;
    case cmd::kWritePlu:
        return f.has(0, 2) ? text + number(f.u16(0)) + f.quoted(kPluNameInWrite, kPluNameWidth) : text;
    case cmd::kReadClerkName:
    case cmd::kReadDepartmentName:
    case cmd::kReadPrintLine:
        return f.has(0, 1) ? text + number(f.u8(0)) : text;
    case cmd::kWriteClerkName:
    case cmd::kWriteDepartmentName:
        return f.has(0, 1) ? text + number(f.u8(0)) + f.quoted(1, kNameWidth) : text;
    case cmd::kWritePrintLine:
        return f.has(0, 1) ? text + number(f.u8(0)) + f.quoted(1, kLineWidth) : text;
    case cmd::kWriteClock:
        return text + clockText(f, 0);
    case cmd::kWriteLogo:
        return f.has(0, 2) ? text + " at offset" + number(f.u16(0)) + "," + number(static_cast<unsigned>(f.size() - 2)) +
                                 " bytes"
                           : text;
    case cmd::kPressKey:
        return f.has(0, 1) ? text + hexNumber(f.u8(0), 2) : text;
    case cmd::kReadReportBlock:
        return f.has(0, 3) ? text + " at" + hexNumber(f.u16(0), 4) + "," + number(f.u8(2)) + " bytes" : text;
    default:
        return text;
    }
}

std::string describeLinkEvent(const LinkEvent& event) {
    using K = LinkEventKind;
    switch (event.kind) {
    case K::RequestSent:
        return describeRequest(event.command, event.request) + attempt(event);
    case K::AcknowledgementTaken:
        if (!event.bytes.empty() && event.bytes[0] == frame::kAck) {
            return "acknowledged";
        }
        return "taken as the acknowledgement, though it is not 06";
    case K::NakReceived:
        return "NAK received: the scale asks for the request again" + attempt(event);
    case K::ReplyReceived:
        return describeReply(event);
    case K::CheckByteError:
        return "check-byte error: " + describeReply(event) + " rejected";
    case K::AcknowledgementSent:
        return "reply taken";
    case K::NakSent:
        return "NAK sent: the scale is asked to send the reply again";
    case K::StrayBytes:
        return std::to_string(event.bytes.size()) + " bytes outside any frame";
    case K::AcknowledgementTimeout:
        return "time-out: no answer to the request" + attempt(event);
    case K::ReplyTimeout:
        return "time-out: the reply stopped before its end" + attempt(event);
    case K::TooManyBytes:
        return std::to_string(event.count) + " bytes without a good reply: attempt given up" + attempt(event);
    case K::ReplyTooLong:
        return "reply longer than " + std::to_string(event.count - 1) + " data bytes: attempt given up" +
               attempt(event);
    case K::Purged:
        return "purge discarded " + std::to_string(event.count) + " bytes";
    case K::ExchangeFailed:
        return describeRequest(event.command, event.request) + " failed after " + std::to_string(event.count) +
               (event.count == 1 ? " attempt" : " attempts");
    case K::PortOpened:
        return "opened " + std::string(event.text);
    case K::PortOpenFailed:
        return "cannot open " + std::string(event.text);
    case K::PortClosed:
        return "closed " + std::string(event.text);
    }
    return {};
}

std::string_view eventDirection(LinkEventKind kind) {
    using K = LinkEventKind;
    switch (kind) {
    case K::RequestSent:
    case K::AcknowledgementSent:
    case K::NakSent:
        return "PC>SCALE";
    case K::AcknowledgementTaken:
    case K::NakReceived:
    case K::ReplyReceived:
    case K::CheckByteError:
    case K::StrayBytes:
        return "SCALE>PC";
    default:
        return "LINK";
    }
}

bool isTroubleEvent(LinkEventKind kind) {
    using K = LinkEventKind;
    switch (kind) {
    case K::RequestSent:
    case K::AcknowledgementTaken:
    case K::ReplyReceived:
    case K::AcknowledgementSent:
    case K::PortOpened:
    case K::PortClosed:
        return false;
    default:
        return true;
    }
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        if (!out.empty()) {
            out += ' ';
        }
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

std::string formatLogLine(std::string_view timestamp, const LinkEvent& event) {
    std::string line(timestamp);
    line += ' ';
    line += eventDirection(event.kind);
    std::span<const std::uint8_t> shown = event.bytes;
    const bool cut = event.kind == LinkEventKind::StrayBytes && shown.size() > kMaxStrayBytesShown;
    if (cut) {
        shown = shown.first(kMaxStrayBytesShown);
    }
    if (!shown.empty()) {
        line += ' ';
        line += hexText(shown);
        if (cut) {
            line += " ...";
        }
    }
    line += " | ";
    line += describeLinkEvent(event);
    return line;
}

std::string logTimestamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(when.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(micros / 1'000'000);
    long fraction = static_cast<long>(micros % 1'000'000);
    if (fraction < 0) { // before 1970: the fraction counts up from the second below
        fraction += 1'000'000;
        --seconds;
    }
    const std::tm local = localCalendarTime(seconds);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%06ld", fraction);
    return text;
}

std::tm localCalendarTime(std::time_t seconds) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return local;
}

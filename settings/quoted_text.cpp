#include "quoted_text.h"

#include "link/codepage.h"
#include "link/number_parsing.h"

#include <cstdint>

namespace {

constexpr char kQuote = '"';
constexpr char kEscape = '\\';

bool showsAsControl(char16_t ch) {
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

void appendUtf8(std::string& out, char16_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// One UTF-8 sequence at `at`: the code point and its length, or length 0.
struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0;
};
Decoded decodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead < 0x80) {
        return {lead, 1};
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return {};
    }
    if (at + length > text.size()) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kLeast[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return {};
    }
    return {codePoint, length};
}

} // namespace

std::string quotedText(std::string_view bytes) {
    std::string out(1, kQuote);
    for (const char byte : bytes) {
        const char16_t ch = byteToChar(CodePage::Windows1252, static_cast<std::uint8_t>(byte));
        if (byte == kQuote || byte == kEscape) {
            out.push_back(kEscape);
            out.push_back(byte);
        } else if (showsAsControl(ch)) {
            const auto value = static_cast<unsigned char>(byte);
            out += "\\x";
            out.push_back(kHexDigits[value >> 4]);
            out.push_back(kHexDigits[value & 0x0F]);
        } else {
            appendUtf8(out, ch);
        }
    }
    out.push_back(kQuote);
    return out;
}

TextFileEncoding detectTextFileEncoding(std::string_view file) {
    for (std::size_t at = 0; at < file.size();) {
        const Decoded decoded = decodeUtf8(file, at);
        if (decoded.length == 0) {
            return TextFileEncoding::SingleByte;
        }
        at += decoded.length;
    }
    return TextFileEncoding::Utf8;
}

std::optional<std::string> unquotedText(std::string_view value, TextFileEncoding encoding, std::string& reason) {
    if (value.size() < 2 || value.front() != kQuote) {
        reason = "a text must stand in double quotes";
        return std::nullopt;
    }
    std::string bytes;
    std::size_t at = 1;
    while (at < value.size()) {
        const char c = value[at];
        if (c == kQuote) {
            if (at + 1 != value.size()) {
                reason = "nothing may follow the closing quote";
                return std::nullopt;
            }
            return bytes;
        }
        if (c == kEscape) {
            const char next = at + 1 < value.size() ? value[at + 1] : '\0';
            if (next == kQuote || next == kEscape) {
                bytes.push_back(next);
                at += 2;
                continue;
            }
            if (next == 'x' && at + 3 < value.size() && hexDigitValue(value[at + 2]) >= 0 &&
                hexDigitValue(value[at + 3]) >= 0) {
                bytes.push_back(static_cast<char>(hexDigitValue(value[at + 2]) * 16 + hexDigitValue(value[at + 3])));
                at += 4;
                continue;
            }
            reason = "a backslash must begin \\\" \\\\ or \\x and two hex digits";
            return std::nullopt;
        }
        if (encoding == TextFileEncoding::SingleByte) {
            bytes.push_back(c);
            ++at;
            continue;
        }
        const Decoded decoded = decodeUtf8(value, at);
        const auto byte = decoded.codePoint <= 0xFFFF
                              ? charToByte(CodePage::Windows1252, static_cast<char16_t>(decoded.codePoint))
                              : std::nullopt;
        if (decoded.length == 0 || !byte) {
            reason = "the text holds a character the scale cannot store";
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
        at += decoded.length;
    }
    reason = "the closing quote is missing";
    return std::nullopt;
}

#include "windows_time_picture.h"

#include <algorithm>

namespace {

constexpr std::size_t kLongestField = 2; // "hh", "mm", "ss": a longer run starts a new field

std::size_t runLength(std::u16string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && text[end] == text[at]) {
        ++end;
    }
    return end - at;
}

// The quoted text starting at the quote `at`, and where the picture goes on.
std::size_t appendQuoted(std::u16string_view picture, std::size_t at, std::u16string& out) {
    std::size_t i = at + 1;
    if (i < picture.size() && picture[i] == u'\'') {
        out += u'\''; // '' outside quotes
        return i + 1;
    }
    while (i < picture.size()) {
        if (picture[i] != u'\'') {
            out += picture[i++];
        } else if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
            out += u'\'';
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i; // an unclosed quote runs to the end
}

bool hasAmPm(std::u16string_view picture) {
    bool quoted = false;
    for (const char16_t c : picture) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            return true;
        }
    }
    return false;
}

void appendNumber(std::u16string& out, int value, std::size_t width) {
    const std::u16string digits = [value] {
        std::u16string text;
        for (const char c : std::to_string(value)) {
            text += static_cast<char16_t>(c);
        }
        return text;
    }();
    out.append(width > digits.size() ? width - digits.size() : 0, u'0');
    out += digits;
}

} // namespace

std::u16string formatWindowsTimePicture(std::u16string_view picture, const ClockTime& time,
                                        std::u16string_view amText, std::u16string_view pmText) {
    const bool twelveHours = hasAmPm(picture);
    std::u16string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            i = appendQuoted(picture, i, out);
            continue;
        }
        const std::size_t run = runLength(picture, i);
        if (c == u't') {
            out += time.hour < 12 ? amText : pmText;
            i += run;
            continue;
        }
        const std::size_t width = std::min(run, kLongestField);
        switch (c) {
        case u'h':
            appendNumber(out, twelveHours ? (time.hour + 11) % 12 + 1 : time.hour, width);
            break;
        case u'H':
            appendNumber(out, time.hour, width);
            break;
        case u'm':
            appendNumber(out, time.minute, width);
            break;
        case u's':
            appendNumber(out, time.second, width);
            break;
        default:
            out.append(width, c);
            break;
        }
        i += width;
    }
    return out;
}

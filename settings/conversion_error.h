#pragma once
// A text of the page that had to be a number and is not. Sending stops before
// the command it belongs to, and the text is shown in the program's standard
// conversion error box (reportConversionError, link/scale_link.h).

#include "link/scale_link.h"

#include <optional>
#include <string>

struct ConversionError {
    std::string text; // the offending text, as bytes
    NumberKind kind = NumberKind::Integer;
    bool operator==(const ConversionError&) const = default;
};

// Either a converted value or the text that would not convert.
template <class T> struct Converted {
    std::optional<T> value;
    ConversionError error;

    static Converted ok(T v) { return Converted{std::move(v), {}}; }
    static Converted failed(std::string text, NumberKind kind) { return Converted{std::nullopt, {std::move(text), kind}}; }
    explicit operator bool() const { return value.has_value(); }
};

#include "sim/scale_display.h"

#include "sim/scale_records.h"

namespace sim {

namespace {
constexpr int kWeightDecimals = 3; // kilograms with grams
constexpr int kPriceDecimals = 2;  // currency with hundredths
constexpr std::int32_t kMaxKeyedPrice = 9'999'999;

// Key codes of the scale's keypad.
constexpr std::uint8_t kKeyDoubleZero = 0x2E;
constexpr std::uint8_t kKeyClear = 0x43;
constexpr std::uint8_t kKeyMode = 0x4D;
constexpr std::uint8_t kKeyPlu = 0x50;
constexpr std::uint8_t kKeyTare = 0x54;
constexpr std::uint8_t kKeyZero = 0x5A;
constexpr std::uint8_t kKeyShift = 0x73;

void shiftIn(std::int32_t& value, int digits, std::int32_t add) {
    std::int64_t next = value;
    for (int i = 0; i < digits; ++i) {
        next *= 10;
    }
    next += add;
    if (next <= kMaxKeyedPrice) {
        value = static_cast<std::int32_t>(next);
    }
}
} // namespace

std::string displayNumber(std::int64_t value, int decimals) {
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    while (static_cast<int>(digits.size()) < decimals + 1) {
        digits.insert(digits.begin(), '0');
    }
    if (negative) {
        digits.insert(digits.begin(), '-');
    }
    if (static_cast<int>(digits.size()) > kDisplayWidth) {
        return std::string(kDisplayWidth, '-');
    }
    return std::string(static_cast<std::size_t>(kDisplayWidth) - digits.size(), ' ') + digits;
}

void redrawDisplay(ScaleMemory& memory) {
    const std::int64_t toPay =
        (static_cast<std::int64_t>(memory.weightGrams) * memory.keyedPrice + 500) / 1000;
    memory.displayLines = {displayNumber(memory.weightGrams, kWeightDecimals),
                           displayNumber(memory.keyedPrice, kPriceDecimals),
                           displayNumber(toPay, kPriceDecimals)};
    memory.displayMarks = {kWeightDecimals, kPriceDecimals, kPriceDecimals};
    if (memory.weightGrams == 0) {
        memory.indicatorsA |= kIndicatorZero;
    } else {
        memory.indicatorsA &= static_cast<std::uint8_t>(~kIndicatorZero);
    }
}

void pressKey(ScaleMemory& memory, std::uint8_t key) {
    memory.keysPressed.push_back(key);
    if (key >= '0' && key <= '9') {
        shiftIn(memory.keyedPrice, 1, key - '0');
    } else if (key == kKeyDoubleZero) {
        shiftIn(memory.keyedPrice, 2, 0);
    } else if (key == kKeyClear) {
        memory.keyedPrice = 0;
    } else if (key == kKeyPlu) {
        // The number keyed so far names a PLU: its price becomes the unit price.
        const auto number = static_cast<std::size_t>(memory.keyedPrice);
        if (number < memory.plu.size() && isPresent(memory.plu[number])) {
            memory.keyedPrice = decodePlu(memory.plu[number]).price;
        } else {
            memory.keyedPrice = 0;
        }
    } else if (key == kKeyZero) {
        memory.weightGrams = 0;
    } else if (key == kKeyTare) {
        memory.indicatorsA ^= kIndicatorNet;
    } else if (key == kKeyMode) {
        memory.indicatorsA ^= kIndicatorMode;
    } else if (key == kKeyShift) {
        memory.indicatorsB ^= kIndicatorShift;
    }
    redrawDisplay(memory);
}

} // namespace sim

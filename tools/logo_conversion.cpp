#include "logo_conversion.h"

#include "logo_dithering.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// The value a stored grey g takes after brightness and contrast. It depends on
// g alone, so one table of 256 serves the whole picture.
std::array<std::uint8_t, 256> toneTable(int brightness, int contrast) {
    std::array<std::uint8_t, 256> table{};
    for (int g = 0; g < 256; ++g) {
        int v = std::clamp(g + brightness, 0, 255);
        // Integer division truncates toward zero, as the curve's shares must.
        v = std::clamp(v + contrast * kContrastCurve[static_cast<std::size_t>(g)] / 100, 0, 255);
        table[static_cast<std::size_t>(g)] = static_cast<std::uint8_t>(v);
    }
    return table;
}

// Pixel values of a row in work, with one spare cell at each end so that
// shares falling left of column 0 or right of the last column land there
// and are never read.
constexpr int kPad = 1;

// What a pixel does once it has taken its last share: its decision and the
// four signed shares of its error. It depends only on the unclamped sum of
// the pixel's value and that share, which lies in kLowestSum..kHighestSum,
// so the whole rule is one small table and the scan's critical path is one
// addition and one look-up per pixel.
struct PixelOutcome {
    std::int8_t ahead;       // (7 e) / 16
    std::int8_t below;       // (5 e) / 16
    std::int8_t belowAhead;  // e / 16
    std::int8_t belowBehind; // (3 e) / 16
    std::uint8_t black;
    std::uint8_t unused[3];
};
constexpr int kLargestShare = (7 * 255) >> 4;    // 111
constexpr int kLowestSum = 0 - kLargestShare;    // a 0 after a white decision's share
constexpr int kHighestSum = 255 + kLargestShare; // a 255 after a black decision's share

constexpr std::array<PixelOutcome, kHighestSum - kLowestSum + 1> makeOutcomes() {
    std::array<PixelOutcome, kHighestSum - kLowestSum + 1> table{};
    for (int sum = kLowestSum; sum <= kHighestSum; ++sum) {
        const int v = sum < 0 ? 0 : (sum > 255 ? 255 : sum);
        const bool white = v >= 128;
        const int e = white ? 255 - v : v;
        // A white decision pulls its neighbours down, a black one pushes them up.
        const int sign = white ? -1 : 1;
        PixelOutcome& out = table[static_cast<std::size_t>(sum - kLowestSum)];
        out.ahead = static_cast<std::int8_t>(sign * ((7 * e) >> 4));
        out.below = static_cast<std::int8_t>(sign * ((5 * e) >> 4));
        out.belowAhead = static_cast<std::int8_t>(sign * (e >> 4));
        out.belowBehind = static_cast<std::int8_t>(sign * ((3 * e) >> 4));
        out.black = white ? 0 : 1;
    }
    return table;
}
constexpr auto kOutcomes = makeOutcomes();

// The ahead shares alone, wide, so that the scan's critical path (the sum,
// then its share for the next pixel) is one addition and one plain load.
constexpr std::array<std::int64_t, kHighestSum - kLowestSum + 1> makeAheadShares() {
    std::array<std::int64_t, kHighestSum - kLowestSum + 1> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = kOutcomes[i].ahead;
    }
    return table;
}
constexpr auto kAheadShares = makeAheadShares();

// The same range clamped to 0..255: a look-up is cheaper than two compares
// on the scan's busiest line.
constexpr std::array<std::uint8_t, kHighestSum - kLowestSum + 1> makeClamped() {
    std::array<std::uint8_t, kHighestSum - kLowestSum + 1> table{};
    for (int sum = kLowestSum; sum <= kHighestSum; ++sum) {
        table[static_cast<std::size_t>(sum - kLowestSum)] =
            static_cast<std::uint8_t>(sum < 0 ? 0 : (sum > 255 ? 255 : sum));
    }
    return table;
}
constexpr auto kClamped = makeClamped();

// Stops the compiler from folding the pointer back into the sum, which would
// put an addition and a shift back on the scan's critical path.
template <class T> inline void keepInRegister(T*& pointer) {
#if defined(__GNUC__)
    asm("" : "+r"(pointer));
#else
    (void)pointer;
#endif
}

// Scans one row, deciding every pixel, and spreads its errors into the row
// itself and into `below` (a spare row when this is the last one). `Step` is
// +1 for rows scanned left to right and -1 for rows scanned right to left.
// decisions[x] is 1 for a black pixel.
//
// The pixel ahead and the below pixels that are still receiving shares stay
// in registers; each share is still applied and clamped on its own, in the
// order the scan reaches it.
template <int Step>
void diffuseRow(const std::int32_t* row, std::int32_t* below, int width, std::uint8_t* decisions) {
    // Indexed by a sum in kLowestSum..kHighestSum.
    const PixelOutcome* outcomes = kOutcomes.data() - kLowestSum;
    const std::int64_t* aheadShares = kAheadShares.data() - kLowestSum;
    const std::uint8_t* clamped = kClamped.data() - kLowestSum;
    const std::ptrdiff_t first = Step > 0 ? kPad : kPad + width - 1;
    const std::ptrdiff_t end = first + std::ptrdiff_t{width} * Step;
    std::ptrdiff_t aheadShare = 0;                    // the last pixel's share for the one now current
    std::ptrdiff_t belowBehind = below[first - Step]; // below-behind: one share still to come
    std::ptrdiff_t belowHere = below[first];          // below: two shares still to come
    for (std::ptrdiff_t i = first; i != end; i += Step) {
        // The pixel's own value is known before the share arrives, so the
        // share is the only thing the next pixel waits for: one load.
        const std::int64_t* sharesForThisPixel = aheadShares + row[i];
        keepInRegister(sharesForThisPixel);
        const PixelOutcome& out = outcomes[row[i] + aheadShare];
        aheadShare = static_cast<std::ptrdiff_t>(sharesForThisPixel[aheadShare]);
        below[i - Step] = clamped[belowBehind + out.belowBehind];
        belowBehind = clamped[belowHere + out.below];
        belowHere = clamped[below[i + Step] + out.belowAhead];
        decisions[i - kPad] = out.black;
    }
    below[end - Step] = static_cast<std::int32_t>(belowBehind);
    below[end] = static_cast<std::int32_t>(belowHere);
}

// Rows of the picture kept as int32 with a spare cell at each end.
class DiffusionRows {
  public:
    explicit DiffusionRows(int width)
        : width_(width), current_(static_cast<std::size_t>(width) + 2 * kPad),
          below_(static_cast<std::size_t>(width) + 2 * kPad) {}

    template <class Source> void loadBelow(Source valueAt) {
        for (int x = 0; x < width_; ++x) {
            below_[static_cast<std::size_t>(x + kPad)] = valueAt(x);
        }
    }
    void advance() { current_.swap(below_); }
    // Diffuses row y (scanned by its parity) into the row below.
    void diffuse(int y, std::uint8_t* decisions) {
        if (y % 2 == 0) {
            diffuseRow<1>(current_.data(), below_.data(), width_, decisions);
        } else {
            diffuseRow<-1>(current_.data(), below_.data(), width_, decisions);
        }
    }

  private:
    int width_;
    std::vector<std::int32_t> current_;
    std::vector<std::int32_t> below_;
};

// Eight 0/1 decisions, leftmost first, into one byte with the leftmost in the
// high bit: the multiply gathers bit 0 of byte k into bit 63 - k.
std::uint8_t packEight(const std::uint8_t* blackFlags) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, blackFlags, sizeof word);
        return static_cast<std::uint8_t>((word * 0x8040201008040201ULL) >> 56);
    } else {
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            byte = static_cast<std::uint8_t>((byte << 1) | blackFlags[bit]);
        }
        return byte;
    }
}

void packRow(const std::uint8_t* blackFlags, std::uint8_t* rowBytes) {
    for (int i = 0; i < kLogoRowBytes; ++i) {
        rowBytes[i] = packEight(blackFlags + 8 * i);
    }
}

} // namespace

void ditherLogo(std::span<std::uint8_t> values, int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    DiffusionRows rows(width);
    std::vector<std::uint8_t> black(static_cast<std::size_t>(width));
    const auto rowOf = [&](int y) {
        return values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    };
    rows.loadBelow([&](int x) { return rowOf(0)[x]; });
    for (int y = 0; y < height; ++y) {
        rows.advance();
        if (y + 1 < height) {
            rows.loadBelow([&](int x) { return rowOf(y + 1)[x]; });
        }
        rows.diffuse(y, black.data());
        for (int x = 0; x < width; ++x) {
            rowOf(y)[x] = black[static_cast<std::size_t>(x)] != 0 ? 0 : 255;
        }
    }
}

LogoBitmap convertLogo(const GreyImage& grey, const LogoSettings& settings) {
    const auto tone = toneTable(settings.brightness, settings.contrast);
    LogoBitmap bitmap;
    bitmap.height = grey.height;
    bitmap.rows.assign(static_cast<std::size_t>(grey.height) * kLogoRowBytes, 0);
    const auto greyRow = [&grey](int y) {
        return grey.pixels.data() + static_cast<std::size_t>(y) * kLogoWidth;
    };
    const auto rowBytes = [&bitmap](int y) {
        return bitmap.rows.data() + static_cast<std::size_t>(y) * kLogoRowBytes;
    };
    std::array<std::uint8_t, kLogoWidth> black{};

    if (settings.dither == DitherMode::Atkinson) {
        atkinsonRows(
            kLogoWidth, grey.height,
            [&](int y, std::int32_t* values) {
                const std::uint8_t* g = greyRow(y);
                for (int x = 0; x < kLogoWidth; ++x) {
                    values[x] = tone[g[x]];
                }
            },
            [&](int y, const std::uint8_t* blackFlags) { packRow(blackFlags, rowBytes(y)); });
        return bitmap;
    }
    if (settings.dither == DitherMode::Bayer) {
        for (int y = 0; y < grey.height; ++y) {
            std::array<std::uint8_t, 8> thresholds{};
            for (int x = 0; x < 8; ++x) {
                thresholds[static_cast<std::size_t>(x)] = bayerThreshold(x, y);
            }
            const std::uint8_t* g = greyRow(y);
            for (int x = 0; x < kLogoWidth; ++x) {
                black[static_cast<std::size_t>(x)] =
                    tone[g[x]] < thresholds[static_cast<std::size_t>(x & 7)] ? 1 : 0;
            }
            packRow(black.data(), rowBytes(y));
        }
        return bitmap;
    }
    if (settings.dither == DitherMode::Threshold) {
        for (int y = 0; y < grey.height; ++y) {
            const std::uint8_t* g = greyRow(y);
            for (int x = 0; x < kLogoWidth; ++x) {
                black[static_cast<std::size_t>(x)] = tone[g[x]] < 128 ? 1 : 0;
            }
            packRow(black.data(), rowBytes(y));
        }
        return bitmap;
    }

    if (grey.height == 0) {
        return bitmap;
    }
    DiffusionRows rows(kLogoWidth);
    rows.loadBelow([&](int x) { return tone[greyRow(0)[x]]; });
    for (int y = 0; y < grey.height; ++y) {
        rows.advance();
        if (y + 1 < grey.height) {
            const std::uint8_t* next = greyRow(y + 1);
            rows.loadBelow([&](int x) { return tone[next[x]]; });
        }
        rows.diffuse(y, black.data());
        packRow(black.data(), rowBytes(y));
    }
    return bitmap;
}

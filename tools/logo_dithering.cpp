#include "logo_dithering.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace {

// ---- Atkinson ----

// Two spare cells at each end of a row catch the shares that fall outside.
constexpr int kPad = 2;

// A pixel's decision and signed share depend only on its value after the
// shares it has taken, clamped. Indexed by the unclamped sum of the value so
// far and the last share, each is one look-up; the shares are kept wide so
// that the scan's critical path (the share, then the next pixel's share) is
// a single load.
constexpr int kLargestShare = 255 >> 3;
constexpr int kLowestSum = 0 - kLargestShare;
constexpr int kHighestSum = 255 + kLargestShare;
constexpr std::size_t kSums = kHighestSum - kLowestSum + 1;

constexpr int clampByte(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

template <class T, class Rule> constexpr std::array<T, kSums> tableOfSums(Rule rule) {
    std::array<T, kSums> table{};
    for (int sum = kLowestSum; sum <= kHighestSum; ++sum) {
        table[static_cast<std::size_t>(sum - kLowestSum)] = static_cast<T>(rule(clampByte(sum)));
    }
    return table;
}
// -(e / 8) after a white decision (e = 255 - v), +(e / 8) after a black one (e = v).
constexpr auto kShares =
    tableOfSums<std::ptrdiff_t>([](int v) { return v >= 128 ? -((255 - v) >> 3) : v >> 3; });
constexpr auto kBlack = tableOfSums<std::uint8_t>([](int v) { return v >= 128 ? 0 : 1; });
constexpr auto kClamped = tableOfSums<std::int32_t>([](int v) { return v; });

// Stops the compiler from folding the pointer back into the sum, which would
// put an addition back on the scan's critical path.
template <class T> inline void keepInRegister(T*& pointer) {
#if defined(__GNUC__)
    asm("" : "+r"(pointer));
#else
    (void)pointer;
#endif
}

// Decides one row left to right and spreads its shares into the row itself,
// the row below and the row two below (spare rows past the picture's end).
// The two pixels ahead and the three below that are still taking shares stay
// in registers; every share is still applied and clamped on its own, in the
// order the scan reaches it.
void diffuseAtkinsonRow(const std::int32_t* row, std::int32_t* below, std::int32_t* twoBelow, int width,
                        std::uint8_t* decisions) {
    const std::ptrdiff_t* shares = kShares.data() - kLowestSum;
    const std::uint8_t* black = kBlack.data() - kLowestSum;
    const std::int32_t* clamped = kClamped.data() - kLowestSum;
    std::ptrdiff_t share = 0;             // the last pixel's share, still due to this one
    std::ptrdiff_t thisValue = row[0];    // this pixel, with the share of the pixel two back
    std::ptrdiff_t nextValue = row[1];    // the next, with the last pixel's share
    std::int32_t belowBehind = below[-1]; // one share still to come
    std::int32_t belowHere = below[0];    // two shares still to come
    for (int x = 0; x < width; ++x) {
        // This pixel's value is known before the last share arrives, so the
        // share is the only thing the next decision waits for.
        const std::ptrdiff_t* sharesForThisPixel = shares + thisValue;
        keepInRegister(sharesForThisPixel);
        decisions[x] = black[thisValue + share];
        share = sharesForThisPixel[share];
        thisValue = nextValue;
        nextValue = clamped[row[x + 2] + share];
        below[x - 1] = clamped[belowBehind + share];
        belowBehind = clamped[belowHere + share];
        belowHere = clamped[below[x + 1] + share];
        twoBelow[x] = clamped[twoBelow[x] + share];
    }
    below[width - 1] = belowBehind;
    below[width] = belowHere;
}

// ---- Bayer ----

// Each cell's rank in the order the 8 x 8 pattern fills in.
constexpr std::array<std::array<std::uint8_t, 8>, 8> kBayerRanks{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

// Rank 0 gives 1, rank 63 gives 251, the steps rounded.
constexpr std::array<std::array<std::uint8_t, 8>, 8> makeBayerThresholds() {
    std::array<std::array<std::uint8_t, 8>, 8> table{};
    for (std::size_t y = 0; y < 8; ++y) {
        for (std::size_t x = 0; x < 8; ++x) {
            table[y][x] = static_cast<std::uint8_t>(1 + (250 * kBayerRanks[y][x] + 31) / 63);
        }
    }
    return table;
}
constexpr auto kBayerThresholds = makeBayerThresholds();

} // namespace

void atkinsonRows(int width, int height, const std::function<void(int y, std::int32_t* values)>& loadRow,
                  const std::function<void(int y, const std::uint8_t* black)>& rowDecided) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const auto padded = static_cast<std::size_t>(width) + 2 * kPad;
    // The row being decided, the next and the one after; past the picture's
    // end they are spares whose shares are never read.
    std::array<std::vector<std::int32_t>, 3> rows;
    for (auto& row : rows) {
        row.assign(padded, 0);
    }
    std::vector<std::uint8_t> black(static_cast<std::size_t>(width));
    loadRow(0, rows[0].data() + kPad);
    if (height > 1) {
        loadRow(1, rows[1].data() + kPad);
    }
    for (int y = 0; y < height; ++y) {
        if (y + 2 < height) {
            loadRow(y + 2, rows[2].data() + kPad);
        }
        diffuseAtkinsonRow(rows[0].data() + kPad, rows[1].data() + kPad, rows[2].data() + kPad, width,
                           black.data());
        rowDecided(y, black.data());
        std::swap(rows[0], rows[1]);
        std::swap(rows[1], rows[2]);
    }
}

void ditherAtkinson(std::span<std::uint8_t> values, int width, int height) {
    const auto rowOf = [&](int y) {
        return values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    };
    atkinsonRows(
        width, height,
        [&](int y, std::int32_t* into) {
            for (int x = 0; x < width; ++x) {
                into[x] = rowOf(y)[x];
            }
        },
        [&](int y, const std::uint8_t* black) {
            for (int x = 0; x < width; ++x) {
                rowOf(y)[x] = black[x] != 0 ? 0 : 255;
            }
        });
}

std::uint8_t bayerThreshold(int x, int y) {
    return kBayerThresholds[static_cast<std::size_t>(y & 7)][static_cast<std::size_t>(x & 7)];
}

void ditherBayer(std::span<std::uint8_t> values, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const auto& thresholds = kBayerThresholds[static_cast<std::size_t>(y & 7)];
        std::uint8_t* row = values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            row[x] = row[x] < thresholds[static_cast<std::size_t>(x & 7)] ? 0 : 255;
        }
    }
}

#include "picture_scaling.h"

#include <algorithm>
#include <cstddef>

namespace {

// Weights of one new pixel add up to exactly kWeightOne.
constexpr int kWeightBits = 14;
constexpr std::int64_t kWeightOne = std::int64_t{1} << kWeightBits;

// For every new pixel of one axis, the old pixels it is made of: `stride`
// consecutive old pixels from first[i], with their weights (zero where a new
// pixel needs fewer). Every index read stays inside the old axis.
struct AxisTaps {
    int stride = 0;
    std::vector<int> first;
    std::vector<std::int64_t> weights; // stride per new pixel
};

struct PixelTaps {
    int first = 0;
    std::vector<std::int64_t> weights;
};

// Rounding each share on its own can miss the whole by a few; the largest
// share takes the difference, so flat areas stay exactly flat.
void makeWhole(std::vector<std::int64_t>& weights) {
    std::int64_t sum = 0;
    for (const std::int64_t w : weights) {
        sum += w;
    }
    *std::max_element(weights.begin(), weights.end()) += kWeightOne - sum;
}

// Shrinking (or keeping the size): new pixel i covers old pixels i * from / to
// up to (i + 1) * from / to. Counted in units of 1 / to of an old pixel, old
// pixel j spans [j to, (j + 1) to) and new pixel i spans [i from, (i + 1) from),
// so every overlap is a whole number.
PixelTaps areaTaps(std::int64_t i, std::int64_t from, std::int64_t to) {
    const std::int64_t low = i * from;
    const std::int64_t high = low + from;
    PixelTaps taps;
    taps.first = static_cast<int>(low / to);
    for (std::int64_t j = low / to; j * to < high; ++j) {
        const std::int64_t overlap = std::min(high, (j + 1) * to) - std::max(low, j * to);
        taps.weights.push_back((overlap * kWeightOne + from / 2) / from);
    }
    makeWhole(taps.weights);
    return taps;
}

// Growing: the centre of new pixel i lies at (i + 1/2) from / to - 1/2 in old
// pixels, i.e. at n / d with n = (2 i + 1) from - to and d = 2 to; it takes
// from the old pixels on either side in proportion to its distance from them.
PixelTaps linearTaps(std::int64_t i, std::int64_t from, std::int64_t to) {
    const std::int64_t n = (2 * i + 1) * from - to;
    const std::int64_t d = 2 * to;
    PixelTaps taps;
    if (n <= 0) { // left of the first old pixel's centre
        taps.weights = {kWeightOne};
        return taps;
    }
    taps.first = static_cast<int>(n / d);
    if (taps.first + 1 >= from) { // right of the last old pixel's centre
        taps.first = static_cast<int>(from - 1);
        taps.weights = {kWeightOne};
        return taps;
    }
    const std::int64_t towardsNext = ((n % d) * kWeightOne + d / 2) / d;
    taps.weights = {kWeightOne - towardsNext, towardsNext};
    return taps;
}

// The taps of the first `count` of the `to` new pixels: a picture far taller
// than wide, stretched to the logo's width, has hundreds of millions of new
// rows of which the logo keeps a few hundred, and each new pixel's taps
// depend only on its own place.
AxisTaps axisTaps(int from, int to, int count) {
    std::vector<PixelTaps> pixels;
    count = std::clamp(count, 0, to);
    pixels.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        pixels.push_back(to <= from ? areaTaps(i, from, to) : linearTaps(i, from, to));
    }
    AxisTaps axis;
    for (const PixelTaps& p : pixels) {
        axis.stride = std::max(axis.stride, static_cast<int>(p.weights.size()));
    }
    axis.first.resize(pixels.size());
    axis.weights.assign(pixels.size() * static_cast<std::size_t>(axis.stride), 0);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        // Near the far end the window of `stride` pixels starts earlier, with
        // zero weights in front, so it never reads past the last old pixel.
        const int first = std::min(pixels[i].first, from - axis.stride);
        const std::size_t skip = static_cast<std::size_t>(pixels[i].first - first);
        axis.first[i] = first;
        std::copy(pixels[i].weights.begin(), pixels[i].weights.end(),
                  axis.weights.begin() +
                      static_cast<std::ptrdiff_t>(i * static_cast<std::size_t>(axis.stride) + skip));
    }
    return axis;
}

} // namespace

std::vector<std::uint16_t> scaleLevels(std::span<const std::uint16_t> levels, int width, int height,
                                       int toWidth, int toHeight, int rowsWanted) {
    rowsWanted = std::clamp(rowsWanted, 0, toHeight);
    if (width <= 0 || height <= 0 || toWidth <= 0 || rowsWanted <= 0) {
        return {};
    }
    const AxisTaps across = axisTaps(width, toWidth, toWidth);
    const AxisTaps down = axisTaps(height, toHeight, rowsWanted);
    const auto stride = [](const AxisTaps& axis) { return static_cast<std::size_t>(axis.stride); };
    const auto newWidth = static_cast<std::size_t>(toWidth);

    // Across first, only for the old rows that the wanted rows are made of;
    // values keep the weights' scale (level << kWeightBits).
    const int oldRows = down.first[static_cast<std::size_t>(rowsWanted - 1)] + down.stride;
    std::vector<std::uint32_t> acrossDone(static_cast<std::size_t>(oldRows) * newWidth);
    for (int y = 0; y < oldRows; ++y) {
        const std::uint16_t* source =
            levels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::uint32_t* target = acrossDone.data() + static_cast<std::size_t>(y) * newWidth;
        for (std::size_t x = 0; x < newWidth; ++x) {
            const std::uint16_t* from = source + across.first[x];
            const std::int64_t* weights = across.weights.data() + x * stride(across);
            std::int64_t sum = 0;
            for (int k = 0; k < across.stride; ++k) {
                sum += weights[k] * from[k];
            }
            target[x] = static_cast<std::uint32_t>(sum);
        }
    }

    // Then down, rounding once at the end.
    std::vector<std::uint16_t> scaled(static_cast<std::size_t>(rowsWanted) * newWidth);
    std::vector<std::int64_t> sums(newWidth);
    constexpr std::int64_t kHalf = kWeightOne * kWeightOne / 2;
    for (int y = 0; y < rowsWanted; ++y) {
        std::fill(sums.begin(), sums.end(), kHalf);
        const std::size_t row = static_cast<std::size_t>(y);
        for (int k = 0; k < down.stride; ++k) {
            const std::int64_t weight = down.weights[row * stride(down) + static_cast<std::size_t>(k)];
            if (weight == 0) {
                continue;
            }
            const std::uint32_t* from =
                acrossDone.data() + static_cast<std::size_t>(down.first[row] + k) * newWidth;
            for (std::size_t x = 0; x < newWidth; ++x) {
                sums[x] += weight * from[x];
            }
        }
        for (std::size_t x = 0; x < newWidth; ++x) {
            scaled[row * newWidth + x] = static_cast<std::uint16_t>(sums[x] >> (2 * kWeightBits));
        }
    }
    return scaled;
}

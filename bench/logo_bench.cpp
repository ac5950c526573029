// The logo conversion re-runs on every move of a track bar while it is
// dragged, over a full 384 x 250 picture.

#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

// A picture with smooth gradients and edges, so the diffusion decides both ways.
GreyImage testPicture() {
    return makeGreyImage(kLogoWidth, kLogoMaxHeight, [](int x, int y) {
        const auto level = static_cast<std::uint8_t>((x * 255 / (kLogoWidth - 1) + (y / 25) * 40) % 256);
        return ((x / 48 + y / 50) % 3 == 0) ? Rgb{0, 0, 0} : Rgb{level, level, level};
    });
}

void BM_ConvertLogoDithered(benchmark::State& state) {
    const GreyImage grey = testPicture();
    const LogoSettings settings{static_cast<int>(state.range(0)), 128, DitherMode::ErrorDiffusion};
    for (auto _ : state) {
        LogoBitmap logo = convertLogo(grey, settings);
        benchmark::DoNotOptimize(logo.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kLogoWidth * kLogoMaxHeight);
}
BENCHMARK(BM_ConvertLogoDithered)->Arg(0)->Arg(-64)->Unit(benchmark::kMicrosecond);

void BM_ConvertLogoThreshold(benchmark::State& state) {
    const GreyImage grey = testPicture();
    const LogoSettings settings{0, 128, DitherMode::Threshold};
    for (auto _ : state) {
        LogoBitmap logo = convertLogo(grey, settings);
        benchmark::DoNotOptimize(logo.rows.data());
    }
}
BENCHMARK(BM_ConvertLogoThreshold)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

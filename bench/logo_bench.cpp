// The logo conversion re-runs on every move of a track bar while it is
// dragged, over a full 384 x 250 picture. A large picture file is decoded and
// fitted once when it is loaded (or the fit is changed); every later step is
// the conversion alone.

#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"
#include "tools/logo_picture_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

// A shop's logo as a large PNG with a transparent background: a dark disc,
// a grey band and lettering-like bars, 2000 x 1500 pixels.
const QByteArray& largePngFile() {
    static const QByteArray file = [] {
        QImage image(2000, 1500, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 60, 30));
        painter.drawEllipse(QRectF(50, 250, 1000, 1000));
        QLinearGradient band(1100, 0, 1950, 0);
        band.setColorAt(0, QColor(20, 20, 20, 255));
        band.setColorAt(1, QColor(200, 200, 200, 60));
        painter.setBrush(band);
        painter.drawRect(QRectF(1100, 1100, 850, 150));
        painter.setBrush(QColor(180, 30, 30));
        for (int i = 0; i < 6; ++i) {
            painter.drawRect(QRectF(1100 + i * 140, 350, 90, 600));
        }
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            std::fputs("logo_bench: cannot make the PNG\n", stderr);
            std::exit(1);
        }
        return bytes;
    }();
    return file;
}

SourcePicture decodeLargePng() {
    QByteArray bytes = largePngFile();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::string reason;
    auto picture = readLogoPicture(buffer, reason);
    if (!picture) {
        std::fprintf(stderr, "logo_bench: %s\n", reason.c_str());
        std::exit(1);
    }
    return std::move(*picture);
}

// What "LOAD" does with such a file: decode it, then fit and place it.
void BM_LoadAndFitLargePng(benchmark::State& state) {
    for (auto _ : state) {
        const SourcePicture picture = decodeLargePng();
        GreyImage grey = fitLogo(picture, FitMode::Fit, Placement::Centre);
        benchmark::DoNotOptimize(grey.pixels.data());
    }
}
BENCHMARK(BM_LoadAndFitLargePng)->Unit(benchmark::kMillisecond);

// Changing the fit of a loaded picture: the fitting alone, from the decoded picture.
void BM_FitLargePicture(benchmark::State& state) {
    const SourcePicture picture = decodeLargePng();
    const auto mode = static_cast<FitMode>(state.range(0));
    for (auto _ : state) {
        GreyImage grey = fitLogo(picture, mode, Placement::Centre);
        benchmark::DoNotOptimize(grey.pixels.data());
    }
}
BENCHMARK(BM_FitLargePicture)
    ->Arg(static_cast<int>(FitMode::FitWidth))
    ->Arg(static_cast<int>(FitMode::Fit))
    ->Unit(benchmark::kMillisecond);

// One step of a dragged brightness bar over the fitted large picture, in each
// dithering mode; the brightness moves on every step as it does under a drag.
void BM_TrackBarStepAfterFit(benchmark::State& state) {
    const GreyImage grey = fitLogo(decodeLargePng(), FitMode::FitWidth, Placement::Centre);
    LogoSettings settings{0, 128, static_cast<DitherMode>(state.range(0))};
    int step = 0;
    for (auto _ : state) {
        settings.brightness = step++ % 64 - 32;
        LogoBitmap logo = convertLogo(grey, settings);
        benchmark::DoNotOptimize(logo.rows.data());
    }
    state.counters["rows"] = grey.height;
}
BENCHMARK(BM_TrackBarStepAfterFit)
    ->ArgName("dither")
    ->Arg(static_cast<int>(DitherMode::ErrorDiffusion))
    ->Arg(static_cast<int>(DitherMode::Threshold))
    ->Arg(static_cast<int>(DitherMode::Atkinson))
    ->Arg(static_cast<int>(DitherMode::Bayer))
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Raster hot paths at the notice window's size: a fill, a tiled background and a plain copy.
#include <benchmark/benchmark.h>

#include "bench/BenchCopy.h"
#include "lumivane/gfx/raster/DeviceContext.h"

using namespace lumivane;

namespace {
constexpr int kW = 478, kH = 334;
constexpr int kTileW = 115, kTileH = 103;

// Reports the time of one iteration as a multiple of the plain copy, and the surface's pixels per
// second.
template <class F>
void RunRaster(benchmark::State& state, F&& body) {
    RunAgainstCopy(state, body);
    state.counters["Mpix/s"] = benchmark::Counter(double(kW) * kH * state.iterations() / 1e6,
                                                  benchmark::Counter::kIsRate);
}

Surface MakeTile() {
    Surface t(kTileW, kTileH);
    for (int y = 0; y < kTileH; ++y)
        for (int x = 0; x < kTileW; ++x) t.Set(x, y, ((x * 7) ^ (y * 13)) * 0x010203 & 0xFFFFFF);
    return t;
}
} // namespace

static void BM_PlainCopy(benchmark::State& state) {
    Surface a(kW, kH, 0x123456), b(kW, kH);
    RunRaster(state, [&] {
        CopySurface(a, b);
        benchmark::DoNotOptimize(b.Pixels().data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_PlainCopy);

static void BM_FillRect(benchmark::State& state) {
    Surface s(kW, kH);
    DeviceContext dc(&s);
    TColor c = clBtnFace;
    RunRaster(state, [&] {
        dc.FillRect({0, 0, kW, kH}, c);
        c ^= 1;
        benchmark::DoNotOptimize(s.Pixels().data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_FillRect);

static void BM_TileBackground(benchmark::State& state) {
    Surface s(kW, kH), tile = MakeTile();
    DeviceContext dc(&s), dt(&tile);
    RunRaster(state, [&] {
        for (int y = 0; y < kH; y += kTileH)
            for (int x = 0; x < kW; x += kTileW) BitBlt(dc, x, y, kTileW, kTileH, dt, 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(s.Pixels().data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_TileBackground);

// The same tiling through a rounded clip region (many small rectangles per band).
static void BM_TileBackgroundRoundClip(benchmark::State& state) {
    Surface s(kW, kH), tile = MakeTile();
    DeviceContext dc(&s, {0, 0}, Region::RoundRect(0, 0, kW + 1, kH + 1, 40, 40));
    DeviceContext dt(&tile);
    RunRaster(state, [&] {
        for (int y = 0; y < kH; y += kTileH)
            for (int x = 0; x < kW; x += kTileW) BitBlt(dc, x, y, kTileW, kTileH, dt, 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(s.Pixels().data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_TileBackgroundRoundClip);

static void BM_StretchFull(benchmark::State& state) {
    Surface s(kW, kH), tile = MakeTile();
    DeviceContext dc(&s), dt(&tile);
    RunRaster(state, [&] {
        StretchBlt(dc, 0, 0, kW, kH, dt, 0, 0, kTileW, kTileH, SRCCOPY);
        benchmark::DoNotOptimize(s.Pixels().data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_StretchFull);

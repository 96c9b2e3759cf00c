// Text drawing cost against the cheapest thing a paint can do: copying the window's surface.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/BenchCopy.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"

using namespace lumivane;

namespace {

constexpr int kWidth = 478, kHeight = 334; // the notice window's client area

// Ten lines of forty characters: 400 characters of the notice's kind of text.
const std::string kLine = "Quillomat is now known as Lumivane 1.0. ";

HFONT NoticeFont() {
    FontSpec fontSpec;
    fontSpec.name = "宋体";
    fontSpec.height = -14;
    return GetFont(fontSpec);
}

void Draw400(DeviceContext& dc) {
    for (int i = 0; i < 10; ++i) TextOutA(&dc, 8, 8 + i * 18, kLine.data(), static_cast<int>(kLine.size()));
}

void BM_CopySurface(benchmark::State& state) {
    Surface src(kWidth, kHeight, 0xF0F0F0), dst(kWidth, kHeight);
    for (auto _ : state) {
        CopySurface(src, dst);
        benchmark::DoNotOptimize(dst.Pixels().data());
    }
}
BENCHMARK(BM_CopySurface);

void BM_TextOut400Chars(benchmark::State& state) {
    Surface s(kWidth, kHeight, 0xF0F0F0), copy(kWidth, kHeight);
    DeviceContext dc(&s);
    dc.font = NoticeFont();
    dc.bkMode = TRANSPARENT;
    Draw400(dc); // warms the glyph cache
    using Clock = std::chrono::steady_clock;
    Clock::duration text{}, plain{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        Draw400(dc);
        auto t1 = Clock::now();
        CopySurface(s, copy);
        auto t2 = Clock::now();
        benchmark::DoNotOptimize(copy.Pixels().data());
        text += t1 - t0;
        plain += t2 - t1;
    }
    state.counters["chars"] = benchmark::Counter(400.0 * state.iterations(), benchmark::Counter::kIsRate);
    if (plain.count() > 0)
        state.counters["ratio_to_copy"] = static_cast<double>(text.count()) / static_cast<double>(plain.count());
}
BENCHMARK(BM_TextOut400Chars);

// The same count of characters in four scripts: Latin, Greek and Cyrillic from the asked font,
// CJK from the fallback face.
void BM_TextOut400CharsMixedScripts(benchmark::State& state) {
    const std::string line = "Lumivane Ωμέγα Привет 漢字かなカナ and more "; // 40 characters
    Surface s(kWidth, kHeight, 0xF0F0F0);
    DeviceContext dc(&s);
    dc.font = NoticeFont();
    dc.bkMode = TRANSPARENT;
    auto draw = [&] {
        for (int i = 0; i < 10; ++i) TextOutA(&dc, 8, 8 + i * 18, line.data(), static_cast<int>(line.size()));
    };
    draw(); // warms the glyph cache
    for (auto _ : state) {
        draw();
        benchmark::DoNotOptimize(s.Pixels().data());
    }
    state.counters["chars"] = benchmark::Counter(400.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextOut400CharsMixedScripts);

void BM_DrawTextWrappedNotice(benchmark::State& state) {
    Surface s(kWidth, kHeight, 0xF0F0F0);
    DeviceContext dc(&s);
    FontSpec fontSpec;
    fontSpec.name = "宋体";
    fontSpec.height = -14;
    fontSpec.bold = true;
    dc.font = GetFont(fontSpec);
    dc.bkMode = TRANSPARENT;
    const std::string text = "    " + kLine + kLine + kLine + kLine + kLine + kLine + kLine + kLine + kLine;
    for (auto _ : state) {
        RECT r{120, 11, 417, 241};
        benchmark::DoNotOptimize(DrawTextA(&dc, text.c_str(), -1, &r, DT_WORDBREAK));
    }
}
BENCHMARK(BM_DrawTextWrappedNotice);

} // namespace

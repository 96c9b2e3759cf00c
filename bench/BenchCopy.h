// The yardstick of the benchmarks: one plain copy of a surface the size of the notice window's
// client area (478x334), timed on the thread's CPU clock, and a runner reporting each
// benchmark's iteration as a multiple of it.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "lumivane/gfx/raster/Surface.h"

// Thread CPU time: other work on the machine does not inflate the ratios.
inline double NowNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

// Copies every pixel of `from` into `to`, which has the same size.
inline void CopySurface(const lumivane::Surface& from, lumivane::Surface& to) {
    std::memcpy(to.Pixels().data(), from.Pixels().data(), from.Pixels().size() * sizeof(lumivane::Pixel));
}

// Nanoseconds of one plain copy of a 478x334 surface: the best of several batches.
inline double CopyNanos() {
    static const double nanos = [] {
        lumivane::Surface a(478, 334, 0x123456), b(478, 334);
        double best = 1e30;
        for (int batch = 0; batch < 20; ++batch) {
            const double t0 = NowNanos();
            for (int i = 0; i < 50; ++i) {
                CopySurface(a, b);
                benchmark::DoNotOptimize(b.Pixels().data());
                benchmark::ClobberMemory();
            }
            best = std::min(best, (NowNanos() - t0) / 50);
        }
        return best;
    }();
    return nanos;
}

// Runs `body` once per iteration, sets the counter x_copy to one iteration's time as a multiple
// of the plain copy, and returns that time in nanoseconds.
template <class F>
double RunAgainstCopy(benchmark::State& state, F&& body) {
    const double t0 = NowNanos();
    for (auto _ : state) body();
    const double per = (NowNanos() - t0) / std::max<int64_t>(1, state.iterations());
    state.counters["x_copy"] = per / CopyNanos();
    return per;
}

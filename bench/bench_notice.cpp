// The notice window, headless: a full repaint and the repaint of one link as the pointer enters
// and leaves it, each also as a multiple of a plain copy of the window's surface.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "app/frmMain.h"
#include "platform/Window.h"
#include "platform/drivers/headless/Session.h"

namespace {

double NowNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

// One plain copy of a 478x334 surface, the best of several batches.
double CopyNanos() {
    static const double nanos = [] {
        Surface a(478, 334, 0x123456), b(478, 334);
        double best = 1e30;
        for (int batch = 0; batch < 20; ++batch) {
            const double t0 = NowNanos();
            for (int i = 0; i < 50; ++i) {
                std::memcpy(b.Pixels().data(), a.Pixels().data(), a.Pixels().size() * sizeof(Pixel));
                benchmark::DoNotOptimize(b.Pixels().data());
                benchmark::ClobberMemory();
            }
            best = std::min(best, (NowNanos() - t0) / 50);
        }
        return best;
    }();
    return nanos;
}

template <class F>
void RunAgainstCopy(benchmark::State& state, F&& body) {
    const double t0 = NowNanos();
    for (auto _ : state) body();
    const double per = (NowNanos() - t0) / std::max<int64_t>(1, state.iterations());
    state.counters["x_copy"] = per / CopyNanos();
    state.counters["us"] = per / 1000;
}

// The window on the headless driver, created once for all benchmarks.
struct NoticeFixture {
    HeadlessSession session;
    NoticeFixture() {
        Application->Initialize();
        Application->SetTitle("Test TImButtons");
        RegisterNoticeWindow();
        Application->CreateForm(Main);
        Main->Show();
        session.Pump();
    }
};

NoticeFixture& Fixture() {
    static NoticeFixture* f = new NoticeFixture();  // lives until exit: the window system outlives main's end
    return *f;
}

void BM_SurfaceCopy(benchmark::State& state) {
    RunAgainstCopy(state, [] {
        static Surface a(478, 334, 0x123456), b(478, 334);
        std::memcpy(b.Pixels().data(), a.Pixels().data(), a.Pixels().size() * sizeof(Pixel));
        benchmark::DoNotOptimize(b.Pixels().data());
    });
}
BENCHMARK(BM_SurfaceCopy);

void BM_FullRepaint(benchmark::State& state) {
    NoticeFixture& f = Fixture();
    HWND h = Main->Handle();
    RunAgainstCopy(state, [&] {
        InvalidateRect(h, nullptr, true);
        f.session.Pump();
    });
}
BENCHMARK(BM_FullRepaint);

// The pointer enters the download link (it turns red) and leaves it (blue again): two repaints
// of the link's rectangle per iteration, through the real event path.
void BM_LinkHover(benchmark::State& state) {
    NoticeFixture& f = Fixture();
    HWND h = Main->Handle();
    RunAgainstCopy(state, [&] {
        f.session.MoveTo(h, 30, 225);
        f.session.MoveTo(h, 250, 300);
    });
    state.counters["repaints"] = 2;
}
BENCHMARK(BM_LinkHover);

} // namespace

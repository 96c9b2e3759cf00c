// The notice window, headless: a full repaint and the repaint of one link as the pointer enters
// and leaves it, each also as a multiple of a plain copy of the window's surface.
#include <benchmark/benchmark.h>

#include "app/frmMain.h"
#include "bench/BenchCopy.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

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

// Reports the time of one iteration as a multiple of the plain copy and in microseconds.
template <class F>
void RunNotice(benchmark::State& state, F&& body) {
    state.counters["us"] = RunAgainstCopy(state, body) / 1000;
}

NoticeFixture& Fixture() {
    static NoticeFixture* f = new NoticeFixture();  // lives until exit: the window system outlives main's end
    return *f;
}

void BM_SurfaceCopy(benchmark::State& state) {
    RunNotice(state, [] {
        static Surface a(478, 334, 0x123456), b(478, 334);
        CopySurface(a, b);
        benchmark::DoNotOptimize(b.Pixels().data());
    });
}
BENCHMARK(BM_SurfaceCopy);

void BM_FullRepaint(benchmark::State& state) {
    NoticeFixture& f = Fixture();
    HWND h = Main->Handle();
    RunNotice(state, [&] {
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
    RunNotice(state, [&] {
        f.session.MoveTo(h, 30, 225);
        f.session.MoveTo(h, 250, 300);
    });
    state.counters["repaints"] = 2;
}
BENCHMARK(BM_LinkHover);

} // namespace

// How loading, showing, painting and closing a form grows with its number of controls: a grid
// of windowed image buttons (each with a small picture) and a grid of labels, at 100, 1000 and
// 10,000 controls. The figure to read is `us_per_control` (thread CPU time): it should stay about
// flat from 100 to 10,000 (the work is linear in the form), whatever the machine's speed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "app/frmMain.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

// Seconds of this thread's CPU time: other work on a shared machine does not inflate the figures.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// An 8x8 24-bit bitmap as picture data: class name, length, file.
std::string PictureHex() {
    std::vector<uint8_t> bmp;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const uint32_t pixels = 8 * 8 * 3;
    bmp.push_back('B');
    bmp.push_back('M');
    put(54 + pixels, 4), put(0, 4), put(54, 4);
    put(40, 4), put(8, 4), put(8, 4), put(1, 2), put(24, 2), put(0, 4), put(pixels, 4);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (uint32_t i = 0; i < pixels; ++i) bmp.push_back(static_cast<uint8_t>(i % 3 == 0 ? 0x80 : 0x40));
    std::vector<uint8_t> data{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    const uint32_t n = static_cast<uint32_t>(bmp.size());
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(n >> (8 * i)));
    data.insert(data.end(), bmp.begin(), bmp.end());
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : data) hex += {digits[b >> 4], digits[b & 15]};
    return hex;
}

// A form with `count` controls in a grid of 100 columns (fewer for small counts).
std::string GridForm(int count, bool buttons) {
    const int cols = count > 1000 ? 100 : 40, w = 40, h = 20;
    const int rows = (count + cols - 1) / cols;
    std::string t = "object Grid: TForm\n  ClientWidth = " + std::to_string(cols * w) +
                    "\n  ClientHeight = " + std::to_string(rows * h) + "\n";
    const std::string picture = buttons ? PictureHex() : "";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        t += (buttons ? "  object B" : "  object L") + n + (buttons ? ": TImButton\n" : ": TLabel\n");
        t += "    Left = " + std::to_string(i % cols * w) + "\n    Top = " + std::to_string(i / cols * h) + "\n";
        if (buttons) t += "    Width = 40\n    Height = 20\n    Picture.Data = {" + picture + "}\n";
        t += "    Caption = 'C" + n + "'\n  end\n";
    }
    return t + "end\n";
}

HeadlessSession& Session() {
    static HeadlessSession* s = [] {
        auto* session = new HeadlessSession();  // lives until exit, as the window system does
        Application->Initialize();
        RegisterNoticeWindow();
        return session;
    }();
    return *s;
}

// One iteration: load the layout, show and paint the form, then free it.
void RunGrid(benchmark::State& state, bool buttons) {
    HeadlessSession& session = Session();
    const int count = static_cast<int>(state.range(0));
    const std::string text = GridForm(count, buttons);
    TCustomForm::SuppressResourceLayouts(true);
    double seconds = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        TForm* form = nullptr;
        Application->CreateForm(form);
        form->LoadFormText(text);
        form->Show();
        session.Pump();
        delete form;
        session.Pump();
        seconds += ThreadSeconds() - t0;
    }
    TCustomForm::SuppressResourceLayouts(false);
    state.counters["us_per_control"] = seconds * 1e6 / (static_cast<double>(state.iterations()) * count);
    state.counters["ms_per_form"] = seconds * 1e3 / static_cast<double>(state.iterations());
}

void BM_ImageButtonGrid(benchmark::State& state) { RunGrid(state, true); }
BENCHMARK(BM_ImageButtonGrid)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LabelGrid(benchmark::State& state) { RunGrid(state, false); }
BENCHMARK(BM_LabelGrid)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

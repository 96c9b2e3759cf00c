// The validating edit, headless: typing into a filtered edit and pasting up to 1 MB into it,
// each reported per character and beside a plain copy of the same text (x_copy: the pasted
// size's time as a multiple of copying that many bytes). Doubling the paste should double its
// time: the filter judges every character against one state taken before the paste.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/BenchCopy.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

struct EditFixture {
    HeadlessSession session;
    TForm* form = nullptr;
    TValidateEdit* edit = nullptr;
    EditFixture() {
        Application->Initialize();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 100);
        edit = new TValidateEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 200, 21);
        form->Show();
        session.Pump();
        edit->InnerEdit()->SetFocus();
        session.Pump();
    }
};

EditFixture& Fixture() {
    static EditFixture* f = new EditFixture();  // lives until exit: the window system outlives main's end
    return *f;
}

// Digits with a letter, a sign and a point scattered in: a filter has work to do on each.
std::string Sample(size_t n) {
    static const char pattern[] = "1234a5-6.789b0";
    std::string s(n, '0');
    for (size_t i = 0; i < n; ++i) s[i] = pattern[i % (sizeof pattern - 1)];
    return s;
}

// Nanoseconds of copying n bytes, the best of a few runs.
double CopyBytesNanos(const std::string& text) {
    std::string to(text.size(), '\0');
    double best = 1e30;
    for (int run = 0; run < 20; ++run) {
        const double t0 = NowNanos();
        std::memcpy(to.data(), text.data(), text.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        best = std::min(best, NowNanos() - t0);
    }
    return best;
}

void Report(benchmark::State& state, double nanos, size_t chars, double copyNanos) {
    state.counters["ns_per_char"] = nanos / static_cast<double>(chars);
    state.counters["x_copy"] = nanos / copyNanos;
}

// A paste of state.range(0) characters into an empty edit of the given kind, through Ctrl+V.
void Paste(benchmark::State& state, TValidateType kind) {
    EditFixture& f = Fixture();
    const std::string text = Sample(static_cast<size_t>(state.range(0)));
    f.edit->fSetVType(kind);
    f.session.SetClipboard(text);
    double total = 0;
    for (auto _ : state) {
        f.edit->SetText("");
        const double t0 = NowNanos();
        f.session.Key('V', MK_CONTROL);
        total += NowNanos() - t0;
    }
    const double per = total / static_cast<double>(std::max<int64_t>(1, state.iterations()));
    Report(state, per, text.size(), CopyBytesNanos(text));
    f.edit->SetText("");
}

void BM_PasteFiltered(benchmark::State& state) { Paste(state, vtFloat); }
BENCHMARK(BM_PasteFiltered)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMillisecond);

void BM_PasteCustomSet(benchmark::State& state) {
    Fixture().edit->fSetVString("0-9a-f.-");
    Paste(state, vtCustom);
}
BENCHMARK(BM_PasteCustomSet)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The platform edit's own paste, for comparison.
void BM_PasteUnfiltered(benchmark::State& state) { Paste(state, vtNone); }
BENCHMARK(BM_PasteUnfiltered)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Typing state.range(0) characters one by one (character messages through the key path) into an
// empty filtered edit; each character is judged against the text typed so far.
void BM_TypeFiltered(benchmark::State& state) {
    EditFixture& f = Fixture();
    const std::string text = Sample(static_cast<size_t>(state.range(0)));
    f.edit->fSetVType(vtFloat);
    double total = 0;
    for (auto _ : state) {
        f.edit->SetText("");
        const double t0 = NowNanos();
        f.session.Type(text);
        total += NowNanos() - t0;
    }
    const double per = total / static_cast<double>(std::max<int64_t>(1, state.iterations()));
    Report(state, per, text.size(), CopyBytesNanos(text));
}
BENCHMARK(BM_TypeFiltered)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

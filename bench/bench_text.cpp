// Text drawing cost against the cheapest thing a paint can do: copying the window's surface;
// and typing into edits that already hold 1,000, 10,000 and 100,000 characters, per key with
// its repaint: the cost of a key follows the change, so the three figures should be alike.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/BenchCopy.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/windows/Window.h"

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

// ---- Typing into long texts ----

// A plain edit (a validating edit that lets everything through), a filtered one (decimal
// numbers) and an up-down edit, side by side on one form.
struct TypingFixture {
    HeadlessSession session;
    TForm* form = nullptr;
    TValidateEdit* plain = nullptr;
    TValidateEdit* filtered = nullptr;
    TKdUpDownEdit* upDown = nullptr;
    TypingFixture() {
        Application->Initialize();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 120);
        plain = new TValidateEdit(form);
        filtered = new TValidateEdit(form);
        filtered->fSetVType(vtFloat);
        upDown = new TKdUpDownEdit(form);
        int top = 10;
        for (TCustomValidateEdit* e :
             {static_cast<TCustomValidateEdit*>(plain), static_cast<TCustomValidateEdit*>(filtered),
              static_cast<TCustomValidateEdit*>(upDown)}) {
            e->SetParent(form);
            e->SetBounds(10, top, 200, 21);
            top += 30;
        }
        form->Show();
        session.Pump();
    }
};

TypingFixture& Typing() {
    static TypingFixture* f = new TypingFixture();  // lives until exit: the window system outlives main's end
    return *f;
}

enum class TEditKind { Plain, Filtered, UpDown };

TCustomValidateEdit* EditOf(TypingFixture& f, TEditKind kind) {
    switch (kind) {
    case TEditKind::Plain: return f.plain;
    case TEditKind::Filtered: return f.filtered;
    default: return f.upDown;
    }
}

// Gives the edit state.range(0) digits with the caret at the end (or at the start) and the
// focus, painted once.
TCustomValidateEdit* Prepare(TypingFixture& f, TEditKind kind, int64_t chars, bool caretAtStart) {
    TCustomValidateEdit* e = EditOf(f, kind);
    std::string text(static_cast<size_t>(chars), '0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('1' + i % 9);
    e->SetText(text);
    e->InnerEdit()->SetFocus();
    e->InnerEdit()->SetSelStart(caretAtStart ? 0 : static_cast<int>(chars));
    f.session.Pump();
    return e;
}

void ReportPerKey(benchmark::State& state, double nanos, int64_t keys) {
    state.counters["ns_per_key"] = nanos / static_cast<double>(std::max<int64_t>(1, keys));
    state.counters["x_copy"] = nanos / static_cast<double>(std::max<int64_t>(1, keys)) / CopyNanos();
}

// One typed digit and one Backspace, each followed by its repaint: the text's length stays.
void TypeAndErase(benchmark::State& state, TEditKind kind, bool caretAtStart) {
    TypingFixture& f = Typing();
    TCustomValidateEdit* e = Prepare(f, kind, state.range(0), caretAtStart);
    double total = 0;
    int64_t keys = 0;
    for (auto _ : state) {
        const double t0 = NowNanos();
        f.session.Type("7");
        f.session.Pump();
        if (caretAtStart) {
            f.session.Key(VK_LEFT);
            f.session.Key(VK_DELETE);
        } else {
            f.session.Key(VK_BACK);
        }
        total += NowNanos() - t0;
        keys += caretAtStart ? 3 : 2;
    }
    if (static_cast<int64_t>(e->GetText().size()) != state.range(0)) state.SkipWithError("the text's length changed");
    ReportPerKey(state, total, keys);
}

// The caret walking left and back right by one character, with the view scrolling as it goes.
void MoveCaret(benchmark::State& state, TEditKind kind) {
    TypingFixture& f = Typing();
    Prepare(f, kind, state.range(0), false);
    double total = 0;
    int64_t keys = 0;
    for (auto _ : state) {
        const double t0 = NowNanos();
        for (int i = 0; i < 40; ++i) f.session.Key(VK_LEFT);
        for (int i = 0; i < 40; ++i) f.session.Key(VK_RIGHT);
        total += NowNanos() - t0;
        keys += 80;
    }
    ReportPerKey(state, total, keys);
}

void BM_TypeAtEndPlain(benchmark::State& state) { TypeAndErase(state, TEditKind::Plain, false); }
void BM_TypeAtEndFiltered(benchmark::State& state) { TypeAndErase(state, TEditKind::Filtered, false); }
void BM_TypeAtEndUpDown(benchmark::State& state) { TypeAndErase(state, TEditKind::UpDown, false); }
void BM_TypeAtStartPlain(benchmark::State& state) { TypeAndErase(state, TEditKind::Plain, true); }
void BM_MoveCaretPlain(benchmark::State& state) { MoveCaret(state, TEditKind::Plain); }
void BM_MoveCaretUpDown(benchmark::State& state) { MoveCaret(state, TEditKind::UpDown); }
BENCHMARK(BM_TypeAtEndPlain)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEndFiltered)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEndUpDown)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtStartPlain)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveCaretPlain)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveCaretUpDown)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

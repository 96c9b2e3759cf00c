// Popup menus of 1,000 and 10,000 items, headless: opening one (reported per item: each row is
// measured once per open), ten Down keys, hovering rows and repainting the open menu (reported
// per operation: these cost by the rows in view, so the two sizes should read the same).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

struct MenuFixture {
    HeadlessSession session;
    TForm* form = nullptr;
    std::map<int, TPopupMenu*> menus;
    MenuFixture() {
        Application->Initialize();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 200);
        form->Show();
        session.Pump();
        form->SetFocus();
        session.Pump();
    }
    // A menu of n items, with a separator every tenth row and a shortcut on some.
    TPopupMenu* Menu(int n) {
        TPopupMenu*& menu = menus[n];
        if (menu) return menu;
        menu = new TPopupMenu(form);
        for (int i = 0; i < n; ++i) {
            auto* item = new TMenuItem(form);
            item->SetCaption(i % 10 == 9 ? "-" : "&Item number " + std::to_string(i));
            if (i % 7 == 0) item->SetShortCut(scCtrl | ('A' + i % 26));
            menu->Items()->Add(item);
        }
        return menu;
    }
    void Open(int n) {
        Menu(n)->Popup(20, 20);
        session.Pump();
    }
};

MenuFixture& Fixture() {
    static MenuFixture* f = new MenuFixture();  // lives until exit: the window system outlives main's end
    return *f;
}

void BM_MenuOpen(benchmark::State& state) {
    MenuFixture& f = Fixture();
    const int n = static_cast<int>(state.range(0));
    f.Menu(n);
    for (auto _ : state) {
        f.Open(n);
        MenuWindow::CloseAll();
        f.session.Pump();
    }
    state.counters["per_item"] =
        benchmark::Counter(static_cast<double>(n) * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MenuOpen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MenuTenDownKeys(benchmark::State& state) {
    MenuFixture& f = Fixture();
    const int n = static_cast<int>(state.range(0));
    f.Open(n);
    for (auto _ : state)
        for (int i = 0; i < 10; ++i) f.session.Key(VK_DOWN);
    state.counters["per_key"] =
        benchmark::Counter(10.0 * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    MenuWindow::CloseAll();
    f.session.Pump();
}
BENCHMARK(BM_MenuTenDownKeys)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MenuHoverRows(benchmark::State& state) {
    MenuFixture& f = Fixture();
    const int n = static_cast<int>(state.range(0));
    f.Open(n);
    RECT r;
    GetWindowRect(MenuWindow::LevelWindow(0), &r);
    const int x = r.Left + 40, step = MenuWindow::ItemHeight();
    int row = 0;
    for (auto _ : state) {
        f.session.Move(x, r.Top + 30 + step * row);
        row = (row + 1) % 20;
    }
    state.counters["per_move"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    MenuWindow::CloseAll();
    f.session.Pump();
}
BENCHMARK(BM_MenuHoverRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MenuRepaint(benchmark::State& state) {
    MenuFixture& f = Fixture();
    const int n = static_cast<int>(state.range(0));
    f.Open(n);
    HWND h = MenuWindow::LevelWindow(0);
    for (auto _ : state) {
        InvalidateRect(h, nullptr, false);
        f.session.Pump();
    }
    MenuWindow::CloseAll();
    f.session.Pump();
}
BENCHMARK(BM_MenuRepaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

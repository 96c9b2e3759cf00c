// The window system's state and records: start-up and shut-down, looking up windows,
// calling their procedures, visibility and hit testing along the tree.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

void FreeWindowRecord(Wnd* w) {
    auto& ws = WS();
    auto it = ws.windows.find(KeyOf(w->handle));
    if (it == ws.windows.end() || it->second.get() != w) return;
    if (w->depth > 0)
        ws.zombies.push_back(std::move(it->second));
    ws.windows.erase(it);
}

void ReleaseZombie(Wnd* w) {
    auto& z = WS().zombies;
    z.erase(std::remove_if(z.begin(), z.end(), [w](const std::unique_ptr<Wnd>& p) { return p.get() == w; }),
            z.end());
}

// Keeps a window's record alive across a call of its procedure.
namespace {

struct DispatchGuard {
    Wnd* w;
    explicit DispatchGuard(Wnd* wnd) : w(wnd) { ++w->depth; }
    ~DispatchGuard() {
        if (--w->depth == 0 && w->destroyed) ReleaseZombie(w);
    }
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;
};

}  // namespace

WindowSystemState& WS() {
    static WindowSystemState state;
    return state;
}

Wnd* FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& ws = WS();
    auto it = ws.windows.find(KeyOf(hwnd));
    if (it == ws.windows.end() || it->second->destroyed) return nullptr;
    return it->second.get();
}

Wnd* TopLevelOf(Wnd* w) {
    while (w && w->parent) w = w->parent;
    return w;
}

bool IsSelfOrAncestor(const Wnd* ancestor, const Wnd* w) {
    for (; w; w = w->parent)
        if (w == ancestor) return true;
    return false;
}

LRESULT CallProc(Wnd* w, WNDPROC proc, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc) return 0;
    DispatchGuard guard(w);
    return proc(w->handle, msg, wp, lp);
}

bool IsVisibleChain(const Wnd* w) {
    for (; w; w = w->parent)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

bool IsEnabledChain(const Wnd* w) {
    for (; w; w = w->parent)
        if (w->style & WS_DISABLED) return false;
    return true;
}

TPoint SurfaceOffset(const Wnd* w) {
    TPoint p;
    for (; w && w->parent; w = w->parent) {
        p.x += w->rect.Left;
        p.y += w->rect.Top;
    }
    return p;
}

TPoint ScreenOrigin(const Wnd* w) {
    TPoint p = SurfaceOffset(w);
    const Wnd* top = w;
    while (top->parent) top = top->parent;
    TPoint o = WS().driver ? WS().driver->ClientOrigin(top->driverId) : TPoint{top->rect.Left, top->rect.Top};
    return {p.x + o.x, p.y + o.y};
}

Wnd* HitTestWindow(Wnd* w, TPoint p, bool skipDisabled) {
    for (Wnd* c : w->children) {
        if (!(c->style & WS_VISIBLE) || !c->rect.Contains(p)) continue;
        TPoint local{p.x - c->rect.Left, p.y - c->rect.Top};
        if (c->region && !c->region->Contains(local)) continue;
        if (skipDisabled && (c->style & WS_DISABLED)) return w;
        return HitTestWindow(c, local, skipDisabled);
    }
    return w;
}

// ---- Start-up ----

void InitWindowSystem(Driver* driver) {
    ShutdownWindowSystem();
    auto& ws = WS();
    if (driver) {
        ws.edge = std::make_unique<DeviceEdge>(*driver);
        ws.driver = ws.edge.get();
        // A lambda, not the function's address: std::function would name the type bool (*)() in
        // the library's symbols, outside the namespace.
        driver->SetWaitPump([] { return PumpWhileDriverWaits(); });
    }
    RegisterNativeButtonClass();
    RegisterNativeEditClass();
}

void ShutdownWindowSystem() {
    auto& ws = WS();
    if (ws.driver) {
        ws.edge->Device().SetWaitPump(nullptr);
        while (!ws.topLevels.empty()) {
            Wnd* t = ws.topLevels.back();
            if (!DestroyWindow(t->handle)) ws.topLevels.pop_back();
        }
    }
    ws = WindowSystemState();
}

Driver* GetWindowSystemDriver() { return WS().driver; }

void SetIdleHandler(std::function<void()> handler) { WS().idleHandler = std::move(handler); }

bool HasIdleHandler() { return static_cast<bool>(WS().idleHandler); }

void RunIdleHandler() {
    // A copy: the handler may replace itself.
    auto handler = WS().idleHandler;
    if (handler) handler();
}

void SetTerminateHandler(std::function<void()> handler) { WS().terminateHandler = std::move(handler); }

void RunTerminateHandler() {
    auto handler = WS().terminateHandler;
    if (handler)
        handler();
    else
        PostQuitMessage(0);
}

std::vector<HWND> GetTopLevelWindows() {
    std::vector<HWND> r;
    for (auto it = WS().topLevels.rbegin(); it != WS().topLevels.rend(); ++it) r.push_back((*it)->handle);
    return r;
}

}  // namespace lumivane

#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowState.h"

namespace lumivane {

namespace {

int ClampSide(int v) { return std::clamp(v, 0, MaxWindowSide); }

std::string Lower(const char* s) {
    std::string r = s ? s : "";
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

uintptr_t KeyOf(HWND h) { return reinterpret_cast<uintptr_t>(h); }

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
struct DispatchGuard {
    Wnd* w;
    explicit DispatchGuard(Wnd* wnd) : w(wnd) { ++w->depth; }
    ~DispatchGuard() {
        if (--w->depth == 0 && w->destroyed) ReleaseZombie(w);
    }
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;
};

TopLevelKind KindFor(uint32_t style, bool owned) {
    if ((style & WS_POPUP) && (style & WS_CAPTION) == 0) return TopLevelKind::Popup;
    return owned ? TopLevelKind::Dialog : TopLevelKind::Normal;
}


void Raise(Wnd* top) {
    auto& tl = WS().topLevels;
    tl.erase(std::remove(tl.begin(), tl.end(), top), tl.end());
    tl.push_back(top);
    PaintOrderChanged();
}

void RemoveFromSiblings(Wnd* w) {
    if (w->parent) ChildIndex::Removed(w->parent, w);
    auto& list = w->parent ? w->parent->children : WS().topLevels;
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

// Children of the same parent, topmost first; top-level windows likewise.
std::vector<Wnd*> SiblingsTopFirst(const Wnd* w) {
    if (w->parent) return w->parent->children;
    std::vector<Wnd*> r(WS().topLevels.rbegin(), WS().topLevels.rend());
    return r;
}


} // namespace

bool CanActivate(const Wnd* w) {
    return w->IsTopLevel() && w->kind != TopLevelKind::Popup && !(w->exStyle & WS_EX_NOACTIVATE);
}

void DeactivateTopLevel(Wnd* top) {
    auto& ws = WS();
    if (ws.active != top->handle) return;
    Wnd* f = FromHandle(ws.focus);
    if (f && TopLevelOf(f) == top) top->lastFocus = ws.focus;
    ws.active = nullptr;
    SendMessageA(top->handle, WM_ACTIVATE, WA_INACTIVE, 0);
    f = FromHandle(ws.focus);
    if (f && TopLevelOf(f) == top) SetFocus(nullptr);
}

namespace {

void ActivateOwnerOf(Wnd* top) {
    Wnd* owner = top->owner;
    if (owner && !owner->destroyed && (owner->style & WS_VISIBLE) && CanActivate(owner))
        SetActiveWindow(owner->handle);
}

} // namespace

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

// ---- Classes ----

bool RegisterClassA(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !*wc.lpszClassName) return false;
    auto& classes = WS().classes;
    std::string key = Lower(wc.lpszClassName);
    if (classes.count(key)) return false;
    auto e = std::make_unique<WindowClassEntry>();
    e->name = wc.lpszClassName;
    e->wc = wc;
    e->wc.lpszClassName = e->name.c_str();
    classes.emplace(key, std::move(e));
    return true;
}

bool GetClassInfoA(const char* name, WNDCLASS* out) {
    auto& classes = WS().classes;
    auto it = classes.find(Lower(name));
    if (it == classes.end()) return false;
    if (out) *out = it->second->wc;
    return true;
}

int GetClassNameA(HWND hwnd, char* buffer, int size) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    const std::string& n = w->cls->name;
    size_t count = std::min(n.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, n.data(), count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

// ---- Creation and destruction ----

HWND CreateWindowExA(uint32_t exStyle, const char* className, const char* text, uint32_t style, int x, int y,
                     int w, int h, HWND parent, uintptr_t id, void* createParam) {
    auto& ws = WS();
    if (!ws.driver || !className) return nullptr;
    auto cit = ws.classes.find(Lower(className));
    if (cit == ws.classes.end()) return nullptr;
    Wnd* pw = nullptr;
    if (parent) {
        pw = FromHandle(parent);
        if (!pw) return nullptr;
    }
    w = ClampSide(w);
    h = ClampSide(h);

    auto rec = std::make_unique<Wnd>();
    Wnd* wnd = rec.get();
    // Handles are never used twice in a process, not even after the window system restarts: a
    // component that outlived its window system (a timer, a cached host window) must not
    // mistake a new window for its own.
    static uintptr_t nextHandle = 0x10000;
    wnd->handle = reinterpret_cast<HWND>(nextHandle);
    nextHandle += 4;
    wnd->cls = cit->second.get();
    wnd->proc = wnd->cls->wc.lpfnWndProc;
    wnd->style = style & ~WS_VISIBLE; // shown below, after WM_CREATE
    wnd->exStyle = exStyle;
    wnd->id = id;
    wnd->text = text ? text : "";

    if ((style & WS_CHILD) && pw) {
        wnd->parent = pw;
        wnd->rect = {x, y, x + w, y + h};
        pw->children.insert(pw->children.begin(), wnd);
        ChildIndex::Placed(pw, wnd, 0);
    } else {
        wnd->owner = pw ? TopLevelOf(pw) : nullptr;
        wnd->kind = KindFor(style, wnd->owner != nullptr);
        TopLevelSpec request;
        request.kind = wnd->kind;
        request.centred = x == CW_USEDEFAULT;
        if (request.centred) {
            TSize screen = ws.driver->ScreenSize();
            x = (screen.cx - w) / 2;
            y = (screen.cy - h) / 2;
        }
        request.bounds = {x, y, x + w, y + h};
        request.sizeable = (style & WS_THICKFRAME) != 0;
        request.minimizeBox = (style & WS_MINIMIZEBOX) != 0;
        request.maximizeBox = (style & WS_MAXIMIZEBOX) != 0;
        request.title = wnd->text;
        request.owner = wnd->owner ? wnd->owner->driverId : 0;
        wnd->surface = std::make_shared<Surface>(w, h, ColorToPixel(clBtnFace));
        wnd->driverId = ws.driver->CreateTopLevel(request);
        TPoint o = ws.driver->ClientOrigin(wnd->driverId);
        wnd->rect = {o.x, o.y, o.x + w, o.y + h};
        ws.topLevels.push_back(wnd);
    }
    HWND hwnd = wnd->handle;
    ws.windows.emplace(KeyOf(hwnd), std::move(rec));

    CREATESTRUCTA cs{createParam, parent, id, h, w, y, x, style, text, className, exStyle};
    LRESULT r = SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (r == -1 || !FromHandle(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
    if (Wnd* c = FromHandle(hwnd)) SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(c->rect.Left, c->rect.Top));
    if ((style & WS_VISIBLE) && FromHandle(hwnd)) {
        bool quiet = (exStyle & WS_EX_NOACTIVATE) || KindFor(style, parent != nullptr) == TopLevelKind::Popup;
        ShowWindow(hwnd, quiet ? int(SW_SHOWNA) : int(SW_SHOW));
    }
    return FromHandle(hwnd) ? hwnd : nullptr;
}

bool DestroyWindow(HWND hwnd) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w || w->destroying) return false;
    w->destroying = true;

    if (w->parent && IsVisibleChain(w)) InvalidateParentArea(w, w->rect);

    // Owned top-level windows and children go first.
    std::vector<HWND> first;
    if (w->IsTopLevel())
        for (Wnd* t : ws.topLevels)
            if (t->owner == w) first.push_back(t->handle);
    for (Wnd* c : w->children) first.push_back(c->handle);
    for (HWND c : first) DestroyWindow(c);

    if (ws.capture == hwnd) {
        ws.capture = nullptr;
        SendMessageA(hwnd, WM_CAPTURECHANGED, 0, 0);
    }
    if (ws.focus == hwnd) {
        ws.focus = nullptr;
        SendMessageA(hwnd, WM_KILLFOCUS, 0, 0);
    }
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);

    // The procedures may have done anything; look everything up again.
    if (ws.capture == hwnd) ws.capture = nullptr;
    if (ws.focus == hwnd) ws.focus = nullptr;
    SyncTextInput();
    std::vector<HWND> late; // children created during destruction
    for (Wnd* c : w->children) late.push_back(c->handle);
    for (HWND c : late) DestroyWindow(c);

    KillTimersOf(hwnd);
    ForgetInput(w);
    ForgetPainting(w);
    std::erase_if(ws.queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    RemoveFromSiblings(w);
    w->destroyed = true;
    w->region.reset();
    if (w->IsTopLevel()) {
        ws.driver->DestroyTopLevel(w->driverId);
        for (Wnd* t : ws.topLevels)
            if (t->owner == w) t->owner = nullptr;
        if (ws.active == hwnd) {
            ws.active = nullptr;
            ActivateOwnerOf(w);
        }
    }
    // Only top-level windows remember a focus: looking at them alone keeps closing a form of
    // many controls linear.
    for (Wnd* t : ws.topLevels)
        if (t->lastFocus == hwnd) t->lastFocus = nullptr;
    FreeWindowRecord(w);
    return true;
}

bool IsWindow(HWND hwnd) { return FromHandle(hwnd) != nullptr; }

// ---- Per-window values and procedures ----

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = value;
        break;
    case GWL_STYLE:
        old = static_cast<LONG_PTR>(w->style);
        w->style = static_cast<uint32_t>(value);
        if ((w->style ^ old) & WS_VISIBLE) PaintOrderChanged();
        break;
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(w->exStyle);
        w->exStyle = static_cast<uint32_t>(value);
        break;
    case GWLP_ID:
        old = static_cast<LONG_PTR>(w->id);
        w->id = static_cast<uintptr_t>(value);
        break;
    default:
        break;
    }
    return old;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_ID: return static_cast<LONG_PTR>(w->id);
    case GWLP_HWNDPARENT: {
        Wnd* p = w->parent ? w->parent : w->owner;
        return p ? reinterpret_cast<LONG_PTR>(p->handle) : 0;
    }
    default: return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return 0;
    return CallProc(w, proc, msg, wp, lp);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return 0;
    return CallProc(w, w->proc, msg, wp, lp);
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return 0;
    auto& ws = WS();
    switch (msg) {
    case WM_SETTEXT:
        w->text = lp ? reinterpret_cast<const char*>(lp) : "";
        if (w->IsTopLevel()) ws.driver->SetTitle(w->driverId, w->text);
        return 1;
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || wp == 0) return 0;
        size_t n = std::min(w->text.size(), static_cast<size_t>(wp - 1));
        std::memcpy(buf, w->text.data(), n);
        buf[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETCURSOR:
        // The parent may decide for its children; the cursor is only set for the window itself.
        if (w->parent && SendMessageA(w->parent->handle, WM_SETCURSOR, wp, lp)) return 1;
        if (!FromHandle(hwnd) || wp != reinterpret_cast<WPARAM>(hwnd)) return 0;
        SetCursorShape(w->cls->wc.cursor);
        return 1;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) {
            Wnd* f = FromHandle(ws.focus);
            if (f && TopLevelOf(f) == w) return 0;
            Wnd* last = FromHandle(w->lastFocus);
            if (last && TopLevelOf(last) == w && IsVisibleChain(last) && IsEnabledChain(last))
                SetFocus(last->handle);
            else
                SetFocus(hwnd);
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (w->parent) return SendMessageA(w->parent->handle, msg, wp, lp);
        return 0;
    case WM_SYSKEYDOWN:
        if (wp == VK_F4 && (lp & (1 << 29))) PostMessageA(TopLevelOf(w)->handle, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

// ---- Geometry and the tree ----

bool MoveWindow(HWND hwnd, int x, int y, int w, int h, bool repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : UINT(SWP_NOREDRAW)));
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    TRect old = w->rect;
    TRect nr = old;
    if (!(flags & SWP_NOMOVE)) nr = nr.Offset(x - old.Left, y - old.Top);
    if (!(flags & SWP_NOSIZE)) {
        nr.Right = nr.Left + ClampSide(cx);
        nr.Bottom = nr.Top + ClampSide(cy);
    }
    bool moved = nr.Left != old.Left || nr.Top != old.Top;
    bool sized = nr.Width() != old.Width() || nr.Height() != old.Height();

    bool restacked = false;
    if (!(flags & SWP_NOZORDER)) {
        if (w->parent) {
            auto& list = w->parent->children;
            auto here = std::find(list.begin(), list.end(), w);
            const size_t from = static_cast<size_t>(here - list.begin());
            list.erase(here);
            Wnd* after = insertAfter == HWND_BOTTOM ? nullptr : FromHandle(insertAfter);
            auto pos = list.begin();
            if (insertAfter == HWND_BOTTOM)
                pos = list.end();
            else if (after && after->parent == w->parent && after != w)
                pos = std::find(list.begin(), list.end(), after) + 1;
            const size_t to = static_cast<size_t>(pos - list.begin());
            list.insert(pos, w);
            restacked = from != to;
            if (restacked) {
                PaintOrderChanged();
                ChildIndex::Removed(w->parent, w);
                ChildIndex::Placed(w->parent, w, to);
            }
        } else if (insertAfter == HWND_TOP || insertAfter == nullptr) {
            Raise(w);
        } else if (insertAfter == HWND_BOTTOM) {
            auto& tl = ws.topLevels;
            tl.erase(std::remove(tl.begin(), tl.end(), w), tl.end());
            tl.insert(tl.begin(), w);
            PaintOrderChanged();
        }
    }
    w->rect = nr;
    if (w->parent && (moved || sized)) ChildIndex::Moved(w->parent, w);
    if (w->parent) {
        if ((moved || sized || restacked) && !(flags & SWP_NOREDRAW) && IsVisibleChain(w)) {
            InvalidateParentArea(w, old);
            InvalidateParentArea(w, nr);
        }
    } else if (moved || sized) {
        ws.driver->SetBounds(w->driverId, nr);
        if (sized) ResizeSurface(w);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? int(SW_SHOWNA) : int(SW_SHOW));
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (moved && FromHandle(hwnd)) SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(nr.Left, nr.Top));
    if (sized && FromHandle(hwnd)) SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(nr.Width(), nr.Height()));
    return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !rect) return false;
    *rect = {0, 0, w->Width(), w->Height()};
    return true;
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !rect) return false;
    TPoint o = ScreenOrigin(w);
    *rect = {o.x, o.y, o.x + w->Width(), o.y + w->Height()};
    return true;
}

bool ScreenToClient(HWND hwnd, POINT* p) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !p) return false;
    TPoint o = ScreenOrigin(w);
    p->x -= o.x;
    p->y -= o.y;
    return true;
}

bool ClientToScreen(HWND hwnd, POINT* p) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !p) return false;
    TPoint o = ScreenOrigin(w);
    p->x += o.x;
    p->y += o.y;
    return true;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, unsigned count) {
    TPoint a, b;
    if (from) {
        Wnd* w = FromHandle(from);
        if (!w) return 0;
        a = ScreenOrigin(w);
    }
    if (to) {
        Wnd* w = FromHandle(to);
        if (!w) return 0;
        b = ScreenOrigin(w);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (unsigned i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(MAKELPARAM(dx, dy));
}

HWND WindowFromPoint(POINT screen) {
    auto& ws = WS();
    for (auto it = ws.topLevels.rbegin(); it != ws.topLevels.rend(); ++it) {
        Wnd* t = *it;
        if (!(t->style & WS_VISIBLE)) continue;
        TPoint o = ScreenOrigin(t);
        TPoint local{screen.x - o.x, screen.y - o.y};
        if (!TRect{0, 0, t->Width(), t->Height()}.Contains(local)) continue;
        if (t->region && !t->region->Contains(local)) continue;
        return HitTestWindow(t, local, true)->handle;
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
    Wnd* w = FromHandle(parent);
    if (!w || !TRect{0, 0, w->Width(), w->Height()}.Contains(client)) return nullptr;
    for (Wnd* c : w->children)
        if (c->rect.Contains(client)) return c->handle;
    return parent;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front()->handle;
    if (cmd == GW_OWNER) return w->owner ? w->owner->handle : nullptr;
    std::vector<Wnd*> list = SiblingsTopFirst(w);
    auto it = std::find(list.begin(), list.end(), w);
    switch (cmd) {
    case GW_HWNDFIRST: return list.front()->handle;
    case GW_HWNDLAST: return list.back()->handle;
    case GW_HWNDNEXT: return (it + 1) != list.end() ? (*(it + 1))->handle : nullptr;
    case GW_HWNDPREV: return it != list.begin() ? (*(it - 1))->handle : nullptr;
    default: return nullptr;
    }
}

HWND GetParent(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    if (w->parent) return w->parent->handle;
    return w->owner ? w->owner->handle : nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
    Wnd* w = FromHandle(child);
    Wnd* np = FromHandle(newParent);
    if (!w || !w->parent || !np || IsSelfOrAncestor(w, np)) return nullptr;
    Wnd* old = w->parent;
    if (old == np) return old->handle;
    bool visible = IsVisibleChain(w);
    if (visible) InvalidateParentArea(w, w->rect);
    RemoveFromSiblings(w);
    w->parent = np;
    np->children.insert(np->children.begin(), w);
    ChildIndex::Placed(np, w, 0);
    PaintOrderChanged();
    if (IsVisibleChain(w)) InvalidateParentArea(w, w->rect);
    return old->handle;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    if (flags == GA_PARENT) return w->parent ? w->parent->handle : nullptr;
    return TopLevelOf(w)->handle;
}

bool IsChild(HWND parent, HWND hwnd) {
    Wnd* p = FromHandle(parent);
    Wnd* w = FromHandle(hwnd);
    return p && w && w != p && IsSelfOrAncestor(p, w);
}

int GetDlgCtrlID(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    return w ? static_cast<int>(w->id) : 0;
}

bool ShowWindow(HWND hwnd, int cmd) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    bool was = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && CanActivate(w);
    if (show == was) {
        if (activate && ws.active != hwnd) SetActiveWindow(hwnd);
        return was;
    }
    SendMessageA(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!FromHandle(hwnd)) return was;
    if (show)
        w->style |= WS_VISIBLE;
    else
        w->style &= ~WS_VISIBLE;
    PaintOrderChanged();

    if (w->parent) {
        if (IsVisibleChain(w->parent)) InvalidateParentArea(w, w->rect);
        if (!show) {
            Wnd* cap = FromHandle(ws.capture);
            if (cap && IsSelfOrAncestor(w, cap)) ReleaseCapture();
            Wnd* f = FromHandle(ws.focus);
            if (f && IsSelfOrAncestor(w, f)) SetFocus(w->parent->handle);
        }
        return was;
    }
    if (show) {
        Raise(w);
        InvalidateRect(hwnd, nullptr, true);
        ws.driver->ShowTopLevel(w->driverId, true);
        if (activate) SetActiveWindow(hwnd);
    } else {
        Wnd* cap = FromHandle(ws.capture);
        if (cap && TopLevelOf(cap) == w) ReleaseCapture();
        ws.driver->ShowTopLevel(w->driverId, false);
        if (ws.active == hwnd) {
            DeactivateTopLevel(w);
            ActivateOwnerOf(w);
        }
    }
    return was;
}

bool IsWindowVisible(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    return w && IsVisibleChain(w);
}

bool EnableWindow(HWND hwnd, bool enable) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        Wnd* cap = FromHandle(ws.capture);
        if (cap && IsSelfOrAncestor(w, cap)) ReleaseCapture();
        Wnd* f = FromHandle(ws.focus);
        if (f && IsSelfOrAncestor(w, f)) SetFocus(nullptr);
    }
    SendMessageA(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    return w && !(w->style & WS_DISABLED);
}

bool SetWindowTextA(HWND hwnd, const char* text) {
    if (!IsWindow(hwnd)) return false;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowTextA(HWND hwnd, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    LRESULT n = SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer));
    return static_cast<int>(std::clamp<LRESULT>(n, 0, size - 1));
}

int GetWindowTextLengthA(HWND hwnd) {
    return static_cast<int>(std::max<LRESULT>(0, SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)));
}

std::string GetWindowTextString(HWND hwnd) {
    int len = GetWindowTextLengthA(hwnd);
    std::string s(static_cast<size_t>(len) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(hwnd, s.data(), len + 1)));
    return s;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) {
    Wnd* w = FromHandle(hwnd);
    if (!w) {
        DeleteObject(rgn); // ownership passes with the call, even when it fails
        return 0;
    }
    bool repaint = redraw && IsVisibleChain(w);
    if (repaint && w->parent) InvalidateParentArea(w, w->rect);
    w->region.reset(rgn);
    if (repaint) {
        if (w->parent)
            InvalidateParentArea(w, w->rect);
        else
            InvalidateRect(hwnd, nullptr, true);
    }
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN out) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !w->region || !out) return ERROR;
    *out = *w->region;
    if (out->IsEmpty()) return NULLREGION;
    return out->Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// ---- Top-level windows ----

void SetWindowIcon(HWND hwnd, int w, int h, const std::vector<uint32_t>& argb) {
    Wnd* t = FromHandle(hwnd);
    if (!t || !t->IsTopLevel() || w <= 0 || h <= 0 || w > 1024 || h > 1024) return;
    if (argb.size() != static_cast<size_t>(w) * static_cast<size_t>(h)) return;
    WS().driver->SetIcon(t->driverId, w, h, argb);
}

void CenterWindowOnScreen(HWND hwnd) {
    Wnd* t = FromHandle(hwnd);
    if (!t || !t->IsTopLevel()) return;
    TSize s = WS().driver->ScreenSize();
    SetWindowPos(hwnd, nullptr, (s.cx - t->Width()) / 2, (s.cy - t->Height()) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int GetSystemMetrics(int index) {
    auto& ws = WS();
    switch (index) {
    case SM_CXSCREEN: return ws.driver ? ws.driver->ScreenSize().cx : 0;
    case SM_CYSCREEN: return ws.driver ? ws.driver->ScreenSize().cy : 0;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 8;
    default: return 0;
    }
}

unsigned GetDoubleClickTime() { return 500; }

int64_t GetTickCount64() { return WS().driver ? WS().driver->Now() : 0; }

uint64_t GetDriverWindowId(HWND toplevel) {
    Wnd* w = FromHandle(toplevel);
    return w && w->IsTopLevel() ? w->driverId : 0;
}

// ---- Start-up ----

void InitWindowSystem(Driver* driver) {
    ShutdownWindowSystem();
    WS().driver = driver;
    RegisterNativeButtonClass();
    RegisterNativeEditClass();
}

void ShutdownWindowSystem() {
    auto& ws = WS();
    if (ws.driver) {
        while (!ws.topLevels.empty()) {
            Wnd* t = ws.topLevels.back();
            if (!DestroyWindow(t->handle)) ws.topLevels.pop_back();
        }
    }
    ws = WindowSystemState();
}

Driver* GetWindowSystemDriver() { return WS().driver; }

void SetIdleHandler(std::function<void()> handler) { WS().idleHandler = std::move(handler); }

void RunIdleHandler() {
    // A copy: the handler may replace itself.
    auto handler = WS().idleHandler;
    if (handler) handler();
}

std::vector<HWND> GetTopLevelWindows() {
    std::vector<HWND> r;
    for (auto it = WS().topLevels.rbegin(); it != WS().topLevels.rend(); ++it) r.push_back((*it)->handle);
    return r;
}

WindowData* SetWindowData(HWND hwnd, std::unique_ptr<WindowData> data) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !data) return nullptr;
    const std::type_info& type = typeid(*data);
    for (auto& d : w->data)
        if (typeid(*d) == type) {
            d = std::move(data);
            return d.get();
        }
    w->data.push_back(std::move(data));
    return w->data.back().get();
}

WindowData* FindWindowData(HWND hwnd, const std::type_info& type) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    for (auto& d : w->data)
        if (typeid(*d) == type) return d.get();
    return nullptr;
}

void RemoveWindowData(HWND hwnd, const std::type_info& type) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return;
    // Moved out first: the data's destructor may call back into the window system.
    std::unique_ptr<WindowData> gone;
    for (auto it = w->data.begin(); it != w->data.end(); ++it)
        if (typeid(**it) == type) {
            gone = std::move(*it);
            w->data.erase(it);
            break;
        }
}

}  // namespace lumivane

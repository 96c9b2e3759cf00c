#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

// ---- Creation and destruction ----

HWND CreateWindowExA(uint32_t exStyle, const char* className, const char* text, uint32_t style, int x, int y,
                     int w, int h, HWND parent, uintptr_t id, void* createParam) {
    auto& ws = WS();
    if (!ws.driver || !className) return nullptr;
    auto cit = ws.classes.find(ClassKey(className));
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
    wnd->text = ValidUtf8(text ? text : "");

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
        wnd->rect = {0, 0, w, h}; // the size, for the surface; the place follows from the display
        wnd->surface = NewSurface(wnd);
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
    size_t droppedInput = 0;
    std::erase_if(ws.queue, [hwnd, &droppedInput](const QueuedMessage& q) {
        if (q.msg.hwnd != hwnd) return false;
        droppedInput += q.input ? 1 : 0;
        return true;
    });
    ForgetQueuedInput(droppedInput);
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

}  // namespace lumivane

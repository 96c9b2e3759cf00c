// Per-window values and procedures: the window longs, sending messages, the default
// procedure, and the values other layers keep with a window (WindowData).
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

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
        w->text = ValidUtf8(lp ? reinterpret_cast<const char*>(lp) : "");
        if (w->IsTopLevel()) ws.driver->SetTitle(w->driverId, w->text);
        return 1;
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || wp == 0) return 0;
        const size_t n = FitUtf8(w->text, static_cast<size_t>(wp - 1));
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



WindowData* SetWindowData(HWND hwnd, std::unique_ptr<WindowData> data) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !data) return nullptr;
    const WindowData& added = *data;
    const std::type_info& type = typeid(added);
    for (auto& d : w->data) {
        const WindowData& held = *d;
        if (typeid(held) == type) {
            d = std::move(data);
            return d.get();
        }
    }
    w->data.push_back(std::move(data));
    return w->data.back().get();
}

WindowData* FindWindowData(HWND hwnd, const std::type_info& type) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    for (auto& d : w->data) {
        const WindowData& held = *d;
        if (typeid(held) == type) return d.get();
    }
    return nullptr;
}

void RemoveWindowData(HWND hwnd, const std::type_info& type) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return;
    // Moved out first: the data's destructor may call back into the window system.
    std::unique_ptr<WindowData> gone;
    for (auto it = w->data.begin(); it != w->data.end(); ++it) {
        const WindowData& held = **it;
        if (typeid(held) == type) {
            gone = std::move(*it);
            w->data.erase(it);
            break;
        }
    }
}

}  // namespace lumivane

// The window tree and geometry: moving and sizing, coordinates, hit testing by point, parents
// and siblings.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

// Children of the same parent, topmost first; top-level windows likewise.
std::vector<Wnd*> SiblingsTopFirst(const Wnd* w) {
    if (w->parent) return w->parent->children;
    std::vector<Wnd*> r(WS().topLevels.rbegin(), WS().topLevels.rend());
    return r;
}



}  // namespace

void RemoveFromSiblings(Wnd* w) {
    if (w->parent) ChildIndex::Removed(w->parent, w);
    auto& list = w->parent ? w->parent->children : WS().topLevels;
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
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

}  // namespace lumivane

#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

// Above this many rectangles one bounding rectangle is cheaper to present.
constexpr size_t kMaxPresentRects = 64;
// Invalid and changed areas grow one rectangle at a time (every control of a form invalidates
// its own place); beyond this many rectangles they are kept as their bounds, so adding to them
// stays cheap however many controls a form has. Painting a little more than asked is harmless.
constexpr size_t kMaxAccumulatedRects = 64;

void Accumulate(Region& into, const Region& more) {
    into.Union(more);
    if (into.Rects().size() > kMaxAccumulatedRects) into = Region(into.Bounds());
}

TRect ClientRect(const Wnd* w) { return {0, 0, w->Width(), w->Height()}; }

// The part of the parent a visible child covers, in the parent's coordinates.
Region Shape(const Wnd* c) {
    Region r(c->rect);
    if (c->region) {
        Region own = *c->region;
        own.Offset(c->rect.Left, c->rect.Top);
        r.Intersect(own);
    }
    return r;
}

// Calls f for the children of `parent` that may reach into `area`, topmost first.
template <class F>
void ForChildrenNear(Wnd* parent, const TRect& area, F f) {
    if (ChildIndex* index = ChildIndex::For(parent))
        index->ForEachNear(area, f);
    else
        for (Wnd* c : parent->children) f(c);
}

// The union of the shapes of the visible children of `parent` (those above `stop`, when given)
// that reach into `area`, in the parent's coordinates. Built in one go: subtracting many
// children one at a time costs the square of their number.
Region CoveredBy(Wnd* parent, const Wnd* stop, const TRect& area) {
    std::vector<TRect> plain;
    Region shaped;
    const bool indexed = ChildIndex::For(parent) != nullptr;
    bool below = false; // the children come topmost first: once at `stop`, the rest lie under it
    ForChildrenNear(parent, area, [&](const Wnd* c) {
        below = below || (stop && (c == stop || (indexed && ChildIndex::Above(stop, c))));
        if (below || !(c->style & WS_VISIBLE) || c->rect.Intersect(area).IsEmpty()) return;
        if (c->region)
            shaped.Union(Shape(c));
        else
            plain.push_back(c->rect);
    });
    Region covered = Region::UnionOf(plain);
    if (!shaped.IsEmpty()) covered.Union(shaped);
    return covered;
}

// What of the window can be seen, in its client coordinates: inside every ancestor's client area
// and region, not under a sibling above it (at any level), without its own visible children.
// Only windows that overlap the part still visible are looked at.
Region VisibleRegion(Wnd* w) {
    if (!IsVisibleChain(w)) return {};
    Region vis(ClientRect(w));
    if (w->region) vis.Intersect(*w->region);
    vis.Subtract(CoveredBy(w, nullptr, ClientRect(w)));
    int ox = 0, oy = 0;
    for (Wnd* node = w; node->parent && !vis.IsEmpty(); node = node->parent) {
        Wnd* p = node->parent;
        ox += node->rect.Left;
        oy += node->rect.Top;
        // The window's visible part so far, in the parent's coordinates.
        Region clip = vis;
        clip.Offset(ox, oy);
        clip.Intersect(ClientRect(p));
        if (p->region) clip.Intersect(*p->region);
        clip.Subtract(CoveredBy(p, node, clip.Bounds()));
        clip.Offset(-ox, -oy);
        vis = std::move(clip);
    }
    return vis;
}

HDC MakeDC(Wnd* w, const Region& clip) {
    auto& ws = WS();
    Wnd* top = TopLevelOf(w);
    HDC dc = new DeviceContext(top->surface.get(), SurfaceOffset(w), clip, top->surfaceScale);
    ws.dcs[dc] = top->surface;
    ws.dcOwners[dc] = w->handle;
    return dc;
}

// Marks what the context could have drawn as changed, then frees it.
bool FreeDC(HDC dc) {
    auto& ws = WS();
    auto it = ws.dcs.find(dc);
    if (it == ws.dcs.end()) return false;
    Wnd* w = FromHandle(ws.dcOwners[dc]);
    Wnd* top = w ? TopLevelOf(w) : nullptr;
    if (top && top->surface == it->second) {
        // Everything the context could reach, whatever clip it was left with.
        Region changed = dc->SystemClip();
        changed.Offset(dc->Origin().x, dc->Origin().y);
        Accumulate(top->dirty, changed);
    }
    ws.dcOwners.erase(dc);
    ws.dcs.erase(it);
    delete dc;
    return true;
}

Wnd* FindPaintIn(Wnd* w, Wnd* filter, bool inFilter) {
    if (!(w->style & WS_VISIBLE)) return nullptr;
    inFilter = inFilter || w == filter;
    if (inFilter && !w->invalid.IsEmpty()) return w;
    for (Wnd* c : w->children)
        if (Wnd* r = FindPaintIn(c, filter, inFilter)) return r;
    return nullptr;
}

// Every window FindPaintIn would find, in the order it would find them.
void CollectPaint(Wnd* w, std::vector<HWND>& out) {
    if (!(w->style & WS_VISIBLE)) return;
    if (!w->invalid.IsEmpty()) out.push_back(w->handle);
    for (Wnd* c : w->children) CollectPaint(c, out);
}

void UpdateTree(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !IsVisibleChain(w)) return;
    if (!w->invalid.IsEmpty()) PaintWindowNow(w);
    w = FromHandle(hwnd);
    if (!w) return;
    std::vector<HWND> kids;
    for (Wnd* c : w->children) kids.push_back(c->handle);
    for (HWND c : kids) UpdateTree(c);
}

Region AreaOf(const Wnd* w, const RECT* rect, HRGN rgn) {
    if (rgn) return *rgn;
    if (rect) return Region(*rect);
    return Region(ClientRect(w));
}

} // namespace

void AddInvalid(Wnd* w, Region rgn, bool erase) {
    if (!IsVisibleChain(w)) return;
    rgn.Intersect(ClientRect(w));
    if (w->region) rgn.Intersect(*w->region);
    if (rgn.IsEmpty()) return;
    if (w->invalid.IsEmpty()) PaintOrderChanged();
    Accumulate(w->invalid, rgn);
    if (erase) w->eraseRequested = true;
    TRect bounds = rgn.Bounds();
    ForChildrenNear(w, bounds, [&](Wnd* c) {
        if (!(c->style & WS_VISIBLE) || bounds.Intersect(c->rect).IsEmpty()) return;
        Region sub = rgn;
        sub.Offset(-c->rect.Left, -c->rect.Top);
        AddInvalid(c, std::move(sub), erase);
    });
}

void InvalidateParentArea(Wnd* w, const TRect& rectInParent) {
    if (w->parent) AddInvalid(w->parent, Region(rectInParent), true);
}

Wnd* FindPaintWindow(HWND filter) {
    Wnd* f = filter ? FromHandle(filter) : nullptr;
    if (filter && !f) return nullptr;
    auto& ws = WS();
    auto& tl = ws.topLevels;
    if (f) {
        for (auto it = tl.rbegin(); it != tl.rend(); ++it)
            if (Wnd* r = FindPaintIn(*it, f, false)) return r;
        return nullptr;
    }
    if (ws.paintQueueEpoch != ws.paintEpoch) {
        ws.paintQueue.clear();
        for (auto it = tl.rbegin(); it != tl.rend(); ++it) CollectPaint(*it, ws.paintQueue);
        ws.paintQueueNext = 0;
        ws.paintQueueEpoch = ws.paintEpoch;
    }
    // Windows painted, validated or destroyed since are passed over; nothing can have come
    // before the rest without bumping the epoch.
    for (; ws.paintQueueNext < ws.paintQueue.size(); ++ws.paintQueueNext) {
        Wnd* w = FromHandle(ws.paintQueue[ws.paintQueueNext]);
        if (w && !w->invalid.IsEmpty() && IsVisibleChain(w)) return w;
    }
    return nullptr;
}

bool HasDirty() {
    for (Wnd* t : WS().topLevels)
        if (!t->dirty.IsEmpty()) return true;
    return false;
}

void PresentDirty() {
    auto& ws = WS();
    for (Wnd* t : std::vector<Wnd*>(ws.topLevels)) {
        if (t->dirty.IsEmpty()) continue;
        Region d = std::move(t->dirty);
        t->dirty = Region();
        d.Intersect(ClientRect(t));
        if (d.IsEmpty() || !(t->style & WS_VISIBLE)) continue;
        std::vector<TRect> rects = d.Rects();
        if (rects.size() > kMaxPresentRects) rects = {d.Bounds()};
        ws.driver->Present(t->driverId, *t->surface, rects);
    }
}

void ForgetPainting(Wnd* w) {
    w->invalid = Region();
    w->eraseRequested = false;
}

void ResizeSurface(Wnd* top) {
    // A new surface: contexts still alive keep drawing on the old one harmlessly.
    top->surface = NewSurface(top);
    top->dirty = Region();
    AddInvalid(top, Region(ClientRect(top)), true);
}

std::shared_ptr<Surface> NewSurface(Wnd* top) {
    auto& ws = WS();
    top->surfaceScale = ws.driver ? ws.driver->DeviceScale() : 1;
    const int64_t n = top->surfaceScale;
    const int64_t w = std::min<int64_t>(top->Width() * n, Surface::kMaxSide);
    int64_t h = std::min<int64_t>(top->Height() * n, Surface::kMaxSide);
    if (w > 0 && w * h > Surface::kMaxArea) h = Surface::kMaxArea / w;
    return std::make_shared<Surface>(static_cast<int>(w), static_cast<int>(h), ColorToPixel(clBtnFace));
}

void RescaleTopLevels() {
    auto& ws = WS();
    for (Wnd* t : std::vector<Wnd*>(ws.topLevels)) {
        if (!t->driverId || t->surfaceScale == ws.driver->DeviceScale()) continue;
        // The logical bounds stay; the display's window grows or shrinks by the new scale.
        ws.driver->SetBounds(t->driverId, t->rect);
        ResizeSurface(t);
    }
}

void PaintWindowNow(Wnd* w) {
    HWND hwnd = w->handle;
    w->paintedInDispatch = false;
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    Wnd* again = FromHandle(hwnd);
    if (again && !again->paintedInDispatch) ForgetPainting(again);
}

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    AddInvalid(w, AreaOf(w, rect, nullptr), erase);
    return true;
}

bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    AddInvalid(w, AreaOf(w, nullptr, rgn), erase);
    return true;
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    if (rect)
        w->invalid.Subtract(*rect);
    else
        w->invalid = Region();
    if (w->invalid.IsEmpty()) w->eraseRequested = false;
    return true;
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool /*erase*/) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    if (rect) *rect = w->invalid.IsEmpty() ? TRect{} : w->invalid.Bounds();
    return !w->invalid.IsEmpty();
}

bool UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return false;
    UpdateTree(hwnd);
    PresentDirty();
    return true;
}

bool RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags) {
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    Region area = AreaOf(w, rect, rgn);
    if (flags & RDW_INVALIDATE) AddInvalid(w, area, (flags & RDW_ERASE) != 0);
    if (flags & RDW_VALIDATE) {
        w->invalid.Subtract(area);
        if (w->invalid.IsEmpty()) w->eraseRequested = false;
    }
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !ps) return nullptr;
    w->paintedInDispatch = true;
    Region area = std::move(w->invalid);
    w->invalid = Region();
    bool erase = w->eraseRequested;
    w->eraseRequested = false;

    Region clip = VisibleRegion(w);
    clip.Intersect(area);
    ps->rcPaint = area.IsEmpty() ? TRect{} : area.Bounds().Intersect(ClientRect(w));
    ps->fErase = false;
    if (erase) {
        HDC eraseDC = MakeDC(w, clip);
        ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(eraseDC), 0) == 0;
        FreeDC(eraseDC);
        w = FromHandle(hwnd);
        if (!w) {
            ps->hdc = nullptr;
            return nullptr;
        }
    }
    ps->hdc = MakeDC(w, clip);
    return ps->hdc;
}

bool EndPaint(HWND /*hwnd*/, const PAINTSTRUCT* ps) { return ps && FreeDC(ps->hdc); }

HDC GetDC(HWND hwnd) {
    auto& ws = WS();
    if (!hwnd) {
        auto scratch = std::make_shared<Surface>(1, 1);
        HDC dc = new DeviceContext(scratch.get(), TPoint{}, Region(TRect{0, 0, 1, 1}));
        ws.dcs[dc] = scratch;
        ws.dcOwners[dc] = nullptr;
        return dc;
    }
    Wnd* w = FromHandle(hwnd);
    if (!w) return nullptr;
    return MakeDC(w, VisibleRegion(w));
}

int ReleaseDC(HWND /*hwnd*/, HDC dc) { return FreeDC(dc) ? 1 : 0; }

}  // namespace lumivane

#include "lumivane/gfx/raster/Region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace lumivane {

namespace {
enum class Op { Union, Intersect, Subtract };

struct Span {
    int l;
    int r;
    friend bool operator==(const Span&, const Span&) = default;
};

// The spans of the band of `rects` that covers row y; `i` walks forward through the bands.
void BandSpans(const std::vector<TRect>& rects, size_t& i, int y, std::vector<Span>& out) {
    out.clear();
    while (i < rects.size() && rects[i].Bottom <= y) ++i;
    for (size_t k = i; k < rects.size() && rects[k].Top <= y; ++k) out.push_back({rects[k].Left, rects[k].Right});
}

bool Keep(Op op, bool a, bool b) {
    switch (op) {
    case Op::Union: return a || b;
    case Op::Intersect: return a && b;
    case Op::Subtract: return a && !b;
    }
    return false;
}

void CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Op op, std::vector<Span>& out) {
    out.clear();
    // Sweep the x edges of both span lists; each list is sorted and disjoint.
    size_t ia = 0, ib = 0;
    int x = std::min(a.empty() ? INT32_MAX : a[0].l, b.empty() ? INT32_MAX : b[0].l);
    while (ia < a.size() || ib < b.size()) {
        bool inA = ia < a.size() && a[ia].l <= x;
        bool inB = ib < b.size() && b[ib].l <= x;
        int next = INT32_MAX;
        if (ia < a.size()) next = std::min(next, inA ? a[ia].r : a[ia].l);
        if (ib < b.size()) next = std::min(next, inB ? b[ib].r : b[ib].l);
        if (Keep(op, inA, inB) && next > x) {
            if (!out.empty() && out.back().r == x) out.back().r = next;
            else out.push_back({x, next});
        }
        x = next;
        if (ia < a.size() && a[ia].r <= x) ++ia;
        if (ib < b.size() && b[ib].r <= x) ++ib;
    }
}

// The top and bottom of each band, in order: bands are disjoint and sorted, so the list comes
// out sorted without sorting.
std::vector<int> BandEdges(const std::vector<TRect>& rects) {
    std::vector<int> ys;
    for (size_t i = 0; i < rects.size(); ++i)
        if (i == 0 || rects[i].Top != rects[i - 1].Top) ys.insert(ys.end(), {rects[i].Top, rects[i].Bottom});
    return ys;
}

std::vector<TRect> Combine(const std::vector<TRect>& a, const std::vector<TRect>& b, Op op) {
    const std::vector<int> ya = BandEdges(a), yb = BandEdges(b);
    std::vector<int> ys(ya.size() + yb.size());
    std::merge(ya.begin(), ya.end(), yb.begin(), yb.end(), ys.begin());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<TRect> out;
    std::vector<Span> sa, sb, band, prev;
    size_t ia = 0, ib = 0, prevStart = 0;
    int prevBottom = INT32_MIN;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int y0 = ys[k], y1 = ys[k + 1];
        BandSpans(a, ia, y0, sa);
        BandSpans(b, ib, y0, sb);
        CombineSpans(sa, sb, op, band);
        if (band.empty()) continue;
        // A band equal to the one right above it extends that one, which keeps the form canonical.
        if (prevBottom == y0 && band == prev) {
            for (size_t i = prevStart; i < out.size(); ++i) out[i].Bottom = y1;
        } else {
            prevStart = out.size();
            for (const Span& s : band) out.push_back({s.l, y0, s.r, y1});
            prev = band;
        }
        prevBottom = y1;
    }
    return out;
}
} // namespace

Region::Region(const TRect& r) {
    if (!r.IsEmpty()) FRects.push_back(r);
}

TRect Region::Bounds() const {
    if (FRects.empty()) return {};
    TRect b{FRects.front().Left, FRects.front().Top, FRects.front().Right, FRects.back().Bottom};
    for (const TRect& r : FRects) {
        b.Left = std::min(b.Left, r.Left);
        b.Right = std::max(b.Right, r.Right);
    }
    return b;
}

bool Region::Contains(int x, int y) const {
    // Bottoms never decrease along the list, so the band holding y is found by binary search.
    auto it = std::upper_bound(FRects.begin(), FRects.end(), y,
                               [](int v, const TRect& r) { return v < r.Bottom; });
    for (; it != FRects.end() && it->Top <= y; ++it) {
        if (x < it->Left) return false;
        if (x < it->Right) return true;
    }
    return false;
}

Region& Region::Union(const Region& o) {
    if (o.FRects.empty()) return *this;
    if (FRects.empty()) {
        FRects = o.FRects;
        return *this;
    }
    FRects = Combine(FRects, o.FRects, Op::Union);
    return *this;
}

Region& Region::Intersect(const Region& o) {
    if (FRects.empty() || o.FRects.empty()) {
        FRects.clear();
        return *this;
    }
    // Common case: a single rectangle clipped by another.
    if (FRects.size() == 1 && o.FRects.size() == 1) {
        TRect r = FRects[0].Intersect(o.FRects[0]);
        FRects.clear();
        if (!r.IsEmpty()) FRects.push_back(r);
        return *this;
    }
    FRects = Combine(FRects, o.FRects, Op::Intersect);
    return *this;
}

Region& Region::Subtract(const Region& o) {
    if (FRects.empty() || o.FRects.empty()) return *this;
    FRects = Combine(FRects, o.FRects, Op::Subtract);
    return *this;
}

Region Region::UnionOf(const std::vector<TRect>& rects) {
    // Pairwise rounds: each round halves the number of regions and touches every rectangle
    // once, so n rectangles cost about n log n instead of the n squared of one at a time.
    std::vector<Region> parts;
    parts.reserve(rects.size());
    for (const TRect& r : rects)
        if (!r.IsEmpty()) parts.emplace_back(r);
    while (parts.size() > 1) {
        std::vector<Region> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2) next.push_back(std::move(parts[i].Union(parts[i + 1])));
        if (parts.size() % 2) next.push_back(std::move(parts.back()));
        parts = std::move(next);
    }
    return parts.empty() ? Region() : std::move(parts[0]);
}

Region& Region::Offset(int dx, int dy) {
    for (TRect& r : FRects) r = r.Offset(dx, dy);
    return *this;
}

Region& Region::Scale(int n) {
    for (TRect& r : FRects) r = {r.Left * n, r.Top * n, r.Right * n, r.Bottom * n};
    return *this;
}

Region Region::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    // The window system leaves out the right column and bottom row of the given rectangle.
    --x2;
    --y2;
    Region rgn;
    if (x2 <= x1 || y2 <= y1) return rgn;
    // Corners bigger than any surface only cost memory (one rectangle a row).
    constexpr int kMaxCorner = 1 << 16;
    auto size = [](int v, int limit) { return static_cast<int>(std::min<int64_t>(std::llabs(v), limit)); };
    w = size(w, std::min(x2 - x1, kMaxCorner));
    h = size(h, std::min(y2 - y1, kMaxCorner));
    if (w < 2 || h < 2) return Region(TRect{x1, y1, x2, y2});

    // Each corner is a quarter of the ellipse through the centres of the outermost pixels of a
    // w x h box; a pixel stays when its centre lies inside it. The same insets serve all four
    // corners, so the shape is symmetric.
    const double rx = (w - 1) / 2.0, ry = (h - 1) / 2.0;
    std::vector<int> inset;
    for (int j = 0; j < ry; ++j) {
        double dy = (ry - j) / ry;
        double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int in = static_cast<int>(std::ceil(rx - half - 1e-9));
        inset.push_back(std::clamp(in, 0, (w + 1) / 2));
    }
    const int n = static_cast<int>(inset.size());
    std::vector<TRect>& rs = rgn.FRects;
    auto addRow = [&](int top, int bottom, int in) {
        TRect r{x1 + in, top, x2 - in, bottom};
        if (r.IsEmpty()) return;
        if (!rs.empty() && rs.back().Bottom == top && rs.back().Left == r.Left && rs.back().Right == r.Right)
            rs.back().Bottom = bottom;
        else
            rs.push_back(r);
    };
    for (int j = 0; j < n && y1 + j < y2; ++j) addRow(y1 + j, y1 + j + 1, inset[j]);
    if (y1 + n < y2 - n) addRow(y1 + n, y2 - n, 0);
    for (int j = n - 1; j >= 0; --j) {
        int y = y2 - 1 - j;
        if (y >= y1 + n) addRow(y, y + 1, inset[j]);
    }
    return rgn;
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    return new Region(TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
}

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    return new Region(Region::RoundRect(x1, y1, x2, y2, w, h));
}

bool DeleteObject(HRGN rgn) {
    if (!rgn) return false;
    delete rgn;
    return true;
}

}  // namespace lumivane

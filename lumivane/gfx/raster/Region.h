#pragma once
#include <vector>

#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// A set of pixels kept as disjoint rectangles in bands (sorted by Top, then Left; rectangles of
// one band share Top and Bottom). Right and Bottom are exclusive.
class Region {
public:
    Region() = default;
    explicit Region(const TRect& r);

    // The region of CreateRoundRectRgn(x1, y1, x2, y2, w, h): the rectangle x1..x2-1, y1..y2-1
    // with its corners rounded by an ellipse of w by h.
    static Region RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    // The union of many rectangles at once (much cheaper than adding them one by one).
    static Region UnionOf(const std::vector<TRect>& rects);

    bool IsEmpty() const { return FRects.empty(); }
    TRect Bounds() const;
    bool Contains(int x, int y) const;
    bool Contains(TPoint p) const { return Contains(p.x, p.y); }
    const std::vector<TRect>& Rects() const { return FRects; }

    Region& Union(const Region& o);
    Region& Intersect(const Region& o);
    Region& Subtract(const Region& o);
    Region& Union(const TRect& r) { return Union(Region(r)); }
    Region& Intersect(const TRect& r) { return Intersect(Region(r)); }
    Region& Subtract(const TRect& r) { return Subtract(Region(r)); }
    Region& Offset(int dx, int dy);
    // Multiplies every coordinate by n >= 1 (the caller keeps them small enough).
    Region& Scale(int n);

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<TRect> FRects;
};

// Window-system style handles over regions. The caller owns an HRGN until it hands it to a
// call that takes ownership (SetWindowRgn) or frees it with DeleteObject.
using HRGN = Region*;
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
bool DeleteObject(HRGN rgn);

}  // namespace lumivane

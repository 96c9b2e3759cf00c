#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

struct Wnd;

// Where the children of a window with many children lie, so that painting one child or
// invalidating one spot looks only at the children near it instead of at every sibling: a form
// of thousands of controls then paints, repaints and closes in time linear in their number.
// Only their places and stacking are indexed; visibility and window regions are checked by the
// caller as for any child.
class ChildIndex {
public:
    // Below this many children the plain list is as fast.
    static constexpr size_t kMinChildren = 64;

    // The parent's index, made now when it has grown large enough; nullptr for a small parent.
    static ChildIndex* For(Wnd* parent);

    // Called after the child took its place in parent->children at `position`.
    static void Placed(Wnd* parent, Wnd* child, size_t position);
    // Called before the child leaves parent->children.
    static void Removed(Wnd* parent, Wnd* child);
    // Called after the child's rectangle changed from `old`.
    static void Moved(Wnd* parent, Wnd* child);

    // Calls f for every child whose rectangle may meet `area`, each once, topmost first.
    template <class F>
    void ForEachNear(const TRect& area, F f);

    // Whether a is stacked above b (both children of this parent).
    static bool Above(const Wnd* a, const Wnd* b);

private:
    static constexpr int kCell = 64;          // pixels a side
    static constexpr int64_t kMaxCells = 16;  // a child over more cells goes to the wide list
    static constexpr int64_t kGap = 1 << 20;  // between stacking keys, so inserts rarely renumber

    explicit ChildIndex(Wnd* parent);
    void Add(Wnd* child);
    void Remove(Wnd* child);
    void Renumber();
    static int64_t CellKey(int64_t cx, int64_t cy) { return (cx << 32) ^ (cy & 0xFFFFFFFF); }
    std::vector<Wnd*>& Near(const TRect& area, std::vector<Wnd*>& out);

    Wnd* FParent;
    std::unordered_map<int64_t, std::vector<Wnd*>> FCells;
    std::vector<Wnd*> FWide;
};

template <class F>
void ChildIndex::ForEachNear(const TRect& area, F f) {
    std::vector<Wnd*> found;
    for (Wnd* c : Near(area, found)) f(c);
}

}  // namespace lumivane

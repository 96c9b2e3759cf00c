#include "lumivane/windows/ChildIndex.h"

#include <algorithm>

#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

int64_t FloorCell(int64_t v, int cell) { return v >= 0 ? v / cell : -((-v + cell - 1) / cell); }

// Marks children already collected by one look-up; shared by all indexes, so a child that moved
// to another parent can never carry a mark that looks current.
uint64_t NextStamp() {
    static uint64_t stamp = 0;
    return ++stamp;
}

constexpr int64_t kKeyLimit = int64_t(1) << 60;

} // namespace

ChildIndex::ChildIndex(Wnd* parent) : FParent(parent) {
    Renumber();
    for (Wnd* c : parent->children) Add(c);
}

ChildIndex* ChildIndex::For(Wnd* parent) {
    if (!parent->childIndex && parent->children.size() >= kMinChildren)
        parent->childIndex.reset(new ChildIndex(parent));
    return parent->childIndex.get();
}

void ChildIndex::Renumber() {
    int64_t key = 0;
    for (Wnd* c : FParent->children) {
        c->stackKey = key;
        key += kGap;
    }
}

void ChildIndex::Placed(Wnd* parent, Wnd* child, size_t position) {
    ChildIndex* index = parent->childIndex.get();
    if (!index) return;
    const auto& list = parent->children;
    const bool hasPrev = position > 0, hasNext = position + 1 < list.size();
    const int64_t prev = hasPrev ? list[position - 1]->stackKey : 0;
    const int64_t next = hasNext ? list[position + 1]->stackKey : 0;
    if (!hasPrev && !hasNext)
        child->stackKey = 0;
    else if (!hasPrev)
        child->stackKey = next - kGap;
    else if (!hasNext)
        child->stackKey = prev + kGap;
    else
        child->stackKey = prev + (next - prev) / 2;
    const bool squeezed = hasPrev && hasNext && next - prev < 2;
    if (squeezed || child->stackKey < -kKeyLimit || child->stackKey > kKeyLimit) index->Renumber();
    index->Add(child);
}

void ChildIndex::Removed(Wnd* parent, Wnd* child) {
    if (ChildIndex* index = parent->childIndex.get()) index->Remove(child);
}

void ChildIndex::Moved(Wnd* parent, Wnd* child) {
    ChildIndex* index = parent->childIndex.get();
    if (!index) return;
    index->Remove(child);
    index->Add(child);
}

bool ChildIndex::Above(const Wnd* a, const Wnd* b) { return a->stackKey < b->stackKey; }

void ChildIndex::Add(Wnd* child) {
    const TRect r = child->rect;
    child->indexedRect = r;
    child->indexedWide = false;
    if (r.IsEmpty()) return; // meets nothing, so never found
    const int64_t x0 = FloorCell(r.Left, kCell), x1 = FloorCell(int64_t(r.Right) - 1, kCell);
    const int64_t y0 = FloorCell(r.Top, kCell), y1 = FloorCell(int64_t(r.Bottom) - 1, kCell);
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
        child->indexedWide = true;
        FWide.push_back(child);
        return;
    }
    for (int64_t y = y0; y <= y1; ++y)
        for (int64_t x = x0; x <= x1; ++x) FCells[CellKey(x, y)].push_back(child);
}

void ChildIndex::Remove(Wnd* child) {
    auto drop = [child](std::vector<Wnd*>& list) {
        auto it = std::find(list.begin(), list.end(), child);
        if (it == list.end()) return;
        *it = list.back();
        list.pop_back();
    };
    const TRect r = child->indexedRect;
    child->indexedRect = TRect{};
    if (child->indexedWide) {
        child->indexedWide = false;
        auto it = std::find(FWide.begin(), FWide.end(), child);
        if (it != FWide.end()) FWide.erase(it);
        return;
    }
    if (r.IsEmpty()) return;
    const int64_t x0 = FloorCell(r.Left, kCell), x1 = FloorCell(int64_t(r.Right) - 1, kCell);
    const int64_t y0 = FloorCell(r.Top, kCell), y1 = FloorCell(int64_t(r.Bottom) - 1, kCell);
    for (int64_t y = y0; y <= y1; ++y)
        for (int64_t x = x0; x <= x1; ++x) {
            auto it = FCells.find(CellKey(x, y));
            if (it == FCells.end()) continue;
            drop(it->second);
            if (it->second.empty()) FCells.erase(it);
        }
}

std::vector<Wnd*>& ChildIndex::Near(const TRect& area, std::vector<Wnd*>& out) {
    out.clear();
    if (area.IsEmpty()) return out;
    const int64_t x0 = FloorCell(area.Left, kCell), x1 = FloorCell(int64_t(area.Right) - 1, kCell);
    const int64_t y0 = FloorCell(area.Top, kCell), y1 = FloorCell(int64_t(area.Bottom) - 1, kCell);
    // A large area is cheaper to check against every child.
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<int64_t>(FCells.size())) {
        out = FParent->children;
        return out;
    }
    const uint64_t stamp = NextStamp();
    for (int64_t y = y0; y <= y1; ++y)
        for (int64_t x = x0; x <= x1; ++x) {
            auto it = FCells.find(CellKey(x, y));
            if (it == FCells.end()) continue;
            for (Wnd* c : it->second)
                if (c->indexStamp != stamp) {
                    c->indexStamp = stamp;
                    out.push_back(c);
                }
        }
    out.insert(out.end(), FWide.begin(), FWide.end());
    // In stacking order, as the plain list would give them.
    std::sort(out.begin(), out.end(), [](const Wnd* a, const Wnd* b) { return a->stackKey < b->stackKey; });
    return out;
}

}  // namespace lumivane

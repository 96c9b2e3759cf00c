// The open popup menu and its items as a screen reader finds them.
#include <algorithm>

#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindowInternal.h"
#include "lumivane/framework/PopupMenu.h"

namespace lumivane {

namespace MenuWindowInternal {

namespace {
// The open level showing the item and its row there, or {-1, -1}.
std::pair<int, int> RowOf(const TMenuItem* item) {
    const auto& levels = Session().levels;
    for (size_t li = 0; li < levels.size(); ++li) {
        const auto& items = levels[li].Items;
        auto it = std::find(items.begin(), items.end(), item);
        if (it != items.end()) return {static_cast<int>(li), static_cast<int>(it - items.begin())};
    }
    return {-1, -1};
}

TRect LevelScreenRect(size_t li, TRect r) {
    POINT o{0, 0};
    ClientToScreen(Session().levels[li].Handle, &o);
    return {r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y};
}
}  // namespace

class TMenuItemAccess : public TAccessibleElement {
public:
    TMenuItemAccess(TMenuAccess* Menu, TMenuItem* Item) : FMenu(Menu), FItem(Item) {}

    void GetAccessible(TAccessibleInfo& Info) override {
        const auto [li, row] = RowOf(FItem);
        if (FItem->IsLine()) {
            Info.Role = TAccRole::Separator;
        } else {
            Info.Role = FItem->RadioItem()                         ? TAccRole::RadioMenuItem
                        : FItem->AutoCheck() || FItem->Checked() ? TAccRole::CheckMenuItem
                                                                   : TAccRole::MenuItem;
            Info.Name = StripAccelerator(FItem->Caption());
            Info.Actions.push_back({"click", ShortCutToKeyBinding(FItem->ShortCut())});
            Info.States << asSelectable;
        }
        if (FItem->Enabled()) Info.States << asEnabled;
        if (FItem->Visible()) Info.States << asVisible;
        if (Info.Role == TAccRole::CheckMenuItem || Info.Role == TAccRole::RadioMenuItem) Info.States << asCheckable;
        if (FItem->Checked()) Info.States << asChecked;
        if (li >= 0) {
            Info.States << asShowing;
            if (Session().levels[static_cast<size_t>(li)].Selected == row) Info.States << asSelected << asFocused;
        }
    }
    void GetAccessibleChildren(std::vector<TAccessibleElement*>& List) override {
        for (TMenuItem* sub : FItem->VisibleItems()) List.push_back(FMenu->ElementOf(sub));
    }
    TAccessibleElement* AccessibleParent() override { return FMenu->ElementOf(FItem->Parent()); }
    TRect AccessibleBounds() override {
        const auto [li, row] = RowOf(FItem);
        if (li < 0 || !Fresh(static_cast<size_t>(li))) return {};
        const TRect r = RowRect(Session().levels[static_cast<size_t>(li)], row);
        return r.IsEmpty() ? TRect{} : LevelScreenRect(static_cast<size_t>(li), r);
    }
    // Runs the item as choosing it does; an item with subitems opens them (its row must show).
    // This element may be gone on return: choosing closes the menu.
    bool DoAccessibleAction(int Index) override {
        if (Index != 0 || FItem->IsLine() || !FItem->Enabled()) return false;
        if (!HasSubmenu(FItem)) {
            Choose(FItem);
            return true;
        }
        const auto [li, row] = RowOf(FItem);
        if (li < 0) return false;
        Select(static_cast<size_t>(li), row);
        return OpenSubmenu(static_cast<size_t>(li), false);
    }

private:
    TMenuAccess* FMenu;
    TMenuItem* FItem;
};

TMenuAccess::TMenuAccess() : FName(Session().menu ? Session().menu->Name() : std::string()) {}

// The menu leaves the list while a listener may still ask it things, then its items go.
TMenuAccess::~TMenuAccess() {
    AccWindowHidden(this);
    FItems.clear();
}

void TMenuAccess::GetAccessible(TAccessibleInfo& Info) {
    Info.Role = TAccRole::PopupMenu;
    Info.Name = FName;
    Info.States << asEnabled << asVisible << asShowing;
}

void TMenuAccess::GetAccessibleChildren(std::vector<TAccessibleElement*>& List) {
    if (!Session().menu) return;
    for (TMenuItem* item : Session().menu->Items()->VisibleItems()) List.push_back(ElementOf(item));
}

TRect TMenuAccess::AccessibleBounds() {
    if (Session().levels.empty()) return {};
    RECT r{};
    GetClientRect(Session().levels.front().Handle, &r);
    return LevelScreenRect(0, r);
}

TAccessibleElement* TMenuAccess::ElementOf(TMenuItem* Item) {
    if (!Item || (Session().menu && Item == Session().menu->Items())) return this;
    auto& slot = FItems[Item];
    if (!slot) slot = std::make_unique<TMenuItemAccess>(this, Item);
    return slot.get();
}

void TMenuAccess::Forget(TMenuItem* Item) { FItems.erase(Item); }

}  // namespace MenuWindowInternal

}  // namespace lumivane

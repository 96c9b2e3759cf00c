#include "tools/formview/MenuEdits.h"

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Menu.h"
#include "lumivane/framework/MenuItem.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/LayoutText.h"

using namespace lumivane;

namespace {

void AddRows(const TMenuItem* parent, int depth, std::vector<TMenuRow>& rows) {
    for (int i = 0; i < parent->Count(); ++i) {
        const TMenuItem* item = parent->Items(i);
        rows.push_back({item->Name(), item->Caption(), depth});
        AddRows(item, depth + 1, rows);
    }
}

TMenuItem* Item(const TDesignModel& model, const std::string& name) {
    auto* item = dynamic_cast<TMenuItem*>(model.Find(name));
    if (!item) throw Exception("no menu item named " + name);
    return item;
}

void TreeOrder(TMenuItem* parent, std::vector<TMenuItem*>& out) {
    for (int i = 0; i < parent->Count(); ++i) {
        out.push_back(parent->Items(i));
        TreeOrder(parent->Items(i), out);
    }
}

// The writer writes a component's children in the order their owner holds them: the menu's
// items go to the end of the owner's list in the tree's order, each after its parent item.
void Resequence(TDesignModel& model, TMenu* menu) {
    std::vector<TMenuItem*> items;
    TreeOrder(menu->Items(), items);
    for (TMenuItem* item : items) {
        if (item->Owner() != model.Root()) continue;
        model.Root()->RemoveComponent(item);
        model.Root()->InsertComponent(item);
    }
}

}  // namespace

std::vector<TMenuRow> MenuTree(const TDesignModel& model, const std::string& menu) {
    std::vector<TMenuRow> rows;
    if (auto* m = dynamic_cast<TMenu*>(model.Find(menu))) AddRows(m->Items(), 0, rows);
    return rows;
}

std::string MenuOf(const TDesignModel& model, const std::string& component) {
    TComponent* c = model.Find(component);
    if (auto* m = dynamic_cast<TMenu*>(c)) return m->Name();
    if (auto* item = dynamic_cast<TMenuItem*>(c))
        if (TMenu* m = item->GetParentMenu()) return m->Name();
    return "";
}

std::string AddMenuItem(TDesignModel& model, const std::string& menu, const std::string& after, bool inside) {
    auto* m = dynamic_cast<TMenu*>(model.Find(menu));
    if (!m) throw Exception("no popup menu named " + menu);
    TMenuItem* parent = m->Items();
    int index = parent->Count();
    if (!after.empty() && !SameText(after, menu)) {
        TMenuItem* at = Item(model, after);
        if (at->GetParentMenu() != m) throw Exception(after + " is not an item of " + menu);
        if (inside) {
            parent = at;
            index = at->Count();
        } else {
            parent = at->Parent();
            index = at->MenuIndex() + 1;
        }
    }
    const std::string name = UniqueName("MenuItem", model.Names());
    auto* item = new TMenuItem(model.Root());
    try {
        item->SetName(name);
        item->SetCaption(name);
        parent->Insert(index, item);
    } catch (...) {
        delete item;
        throw;
    }
    Resequence(model, m);
    model.CommitLive();
    return name;
}

bool MoveMenuItem(TDesignModel& model, const std::string& item, int delta) {
    TMenuItem* it = Item(model, item);
    TMenuItem* parent = it->Parent();
    const int to = it->MenuIndex() + delta;
    if (!parent || to < 0 || to >= parent->Count()) return false;
    parent->Remove(it);
    parent->Insert(to, it);
    if (TMenu* menu = it->GetParentMenu()) Resequence(model, menu);
    return model.CommitLive();
}

bool RenameComponent(TDesignModel& model, const std::string& from, const std::string& to) {
    TComponent* c = model.Find(from);
    if (!c) throw Exception("no component named " + from);
    if (c->Name() == to) return false;
    if (to.empty()) throw Exception("a component of the layout needs a name");
    const std::string old = c->Name();
    c->SetName(to);  // checks the name before it takes it
    for (std::string& s : model.Selection)
        if (SameText(s, old)) s = to;
    return model.CommitLive();
}

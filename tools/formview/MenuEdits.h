#pragma once
#include <string>
#include <vector>

class TDesignModel;

// The designer's edits of a popup menu's tree of items, each one step of the model's history.
// Items are named components of the layout like any other: the inspector edits their properties,
// Delete removes them (with their subitems), the writer saves them as nested objects.

struct TMenuRow {
    std::string Name;
    std::string Caption;
    int Depth = 0;  // 0: an item of the menu itself
};

// The menu's items in tree order, each followed by its subitems; empty when no such menu.
std::vector<TMenuRow> MenuTree(const TDesignModel& model, const std::string& menu);
// The menu whose tree holds the component: itself when it is a menu, "" when none.
std::string MenuOf(const TDesignModel& model, const std::string& component);
// A new item with a unique name (MenuItemN) and that name as its caption: after the item `after`
// among its siblings, or as its last subitem when `inside`; the menu's last item when `after` is
// empty or the menu itself. Returns its name; an Exception when the menu or item is not there.
std::string AddMenuItem(TDesignModel& model, const std::string& menu, const std::string& after, bool inside);
// Moves the item one place up (delta -1) or down (+1) among its siblings; false at either end.
bool MoveMenuItem(TDesignModel& model, const std::string& item, int delta);
// Gives the component a new name; references to it follow. The component's own Exception when
// the name is no identifier or taken (the model then unchanged); false when it is the same name.
bool RenameComponent(TDesignModel& model, const std::string& from, const std::string& to);

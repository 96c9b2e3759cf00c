#pragma once
#include <functional>
#include <string>
#include <vector>

#include "lumivane/framework/Forward.h"

class TDesigner;

// A small window of its own with the items of the popup menu being designed (the selected menu,
// or the menu of the selected item) as a tree: a click on an item selects it (the inspector then
// edits its properties); Add puts a new item after the selected one, Add inside as its last
// subitem, Delete removes it with its subitems, Up and Down move it among its siblings, and the
// name field renames it (Enter). Hidden while no menu is selected. Each change is one step of the
// designer's history.
class TMenuEditor {
public:
    explicit TMenuEditor(TDesigner& designer);
    ~TMenuEditor();
    TMenuEditor(const TMenuEditor&) = delete;
    TMenuEditor& operator=(const TMenuEditor&) = delete;

    lumivane::TCustomForm* Form() const { return FForm; }
    // Shows the tree of the selection's menu, or hides the window when there is none.
    void Refresh();

    static constexpr int Width = 280, Height = 420;

private:
    void ClearRows();
    std::string Selected() const;
    void Change(const std::function<std::string()>& edit);

    TDesigner& FDesigner;
    lumivane::TCustomForm* FForm = nullptr;
    lumivane::TEdit* FName = nullptr;
    lumivane::TLabel* FStatus = nullptr;
    std::vector<lumivane::TButton*> FCommands;
    std::vector<lumivane::TButton*> FRows;
    std::string FMenu;
};

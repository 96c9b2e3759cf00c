#pragma once
#include <unordered_map>
#include <utility>
#include <vector>

#include "lumivane/framework/WinControl.h"
#include "lumivane/windows/Messages.h"

// Bookkeeping shared by the control sources; not installed.

namespace lumivane {

class TWinControl;

namespace ControlsInternal {

// What the framework keeps about its controls, one table per program.
struct ControlTable {
    // Child ids given to windows, for WM_MEASUREITEM (which names its control only by id).
    std::unordered_map<UINT, TWinControl*> ids;
    UINT nextId = 1000;
    // The graphic control that holds the capture through its parent's window.
    TControl* capture = nullptr;
    // The character that follows a key the dialog handling already used (Enter, Escape, Tab).
    char32_t swallowChar = 0;
};
ControlTable& Table();

// Drops every reference the framework keeps to a control that is going away.
void ForgetControl(TControl* Control);
void RegisterHandle(HWND Handle, TWinControl* Control);
void UnregisterHandle(HWND Handle);
UINT NewControlId(TWinControl* Control);
void ReleaseControlId(UINT Id);
TWinControl* ControlById(UINT Id);

inline bool IsAncestorOrSelf(const TControl* ancestor, const TControl* c) {
    for (; c; c = c->Parent())
        if (c == ancestor) return true;
    return false;
}

// Children, with watches, so a loop over them survives handlers that free some.
struct Snapshot {
    std::vector<std::pair<TControl*, TControl::TWatch>> items;
    explicit Snapshot(const std::vector<TControl*>& list) {
        items.reserve(list.size());
        for (TControl* c : list) items.emplace_back(c, TControl::TWatch(c));
    }
};

}  // namespace ControlsInternal

}  // namespace lumivane

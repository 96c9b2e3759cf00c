// TWinControl's keyboard focus: tab order and the focus tracking of a top-level control.
#include <algorithm>
#include <unordered_map>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/base/Exception.h"

namespace lumivane {

using namespace ControlsInternal;

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    const size_t pos = Value < 0 ? list.size() : std::min(static_cast<size_t>(Value), list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        auto style = static_cast<uint32_t>(GetWindowLongPtrA(FHandle, GWL_STYLE));
        style = Value ? (style | WS_TABSTOP) : (style & ~uint32_t(WS_TABSTOP));
        SetWindowLongPtrA(FHandle, GWL_STYLE, static_cast<LONG_PTR>(style));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    HWND h = Handle();
    if (h && GetFocus() != h) lumivane::SetFocus(h);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int n = static_cast<int>(list.size());
    if (n == 0) return nullptr;
    int start = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == n) start = GoForward ? -1 : n;
    for (int i = 1; i <= n; ++i) {
        const int idx = ((GoForward ? start + i : start - i) % n + n) % n;
        TWinControl* c = list[static_cast<size_t>(idx)];
        if (c == CurControl) break;
        if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false)) c->SetFocus();
}

TWinControl* TWinControl::TopParent() {
    TWinControl* w = this;
    while (w->FParent) w = w->FParent;
    return w;
}

bool TWinControl::SetFocusedControl(TWinControl* Control) {
    TWinControl* old = FFocusedControl;
    if (old == Control) return true;
    std::vector<std::pair<TWinControl*, TWatch>> exits, enters;
    for (TWinControl* c = old; c && c != this && !IsAncestorOrSelf(c, Control); c = c->FParent)
        exits.emplace_back(c, TWatch(c));
    for (TWinControl* c = Control; c && c != this && !IsAncestorOrSelf(c, old); c = c->FParent)
        enters.emplace_back(c, TWatch(c));
    std::reverse(enters.begin(), enters.end());
    TWatch self(this);
    FFocusedControl = Control;
    for (auto& [c, w] : exits)
        if (w.Alive()) c->Perform(CM_EXIT, 0, 0);
    if (!self.Alive()) return false;
    for (auto& [c, w] : enters)
        if (w.Alive()) c->Perform(CM_ENTER, 0, 0);
    if (!self.Alive()) return false;
    if (FFocusedControl == Control) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    if (self.Alive() && FFocusedControl == Control && Control) AccNotifyFocus(Control);
    return true;
}

}  // namespace lumivane

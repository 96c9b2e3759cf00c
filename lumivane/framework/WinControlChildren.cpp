// TWinControl's children: the child list, hit testing, broadcasts and the painting of
// graphic children.
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

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) throw Exception("Control index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || ContainsControl(AControl)) return;
    AControl->FParent = this;
    FControls.push_back(AControl);
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (w) {
        FTabList.push_back(w);
        if (FHandle) {
            if (w->FHandle)
                lumivane::SetParent(w->FHandle, FHandle);
            else
                w->CreateHandle();
        }
    }
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (!IsLoading()) AccNotifyChildren(this);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentShowHint) AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (!w) AControl->Invalidate();
    if (AControl->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    // Controls usually go last first (a form frees its controls in reverse), so look from the back.
    auto rit = std::find(FControls.rbegin(), FControls.rend(), AControl);
    if (rit == FControls.rend()) return;
    TWinControl* root = TopParent();
    if (root->FFocusedControl && IsAncestorOrSelf(AControl, root->FFocusedControl)) root->FFocusedControl = nullptr;
    if (Table().capture && IsAncestorOrSelf(AControl, Table().capture)) Table().capture = nullptr;
    if (AControl->FVisible && !ComponentState().Contains(csDestroying)) AControl->InvalidateControl(true);
    FControls.erase(std::next(rit).base());
    auto tab = std::find(FTabList.rbegin(), FTabList.rend(), AControl);
    if (tab != FTabList.rend()) FTabList.erase(std::next(tab).base());
    AControl->FParent = nullptr;
    // A control under destruction is no longer a TWinControl here; its own destructor
    // destroys its window.
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) w->DestroyHandle();
    if (!ComponentState().Contains(csDestroying)) AccNotifyChildren(this);
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto hit = [&](TControl* c) {
        return (c->FVisible || c->IsDesigning()) && (c->FEnabled || AllowDisabled) && c->BoundsRect().Contains(Pos);
    };
    if (AllowWinControls)
        for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
            if (dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    Snapshot s(FControls);
    for (auto& [c, w] : s.items) {
        if (!w.Alive()) continue;
        c->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    Snapshot s(FControls);
    for (auto& [c, w] : s.items)
        if (w.Alive()) c->Perform(Msg, 0, 0);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    if (!DC) return;
    auto start = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
    if (start == FControls.end()) start = FControls.begin();
    std::vector<TControl*> list(start, FControls.end());
    Snapshot s(list);
    for (auto& [c, w] : s.items) {
        if (!w.Alive() || dynamic_cast<TWinControl*>(c)) continue;
        if (!c->FVisible && !c->IsDesigning()) continue;
        const TRect r = c->BoundsRect();
        Region clip = DC->Clip();
        clip.Offset(-r.Left, -r.Top);
        clip.Intersect(TRect{0, 0, r.Width(), r.Height()});
        if (clip.IsEmpty()) continue;
        DeviceContext sub(DC->Target(), {DC->Origin().x + r.Left, DC->Origin().y + r.Top}, clip, DC->Scale());
        sub.font = DC->font;
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&sub), 0);
    }
}

}  // namespace lumivane

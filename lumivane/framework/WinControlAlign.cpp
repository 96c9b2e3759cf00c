// TWinControl's alignment of its children (Align) inside its client area.
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

void TWinControl::Realign() {
    if (FAlignLevel > 0 || IsLoading()) {
        FAlignPending = true;
        return;
    }
    AlignNow();
}

void TWinControl::Loaded() {
    inherited::Loaded();
    if (FAlignPending) Realign();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::AlignNow() {
    FAlignPending = false;
    ++FAlignLevel;
    try {
        TRect r = GetClientRect();
        AlignControls(nullptr, r);
        const TRect client = GetClientRect();
        for (TControl* c : std::vector<TControl*>(FControls)) c->AnchorToParent(client.Width(), client.Height());
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    --FAlignLevel;
    FAlignPending = false;
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != a || (!c->FVisible && !c->IsDesigning())) continue;
            const int w = std::max(0, Rect.Width()), h = std::max(0, Rect.Height());
            switch (a) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, w, c->FHeight);
                Rect.Top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, w, c->FHeight);
                Rect.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->FWidth, h);
                Rect.Left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, h);
                Rect.Right -= c->FWidth;
                break;
            default:
                c->SetBounds(Rect.Left, Rect.Top, w, h);
                break;
            }
        }
    }
}

}  // namespace lumivane

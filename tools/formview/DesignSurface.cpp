#include "tools/formview/DesignSurface.h"

#include "lumivane/framework/Control.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/WinControl.h"
#include "tools/formview/DesignModel.h"

using namespace lumivane;

namespace {

int Depth(TControl* c) {
    int d = 0;
    for (TWinControl* p = c->Parent(); p; p = p->Parent()) ++d;
    return d;
}

}  // namespace

void TDesignSurface::Clear() {
    for (TPanel* p : FHandles) delete p;
    for (TPanel* p : FBand) delete p;
    for (TPanel* p : FIcons) delete p;
    FHandles.clear();
    FBand.clear();
    FIcons.clear();
    FIconOf.clear();
}

void TDesignSurface::TakeInput() {
    TCustomForm* form = FModel.Root();
    if (!form || !form->HandleAllocated()) return;
    const HWND h = form->Handle();
    SetWindowLongPtrA(h, GWL_EXSTYLE, GetWindowLongPtrA(h, GWL_EXSTYLE) | WS_EX_DESIGNSURFACE);
}

// The marks are kept and moved rather than made anew at each move of the pointer: a window
// destroyed under a held button is one the display still sends the drag to.
void TDesignSurface::Place(std::vector<TPanel*>& marks, size_t index, TRect r, unsigned color) {
    if (index == marks.size()) {
        auto* p = new TPanel(nullptr);
        p->SetBevelOuter(bvNone);
        p->SetCaption("");
        p->SetParent(FModel.Root());
        marks.push_back(p);
    }
    TPanel* p = marks[index];
    p->SetColor(color);
    p->SetBevelOuter(bvNone);
    p->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    p->SetVisible(true);
    p->BringToFront();
}

void TDesignSurface::HideFrom(std::vector<TPanel*>& marks, size_t index) {
    for (size_t i = index; i < marks.size(); ++i) marks[i]->SetVisible(false);
}

TRect TDesignSurface::FormRect(TControl* c) const {
    TRect r = c->BoundsRect();
    if (TWinControl* parent = c->Parent(); parent && parent != FModel.Root()) {
        const TPoint o = parent->ClientOrigin(), f = FModel.Root()->ClientOrigin();
        r = {r.Left + o.x - f.x, r.Top + o.y - f.y, r.Right + o.x - f.x, r.Bottom + o.y - f.y};
    }
    return r;
}

// A design position is what a component that is not a control publishes as Left and Top.
static bool HasDesignPosition(TComponent* c) {
    if (dynamic_cast<TControl*>(c)) return false;
    const TPropInfo* left = c->ClassType()->FindProperty("Left");
    return left && left->Kind == TPropKind::Int32 && c->ClassType()->FindProperty("Top");
}

TRect TDesignSurface::DesignRect(TComponent* c) const {
    if (auto* control = dynamic_cast<TControl*>(c); control && control != FModel.Root()) return FormRect(control);
    if (!c || !HasDesignPosition(c)) return {};
    return {c->DesignLeft(), c->DesignTop(), c->DesignLeft() + IconSize, c->DesignTop() + IconSize};
}

void TDesignSurface::ShowIcons() {
    size_t n = 0;
    FIconOf.clear();
    TCustomForm* root = FModel.Root();
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* c = root->Components(i);
        if (!HasDesignPosition(c)) continue;
        Place(FIcons, n, DesignRect(c), clWindow);
        // The class's capitals name it: PM for a popup menu, T for a timer.
        std::string initials;
        for (char ch : c->ClassName().substr(1))
            if (ch >= 'A' && ch <= 'Z') initials += ch;
        FIcons[n]->SetCaption(initials);
        FIcons[n]->SetBevelOuter(bvRaised);
        FIconOf.push_back(c);
        ++n;
    }
    HideFrom(FIcons, n);
}

TComponent* TDesignSurface::ComponentAt(TPoint p) const {
    for (size_t i = FIconOf.size(); i-- > 0;)
        if (DesignRect(FIconOf[i]).Contains(p)) return FIconOf[i];
    return ControlAt(p);
}

void TDesignSurface::ShowSelection() {
    size_t n = 0;
    for (const std::string& name : FModel.Selection) {
        TComponent* c = FModel.Find(name);
        if (!c || c == FModel.Root()) continue;
        const TRect r = DesignRect(c);
        if (r.Width() == 0) continue;
        const int s = HandleSize, cx = (r.Left + r.Right) / 2 - s / 2, cy = (r.Top + r.Bottom) / 2 - s / 2;
        const TPoint at[8] = {{r.Left - s / 2, r.Top - s / 2}, {cx, r.Top - s / 2},      {r.Right - s / 2, r.Top - s / 2},
                              {r.Right - s / 2, cy},           {r.Right - s / 2, r.Bottom - s / 2}, {cx, r.Bottom - s / 2},
                              {r.Left - s / 2, r.Bottom - s / 2}, {r.Left - s / 2, cy}};
        // The first selected control's handles are black: they resize it.
        for (const TPoint& p : at) {
            Place(FHandles, n, {p.x, p.y, p.x + s, p.y + s}, n < 8 ? clBlack : clGray);
            ++n;
        }
    }
    HideFrom(FHandles, n);
}

void TDesignSurface::ShowBand(TPoint a, TPoint b) {
    const TRect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (r.Width() == 0 && r.Height() == 0) {
        HideFrom(FBand, 0);
        return;
    }
    Place(FBand, 0, {r.Left, r.Top, r.Right + 1, r.Top + 1}, clBlack);
    Place(FBand, 1, {r.Left, r.Bottom, r.Right + 1, r.Bottom + 1}, clBlack);
    Place(FBand, 2, {r.Left, r.Top, r.Left + 1, r.Bottom + 1}, clBlack);
    Place(FBand, 3, {r.Right, r.Top, r.Right + 1, r.Bottom + 1}, clBlack);
}

int TDesignSurface::HandleAt(HWND hwnd) const {
    for (size_t i = 0; i < FHandles.size() && i < 8; ++i)
        if (FHandles[i]->Visible() && FHandles[i]->HandleAllocated() && FHandles[i]->Handle() == hwnd)
            return static_cast<int>(i);
    return -1;
}

int TDesignSurface::HandleAtPoint(TPoint p) const {
    for (size_t i = 0; i < FHandles.size() && i < 8; ++i)
        if (FHandles[i]->Visible() && FHandles[i]->BoundsRect().Contains(p)) return static_cast<int>(i);
    return -1;
}

bool TDesignSurface::IsMark(HWND hwnd) const {
    for (const auto* list : {&FHandles, &FBand})
        for (TPanel* p : *list)
            if (p->HandleAllocated() && p->Handle() == hwnd) return true;
    return false;
}

TControl* TDesignSurface::ControlAt(TPoint p) const {
    TControl* best = nullptr;
    int bestDepth = -1;
    TCustomForm* root = FModel.Root();
    for (int i = 0; i < root->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(root->Components(i));
        if (!c || (!c->Visible() && !c->Parent())) continue;
        const TRect r = FormRect(c);
        if (p.x < r.Left || p.x >= r.Right || p.y < r.Top || p.y >= r.Bottom) continue;
        // The innermost wins; among siblings, the one made later lies on top.
        const int d = Depth(c);
        if (d >= bestDepth) best = c, bestDepth = d;
    }
    return best;
}

TWinControl* TDesignSurface::ContainerAt(TPoint p, const std::vector<TControl*>& skip) const {
    TWinControl* best = FModel.Root();
    int bestDepth = 0;
    TCustomForm* root = FModel.Root();
    for (int i = 0; i < root->ComponentCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(root->Components(i));
        if (!w || !w->ControlStyle().Contains(csAcceptsControls)) continue;
        bool skipped = false;
        for (TControl* s : skip)
            for (TControl* c = w; c && !skipped; c = c->Parent()) skipped = c == s;
        if (skipped) continue;
        const TRect r = FormRect(w);
        if (p.x < r.Left || p.x >= r.Right || p.y < r.Top || p.y >= r.Bottom) continue;
        const int d = Depth(w);
        if (d >= bestDepth) best = w, bestDepth = d;
    }
    return best;
}

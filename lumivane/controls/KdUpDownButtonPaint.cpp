// The faces of the arrow buttons: a raised or sunken bevel (normal and flat looks), a flat face
// with separator lines (ultra-flat and no border), and the arrow on top of every look.
#include "lumivane/controls/KdUpDownButton.h"
#include "lumivane/controls/PenRing.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/Cursors.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

namespace {

// Slots of the buttons' colour set and of the frame's.
constexpr int kUdDefault = 0, kUdHot = 1, kUdPressed = 2, kUdDisabled = 3;
constexpr int kFrameDefault = 0, kFrameFocused = 2, kFrameHot = 3;

constexpr TColor kBevelLight = 0xFFFFFF, kBevelDark = 0x404040, kBevelSoft = 0xDFDFDF, kBevelShadow = 0x808080;
constexpr TColor kUltraHotFace = 0xF0C8C0, kUltraPressedFace = 0xB5B5B5;
constexpr TColor kLineNormal = 0x000000, kLineHot = 0xFF0000, kLineFocused = 0x800000;

TColor Either(TColor slot, TColor fallback) { return slot != clDefault ? slot : fallback; }

}  // namespace

void TKdCustomUpDownButton::Paint() {
    const bool down = _fDown();
    switch (FBorderStyle) {
    case ebsNormal: DrawNormalEdge(down); break;
    case ebsFlat: DrawFlatEdge(down); break;
    case ebsUltraFlat:
    case ebsNone: DrawUltraFlatEdge(down); break;
    }
    DrawUpDownArrow();
}

TColor TKdCustomUpDownButton::_fFaceColor(TColor Default, TColor Hot, TColor Pressed, TColor Disabled,
                                         bool Down) const {
    if (!FUpDownEdit) return Color();
    if (!FUpDownEdit->UpDownControl()->Enabled()) return Either(FUpDownEdit->UpDownColor(kUdDisabled), Disabled);
    if (Down) return Either(FUpDownEdit->UpDownColor(kUdPressed), Pressed);
    if (FMouseIn) return Either(FUpDownEdit->UpDownColor(kUdHot), Hot);
    return Either(FUpDownEdit->UpDownColor(kUdDefault), Default);
}

// Two-pixel bevel, raised at rest and sunken while down: the same path with the pairs swapped.
void TKdCustomUpDownButton::DrawNormalEdge(bool Down) {
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(_fFaceColor(Color(), Color(), Color(), Color(), Down));
    c->Brush()->SetStyle(bsSolid);
    c->FillRect({2, 2, w - 2, h - 2});
    PenRing(c, {0, 0, w, h}, Down ? kBevelDark : kBevelLight, Down ? kBevelLight : kBevelDark);
    PenRing(c, {1, 1, w - 1, h - 1}, Down ? kBevelShadow : kBevelSoft, Down ? kBevelSoft : kBevelShadow);
}

void TKdCustomUpDownButton::DrawFlatEdge(bool Down) {
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(_fFaceColor(Color(), Color(), Color(), Color(), Down));
    c->Brush()->SetStyle(bsSolid);
    c->FillRect({1, 1, w - 1, h - 1});
    PenRing(c, {0, 0, w, h}, Down ? kBevelShadow : kBevelLight, Down ? kBevelLight : kBevelShadow);
}

// A flat face; lines separate the buttons from the text and from each other, and outline the
// outer sides while the edit has the focus. The focused colour goes before the hot one here,
// unlike the edit's own outer ring.
void TKdCustomUpDownButton::DrawUltraFlatEdge(bool Down) {
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(_fFaceColor(Color(), kUltraHotFace, kUltraPressedFace, Color(), Down));
    c->Brush()->SetStyle(bsSolid);
    c->FillRect({0, 0, w, h});

    const bool focused = FUpDownEdit && FUpDownEdit->UpDownControl()->Focused();
    const bool hot = Down || (FUpDownEdit && FUpDownEdit->MouseInState() != 0);
    auto line = [this](int slot, TColor fallback) {
        return FUpDownEdit ? Either(FUpDownEdit->FrameColor(slot), fallback) : fallback;
    };
    c->Pen()->SetColor(focused ? line(kFrameFocused, kLineFocused)
                       : hot   ? line(kFrameHot, kLineHot)
                               : line(kFrameDefault, kLineNormal));
    if (!FIsDownButton) {
        c->MoveTo(0, 0);
        c->LineTo(0, h);
        if (focused) {
            c->MoveTo(w - 1, h - 1);
            c->LineTo(w - 1, 0);
            c->LineTo(0, 0);
        }
    } else {
        c->MoveTo(w - 1, 0);
        c->LineTo(0, 0);
        c->MoveTo(0, h - 1);
        c->LineTo(0, -1);
        if (focused) {
            c->MoveTo(w - 1, 0);
            c->LineTo(w - 1, h - 1);
            c->LineTo(0, h - 1);
        }
    }
}

// A black triangle 5 wide and 4 high, centred (halves truncated), the same in every state.
void TKdCustomUpDownButton::DrawUpDownArrow() {
    TCanvas* c = Canvas();
    const int x0 = (Width() - 5) / 2, y0 = (Height() - 4) / 2;
    const TPoint up[] = {{x0 + 2, y0}, {x0, y0 + 4}, {x0 + 5, y0 + 4}};
    const TPoint down[] = {{x0 + 2, y0 + 4}, {x0 + 5, y0}, {x0, y0}};
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    c->Brush()->SetStyle(bsSolid);
    c->Polygon(FIsDownButton ? down : up, 3);
}

}  // namespace lumivane

// The validating edit's frames. The framework has filled the control with Color before Paint;
// the inner edit, a child window, paints its own area on top.
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/controls/PenRing.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

void TCustomValidateEdit::Paint() {
    inherited::Paint();
    const TRect R{0, 0, Width(), Height()};
    switch (FBorderStyle) {
    case ebsNormal: _DrawNormalEdge(Canvas(), R); break;
    case ebsFlat: _DrawFlatEdge(Canvas(), R); break;
    case ebsUltraFlat: _DrawUltraFlatEdge(Canvas(), R); break;
    default: break;
    }
}

namespace {
// A disabled edit shows clBtnFace inside its edge.
void FillDisabledInside(TCanvas* Canvas, const TRect& R, int Edge) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect({R.Left + Edge, R.Top + Edge, R.Right - Edge, R.Bottom - Edge});
}
}  // namespace

// Sunken double edge: grey over white outside, dark grey over light grey inside. The ring at
// inset 2 is left to the background (Color, or clBtnFace when disabled).
void TCustomValidateEdit::_DrawNormalEdge(TCanvas* Canvas, const TRect& R) {
    PenRing(Canvas, R, clGray, clWhite);
    PenRing(Canvas, {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1}, static_cast<TColor>(0x404040),
            static_cast<TColor>(0xDFDFDF));
    if (!Enabled()) FillDisabledInside(Canvas, R, 2);
}

// The outer ring of the normal edge alone.
void TCustomValidateEdit::_DrawFlatEdge(TCanvas* Canvas, const TRect& R) {
    PenRing(Canvas, R, clGray, clWhite);
    if (!Enabled()) FillDisabledInside(Canvas, R, 1);
}

// Three rings coloured by state; the brush is left as it is, the insides lie under the edit.
void TCustomValidateEdit::_DrawUltraFlatEdge(TCanvas* Canvas, const TRect& R) {
    const bool enabled = Enabled();
    TColor outer;
    if (enabled && FMouseInState != 0)
        outer = _fSlotColor(3);
    else if (FFocused)
        outer = _fSlotColor(2);
    else
        outer = _fSlotColor(0);
    Canvas->Pen()->SetColor(outer);
    Canvas->Rectangle(R.Left, R.Top, R.Right, R.Bottom);

    const TColor second = !enabled ? _fSlotColor(1) : FFocused ? _fSlotColor(2) : Color();
    Canvas->Pen()->SetColor(second);
    Canvas->Rectangle(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);

    const TColor third = !enabled ? _fSlotColor(1) : Color();
    Canvas->Pen()->SetColor(third);
    Canvas->Rectangle(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
}

}  // namespace lumivane

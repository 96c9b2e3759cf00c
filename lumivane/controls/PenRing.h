#pragma once
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Pen.h"

namespace lumivane {

// A one-pixel ring just inside R, drawn with the pen the way the edits' and their buttons' bevels
// are: the left and top sides in TopLeft (with the bottom-left corner), the right and bottom
// sides in BottomRight (with the top-right corner).
inline void PenRing(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight) {
    const int L = R.Left, T = R.Top, Rt = R.Right - 1, B = R.Bottom - 1;
    TPen* pen = Canvas->Pen();
    Canvas->MoveTo(L, B);
    pen->SetColor(TopLeft);
    Canvas->LineTo(L, T);
    Canvas->LineTo(Rt, T);
    pen->SetColor(BottomRight);
    Canvas->LineTo(Rt, B);
    Canvas->LineTo(L, B);
}

}  // namespace lumivane

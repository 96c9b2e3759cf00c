// Painting of TImButton: the draw request, the colour rules, the frame of each look and the face
// (picture strip, caption, focus rectangle, embossed disabled picture, full-picture look).
#include <string>

#include "lumivane/controls/ImButton.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Pen.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/PngImage.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {

constexpr unsigned kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// Left and top edges in c1 (bottom-left corner included, top-right not), right and bottom in c2.
void Bevel(TCanvas* c, int x1, int y1, int x2, int y2, TColor c1, TColor c2) {
    c->MoveTo(x1, y2);
    c->Pen()->SetColor(c1);
    c->LineTo(x1, y1);
    c->LineTo(x2, y1);
    c->Pen()->SetColor(c2);
    c->LineTo(x2, y2);
    c->LineTo(x1, y2);
}

void HLine(TCanvas* c, int x1, int x2, int y, TColor color) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y);
    c->LineTo(x2, y);
}

void VLine(TCanvas* c, int x, int y1, int y2, TColor color) {
    c->Pen()->SetColor(color);
    c->MoveTo(x, y1);
    c->LineTo(x, y2);
}

// One channel of a gradient row: base - span * t, truncated toward zero.
int Channel(int base, int span, double t) { return static_cast<int>(base - span * t); }

TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r) + 256u * static_cast<TColor>(g) + 65536u * static_cast<TColor>(b);
}

// Square of the row's position, in double precision.
double RowT(int i, int n) {
    const double q = static_cast<double>(i) / n;
    return q * q;
}

bool IsClass(const TGraphic* g, const char* name) { return g && g->ClassName() == name; }

TRect Moved(const TRect& r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

}  // namespace

// ---- Draw request and colours ----

void TCustomImButton::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
    int state = 0;
    if (DrawItemStruct.itemState & ODS_SELECTED) state |= ibsPushed;
    if (DrawItemStruct.itemState & ODS_FOCUS) state |= ibsFocused;
    if (FMouseIn) state |= ibsHot;
    if (FAnimated) state |= ibsAnimated;
    if (!Enabled()) state |= ibsDisabled;
    if (FIsDefault) state |= ibsDefault;
    if (FPressed) state |= ibsPushed;

    TRect rect = DrawItemStruct.rcItem;
    TCanvas canvas(DrawItemStruct.hDC);
    canvas.Font()->Assign(Font());
    if (FMouseIn && Enabled()) canvas.Font()->SetColor(FHotTextColor);
    canvas.Brush()->SetStyle(bsClear);

    if (FDefaultDraw || !FOnOwnerDraw.Assigned()) {
        if (FLooks == ibkFullPicture)
            fDefaultDrawFullPc(&canvas, rect, state);
        else
            fDefaultDrawNormal(&canvas, rect, state);
    }
    // The event is copied: the handler may free the button (and so the event) while it runs.
    const TImOwnerDrawEvent handler = FOnOwnerDraw;
    try {
        handler(this, &canvas, &rect, state, FCounter);
    } catch (const Exception&) {
        // A failing handler leaves the default face; the request still completes.
    }
    // The context belongs to the window system.
    canvas.SetHandle(nullptr);
}

TColor TCustomImButton::fGetBtnColor(int State) const {
    TColor c;
    if (State & ibsDisabled)
        c = FColors->fGetIbColor(1);
    else if (State & ibsPushed)
        c = FColors->fGetIbColor(2);
    else if (State & ibsHot)
        c = FColors->fGetIbColor(3);
    else
        return Color();
    return c == clDefault ? Color() : c;
}

TColor TCustomImButton::fGetFrameColor(int State) const {
    const TColor c = FColors->fGetIbColor(0);
    if ((State & (ibsFocused | ibsDefault)) && c != clDefault) return c;
    return clWindowFrame;
}

// ---- Frames ----

void TCustomImButton::fDrawFrameRect(TCanvas* Canvas, TRect Rect, int State) {
    int L = Rect.Left, T = Rect.Top;
    const int R = Rect.Right, B = Rect.Bottom;
    int X2 = R - 1, Y2 = B - 1;
    const int W = R - L, H = B - T;
    TPen* pen = Canvas->Pen();
    TBrush* brush = Canvas->Brush();

    // The outline of a focused or default button; the rest is drawn one pixel further in.
    auto focusFrame = [&] {
        if (!(State & (ibsFocused | ibsDefault))) return;
        pen->SetColor(fGetFrameColor(State));
        pen->SetWidth(1);
        brush->SetStyle(bsClear);
        Canvas->Rectangle(L, T, R, B);
        ++L;
        ++T;
        --X2;
        --Y2;
    };

    switch (FLooks) {
    case ibkFlat: {
        pen->SetStyle(psSolid);
        pen->SetWidth(1);
        int inset = 0;
        if (!(State & ibsDisabled)) {
            if (State & ibsPushed) {
                Bevel(Canvas, L, T, X2, Y2, 0x808080, 0xFFFFFF);
                inset = 1;
            } else if (State & ibsHot) {
                Bevel(Canvas, L, T, X2, Y2, 0xFFFFFF, 0x808080);
                inset = 1;
            }
        }
        brush->SetColor(fGetBtnColor(State));
        brush->SetStyle(bsSolid);
        Canvas->FillRect({L + inset, T + inset, R - inset, B - inset});
        break;
    }
    case ibkBevelFlat:
        focusFrame();
        pen->SetStyle(psSolid);
        pen->SetWidth(1);
        if (State & ibsPushed)
            Bevel(Canvas, L, T, X2, Y2, 0x808080, 0xFFFFFF);
        else
            Bevel(Canvas, L, T, X2, Y2, 0xFFFFFF, 0x808080);
        brush->SetColor(fGetBtnColor(State));
        brush->SetStyle(bsSolid);
        Canvas->FillRect({L + 1, T + 1, X2, Y2});
        break;
    case ibkUltraFlat:
        pen->SetColor(fGetFrameColor(State));
        pen->SetWidth(1);
        brush->SetColor(fGetBtnColor(State));
        brush->SetStyle(bsSolid);
        Canvas->Rectangle(L, T, R, B);
        if (State & (ibsFocused | ibsDefault)) {
            brush->SetStyle(bsClear);
            Canvas->Rectangle(L + 1, T + 1, R - 1, B - 1);
        }
        break;
    case ibkWindowsXP:
        if (State & ibsPushed) {
            const int n = H - 6;
            for (int i = 0; i < n; ++i) {
                const double t = RowT(i, n);
                HLine(Canvas, L + 1, X2 - 1, T + i + 3, Rgb(Channel(229, 3, t), Channel(228, 2, t), Channel(221, 3, t)));
            }
            VLine(Canvas, L + 1, T + 1, Y2 - 1, 0xCDD6D9);
            VLine(Canvas, L + 2, T + 1, Y2 - 1, 0xD5DDDF);
            VLine(Canvas, X2 - 2, T + 1, Y2 - 1, 0xDEE4E5);
            VLine(Canvas, X2 - 1, T + 1, Y2 - 1, 0xE0E5E6);
            HLine(Canvas, L + 1, X2 - 1, T + 1, 0xC1CCD1);
            HLine(Canvas, L + 1, X2 - 1, T + 2, 0xCFD8DC);
            HLine(Canvas, L + 1, X2 - 1, Y2 - 2, 0xE3E9EA);
            HLine(Canvas, L + 1, X2 - 1, Y2 - 1, 0xEEF1F2);
        } else {
            const int n = H - 2;
            for (int i = 0; i < n; ++i) {
                const double t = RowT(i, n);
                HLine(Canvas, L + 1, X2 - 1, T + i, Rgb(Channel(255, 29, t), Channel(255, 32, t), Channel(255, 41, t)));
            }
            const int m = Y2 - T - 3;
            if (State & ibsHot) {
                for (int j = 0; j < m; ++j) {
                    const int y = T + j + 2;
                    const TColor outer = Rgb(238 + 10 * j / m, 220 - 42 * j / m, 173 - 125 * j / m);
                    const TColor inner = Rgb(253 - 5 * j / m, 216 - 38 * j / m, 137 - 79 * j / m);
                    Canvas->SetPixels(L + 1, y, outer);
                    Canvas->SetPixels(X2 - 1, y, outer);
                    Canvas->SetPixels(L + 2, y, inner);
                    Canvas->SetPixels(X2 - 2, y, inner);
                }
                HLine(Canvas, L + 1, X2 - 1, T + 1, 0xD8E9FF);
                HLine(Canvas, L + 1, X2 - 1, T + 2, 0x89D8FD);
                HLine(Canvas, L + 1, X2 - 1, Y2 - 2, 0x30B2F8);
                HLine(Canvas, L + 1, X2 - 1, Y2 - 1, 0x0097E5);
            } else if (State & (ibsFocused | ibsDefault)) {
                for (int j = 0; j < m; ++j) {
                    const int y = T + j + 2;
                    const TColor side = Rgb(188 - 51 * j / m, 212 - 39 * j / m, 246 - 18 * j / m);
                    Canvas->SetPixels(L + 1, y, side);
                    Canvas->SetPixels(X2 - 1, y, side);
                    Canvas->SetPixels(L + 2, y, side);
                    Canvas->SetPixels(X2 - 2, y, side);
                }
                HLine(Canvas, L + 1, X2 - 1, T + 1, 0xFFE7CE);
                HLine(Canvas, L + 1, X2 - 1, T + 2, 0xF6D4BC);
                HLine(Canvas, L + 1, X2 - 1, Y2 - 2, 0xE4AD89);
                HLine(Canvas, L + 1, X2 - 1, Y2 - 1, 0xEE8269);
            } else {
                HLine(Canvas, L + 1, X2 - 1, Y2 - 1, 0xC5D0D6);
                VLine(Canvas, X2 - 1, T + 1, Y2 - 1, 0xE6EAED);
            }
        }
        // The dark outline, anchored at the canvas origin, and its softened corners.
        brush->SetStyle(bsClear);
        pen->SetColor(0x743C00);
        Canvas->Rectangle(0, 0, W, H);
        for (TPoint p : {TPoint{L, T + 1}, {L + 1, T}, {X2, T + 1}, {X2 - 1, T}, {L, Y2 - 1}, {L + 1, Y2}, {X2, Y2 - 1},
                         {X2 - 1, Y2}})
            Canvas->SetPixels(p.x, p.y, 0xA8957A);
        for (TPoint p : {TPoint{L + 1, T + 2}, {L + 2, T + 1}, {X2 - 1, T + 2}, {X2 - 2, T + 1}, {L + 1, Y2 - 2},
                         {L + 2, Y2 - 1}, {X2 - 1, Y2 - 2}, {X2 - 2, Y2 - 1}})
            Canvas->SetPixels(p.x, p.y, 0xDDCFC0);
        for (TPoint p : {TPoint{L + 1, T + 1}, {X2 - 1, T + 1}, {L + 1, Y2 - 1}, {X2 - 1, Y2 - 1}})
            Canvas->SetPixels(p.x, p.y, 0xA27D55);
        break;
    case ibkNormal:
    case ibkFullPicture:
    default:
        focusFrame();
        pen->SetStyle(psSolid);
        pen->SetWidth(1);
        if (State & ibsPushed) {
            Bevel(Canvas, L, T, X2, Y2, 0x404040, 0xFFFFFF);
            Bevel(Canvas, L + 1, T + 1, X2 - 1, Y2 - 1, 0x808080, 0xDFDFDF);
        } else {
            Bevel(Canvas, L, T, X2, Y2, 0xFFFFFF, 0x404040);
            Bevel(Canvas, L + 1, T + 1, X2 - 1, Y2 - 1, 0xDFDFDF, 0x808080);
        }
        brush->SetColor(fGetBtnColor(State));
        brush->SetStyle(bsSolid);
        Canvas->FillRect({L + 2, T + 2, X2 - 1, Y2 - 1});
        break;
    }
    brush->SetStyle(bsClear);
}

// ---- Picture strips ----

TPicture* TCustomImButton::_fChoosePicture(int State, int& Index, int& CountProp) {
    CountProp = FPictureCount;
    auto normal = [&](int index) -> TPicture* {
        if (!FPicture->HasGraphic()) return nullptr;
        Index = index;
        return FPicture.get();
    };
    if (State & ibsDisabled) return normal(1);
    if (State & ibsPushed) return normal(2);
    if (State & ibsHot) {
        if (FAnimated && FAnimatePicture->HasGraphic()) {
            Index = FCounter;
            ++FCounter;
            CountProp = FAnimatedCount;
            return FAnimatePicture.get();
        }
        return normal(3);
    }
    return normal(0);
}

// A count below 1 (not set, or nonsense from a stored form) means: as many frames as fit.
int TCustomImButton::_fFrameCount(TGraphic* Graphic, int CountProp, bool Stacked) const {
    int count = CountProp;
    if (count < 1) {
        if (Stacked)
            count = Height() > 0 ? Graphic->Height() / Height() : 0;
        else
            count = Graphic->Height() > 0 ? Graphic->Width() / Graphic->Height() : 0;
    }
    return count < 1 ? 1 : count;
}

void TCustomImButton::_fFixIndex(int Count, int& Index) {
    if (Index >= Count || Index < 0) {
        Index = 0;
        FCounter = 1;
    }
}

// Frame 0 as a one-bit mask, stamped white one pixel down-right, then grey on top.
void TCustomImButton::_fDrawEmbossed(TCanvas* Canvas, TBitmap* Strip, TBitmap* Tmp, const TRect& Pr) {
    Tmp->SetMonochrome(true);
    TCanvas* tc = Tmp->Canvas();
    tc->Brush()->SetColor(clWhite);
    tc->FillRect({0, 0, Tmp->Width(), Tmp->Height()});
    tc->Draw(0, 0, Strip);

    // Three raster operations paint C under the mask's black pixels and leave the rest.
    auto stamp = [&](int x, int y, TColor c) {
        Canvas->Font()->SetColor(c);
        Canvas->Brush()->SetColor(clBlack);
        Canvas->SetCopyMode(SRCINVERT);
        Canvas->Draw(x, y, Tmp);
        Canvas->Font()->SetColor(clBlack);
        Canvas->Brush()->SetColor(clWhite);
        Canvas->SetCopyMode(SRCAND);
        Canvas->Draw(x, y, Tmp);
        Canvas->Font()->SetColor(c);
        Canvas->Brush()->SetColor(clBlack);
        Canvas->SetCopyMode(SRCINVERT);
        Canvas->Draw(x, y, Tmp);
    };
    stamp(Pr.Left + 1, Pr.Top + 1, clBtnHighlight);
    stamp(Pr.Left, Pr.Top, clBtnShadow);
    Canvas->SetCopyMode(SRCCOPY);
}

// ---- Faces ----

void TCustomImButton::fDefaultDrawNormal(TCanvas* Canvas, TRect Rect, int State) {
    const std::string caption = Caption();
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    int tw = Canvas->TextWidth(caption);
    const int cx = (L + R) / 2;
    if (tw > Width() - 10) tw = Width() - 10;
    TRect fr{L + 4, T + 4, R - 4, B - 4};
    const int half = tw / 2;
    TRect tr{cx - half, T + 5, cx + half, B - 5};
    if (FLooks == ibkWindowsXP) fr = {L + 3, T + 3, R - 3, B - 3};
    if (State & ibsPushed) {
        if (FLooks != ibkWindowsXP) fr = Moved(fr, 1, 1);
        tr = Moved(tr, 1, 1);
    }

    fDrawFrameRect(Canvas, Rect, State);

    int index = 0, countProp = 0;
    if (TPicture* pic = _fChoosePicture(State, index, countProp)) {
        TGraphic* g = pic->Graphic();
        const int count = _fFrameCount(g, countProp, false);
        _fFixIndex(count, index);
        const int fh = g->Height();
        const int fw = g->Width() / count;
        if (tw > Width() - fw - 10 - FSpacing) tw = Width() - fw - 10 - FSpacing;
        const int px = cx - (fw + tw + FSpacing) / 2;
        TRect pr{px, (Height() - fh) / 2, px + fw, (Height() + fh) / 2};
        tr.Left = px + fw + FSpacing;
        tr.Right = tr.Left + tw;
        if (State & ibsPushed) {
            pr = Moved(pr, 1, 1);
            tr = Moved(tr, 1, 0);
        }
        if (IsClass(g, "TBitmap")) {
            auto* strip = static_cast<TBitmap*>(g);
            strip->SetTransparent(true);
            TBitmap tmp;
            tmp.SetSize(fw, fh);
            if (index == 0 && (State & ibsDisabled)) {
                _fDrawEmbossed(Canvas, strip, &tmp, pr);
            } else {
                // The frame goes over a copy of what lies under it, so its transparent pixels
                // keep the face.
                tmp.Canvas()->CopyRect({0, 0, fw, fh}, Canvas, pr);
                tmp.Canvas()->Draw(-index * fw, 0, strip);
                Canvas->Draw(pr.Left, pr.Top, &tmp);
            }
        } else if (IsClass(g, "TIcon")) {
            Canvas->Draw(pr.Left, pr.Top, g);
        } else if (auto* png = dynamic_cast<TPngImage*>(g)) {
            // Its alpha keeps the face beneath (a PNG strip's disabled look is its own frame).
            png->SetTransparent(true);
            png->DrawPart(Canvas, pr.Left, pr.Top, {index * fw, 0, index * fw + fw, fh});
        }
    }

    if ((State & ibsFocused) && FFocusRect) {
        Canvas->Brush()->SetColor(fGetBtnColor(State));
        Canvas->DrawFocusRect(fr);
    }
    Canvas->Brush()->SetStyle(bsClear);
    if (State & ibsDisabled) {
        Canvas->Font()->SetColor(clBtnHighlight);
        TRect etched = Moved(tr, 1, 1);
        DrawTextA(Canvas->Handle(), caption.c_str(), -1, &etched, kCaptionFormat);
        Canvas->Font()->SetColor(clBtnShadow);
    }
    DrawTextA(Canvas->Handle(), caption.c_str(), -1, &tr, kCaptionFormat);
}

void TCustomImButton::fDefaultDrawFullPc(TCanvas* Canvas, TRect Rect, int State) {
    int index = 0, countProp = 0;
    TPicture* pic = _fChoosePicture(State, index, countProp);
    if (!pic) {
        fDefaultDrawNormal(Canvas, Rect, State);
        return;
    }
    TGraphic* g = pic->Graphic();
    const int count = _fFrameCount(g, countProp, true);
    _fFixIndex(count, index);
    const int fw = g->Width();
    const int fh = g->Height() / count;
    if (IsClass(g, "TBitmap")) {
        auto* strip = static_cast<TBitmap*>(g);
        TBitmap tmp;
        tmp.SetSize(fw, fh);
        tmp.Canvas()->CopyRect({0, 0, fw, fh}, strip->Canvas(), {0, index * fh, fw, index * fh + fh});
        tmp.SetPixelFormat(pfDevice);
        tmp.SetTransparent(false);
        Canvas->StretchDraw(Rect, &tmp);
    } else if (IsClass(g, "TIcon")) {
        Canvas->Draw(Rect.Left, Rect.Top, g);
    } else if (auto* png = dynamic_cast<TPngImage*>(g)) {
        // The frame over the face's colour, stretched over the whole face.
        TBitmap tmp;
        tmp.SetSize(fw, fh);
        tmp.Canvas()->Brush()->SetColor(fGetBtnColor(State));
        tmp.Canvas()->FillRect({0, 0, fw, fh});
        png->SetTransparent(true);
        png->DrawPart(tmp.Canvas(), 0, 0, {0, index * fh, fw, index * fh + fh});
        Canvas->StretchDraw(Rect, &tmp);
    }
}

}  // namespace lumivane

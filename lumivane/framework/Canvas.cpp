#include "lumivane/framework/Canvas.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TCanvas) {}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(HDC dc) : TCanvas() { SetHandle(dc); }

TCanvas::~TCanvas() = default;

void TCanvas::SetHandle(HDC dc) {
    if (FHandle) FPenPos = FHandle->pos;
    FHandle = dc;
}

HDC TCanvas::Handle() { return &RequiredState(); }

DeviceContext& TCanvas::RequiredState() {
    if (!FHandle) CreateHandle();
    if (!FHandle) throw Exception("Canvas does not allow drawing");
    DeviceContext& dc = *FHandle;
    dc.pen = FPen->State();
    dc.brush = FBrush->State();
    dc.font = FFont->Handle();
    dc.textColor = FFont->Color();
    // A monochrome source takes the text colour for black and this for white.
    dc.bkColor = FBrush->Color();
    dc.bkMode = FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE;
    return dc;
}

void TCanvas::Changing() { OnChanging(this); }

void TCanvas::Changed() { OnChange(this); }

TPoint TCanvas::PenPos() const { return FHandle ? FHandle->pos : FPenPos; }

void TCanvas::SetPenPos(TPoint Value) {
    FPenPos = Value;
    if (FHandle) FHandle->pos = Value;
}

TColor TCanvas::Pixels(int x, int y) {
    DeviceContext& dc = RequiredState();
    return dc.GetPixel(x, y);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    DeviceContext& dc = RequiredState();
    Changing();
    dc.SetPixel(x, y, c);
    Changed();
}

void TCanvas::MoveTo(int x, int y) { RequiredState().MoveTo(x, y); }

void TCanvas::LineTo(int x, int y) {
    DeviceContext& dc = RequiredState();
    Changing();
    dc.LineTo(x, y);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    DeviceContext& dc = RequiredState();
    Changing();
    dc.Rectangle(x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    DeviceContext& dc = RequiredState();
    Changing();
    dc.FillRect(r);
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    DeviceContext& dc = RequiredState();
    if (r.IsEmpty() || FBrush->Style() == bsClear) return;
    Changing();
    const TColor c = FBrush->Color();
    dc.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, c);
    dc.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
    dc.FillRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, c);
    dc.FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, c);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), static_cast<int>(points.size())); }

void TCanvas::Polygon(const TPoint* points, int count) {
    DeviceContext& dc = RequiredState();
    if (count <= 0) return;
    Changing();
    dc.Polygon(points, count);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    DeviceContext& dc = RequiredState();
    if (points.empty()) return;
    Changing();
    dc.MoveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) dc.LineTo(points[i].x, points[i].y);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    DeviceContext& dc = RequiredState();
    Changing();
    dc.DrawFocusRect(r);
    Changed();
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }

int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

TSize TCanvas::TextExtent(const std::string& text) {
    if (!FHandle) CreateHandle();
    // Measuring needs no context: the font alone decides.
    if (!FHandle) return {lumivane::TextWidth(FFont->Handle(), text), GetFontMetrics(FFont->Handle()).height};
    return GetTextExtent(&RequiredState(), text);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    DeviceContext& dc = RequiredState();
    Changing();
    TextOutA(&dc, x, y, text.data(), static_cast<int>(text.size()));
    dc.pos = {x + lumivane::TextWidth(dc.font, text), y};
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    DeviceContext& dc = RequiredState();
    Changing();
    const Region saved = dc.Clip();
    if (FBrush->Style() != bsClear) dc.FillRect(r);
    dc.IntersectClip(r);
    const int oldMode = dc.bkMode;
    dc.bkMode = TRANSPARENT;  // the rectangle is already filled
    TextOutA(&dc, x, y, text.data(), static_cast<int>(text.size()));
    dc.bkMode = oldMode;
    dc.SetClip(saved);
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    RequiredState();
    Changing();
    graphic->Draw(this, {x, y, x + graphic->Width(), y + graphic->Height()});
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    RequiredState();
    Changing();
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    if (!source) return;
    DeviceContext& dc = RequiredState();
    DeviceContext& src = source->RequiredState();
    Changing();
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src, sourceRect.Left, sourceRect.Top,
               sourceRect.Width(), sourceRect.Height(), FCopyMode);
    Changed();
}

}  // namespace lumivane

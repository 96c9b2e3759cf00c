#include "lumivane/framework/Graphics.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {
struct TCharsetName {
    const char* Name;
    int Value;
};
const TCharsetName CharsetNames[] = {
    {"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SYMBOL_CHARSET", SYMBOL_CHARSET}, {"MAC_CHARSET", MAC_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET}, {"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {"JOHAB_CHARSET", JOHAB_CHARSET}, {"GB2312_CHARSET", GB2312_CHARSET},
    {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET}, {"GREEK_CHARSET", GREEK_CHARSET},
    {"TURKISH_CHARSET", TURKISH_CHARSET}, {"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {"HEBREW_CHARSET", HEBREW_CHARSET}, {"ARABIC_CHARSET", ARABIC_CHARSET},
    {"BALTIC_CHARSET", BALTIC_CHARSET}, {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {"THAI_CHARSET", THAI_CHARSET}, {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {"OEM_CHARSET", OEM_CHARSET},
};

// a * b / c rounded half away from zero, as the window system's MulDiv.
int MulDiv(int a, int b, int c) {
    long long n = static_cast<long long>(a) * b;
    long long q = (std::llabs(n) + c / 2) / c;
    return static_cast<int>(n < 0 ? -q : q);
}

// Every byte value is a member of the layout's Charset enumeration: the window system's names where
// they exist, CHARSET_<n> for the rest, so any value is written and read back.
std::span<const std::string_view> CharsetMembers() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n(256);
        for (int i = 0; i < 256; ++i) n[i] = "CHARSET_" + std::to_string(i);
        for (const TCharsetName& c : CharsetNames) n[c.Value] = c.Name;
        return n;
    }();
    static const std::vector<std::string_view> views(names.begin(), names.end());
    return views;
}

int PenModeToRop2(TPenMode m) {
    static const int map[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                              R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                              R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    int i = static_cast<int>(m);
    return i >= 0 && i < 16 ? map[i] : R2_COPYPEN;
}

int PenStyleToPs(TPenStyle s) {
    switch (s) {
    case psDash:
    case psDashDot:
    case psDashDotDot: return PS_DASH;
    case psDot: return PS_DOT;
    case psClear: return PS_NULL;
    default: return PS_SOLID;
    }
}
}  // namespace

std::string CharsetToIdent(int charset) {
    for (const TCharsetName& c : CharsetNames)
        if (c.Value == charset) return c.Name;
    return {};
}

int IdentToCharset(const std::string& ident) {
    for (const TCharsetName& c : CharsetNames)
        if (SameText(c.Name, ident)) return c.Value;
    return -1;
}

// ---- TGraphicsObject, TFont, TPen, TBrush ----

LUMI_DEFINE_CLASS(TGraphicsObject) {}

void TGraphicsObject::Changed() { OnChange(this); }

LUMI_DEFINE_CLASS(TFont) {
    p.Enum("Charset", &TFont::Charset, &TFont::SetCharset, CharsetMembers(), DEFAULT_CHARSET)
        .Color("Color", &TFont::Color, &TFont::SetColor, clWindowText)
        .Prop("Height", &TFont::Height, &TFont::SetHeight, -11)
        .Range(-MaxLayoutFontHeight, MaxLayoutFontHeight)
        .Utf8("Name", &TFont::Name, &TFont::SetName, "Tahoma")
        .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"}, fpDefault)
        .Prop("Size", &TFont::Size, &TFont::SetSize)
        .Range(-MaxLayoutFontHeight * 72 / 96, MaxLayoutFontHeight * 72 / 96)  // points: within Height's pixels
        .Stored([](TFont*) { return false; })  // Height says the same
        .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
             TFontStyles{});
}

void TFont::SetName(const std::string& Value) {
    if (Value == FName) return;
    FName = Value;
    FHandle = nullptr;
    Changed();
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    FHandle = nullptr;
    Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, 96); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, 96, 72)); }

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FHandle = nullptr;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    Changed();
}

FontSpec TFont::ToFontSpec() const {
    FontSpec s;
    s.name = FName;
    s.height = FHeight;
    s.bold = FStyle.Contains(fsBold);
    s.italic = FStyle.Contains(fsItalic);
    s.underline = FStyle.Contains(fsUnderline);
    s.strikeOut = FStyle.Contains(fsStrikeOut);
    return s;
}

HFONT TFont::Handle() const {
    if (!FHandle) FHandle = GetFont(ToFontSpec());
    return FHandle;
}

void TFont::Assign(TPersistent* Source) {
    auto* f = dynamic_cast<TFont*>(Source);
    if (!f) return inherited::Assign(Source);
    if (f == this) return;
    bool same = FName == f->FName && FHeight == f->FHeight && FColor == f->FColor && FStyle == f->FStyle &&
                FCharset == f->FCharset && FPitch == f->FPitch;
    if (same) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FHandle = nullptr;
    Changed();  // once for the whole copy
}

LUMI_DEFINE_CLASS(TPen) {
    p.Color("Color", &TPen::Color, &TPen::SetColor, clBlack)
        .Enum("Mode", &TPen::Mode, &TPen::SetMode,
              {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
               "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",
               "pmNotXor"},
              pmCopy)
        .Enum("Style", &TPen::Style, &TPen::SetStyle,
              {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}, psSolid)
        .Prop("Width", &TPen::Width, &TPen::SetWidth, 1)
        .Range(-MaxLayoutCoord, MaxLayoutCoord);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    FMode = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

PenState TPen::State() const {
    PenState s;
    s.color = FColor;
    s.style = PenStyleToPs(FStyle);
    s.width = FWidth < 1 ? 1 : FWidth;
    s.mode = PenModeToRop2(FMode);
    return s;
}

void TPen::Assign(TPersistent* Source) {
    auto* p = dynamic_cast<TPen*>(Source);
    if (!p) return inherited::Assign(Source);
    if (p == this) return;
    if (FColor == p->FColor && FMode == p->FMode && FStyle == p->FStyle && FWidth == p->FWidth) return;
    FColor = p->FColor;
    FMode = p->FMode;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    Changed();
}

LUMI_DEFINE_CLASS(TBrush) {
    p.Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
        .Enum("Style", &TBrush::Style, &TBrush::SetStyle, {"bsSolid", "bsClear"}, bsSolid);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle == bsSolid) return;
    FColor = Value;
    FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

BrushState TBrush::State() const {
    BrushState s;
    s.color = FColor;
    s.style = FStyle == bsClear ? BS_NULL : BS_SOLID;
    return s;
}

void TBrush::Assign(TPersistent* Source) {
    auto* b = dynamic_cast<TBrush*>(Source);
    if (!b) return inherited::Assign(Source);
    if (b == this) return;
    if (FColor == b->FColor && FStyle == b->FStyle) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
}

// ---- TCanvas ----

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

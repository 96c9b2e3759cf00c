#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/Events.h"
#include "lumivane/framework/Persistent.h"
#include "lumivane/framework/Set.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

class TGraphic;

// Font attributes of the layout: member n is bit n of Style.
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Character sets keep the window system's numbers; the layout names them (ANSI_CHARSET, ...).
using TFontCharset = uint8_t;
enum : TFontCharset {
    ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77, SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161, TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204, THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255
};
// The charset's identifier ("ANSI_CHARSET"), or empty for a number without one.
std::string CharsetToIdent(int charset);
// The number of an identifier, ignoring case; -1 when unknown.
int IdentToCharset(const std::string& ident);

// Pen raster modes in the toolkit's order; each maps to one R2_* code.
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

// Base of the three drawing tools: an OnChange that fires after every change of a value.
class TGraphicsObject : public TPersistent {
    LUMI_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

// A font as asked for: the platform font (Handle) is looked up lazily and kept until a value
// changes.
class TFont : public TGraphicsObject {
    LUMI_CLASS(TFont, TGraphicsObject)
public:
    TFont() = default;

    // UTF-8 family name.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at 96 pixels per inch: Height = -round(Size * 96 / 72).
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);

    // The platform font for Name, Height and Style; never null.
    HFONT Handle() const;
    FontSpec ToFontSpec() const;

    void Assign(TPersistent* Source) override;

private:
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    mutable HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
    LUMI_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    // The context's pen state for these values.
    PenState State() const;

    void Assign(TPersistent* Source) override;

private:
    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};

class TBrush : public TGraphicsObject {
    LUMI_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;

    TColor Color() const { return FColor; }
    // A colour is something to paint with: a clear brush becomes solid.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    BrushState State() const;

    void Assign(TPersistent* Source) override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// Drawing with a font, a pen and a brush on a device context. The canvas writes its tools into
// the context before every operation (and whenever Handle() is read, so code that draws through
// the handle directly sees them). A canvas may own no context, be bound to one it does not own
// (SetHandle, or the constructor), or be given one on demand by a derived class (CreateHandle).
//
// Pixel conventions: LineTo leaves out its end pixel; Rectangle outlines x1..x2-1 by y1..y2-1;
// FillRect fills x1..x2-1 by y1..y2-1; everything is clipped by the context.
class TCanvas : public TPersistent {
    LUMI_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    explicit TCanvas(HDC dc);
    ~TCanvas() override;

    // The context with the canvas's tools applied. Throws when the canvas has none.
    HDC Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Binds the canvas to a context it does not own (null unbinds).
    void SetHandle(HDC dc);

    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

    uint32_t CopyMode() const { return FCopyMode; }
    void SetCopyMode(uint32_t Value) { FCopyMode = Value; }
    TPoint PenPos() const;
    void SetPenPos(TPoint Value);

    // CLR_INVALID outside the clip or the surface.
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor c);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    // One-pixel outline of the rectangle in the brush colour.
    void FrameRect(const TRect& r);
    void Polygon(const std::vector<TPoint>& points);
    void Polygon(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& points);
    void DrawFocusRect(const TRect& r);

    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);
    // One line of 8-bit text with its cell's top-left at (x, y); the cell is filled with the brush
    // unless the brush is clear. The pen position moves to the end of the text.
    void TextOut(int x, int y, const std::string& text);
    // As TextOut, clipped to the rectangle (whose inside is filled first unless the brush is clear).
    void TextRect(const TRect& r, int x, int y, const std::string& text);

    // A graphic at its own size with its top-left at (x, y), and scaled into a rectangle.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies (scaling, nearest neighbour) part of another canvas here with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

    // Nothing to lock: one GUI thread.
    void Lock() {}
    void Unlock() {}

    // Fired around every drawing operation.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    // Gives a context to a canvas that has none; the base has none to give.
    virtual void CreateHandle() {}
    // Writes the tools into the context; throws "Canvas does not allow drawing" without one.
    DeviceContext& RequiredState();
    virtual void Changing();
    virtual void Changed();

private:
    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    uint32_t FCopyMode = SRCCOPY;
    TPoint FPenPos;
};

// Binds a canvas to a context it does not own for the length of a scope (one paint), and unbinds
// it when the scope ends, also when the paint throws.
class TCanvasBinding {
public:
    TCanvasBinding(TCanvas& canvas, HDC dc) : FCanvas(canvas) { FCanvas.SetHandle(dc); }
    ~TCanvasBinding() { FCanvas.SetHandle(nullptr); }
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;

private:
    TCanvas& FCanvas;
};

}  // namespace lumivane

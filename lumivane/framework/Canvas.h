#pragma once
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Pen.h"
#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

class TGraphic;

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

#pragma once
#include "lumivane/windows/Messages.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/gfx/raster/Region.h"

namespace lumivane {

// Painting. Every window keeps an invalid region in client coordinates; invalidating an area also
// invalidates the parts of visible children under it, so they repaint over the parent's pixels.
// A device context draws into the top-level window's surface at the window's offset, clipped to
// the window's visible part: inside its ancestors' client areas and its window region, minus the
// siblings above it and its own visible children.

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    bool fErase = false; // true when WM_ERASEBKGND left the background to the painter
    RECT rcPaint;        // bounds of the area being painted, client coordinates
};

// rect nullptr: the whole client area.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
// rgn nullptr: the whole client area.
bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
// Bounds of the invalid region; false when nothing is invalid.
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
// Paints the window and its invalid descendants now, then presents what changed.
bool UpdateWindow(HWND hwnd);

enum : UINT {
    RDW_INVALIDATE = 0x0001, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008, RDW_ALLCHILDREN = 0x0080,
    RDW_UPDATENOW = 0x0100, RDW_FRAME = 0x0400
};
// Invalidate (with or without erase) or validate the rect or region (both null: everything),
// then with RDW_UPDATENOW paint at once. Children follow their parent's invalidation always.
bool RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags);

// Sends WM_ERASEBKGND first when an erase was requested, then validates the window. The context
// is clipped to invalid ∩ visible and lives until EndPaint.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A context for drawing outside WM_PAINT, clipped to the visible part; what it covers is presented
// at the next quiet moment. GetDC(nullptr) gives a context on a 1x1 scratch surface, for measuring.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

// Answers to WM_CTLCOLOREDIT / WM_CTLCOLORBTN / WM_CTLCOLORSTATIC (sent to the parent with the
// child's context in wParam and the child in lParam): 0 means "use the defaults"; otherwise the
// handler sets the context's textColor / bkColor as it likes and returns CtlColorBrush(colour),
// the colour the control fills its background with.
constexpr LRESULT CtlColorBrush(TColor c) { return static_cast<LRESULT>((1ll << 32) | (c & 0xFFFFFFFFu)); }
constexpr bool IsCtlColorBrush(LRESULT r) { return (static_cast<int64_t>(r) >> 32) == 1; }
constexpr TColor CtlColorBrushColor(LRESULT r) { return static_cast<TColor>(r & 0xFFFFFFFF); }

}  // namespace lumivane

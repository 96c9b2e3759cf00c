// The pointer: its place, and the cursor shapes shown over our windows.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/cursorfont.h>

namespace lumivane {

namespace x11 {

bool X11Driver::GetCursorPos(TPoint& p) {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(FDisplay, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask)) return false;
    p = {rx, ry};
    return true;
}

namespace {

// The X cursor font's shape for a kind; the arrow for kinds it has no shape for.
unsigned FontShapeOf(CursorKind kind) {
    switch (kind) {
    case CursorKind::Cross: return XC_crosshair;
    case CursorKind::IBeam: return XC_xterm;
    case CursorKind::SizeNESW: return XC_bottom_left_corner;
    case CursorKind::SizeNS: case CursorKind::VSplit: return XC_sb_v_double_arrow;
    case CursorKind::SizeNWSE: return XC_bottom_right_corner;
    case CursorKind::SizeWE: case CursorKind::HSplit: return XC_sb_h_double_arrow;
    case CursorKind::UpArrow: return XC_sb_up_arrow;
    case CursorKind::HourGlass: case CursorKind::SQLWait: case CursorKind::AppStart: return XC_watch;
    case CursorKind::NoDrop: case CursorKind::No: return XC_X_cursor;
    case CursorKind::Help: return XC_question_arrow;
    case CursorKind::HandPoint: return XC_hand2;
    case CursorKind::SizeAll: return XC_fleur;
    default: return XC_left_ptr; // Default, Arrow, Drag, MultiDrag
    }
}

} // namespace

void X11Driver::SetCursor(DriverWindowId id, CursorKind cursor) {
    TopLevel* w = Find(id);
    if (!w || w->cursor == cursor) return;
    auto it = FCursors.find(cursor);
    if (it == FCursors.end()) {
        Cursor c = 0;
        if (cursor == CursorKind::Hidden) {
            // An empty one-pixel cursor.
            char zero = 0;
            const Pixmap blank = XCreateBitmapFromData(FDisplay, FRoot, &zero, 1, 1);
            XColor black{};
            c = XCreatePixmapCursor(FDisplay, blank, blank, &black, &black, 0, 0);
            XFreePixmap(FDisplay, blank);
        } else {
            c = XCreateFontCursor(FDisplay, FontShapeOf(cursor));
        }
        it = FCursors.emplace(cursor, c).first;
    }
    XDefineCursor(FDisplay, w->xid, it->second);
    w->cursor = cursor;
    XFlush(FDisplay);
}

} // namespace x11

}  // namespace lumivane

// The pointer: its place, and the cursor shapes shown over our windows.
#include "lumivane/platform/drivers/x11/X11DriverImpl.h"

#include <X11/cursorfont.h>

namespace x11 {

bool X11Driver::GetCursorPos(TPoint& p) {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(FDisplay, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask)) return false;
    p = {rx, ry};
    return true;
}

void X11Driver::SetCursor(DriverWindowId id, int cursor) {
    TopLevel* w = Find(id);
    if (!w || w->cursor == cursor) return;
    auto it = FCursors.find(cursor);
    if (it == FCursors.end()) {
        Cursor c = 0;
        if (cursor == -1) {
            // crNone: an empty one-pixel cursor.
            char zero = 0;
            const Pixmap blank = XCreateBitmapFromData(FDisplay, FRoot, &zero, 1, 1);
            XColor black{};
            c = XCreatePixmapCursor(FDisplay, blank, blank, &black, &black, 0, 0);
            XFreePixmap(FDisplay, blank);
        } else {
            unsigned shape = XC_left_ptr;
            switch (cursor) {
            case -3: shape = XC_crosshair; break;               // crCross
            case -4: shape = XC_xterm; break;                   // crIBeam
            case -6: shape = XC_bottom_left_corner; break;      // crSizeNESW
            case -7: case -15: shape = XC_sb_v_double_arrow; break; // crSizeNS, crVSplit
            case -8: shape = XC_bottom_right_corner; break;     // crSizeNWSE
            case -9: case -14: shape = XC_sb_h_double_arrow; break; // crSizeWE, crHSplit
            case -10: shape = XC_sb_up_arrow; break;            // crUpArrow
            case -11: case -17: case -19: shape = XC_watch; break; // crHourGlass, crSQLWait, crAppStart
            case -13: case -18: shape = XC_X_cursor; break;     // crNoDrop, crNo
            case -20: shape = XC_question_arrow; break;         // crHelp
            case -21: shape = XC_hand2; break;                  // crHandPoint
            case -22: shape = XC_fleur; break;                  // crSizeAll
            default: break;                                     // crDefault, crArrow, others
            }
            c = XCreateFontCursor(FDisplay, shape);
        }
        it = FCursors.emplace(cursor, c).first;
    }
    XDefineCursor(FDisplay, w->xid, it->second);
    w->cursor = cursor;
    XFlush(FDisplay);
}

} // namespace x11

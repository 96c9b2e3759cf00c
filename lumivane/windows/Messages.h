#pragma once
#include <cstdint>

#include "lumivane/windows/Forward.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// The window system's vocabulary: handles, message parameters and the usual numeric values.
using UINT = unsigned;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr uint16_t LOWORD(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
// Mouse positions travel as two 16-bit halves, x low, y high.
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return static_cast<WPARAM>(static_cast<uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lp))); }

enum : UINT {
    WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E, WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014, WM_SHOWWINDOW = 0x0018,
    WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_MOUSEACTIVATE = 0x0021, WM_DRAWITEM = 0x002B,
    WM_MEASUREITEM = 0x002C, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_CONTEXTMENU = 0x007B,
    WM_NCHITTEST = 0x0084,
    WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_CTLCOLOREDIT = 0x0133, WM_CTLCOLORBTN = 0x0135,
    WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_CAPTURECHANGED = 0x0215,
    WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304, WM_USER = 0x0400, WM_APP = 0x8000
};

// WM_PASTE's wParam: 0 pastes the clipboard, PASTE_PRIMARY the primary selection (what a
// middle click in an edit pastes).
enum : uintptr_t { PASTE_PRIMARY = 1 };

// Button and edit messages and notifications.
enum : UINT {
    BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
    BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5,
    EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5,
    EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_SETPASSWORDCHAR = 0x00CC,
    EM_EMPTYUNDOBUFFER = 0x00CD, EM_SETREADONLY = 0x00CF, EM_SETMARGINS = 0x00D3,
    EM_GETLIMITTEXT = 0x00D5,
    // The single-line edit's: EM_POSFROMCHAR (wParam a character index, 0..the count) returns the
    // client point where that character starts, x in the low and y in the high signed 16 bits, -1
    // beyond the end; EM_CHARFROMPOS (lParam a client point, MAKELPARAM) returns the character
    // boundary nearest to its x, a whole character index (there is only one line).
    EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7
};
// What a control answers to WM_GETDLGCODE.
enum : UINT { DLGC_WANTARROWS = 0x0001, DLGC_HASSETSEL = 0x0008, DLGC_WANTCHARS = 0x0080 };
enum : UINT { BN_CLICKED = 0, BN_SETFOCUS = 6, BN_KILLFOCUS = 7 };
enum : UINT { EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400, EN_MAXTEXT = 0x0501 };

// The component framework's own notifications (CM_*) and reflected messages (CN_* = CN_BASE + WM_*).
enum : UINT {
    CM_BASE = 0xB000, CM_ACTIVATE = 0xB000, CM_DEACTIVATE = 0xB001, CM_GOTFOCUS = 0xB002,
    CM_LOSTFOCUS = 0xB003, CM_CANCELMODE = 0xB004, CM_DIALOGKEY = 0xB005, CM_DIALOGCHAR = 0xB006,
    CM_FOCUSCHANGED = 0xB007, CM_PARENTFONTCHANGED = 0xB008, CM_PARENTCOLORCHANGED = 0xB009,
    CM_HITTEST = 0xB00A, CM_VISIBLECHANGED = 0xB00B, CM_ENABLEDCHANGED = 0xB00C,
    CM_COLORCHANGED = 0xB00D, CM_FONTCHANGED = 0xB00E, CM_CURSORCHANGED = 0xB00F,
    CM_TEXTCHANGED = 0xB012, CM_MOUSEENTER = 0xB013, CM_MOUSELEAVE = 0xB014,
    CM_BUTTONPRESSED = 0xB018, CM_SHOWINGCHANGED = 0xB019, CM_ENTER = 0xB01A, CM_EXIT = 0xB01B,
    CM_WANTSPECIALKEY = 0xB01E, CM_RELEASE = 0xB021, CM_SHOWHINTCHANGED = 0xB022,
    CM_PARENTSHOWHINTCHANGED = 0xB023, CM_TABSTOPCHANGED = 0xB028, CM_CHILDKEY = 0xB02E,
    CM_HINTSHOW = 0xB030, CM_INVALIDATE = 0xB034, CM_CONTROLCHANGE = 0xB036, CM_CHANGED = 0xB037,
    CM_BORDERCHANGED = 0xB03B,
    CN_BASE = 0xBC00, CN_COMMAND = CN_BASE + WM_COMMAND, CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM, CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR,
    CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT, CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
    CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC
};

// Virtual keys.
enum : UINT {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D,
    VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_APPS = 0x5D,
    VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76,
    VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B
};
// Mouse message key state (wParam of mouse messages).
enum : UINT { MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08, MK_MBUTTON = 0x10 };

// Window, class, button and edit styles.
enum : uint32_t {
    WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000, WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
    WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
    BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF,
    ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_UPPERCASE = 0x8, ES_LOWERCASE = 0x10,
    ES_PASSWORD = 0x20, ES_AUTOHSCROLL = 0x80, ES_NOHIDESEL = 0x100, ES_READONLY = 0x800,
    ES_NUMBER = 0x2000,
    CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8
};
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5 };

// Owner-draw records.
enum : UINT { ODT_BUTTON = 4, ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4 };
enum : UINT { ODS_SELECTED = 0x0001, ODS_GRAYED = 0x0002, ODS_DISABLED = 0x0004, ODS_FOCUS = 0x0010, ODS_DEFAULT = 0x0020 };

struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_BUTTON;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    DeviceContext* hDC = nullptr;
    TRect rcItem;
    uintptr_t itemData = 0;
};
struct MEASUREITEMSTRUCT {
    UINT CtlType = ODT_BUTTON;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    uintptr_t itemData = 0;
};

// Message-box flags and answers.
enum : UINT {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Last message a window gets, after WM_DESTROY and after its children are gone.
enum : UINT { WM_NCDESTROY = 0x0082 };

}  // namespace lumivane

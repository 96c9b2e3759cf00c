#include "lumivane/framework/MenuWindow.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "lumivane/framework/Menus.h"
#include "lumivane/framework/PopupWindow.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

namespace {

constexpr int kFrame = 3;          // raised edge (2) and one pixel of menu colour
constexpr int kGutter = 20;        // check marks
constexpr int kArrowArea = 20;     // submenu arrows
constexpr int kShortCutGap = 24;   // caption to shortcut text
constexpr int kSeparatorHeight = 9;
constexpr int kMinTextWidth = 60;
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;

struct TLevel {
    TMenuItem* Parent = nullptr;
    std::vector<TMenuItem*> Items;
    HWND Handle = nullptr;
    int Selected = -1;
    TRect Bounds;  // screen
};

TPopupMenu* gMenu = nullptr;
std::vector<TLevel> gLevels;
bool gClosing = false;
bool gEatChar = false;
TMenuItem* gChosen = nullptr;

HFONT ItemFont(bool bold) {
    FontSpec s;
    s.bold = bold;
    return GetFont(s);
}

int TextHeight() { return GetFontMetrics(ItemFont(false)).height; }
int RowHeight(const TMenuItem* item) { return item->IsLine() ? kSeparatorHeight : MenuWindow::ItemHeight(); }
bool Selectable(const TMenuItem* item) { return !item->IsLine(); }
bool HasSubmenu(const TMenuItem* item) { return !item->VisibleItems().empty(); }

// The caption as drawn: the width of its text without the accelerator mark.
int CaptionWidth(const TMenuItem* item) {
    RECT r{0, 0, 0, 0};
    if (HDC dc = GetDC(nullptr)) {
        dc->font = ItemFont(item->Default());
        const std::string& c = item->Caption();
        DrawTextA(dc, c.c_str(), static_cast<int>(c.size()), &r, kCaptionFormat | DT_CALCRECT);
        ReleaseDC(nullptr, dc);
    }
    return r.Width();
}

TSize LevelSize(const std::vector<TMenuItem*>& items) {
    int text = kMinTextWidth, shortcut = 0, height = 0;
    for (const TMenuItem* i : items) {
        height += RowHeight(i);
        if (i->IsLine()) continue;
        text = std::max(text, CaptionWidth(i));
        std::string sc = ShortCutToText(i->ShortCut());
        if (!sc.empty()) shortcut = std::max(shortcut, TextWidth(ItemFont(false), sc));
    }
    int width = kGutter + text + (shortcut ? kShortCutGap + shortcut : 0) + kArrowArea;
    return {width + 2 * kFrame, height + 2 * kFrame};
}

int LevelOf(HWND hwnd) {
    for (size_t i = 0; i < gLevels.size(); ++i)
        if (gLevels[i].Handle == hwnd) return static_cast<int>(i);
    return -1;
}

TRect RowRect(const TLevel& level, int index) {
    int y = kFrame;
    for (int i = 0; i < index; ++i) y += RowHeight(level.Items[static_cast<size_t>(i)]);
    const int w = level.Bounds.Width();
    return {kFrame, y, w - kFrame, y + RowHeight(level.Items[static_cast<size_t>(index)])};
}

int RowAt(const TLevel& level, TPoint client) {
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (RowRect(level, static_cast<int>(i)).Contains(client.x, client.y)) return static_cast<int>(i);
    return -1;
}

// ---- painting ----

void DrawCheck(HDC dc, int cx, int cy, TColor color, bool radio) {
    if (radio) {
        for (int dy = -2; dy <= 2; ++dy) {
            int half = dy == -2 || dy == 2 ? 1 : 2;
            for (int dx = -half; dx <= half; ++dx) dc->SetPixel(cx + dx, cy + dy, color);
        }
        return;
    }
    // A tick three pixels thick: down to the right from (cx-3, cy-1), then up to (cx+3, cy-3).
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i <= 2; ++i) dc->SetPixel(cx - 3 + i, cy - 1 + i + t, color);
        for (int i = 0; i <= 4; ++i) dc->SetPixel(cx - 1 + i, cy + 1 - i + t, color);
    }
}

void DrawArrow(HDC dc, int x, int cy, TColor color) {
    for (int i = 0; i < 4; ++i)
        for (int y = cy - 3 + i; y <= cy + 3 - i; ++y) dc->SetPixel(x + i, y, color);
}

void PaintItem(HDC dc, const TLevel& level, int index) {
    const TMenuItem* item = level.Items[static_cast<size_t>(index)];
    TRect r = RowRect(level, index);
    if (item->IsLine()) {
        dc->FillRect(r, clMenu);
        int y = r.Top + kSeparatorHeight / 2 - 1;
        dc->FillRect({r.Left + 1, y, r.Right - 1, y + 1}, clBtnShadow);
        dc->FillRect({r.Left + 1, y + 1, r.Right - 1, y + 2}, clBtnHighlight);
        return;
    }
    const bool selected = index == level.Selected;
    dc->FillRect(r, selected ? clHighlight : clMenu);
    TColor text = !item->Enabled() ? clGrayText : selected ? clHighlightText : clMenuText;
    const int cy = r.Top + r.Height() / 2;
    if (item->Checked()) DrawCheck(dc, r.Left + kGutter / 2, cy, text, item->RadioItem());
    dc->font = ItemFont(item->Default());
    dc->bkMode = TRANSPARENT;
    auto draw = [&](TColor color, int offset) {
        dc->textColor = color;
        RECT tr{r.Left + kGutter + offset, r.Top + offset, r.Right - kArrowArea + offset, r.Bottom + offset};
        const std::string& c = item->Caption();
        DrawTextA(dc, c.c_str(), static_cast<int>(c.size()), &tr, kCaptionFormat);
        std::string sc = ShortCutToText(item->ShortCut());
        if (!sc.empty()) {
            dc->font = ItemFont(false);
            DrawTextA(dc, sc.c_str(), static_cast<int>(sc.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
            dc->font = ItemFont(item->Default());
        }
    };
    // A disabled item not selected is embossed: a light copy one pixel down and right.
    if (!item->Enabled() && !selected) draw(clBtnHighlight, 1);
    draw(text, 0);
    if (HasSubmenu(item)) DrawArrow(dc, r.Right - kArrowArea / 2 - 2, cy, text);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    int li = LevelOf(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    // Raised edge: light outside top-left, dark outside bottom-right, then the inner pair.
    dc->FillRect(r, cl3DDkShadow);
    dc->FillRect({r.Left, r.Top, r.Right - 1, r.Bottom - 1}, cl3DLight);
    dc->FillRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, clBtnShadow);
    dc->FillRect({r.Left + 1, r.Top + 1, r.Right - 2, r.Bottom - 2}, clBtnHighlight);
    dc->FillRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, clMenu);
    if (li >= 0) {
        const TLevel& level = gLevels[static_cast<size_t>(li)];
        for (size_t i = 0; i < level.Items.size(); ++i) PaintItem(dc, level, static_cast<int>(i));
    }
    EndPaint(hwnd, &ps);
}

// ---- levels ----

void InvalidateRow(const TLevel& level, int index) {
    if (index < 0 || !level.Handle) return;
    RECT r = RowRect(level, index);
    InvalidateRect(level.Handle, &r, false);
}

void Select(size_t li, int index) {
    TLevel& level = gLevels[li];
    if (level.Selected == index) return;
    InvalidateRow(level, level.Selected);
    level.Selected = index;
    InvalidateRow(level, index);
}

// Closes the levels deeper than li.
void CloseBelow(size_t li) {
    while (gLevels.size() > li + 1) {
        HWND h = gLevels.back().Handle;
        gLevels.pop_back();
        if (h && IsWindow(h)) DestroyWindow(h);
    }
}

LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Where a level of the given size goes: at `at`, or on the other side of `flip` (an x or y the
// level must not cover) when it would leave the screen; within the screen in any case.
int Place(int at, int size, int flipEdge, int screen) {
    int pos = at;
    if (pos + size > screen) pos = flipEdge - size;
    return std::max(0, std::min(pos, screen - size));
}

bool OpenLevel(TMenuItem* parent, TPoint at, int flipX, int flipY) {
    TLevel level;
    level.Parent = parent;
    level.Items = parent->VisibleItems();
    if (level.Items.empty()) return false;
    TSize size = LevelSize(level.Items);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int x = Place(at.x, size.cx, flipX, sw), y = Place(at.y, size.cy, flipY, sh);
    level.Bounds = {x, y, x + size.cx, y + size.cy};
    gLevels.push_back(level);
    HWND h = CreatePopupWindow(MenuWindowClassName, MenuProc, "", x, y, size.cx, size.cy);
    if (!h) {
        gLevels.pop_back();
        return false;
    }
    gLevels.back().Handle = h;
    return true;
}

// Opens the submenu of the selected item of level li, if it has one and is enabled.
bool OpenSubmenu(size_t li, bool selectFirst) {
    TLevel& level = gLevels[li];
    if (level.Selected < 0) return false;
    TMenuItem* item = level.Items[static_cast<size_t>(level.Selected)];
    if (!item->Enabled() || !HasSubmenu(item)) return false;
    if (gLevels.size() > li + 1 && gLevels[li + 1].Parent == item) {
        CloseBelow(li + 1);
    } else {
        CloseBelow(li);
        TRect row = RowRect(level, level.Selected);
        const TRect b = level.Bounds;
        if (!OpenLevel(item, {b.Right - kFrame, b.Top + row.Top - kFrame}, b.Left + kFrame, b.Top + row.Bottom + kFrame))
            return false;
    }
    if (selectFirst) {
        TLevel& sub = gLevels[li + 1];
        for (size_t i = 0; i < sub.Items.size(); ++i)
            if (Selectable(sub.Items[i])) {
                Select(li + 1, static_cast<int>(i));
                break;
            }
    }
    return true;
}

void Choose(TMenuItem* item) {
    gChosen = item;
    MenuWindow::CloseAll();
    if (gChosen == item) {
        gChosen = nullptr;
        item->Click();
    }
}

// Activates the selected item of level li: opens its submenu or chooses it.
void Activate(size_t li) {
    TLevel& level = gLevels[li];
    if (level.Selected < 0) return;
    TMenuItem* item = level.Items[static_cast<size_t>(level.Selected)];
    if (!item->Enabled()) return;
    if (HasSubmenu(item)) {
        OpenSubmenu(li, true);
        return;
    }
    Choose(item);
}

void MoveSelection(size_t li, int step, int from) {
    TLevel& level = gLevels[li];
    const int n = static_cast<int>(level.Items.size());
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = ((i + step) % n + n) % n;
        if (Selectable(level.Items[static_cast<size_t>(i)])) {
            Select(li, i);
            return;
        }
    }
}

void Accelerator(size_t li, char ch) {
    TLevel& level = gLevels[li];
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    std::vector<int> matches;
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (!level.Items[i]->IsLine() && AcceleratorOf(level.Items[i]->Caption()) == key)
            matches.push_back(static_cast<int>(i));
    if (matches.empty()) return;
    if (matches.size() > 1) {
        auto next = std::upper_bound(matches.begin(), matches.end(), level.Selected);
        Select(li, next == matches.end() ? matches.front() : *next);
        return;
    }
    Select(li, matches.front());
    Activate(li);
}

// The deepest level under a screen point, or -1.
int LevelAt(TPoint screen) {
    for (size_t i = gLevels.size(); i-- > 0;)
        if (gLevels[i].Bounds.Contains(screen.x, screen.y)) return static_cast<int>(i);
    return -1;
}

void PointerMoved(TPoint screen) {
    int li = LevelAt(screen);
    if (li < 0) return;
    TLevel& level = gLevels[static_cast<size_t>(li)];
    int row = RowAt(level, {screen.x - level.Bounds.Left, screen.y - level.Bounds.Top});
    if (row >= 0 && !Selectable(level.Items[static_cast<size_t>(row)])) row = -1;
    if (row < 0) return;
    Select(static_cast<size_t>(li), row);
    TMenuItem* item = level.Items[static_cast<size_t>(row)];
    if (HasSubmenu(item) && item->Enabled())
        OpenSubmenu(static_cast<size_t>(li), false);
    else
        CloseBelow(static_cast<size_t>(li));
}

void Released(TPoint screen) {
    int li = LevelAt(screen);
    if (li < 0) return;
    TLevel& level = gLevels[static_cast<size_t>(li)];
    int row = RowAt(level, {screen.x - level.Bounds.Left, screen.y - level.Bounds.Top});
    if (row < 0) return;
    TMenuItem* item = level.Items[static_cast<size_t>(row)];
    if (item->IsLine() || !item->Enabled() || HasSubmenu(item)) return;
    Choose(item);
}

LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &p);
        const TPoint screen{p.x, p.y};
        if (msg == WM_MOUSEMOVE) {
            PointerMoved(screen);
        } else if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) {
            const bool tracked = msg == WM_LBUTTONUP || !gMenu || gMenu->TrackButton() == tbRightButton;
            if (tracked) Released(screen);
        } else if (LevelAt(screen) < 0) {
            MenuWindow::CloseAll();
        } else {
            PointerMoved(screen);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Someone else took the pointer: the menu gives up.
        if (!gClosing && LevelOf(reinterpret_cast<HWND>(lp)) < 0) MenuWindow::CloseAll();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void DestroyLevels() {
    gClosing = true;
    if (!gLevels.empty() && GetCapture() == gLevels.front().Handle) ReleaseCapture();
    CloseBelow(0);
    if (!gLevels.empty()) {
        HWND h = gLevels.front().Handle;
        gLevels.clear();
        if (h && IsWindow(h)) DestroyWindow(h);
    }
    gClosing = false;
}

}  // namespace

namespace MenuWindow {

int ItemHeight() { return TextHeight() + 6; }

void Open(TPopupMenu* Menu, TPoint ScreenPos) {
    CloseAll();
    if (!Menu) return;
    TSize size = LevelSize(Menu->Items()->VisibleItems());
    TPoint at = ScreenPos;
    if (Menu->Alignment() == paRight) at.x -= size.cx;
    if (Menu->Alignment() == paCenter) at.x -= size.cx / 2;
    if (!OpenLevel(Menu->Items(), at, ScreenPos.x, ScreenPos.y)) return;
    gMenu = Menu;
    SetCapture(gLevels.front().Handle);
}

void CloseAll() {
    if (!gMenu && gLevels.empty()) return;
    TPopupMenu* menu = gMenu;
    gMenu = nullptr;
    DestroyLevels();
    if (menu) menu->OnClose(menu);
}

void Forget(TPopupMenu* Menu) {
    if (gMenu != Menu) return;
    gMenu = nullptr;
    gChosen = nullptr;
    DestroyLevels();
}

void ItemGone(TMenuItem* Item) {
    if (gChosen == Item) gChosen = nullptr;
    for (const TLevel& level : gLevels) {
        bool held = level.Parent == Item || std::find(level.Items.begin(), level.Items.end(), Item) != level.Items.end();
        if (held) {
            gMenu = nullptr;
            DestroyLevels();
            return;
        }
    }
}

TPopupMenu* OpenMenu() { return gMenu; }

bool InterceptKey(const TMessage& Message) {
    const bool isChar = Message.Msg == WM_CHAR || Message.Msg == WM_SYSCHAR;
    if (!gMenu || gLevels.empty()) {
        // The character of the key that chose an item or closed the menu is the menu's too.
        if (isChar && gEatChar) {
            gEatChar = false;
            return true;
        }
        if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) gEatChar = false;
        return false;
    }
    const size_t li = gLevels.size() - 1;
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        gEatChar = true;
        TLevel& level = gLevels[li];
        switch (Message.WParam) {
        case VK_DOWN: MoveSelection(li, 1, level.Selected < 0 ? -1 : level.Selected); break;
        case VK_UP: MoveSelection(li, -1, level.Selected < 0 ? 0 : level.Selected); break;
        case VK_HOME: MoveSelection(li, 1, -1); break;
        case VK_END: MoveSelection(li, -1, 0); break;
        case VK_RIGHT: OpenSubmenu(li, true); break;
        case VK_LEFT:
            if (li > 0) CloseBelow(li - 1);
            break;
        case VK_ESCAPE:
            if (li > 0)
                CloseBelow(li - 1);
            else
                CloseAll();
            break;
        case VK_RETURN: Activate(li); break;
        case VK_MENU: CloseAll(); break;
        default: break;
        }
        return true;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
        if (gEatChar && (Message.WParam == '\r' || Message.WParam == 27)) {
            gEatChar = false;
            return true;
        }
        gEatChar = false;
        Accelerator(li, static_cast<char>(Message.WParam));
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return true;
    default:
        return false;
    }
}

int LevelCount() { return static_cast<int>(gLevels.size()); }

HWND LevelWindow(int Level) {
    return Level >= 0 && Level < LevelCount() ? gLevels[static_cast<size_t>(Level)].Handle : nullptr;
}

TMenuItem* SelectedItem(int Level) {
    if (Level < 0 || Level >= LevelCount()) return nullptr;
    const TLevel& level = gLevels[static_cast<size_t>(Level)];
    return level.Selected < 0 ? nullptr : level.Items[static_cast<size_t>(level.Selected)];
}

TRect ItemRect(int Level, const TMenuItem* Item) {
    if (Level < 0 || Level >= LevelCount()) return {};
    const TLevel& level = gLevels[static_cast<size_t>(Level)];
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (level.Items[i] == Item) return RowRect(level, static_cast<int>(i));
    return {};
}

}  // namespace MenuWindow

}  // namespace lumivane

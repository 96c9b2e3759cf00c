#pragma once
#include <vector>

#include "lumivane/framework/MenuWindow.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"

// What the units of the open menu share; not installed.

namespace lumivane {

class TPopupMenu;
class TMenuItem;

namespace MenuWindowInternal {

constexpr int kFrame = 3;          // raised edge (2) and one pixel of menu colour
constexpr int kGutter = 20;        // check marks
constexpr int kArrowArea = 20;     // submenu arrows
constexpr int kShortCutGap = 24;   // caption to shortcut text
constexpr int kSeparatorHeight = 9;
constexpr int kMinTextWidth = 60;
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;

// One open level: the menu, then each open submenu.
struct TMenuLevel {
    TMenuItem* Parent = nullptr;
    std::vector<TMenuItem*> Items;
    HWND Handle = nullptr;
    int Selected = -1;
    TRect Bounds;  // screen
};

// The menu open now (one at a time) and how it is being used.
struct TMenuSession {
    TPopupMenu* menu = nullptr;
    std::vector<TMenuLevel> levels;
    bool closing = false;
    // The character that follows a key the menu took is the menu's too.
    bool eatChar = false;
    // The item being chosen while the menu closes; cleared if it goes away meanwhile.
    TMenuItem* chosen = nullptr;
};
TMenuSession& Session();

// Layout (MenuLayout.cpp).
HFONT ItemFont(bool bold);
int TextHeight();
int RowHeight(const TMenuItem* item);
bool Selectable(const TMenuItem* item);
bool HasSubmenu(const TMenuItem* item);
int CaptionWidth(const TMenuItem* item);
TSize LevelSize(const std::vector<TMenuItem*>& items);
int LevelOf(HWND hwnd);
TRect RowRect(const TMenuLevel& level, int index);
int RowAt(const TMenuLevel& level, TPoint client);
int Place(int at, int size, int flipEdge, int screen);

// Painting (MenuPaint.cpp).
void PaintLevel(HWND hwnd);

// Levels (MenuWindow.cpp).
void Select(size_t li, int index);
void CloseBelow(size_t li);
bool OpenSubmenu(size_t li, bool selectFirst);
void Activate(size_t li);

// Keys (MenuKeys.cpp).
void MoveSelection(size_t li, int step, int from);
void Accelerator(size_t li, char ch);

}  // namespace MenuWindowInternal

}  // namespace lumivane

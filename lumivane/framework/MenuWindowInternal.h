#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "lumivane/framework/AccessibleElement.h"

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
// Wider captions are cut with "...": a menu is something to pick from, not to read.
constexpr int kMaxTextWidth = 480;
constexpr int kScrollArrowHeight = 16;
// How often a scroll arrow under the pointer scrolls one row.
constexpr UINT kScrollInterval = 60;
constexpr uintptr_t kScrollTimer = 1;
constexpr int kWheelRows = 3;
// Posted to a level whose items changed, so its rows are worked out again before it paints.
constexpr UINT kItemsChangedMessage = WM_USER + 1;
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;

// What a row needs for painting, hit testing and keys, worked out once per open (and again when
// the items change while the menu is open).
struct TMenuRow {
    int Top = 0;  // from the top of the first row
    int Height = 0;
    bool Line = false;
    bool Submenu = false;
    char32_t Accel = 0;
    // How many bytes of the caption to draw: a caption far wider than the menu is cut short
    // (still wider than its column, so it ends in "..."), so painting it costs by what shows.
    size_t CaptionBytes = 0;
    bool Cut = false;  // wider than the caption column: drawn with "..."
    std::string ShortCut;
};

// One open level: the menu, then each open submenu.
struct TMenuLevel {
    TMenuItem* Parent = nullptr;
    std::vector<TMenuItem*> Items;
    std::vector<TMenuRow> Rows;
    // The rows' accelerators, sorted by character then row: a key finds its rows by search.
    std::vector<std::pair<char32_t, int>> Accels;
    int ContentHeight = 0;  // all rows
    int TextWidth = 0;      // the caption column
    bool Scrolls = false;   // more rows than fit: arrows at the top and bottom
    int FirstRow = 0;       // the row at the top of the view
    int MaxFirstRow = 0;    // the first row that shows the last one at the bottom
    bool Stale = false;     // the items changed: geometry to work out again
    HWND Handle = nullptr;
    int Selected = -1;
    int ScrollDir = 0;      // the arrow the timer is scrolling by (-1 up, 1 down), 0 for none
    TRect Bounds;  // screen
};

// The open menu to a screen reader (MenuAccess.cpp): a popup menu whose children are its items,
// in item order, each an element made when first asked for and kept while the menu is open.
class TMenuItemAccess;
class TMenuAccess : public TAccessibleElement {
public:
    TMenuAccess();
    ~TMenuAccess() override;
    void GetAccessible(TAccessibleInfo& Info) override;
    void GetAccessibleChildren(std::vector<TAccessibleElement*>& List) override;
    TRect AccessibleBounds() override;
    // The item's element (the menu's own for its root item).
    TAccessibleElement* ElementOf(TMenuItem* Item);
    // An item goes: its element with it.
    void Forget(TMenuItem* Item);

private:
    std::string FName;  // the menu's, kept for its last word when it closes
    std::unordered_map<TMenuItem*, std::unique_ptr<TMenuItemAccess>> FItems;
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
    // Made when the menu opens while a screen reader listens.
    std::unique_ptr<TMenuAccess> access;
};
TMenuSession& Session();

// Layout (MenuLayout.cpp).
HFONT ItemFont(bool bold);
int TextHeight();
int RowHeight(const TMenuItem* item);
bool Selectable(const TMenuItem* item);
bool HasSubmenu(const TMenuItem* item);
// Works out the rows of level.Items and the level's size within a screen of that size.
TSize LayOutRows(TMenuLevel& level, TSize screen);
int LevelOf(HWND hwnd);
int Place(int at, int size, int flipEdge, int screen);

// The view of a level that scrolls (MenuScroll.cpp). Rows are in the level's client coordinates;
// a row scrolled out of view, or only partly in it, has an empty rectangle and is not hit.
int ViewTop(const TMenuLevel& level);
int ViewBottom(const TMenuLevel& level);
TRect RowRect(const TMenuLevel& level, int index);
int RowAt(const TMenuLevel& level, TPoint client);
// The last row wholly in view.
int LastVisibleRow(const TMenuLevel& level);
// -1 over the up arrow, 1 over the down arrow, 0 elsewhere.
int ArrowAt(const TMenuLevel& level, TPoint client);
// Puts row `first` at the top of the view (clamped); true when the view moved.
bool ScrollTo(size_t li, int first);
void ScrollIntoView(size_t li, int index);
// Scrolls by the arrow under the pointer, starting or stopping the timer that repeats it.
void ArrowHover(size_t li, int dir);
void ScrollTick(HWND hwnd);
// Works out the geometry again if the items changed; false if the level went meanwhile.
bool Fresh(size_t li);
// Fresh for every level; false when no menu is open any more.
bool FreshAll();

// Painting (MenuPaint.cpp).
void PaintLevel(HWND hwnd);

// Levels (MenuWindow.cpp).
void Select(size_t li, int index);
void CloseBelow(size_t li);
bool OpenSubmenu(size_t li, bool selectFirst);
// Closes the menu, then clicks the item.
void Choose(TMenuItem* item);
void Activate(size_t li);
// The deepest level under a screen point, or -1.
int LevelAt(TPoint screen);

// Keys (MenuKeys.cpp).
void MoveSelection(size_t li, int step, int from);
void PageSelection(size_t li, int dir);
void Accelerator(size_t li, char32_t ch);
void Wheel(TPoint screen, int delta);

}  // namespace MenuWindowInternal

}  // namespace lumivane

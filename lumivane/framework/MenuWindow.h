#pragma once
#include "lumivane/framework/Object.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

class TPopupMenu;
class TMenuItem;

// The windows of an open popup menu: one popup top-level window per level (the menu, then each
// open submenu), drawn by the framework. The first window holds the mouse capture, so every
// pointer event comes here; the keys come through InterceptKey, which the framework's controls
// call before handling a key.
//
// Pointer: moving over an item selects it and opens its submenu; releasing a button over an
// enabled item without subitems chooses it; pressing outside every level closes the menu.
// Keys: Up and Down move the selection (wrapping, over separators), Home and End go to the ends,
// Right or Enter open a submenu and select its first item, Left and Escape close the innermost
// submenu (Escape closes the menu at its first level), Enter chooses the selected item, a
// character chooses the item whose accelerator it is (several such items: selects the next one),
// Page Down and Page Up move by a view's height of rows, Alt closes the menu. Disabled items are
// drawn grey and can be selected but not chosen; invisible items are left out. Choosing an item
// closes the menu (OnClose), then clicks the item. With the menu closed, an item's ShortCut runs
// it from the focused control (TWinControl::IsMenuKey).
//
// Geometry: a 3-pixel raised frame, items ItemHeight() high, separators 9 high with an etched
// line in their middle, a 20-pixel gutter for check marks, the shortcut text right aligned, a
// submenu arrow at the right. A menu opens with its corner at the requested point, on the other
// side of the point when it would leave the screen, and within the screen in any case. Captions
// wider than 480 pixels end in "..." (the menu is never wider than the screen either); a level
// with more rows than the screen's height holds shows whole rows between two scroll arrows, which
// scroll a row when pressed and one every 60 ms while the pointer rests on them. The wheel
// scrolls three rows a notch, and the keys scroll the selection into view. The rows are laid out
// once when a level opens and again when its items change, so painting, hit tests and keys cost
// by the rows in view, not by the menu's length.
namespace MenuWindow {
void Open(TPopupMenu* Menu, TPoint ScreenPos);
// Closes every level (firing the menu's OnClose) if a menu is open.
void CloseAll();
// A menu or an item going away: closes the menu without running anything.
void Forget(TPopupMenu* Menu);
void ItemGone(TMenuItem* Item);
// An item's caption, shortcut, visibility, look or subitems changed: an open level that shows it
// or its subitems is laid out again.
void ItemChanged(TMenuItem* Item);
TPopupMenu* OpenMenu();
// Key messages (WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR) while a
// menu is open, and the character that follows a key the menu took; true when taken.
bool InterceptKey(const TMessage& Message);
// The character that follows the key being handled is not typed: the key ran a menu item.
void EatChar();

// For tests and tools: the open levels, their windows and selections (-1: none), and the item
// rectangles in a level's client coordinates.
int LevelCount();
HWND LevelWindow(int Level);
TMenuItem* SelectedItem(int Level);
TRect ItemRect(int Level, const TMenuItem* Item);
// The item at the top of a level's view (the first one unless the level scrolls).
TMenuItem* TopItem(int Level);
int ItemHeight();
}  // namespace MenuWindow

inline constexpr const char* MenuWindowClassName = "LumiPopupMenu";

}  // namespace lumivane

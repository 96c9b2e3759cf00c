// The keys of an open menu: moving the selection, opening and closing levels, choosing, and
// accelerators.
#include "lumivane/framework/MenuWindowInternal.h"

#include <algorithm>
#include <vector>

#include "lumivane/framework/MenuItem.h"
#include "lumivane/gfx/text/Unicode.h"

namespace lumivane {

using namespace MenuWindowInternal;

namespace MenuWindowInternal {

void MoveSelection(size_t li, int step, int from) {
    TMenuLevel& level = Session().levels[li];
    const int n = static_cast<int>(level.Rows.size());
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = ((i + step) % n + n) % n;
        if (!level.Rows[static_cast<size_t>(i)].Line) {
            Select(li, i);
            return;
        }
    }
}

// Page Down and Page Up: a view's height of rows on, stopping at the ends.
void PageSelection(size_t li, int dir) {
    TMenuLevel& level = Session().levels[li];
    const int n = static_cast<int>(level.Rows.size());
    const int page = level.Scrolls ? std::max(1, LastVisibleRow(level) - level.FirstRow) : n;
    const int from = level.Selected >= 0 ? level.Selected : dir > 0 ? -1 : n;
    const int target = std::clamp(from + dir * page, 0, n - 1);
    auto selectable = [&](int i) { return !level.Rows[static_cast<size_t>(i)].Line; };
    // The row at the target, or the nearest one before it, or past it when there is none.
    for (int i = target; i != from; i -= dir)
        if (selectable(i)) return Select(li, i);
    for (int i = target + dir; i >= 0 && i < n; i += dir)
        if (selectable(i)) return Select(li, i);
}

void Accelerator(size_t li, char32_t ch) {
    TMenuLevel& level = Session().levels[li];
    const char32_t key = LowerChar(ch);
    auto [first, last] = std::equal_range(level.Accels.begin(), level.Accels.end(), std::pair<char32_t, int>(key, 0),
                                          [](const auto& a, const auto& b) { return a.first < b.first; });
    if (first == last) return;
    if (last - first > 1) {
        // Several rows with the key: the next one after the selection, round to the first.
        auto next = std::upper_bound(first, last, std::pair<char32_t, int>(key, level.Selected));
        Select(li, (next == last ? first : next)->second);
        return;
    }
    Select(li, first->second);
    Activate(li);
}

}  // namespace MenuWindowInternal

namespace MenuWindow {

void EatChar() { Session().eatChar = true; }

bool InterceptKey(const TMessage& Message) {
    const bool isChar = Message.Msg == WM_CHAR || Message.Msg == WM_SYSCHAR;
    if (Session().menu && !Session().levels.empty() && Message.Msg == WM_MOUSEWHEEL) {
        // The wheel goes to the focused control, but while a menu is open it scrolls the menu.
        if (FreshAll())
            Wheel({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)},
                  static_cast<int16_t>(HIWORD(Message.WParam)));
        return true;
    }
    if (Session().menu) FreshAll();
    if (!Session().menu || Session().levels.empty()) {
        // The character of the key that chose an item or closed the menu is the menu's too.
        if (isChar && Session().eatChar) {
            Session().eatChar = false;
            return true;
        }
        // Any other key, or the release of a key that typed nothing (F5), ends the wait for it.
        if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN || Message.Msg == WM_KEYUP ||
            Message.Msg == WM_SYSKEYUP)
            Session().eatChar = false;
        return false;
    }
    const size_t li = Session().levels.size() - 1;
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        Session().eatChar = true;
        TMenuLevel& level = Session().levels[li];
        switch (Message.WParam) {
        case VK_DOWN: MoveSelection(li, 1, level.Selected < 0 ? -1 : level.Selected); break;
        case VK_UP: MoveSelection(li, -1, level.Selected < 0 ? 0 : level.Selected); break;
        case VK_HOME: MoveSelection(li, 1, -1); break;
        case VK_END: MoveSelection(li, -1, 0); break;
        case VK_NEXT: PageSelection(li, 1); break;
        case VK_PRIOR: PageSelection(li, -1); break;
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
        if (Session().eatChar && (Message.WParam == '\r' || Message.WParam == VK_ESCAPE)) {
            Session().eatChar = false;
            return true;
        }
        Session().eatChar = false;
        Accelerator(li, static_cast<char32_t>(Message.WParam));
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return true;
    default:
        return false;
    }
}


}  // namespace MenuWindow

}  // namespace lumivane

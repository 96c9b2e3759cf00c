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

void Accelerator(size_t li, char32_t ch) {
    TMenuLevel& level = Session().levels[li];
    const char32_t key = LowerChar(ch);
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

}  // namespace MenuWindowInternal

namespace MenuWindow {

bool InterceptKey(const TMessage& Message) {
    const bool isChar = Message.Msg == WM_CHAR || Message.Msg == WM_SYSCHAR;
    if (!Session().menu || Session().levels.empty()) {
        // The character of the key that chose an item or closed the menu is the menu's too.
        if (isChar && Session().eatChar) {
            Session().eatChar = false;
            return true;
        }
        if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) Session().eatChar = false;
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

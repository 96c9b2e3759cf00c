#include "lumivane/drivers/x11/X11Keys.h"

#include <X11/keysym.h>

#include "lumivane/windows/Messages.h"

namespace lumivane {

namespace {

struct KeyMap {
    unsigned long keysym;
    unsigned vk;
};

// Codes the window system names, plus the usual numeric ones it leaves unnamed (keypad, OEM).
constexpr unsigned kVkNumpad0 = 0x60, kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSeparator = 0x6C,
                   kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F, kVkNumlock = 0x90,
                   kVkScroll = 0x91, kVkLwin = 0x5B, kVkRwin = 0x5C, kVkApps = 0x5D,
                   kVkSnapshot = 0x2C, kVkOem1 = 0xBA, kVkOemPlus = 0xBB, kVkOemComma = 0xBC,
                   kVkOemMinus = 0xBD, kVkOemPeriod = 0xBE, kVkOem2 = 0xBF, kVkOem3 = 0xC0,
                   kVkOem4 = 0xDB, kVkOem5 = 0xDC, kVkOem6 = 0xDD, kVkOem7 = 0xDE,
                   kVkOem102 = 0xE2;

constexpr KeyMap kKeys[] = {
    {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB}, {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN}, {XK_KP_Enter, VK_RETURN}, {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE}, {XK_KP_Space, VK_SPACE},
    {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU}, {XK_Meta_L, VK_MENU}, {XK_Meta_R, VK_MENU},
    {XK_Super_L, kVkLwin}, {XK_Super_R, kVkRwin}, {XK_Menu, kVkApps},
    {XK_Pause, VK_PAUSE}, {XK_Caps_Lock, VK_CAPITAL}, {XK_Num_Lock, kVkNumlock},
    {XK_Scroll_Lock, kVkScroll}, {XK_Print, kVkSnapshot},
    {XK_Prior, VK_PRIOR}, {XK_Next, VK_NEXT}, {XK_End, VK_END}, {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT}, {XK_Up, VK_UP}, {XK_Right, VK_RIGHT}, {XK_Down, VK_DOWN},
    {XK_Insert, VK_INSERT}, {XK_Delete, VK_DELETE},
    {XK_KP_Prior, VK_PRIOR}, {XK_KP_Next, VK_NEXT}, {XK_KP_End, VK_END}, {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT}, {XK_KP_Up, VK_UP}, {XK_KP_Right, VK_RIGHT}, {XK_KP_Down, VK_DOWN},
    {XK_KP_Insert, VK_INSERT}, {XK_KP_Delete, VK_DELETE}, {XK_KP_Begin, 0x0C /*VK_CLEAR*/},
    {XK_KP_Multiply, kVkMultiply}, {XK_KP_Add, kVkAdd}, {XK_KP_Separator, kVkSeparator},
    {XK_KP_Subtract, kVkSubtract}, {XK_KP_Decimal, kVkDecimal}, {XK_KP_Divide, kVkDivide},
    {XK_semicolon, kVkOem1}, {XK_equal, kVkOemPlus}, {XK_comma, kVkOemComma},
    {XK_minus, kVkOemMinus}, {XK_period, kVkOemPeriod}, {XK_slash, kVkOem2},
    {XK_grave, kVkOem3}, {XK_bracketleft, kVkOem4}, {XK_backslash, kVkOem5},
    {XK_bracketright, kVkOem6}, {XK_apostrophe, kVkOem7}, {XK_less, kVkOem102},
};

} // namespace

unsigned KeysymToVk(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<unsigned>(keysym - XK_a + 'A');
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<unsigned>(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<unsigned>(keysym);
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<unsigned>(VK_F1 + (keysym - XK_F1));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<unsigned>(kVkNumpad0 + (keysym - XK_KP_0));
    for (const KeyMap& k : kKeys)
        if (k.keysym == keysym) return k.vk;
    return 0;
}

char32_t KeysymToChar(unsigned long keysym, bool control) {
    char32_t c = 0;
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        c = static_cast<char32_t>(keysym); // Latin-1 keysyms are their characters
    else if (keysym >= 0x01000100 && keysym <= 0x0110FFFF)
        c = static_cast<char32_t>(keysym - 0x01000000);
    else if (keysym == XK_EuroSign)
        c = 0x20AC;
    else if (keysym == XK_KP_Space)
        c = ' ';
    else if ((keysym >= XK_KP_Multiply && keysym <= XK_KP_9) || keysym == XK_KP_Equal)
        c = static_cast<char32_t>(keysym & 0x7F); // the keypad's symbols are ASCII in the low bits
    else if (keysym == XK_Return || keysym == XK_KP_Enter)
        c = '\r';
    else if (keysym == XK_Tab || keysym == XK_KP_Tab || keysym == XK_ISO_Left_Tab)
        c = '\t';
    else if (keysym == XK_BackSpace)
        c = '\b';
    else if (keysym == XK_Escape)
        c = 0x1B;
    else if (keysym == XK_Linefeed)
        c = '\n';
    else if (keysym == XK_Delete || keysym == XK_KP_Delete)
        c = 0x7F;
    if (!control || c == 0 || c > 0x7F) return c;
    // Control characters as a terminal keyboard makes them.
    if ((c >= '@' && c < 0x7F) || c == ' ') return c & 0x1F;
    if (c == '2') return 0;
    if (c >= '3' && c <= '7') return c - ('3' - 0x1B);
    if (c == '8') return 0x7F;
    if (c == '/') return '_' & 0x1F;
    return c;
}

}  // namespace lumivane

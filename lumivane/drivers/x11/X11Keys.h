#pragma once

namespace lumivane {

// X keysyms to the window system's virtual-key codes (VK_*). 0 for keys it has no code for.
// `keysym` is the key's unshifted symbol (level 0), or level 1 for the keypad with Num Lock on.
unsigned KeysymToVk(unsigned long keysym);

// The character a key gives without an input method, as Xlib's XLookupString would give it but
// without loading Xlib's locale support: `keysym` is the symbol for the modifiers held (Shift,
// Caps and Num Lock already applied), `control` whether Control is held. Latin-1 and Unicode
// keysyms, the Euro sign, the keypad and the control keys (Return, Tab, BackSpace, Escape,
// Delete); Control turns '@'..'~' and a few digits into control characters. 0 when the key gives
// no character (dead keys among them: nothing composes them here).
char32_t KeysymToChar(unsigned long keysym, bool control);

}  // namespace lumivane

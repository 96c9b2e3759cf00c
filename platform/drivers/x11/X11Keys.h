#pragma once

// X keysyms to the window system's virtual-key codes (VK_*). 0 for keys it has no code for.
// `keysym` is the key's unshifted symbol (level 0), or level 1 for the keypad with Num Lock on.
unsigned KeysymToVk(unsigned long keysym);

#pragma once
#include "lumivane/windows/Messages.h"

namespace lumivane {

// The built-in "BUTTON" window class: an owner-drawn or plain push button. It tracks the press
// (capture, selected while the pointer is on it), clicks on release or Space, and paints through
// WM_DRAWITEM to its parent when owner-drawn (BS_OWNERDRAW).
void RegisterNativeButtonClass();

// BM_GETSTATE answer bits.
enum : UINT { BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_PUSHED = 0x4, BST_FOCUS = 0x8 };

}  // namespace lumivane

#pragma once
#include <string_view>

#include "lumivane/windows/Forward.h"

namespace lumivane {

// The built-in "EDIT" window class: a single-line text edit (caret, selection, clipboard,
// undo, limit, case conversion, password display), painted in the colours its parent gives
// in answer to WM_CTLCOLOREDIT. Text is UTF-8; WM_CHAR brings one character (a code point).
// Selection offsets (EM_GETSEL, EM_SETSEL) and the limit (EM_LIMITTEXT) count characters; the
// text messages count bytes (see SetWindowTextA). A selection the user makes with the mouse or
// the keys becomes the primary selection, and a middle click pastes the primary selection where
// it lands (WM_PASTE with PASTE_PRIMARY, so that a subclass filters it as any paste).
void RegisterNativeEditClass();

// The text an edit window holds, read in place: valid until the edit next changes. Empty for a
// window that is not an edit.
std::string_view NativeEditText(HWND hwnd);

}  // namespace lumivane

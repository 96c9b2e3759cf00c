#pragma once

namespace lumivane {

// The built-in "EDIT" window class: a single-line text edit (caret, selection, clipboard,
// undo, limit, case conversion, password display), painted in the colours its parent gives
// in answer to WM_CTLCOLOREDIT.
void RegisterNativeEditClass();

}  // namespace lumivane

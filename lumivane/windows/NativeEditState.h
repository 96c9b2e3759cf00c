#pragma once
// The native edit's window state and what its window procedure and its painting share; only
// the edit's own sources include this.
#include <cstdint>

#include "lumivane/gfx/text/Font.h"
#include "lumivane/windows/EditEngine.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

namespace native_edit {

constexpr int kMarginLeft = 2;
constexpr int kMarginRight = 1;

struct EditState : WindowData {
    EditEngine engine;
    HFONT font = nullptr;
    bool focused = false;
    bool caretOn = false;
    bool dragging = false;
};

inline EditState* StateOf(HWND hwnd) { return WindowDataOf<EditState>(hwnd); }
inline uint32_t StyleOf(HWND hwnd) { return static_cast<uint32_t>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }
inline HFONT FontOf(const EditState& s) { return s.font ? s.font : GetDefaultFont(); }

// The client width the text has between the margins.
int ViewWidth(HWND hwnd);
// Client x of the text's first character: left margin, scrolled, or aligned when it all fits.
int TextOriginX(HWND hwnd, const EditState& s);
// Client y of the text's top.
int TextTop(HWND hwnd, const EditState& s);

void Paint(HWND hwnd);
// Asks for the caret's column to be painted again (it blinks).
void InvalidateCaret(HWND hwnd, const EditState& s);

}  // namespace native_edit

}  // namespace lumivane

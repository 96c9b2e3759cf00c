#pragma once
#include <string>
#include <vector>

#include "lumivane/windows/Window.h"

namespace lumivane {

// The framework's message box: a modal dialog window drawn by the framework itself (icon, text
// wrapped at about 400 pixels, a row of push buttons), the same under every driver.
//
// Buttons by MB_* type: MB_OK "OK"; MB_OKCANCEL "OK", "Cancel"; MB_ABORTRETRYIGNORE "Abort",
// "Retry", "Ignore"; MB_YESNOCANCEL "Yes", "No", "Cancel"; MB_YESNO "Yes", "No"; MB_RETRYCANCEL
// "Retry", "Cancel". The first button starts with the focus and is the default. Enter presses
// the focused button, Escape and the close box answer IDCANCEL where there is a Cancel button,
// IDOK for a lone OK button, and do nothing otherwise. Tab, Shift+Tab and the arrow keys move the
// focus between the buttons.

struct TMessageBoxButton {
    int Id;
    const char* Caption;
};

// The buttons of an MB_* type, left to right (an unknown type gives MB_OK's).
std::vector<TMessageBoxButton> MessageBoxButtons(unsigned flags);
// What Escape and the close box answer, or 0 when they do nothing.
int MessageBoxEscapeAnswer(unsigned flags);

// Shows the dialog owned by `owner` (nullptr: the active window), captioned `caption`, and
// blocks in the window system's modal loop until a button is pressed; the owner is disabled
// meanwhile and everything else keeps painting. Returns the button's ID, or 0 when the loop
// was ended by WM_QUIT (which is posted again for the outer loop).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags);

// The window class name of the dialog, for tests that look for it among the top-level windows.
inline constexpr const char* MessageBoxClassName = "LumiMessageBox";

}  // namespace lumivane

#pragma once
#include <memory>
#include <string>

#include "lumivane/windows/Window.h"

namespace lumivane {

class TAccessibleElement;

// The hint window: a small popup top-level window drawn by the framework (clInfoBk background, a
// one-pixel black frame, the hint text in clInfoText). It never takes the focus or activation.
// The window's text is the hint text, so tests can find and read it among the top-level windows.
class THintWindow {
public:
    THintWindow();
    ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // Shows the text with the window's top-left at the screen point, moved to stay on the screen.
    void ActivateHint(TPoint ScreenPos, const std::string& Text);
    // Hides the hint (its window goes).
    void ReleaseHandle();
    bool Showing() const;
    HWND Handle() const { return FHandle; }
    const std::string& Text() const { return FText; }

    // The outer size of the window for a text.
    static TSize CalcHintSize(const std::string& Text);

private:
    HWND FHandle = nullptr;
    std::string FText;
    // The tool tip a screen reader finds while the hint shows (only while one listens).
    std::unique_ptr<TAccessibleElement> FAccess;
};

inline constexpr const char* HintWindowClassName = "LumiHintWindow";

}  // namespace lumivane

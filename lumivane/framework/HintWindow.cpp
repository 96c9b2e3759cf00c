#include "lumivane/framework/HintWindow.h"

#include <algorithm>

#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/framework/PopupWindow.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {

constexpr int kPadX = 4;            // frame to text, left and right
constexpr int kPadY = 2;            // frame to text, top and bottom
constexpr int kMaxTextWidth = 300;  // longer hints wrap
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

HFONT HintFont() { return GetFont(FontSpec{}); }

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT r;
    GetClientRect(hwnd, &r);
    dc->FillRect(r, clBlack);
    dc->FillRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, clInfoBk);
    std::string text = GetWindowTextString(hwnd);
    dc->font = HintFont();
    dc->textColor = clInfoText;
    dc->bkMode = TRANSPARENT;
    RECT tr{r.Left + 1 + kPadX, r.Top + 1 + kPadY, r.Right - 1 - kPadX, r.Bottom - 1 - kPadY};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, kTextFormat);
    EndPaint(hwnd, &ps);
}

LRESULT HintProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
        InvalidateRect(hwnd, nullptr, false);
        return r;
    }
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// The hint to a screen reader: a tool tip holding its text.
class THintAccess : public TAccessibleElement {
public:
    // A tip holds the text it showed with: a new text is a new tip.
    explicit THintAccess(const THintWindow* Hint) : FHint(Hint), FText(Hint->Text()) {}
    ~THintAccess() override { AccWindowHidden(this); }
    void GetAccessible(TAccessibleInfo& Info) override {
        Info.Role = TAccRole::ToolTip;
        Info.Name = FText;
        Info.States << asEnabled << asVisible << asShowing;
    }
    TRect AccessibleBounds() override {
        RECT r{};
        GetWindowRect(FHint->Handle(), &r);
        return r;
    }

private:
    const THintWindow* FHint;
    std::string FText;
};

} // namespace

THintWindow::THintWindow() = default;

THintWindow::~THintWindow() { ReleaseHandle(); }

TSize THintWindow::CalcHintSize(const std::string& Text) {
    RECT calc{0, 0, kMaxTextWidth, 0};
    if (HDC dc = GetDC(nullptr)) {
        dc->font = HintFont();
        DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &calc, kTextFormat | DT_CALCRECT);
        ReleaseDC(nullptr, dc);
    }
    return {std::min(calc.Width(), kMaxTextWidth) + 2 * (kPadX + 1), calc.Height() + 2 * (kPadY + 1)};
}

void THintWindow::ActivateHint(TPoint ScreenPos, const std::string& Text) {
    TSize size = CalcHintSize(Text);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int x = std::max(0, std::min(ScreenPos.x, sw - size.cx));
    int y = std::max(0, std::min(ScreenPos.y, sh - size.cy));
    const bool sameText = FAccess && FText == Text;
    FText = Text;
    if (FHandle && IsWindow(FHandle)) {
        SetWindowTextA(FHandle, Text.c_str());
        SetWindowPos(FHandle, HWND_TOP, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(FHandle, nullptr, true);
    } else {
        FHandle = CreatePopupWindow(HintWindowClassName, HintProc, Text, x, y, size.cx, size.cy);
    }
    if (FHandle && AccessibleListener() && !sameText) {
        // A screen reader reads what joins the tree.
        FAccess.reset();
        FAccess = std::make_unique<THintAccess>(this);
        AccWindowShown(FAccess.get());
    }
}

void THintWindow::ReleaseHandle() {
    FAccess.reset();
    if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
    FHandle = nullptr;
}

bool THintWindow::Showing() const { return FHandle && IsWindow(FHandle) && IsWindowVisible(FHandle); }

}  // namespace lumivane

#include "lumivane/framework/MessageBox.h"

#include <algorithm>
#include <memory>

#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {

// Layout of the dialog, in pixels.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 400;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMinClientWidth = 160;

enum TIconKind { ikNone, ikError, ikQuestion, ikWarning, ikInformation };

TIconKind IconOf(unsigned flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR: return ikError;
    case MB_ICONQUESTION: return ikQuestion;
    case MB_ICONWARNING: return ikWarning;
    case MB_ICONINFORMATION: return ikInformation;
    default: return ikNone;
    }
}

struct TBox;

// What a screen reader finds of the dialog: an alert named by its caption, holding its text (a
// label) and its buttons, which it can press.
class TBoxPart : public TAccessibleElement {
public:
    TBoxPart(TBox* Box, TAccessibleElement* Parent, HWND Button) : FBox(Box), FParent(Parent), FButton(Button) {}
    void GetAccessible(TAccessibleInfo& Info) override;
    TAccessibleElement* AccessibleParent() override { return FParent; }
    TRect AccessibleBounds() override;
    bool DoAccessibleAction(int Index) override;

private:
    TBox* FBox;
    TAccessibleElement* FParent;
    HWND FButton;  // null: the text
};

class TBoxAccess : public TAccessibleElement {
public:
    explicit TBoxAccess(TBox* Box) : FBox(Box) {}
    ~TBoxAccess() override { AccWindowHidden(this); }
    void GetAccessible(TAccessibleInfo& Info) override;
    void GetAccessibleChildren(std::vector<TAccessibleElement*>& List) override {
        for (auto& p : Parts) List.push_back(p.get());
    }
    TRect AccessibleBounds() override;
    std::vector<std::unique_ptr<TBoxPart>> Parts;

private:
    TBox* FBox;
};

struct TBox {
    HWND dialog = nullptr;
    std::string text, caption;
    unsigned flags = 0;
    TIconKind icon = ikNone;
    TRect textRect;
    std::vector<HWND> buttons;
    WNDPROC buttonProc = nullptr;
    int answer = 0;
    bool done = false;
    // Made once the dialog shows, only while a screen reader listens.
    std::unique_ptr<TBoxAccess> access;
};

HFONT TextFont() { return GetFont(FontSpec{}); }

HFONT GlyphFont() {
    FontSpec s;
    s.height = -22;
    s.bold = true;
    return GetFont(s);
}

// The box a dialog shows, kept by the dialog.
struct BoxLink : WindowData {
    explicit BoxLink(TBox* b) : box(b) {}
    TBox* box;
};

TBox* BoxOf(HWND dialog) {
    const BoxLink* link = WindowDataOf<BoxLink>(dialog);
    return link ? link->box : nullptr;
}

void Finish(TBox* box, int answer) {
    if (box->done) return;
    box->answer = answer;
    box->done = true;
}

void TBoxAccess::GetAccessible(TAccessibleInfo& Info) {
    Info.Role = TAccRole::Alert;
    Info.Name = FBox->caption;
    Info.States << asEnabled << asVisible << asShowing;
    if (GetActiveWindow() == FBox->dialog) Info.States << asActive;
}

TRect TBoxAccess::AccessibleBounds() {
    RECT r{};
    GetClientRect(FBox->dialog, &r);
    POINT o{0, 0};
    ClientToScreen(FBox->dialog, &o);
    return {o.x, o.y, o.x + r.Width(), o.y + r.Height()};
}

void TBoxPart::GetAccessible(TAccessibleInfo& Info) {
    Info.States << asEnabled << asVisible << asShowing;
    if (!FButton) {
        Info.Role = TAccRole::Label;
        Info.Name = FBox->text;
        return;
    }
    Info.Role = TAccRole::PushButton;
    Info.Name = GetWindowTextString(FButton);
    Info.States << asFocusable;
    if (GetFocus() == FButton) Info.States << asFocused;
    if ((GetWindowLongPtrA(FButton, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) Info.States << asDefault;
    Info.Actions.push_back({"click", "space"});
}

TRect TBoxPart::AccessibleBounds() {
    TRect r = FBox->textRect;
    if (FButton) {
        RECT w{};
        GetWindowRect(FButton, &w);
        return w;
    }
    POINT o{0, 0};
    ClientToScreen(FBox->dialog, &o);
    return {r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y};
}

bool TBoxPart::DoAccessibleAction(int Index) {
    if (!FButton || Index != 0 || FBox->done) return false;
    Finish(FBox, GetDlgCtrlID(FButton));
    return true;
}

// The focused button moves; the default look follows it.
void FocusButton(TBox* box, size_t index) {
    for (size_t i = 0; i < box->buttons.size(); ++i)
        SendMessageA(box->buttons[i], BM_SETSTYLE, i == index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
    SetFocus(box->buttons[index]);
    if (box->access) AccNotifyElementFocus(box->access->Parts[index + 1].get());
}

size_t FocusedIndex(const TBox* box) {
    auto it = std::find(box->buttons.begin(), box->buttons.end(), GetFocus());
    return it == box->buttons.end() ? 0 : static_cast<size_t>(it - box->buttons.begin());
}

bool HandleKey(TBox* box, WPARAM vk) {
    if (box->buttons.empty()) return false;
    size_t n = box->buttons.size();
    bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (vk) {
    case VK_RETURN:
        Finish(box, GetDlgCtrlID(box->buttons[FocusedIndex(box)]));
        return true;
    case VK_ESCAPE:
        if (int a = MessageBoxEscapeAnswer(box->flags)) Finish(box, a);
        return true;
    case VK_TAB:
        FocusButton(box, (FocusedIndex(box) + (shift ? n - 1 : 1)) % n);
        return true;
    case VK_LEFT:
    case VK_UP:
        FocusButton(box, (FocusedIndex(box) + n - 1) % n);
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        FocusButton(box, (FocusedIndex(box) + 1) % n);
        return true;
    default:
        return false;
    }
}

// The push buttons are subclassed so the dialog's keys work while one of them has the focus.
LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    HWND dialog = GetParent(hwnd);
    TBox* box = BoxOf(dialog);
    if (!box) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_KEYDOWN && HandleKey(box, wp)) return 0;
    return CallWindowProcA(box->buttonProc, hwnd, msg, wp, lp);
}

void FillCircle(DeviceContext& dc, int cx, int cy, int r, TColor c) {
    for (int dy = -r; dy < r; ++dy) {
        double y = dy + 0.5;
        int half = 0;
        while ((half + 0.5) * (half + 0.5) + y * y <= double(r) * r) ++half;
        dc.FillRect({cx - half, cy + dy, cx + half, cy + dy + 1}, c);
    }
}

void DrawGlyph(DeviceContext& dc, const TRect& r, const char* glyph, TColor color) {
    dc.font = GlyphFont();
    dc.textColor = color;
    dc.bkMode = TRANSPARENT;
    RECT rc = r;
    DrawTextA(&dc, glyph, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawIcon(DeviceContext& dc, TIconKind kind, int x, int y) {
    TRect r{x, y, x + kIconSize, y + kIconSize};
    int c = kIconSize / 2;
    switch (kind) {
    case ikError:
        FillCircle(dc, x + c, y + c, c, RGB(204, 0, 0));
        DrawGlyph(dc, r, "X", clWhite);
        break;
    case ikWarning: {
        TPoint tri[3] = {{x + c, y + 1}, {x + kIconSize - 1, y + kIconSize - 2}, {x, y + kIconSize - 2}};
        dc.pen.color = clBlack;
        dc.brush = BrushState{RGB(255, 212, 0), BS_SOLID};
        dc.Polygon(tri, 3);
        TRect g = r;
        g.Top += 6;
        DrawGlyph(dc, g, "!", clBlack);
        break;
    }
    case ikQuestion:
        FillCircle(dc, x + c, y + c, c, RGB(0, 84, 166));
        DrawGlyph(dc, r, "?", clWhite);
        break;
    case ikInformation:
        FillCircle(dc, x + c, y + c, c, RGB(0, 84, 166));
        DrawGlyph(dc, r, "i", clWhite);
        break;
    case ikNone:
        break;
    }
}

void Paint(HWND hwnd, TBox* box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT client;
    GetClientRect(hwnd, &client);
    dc->FillRect(client, clBtnFace);
    if (box->icon != ikNone) DrawIcon(*dc, box->icon, kMargin, kMargin);
    dc->font = TextFont();
    dc->textColor = clWindowText;
    dc->bkMode = TRANSPARENT;
    RECT tr = box->textRect;
    DrawTextA(dc, box->text.c_str(), static_cast<int>(box->text.size()), &tr,
              DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    EndPaint(hwnd, &ps);
}

LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TBox* box = BoxOf(hwnd);
    if (!box) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED) Finish(box, LOWORD(wp));
        return 0;
    case WM_CLOSE:
        if (int a = MessageBoxEscapeAnswer(box->flags)) Finish(box, a);
        return 0;
    case WM_KEYDOWN:
        HandleKey(box, wp);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, box);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void EnsureClass() {
    WNDCLASS wc;
    if (GetClassInfoA(MessageBoxClassName, &wc)) return;
    wc = WNDCLASS{};
    wc.lpszClassName = MessageBoxClassName;
    wc.lpfnWndProc = DialogProc;
    RegisterClassA(wc);
}

} // namespace

std::vector<TMessageBoxButton> MessageBoxButtons(unsigned flags) {
    switch (flags & 0xF) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

int MessageBoxEscapeAnswer(unsigned flags) {
    for (const TMessageBoxButton& b : MessageBoxButtons(flags))
        if (b.Id == IDCANCEL) return IDCANCEL;
    return (flags & 0xF) == MB_OK || (flags & 0xF) > MB_RETRYCANCEL ? IDOK : 0;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) {
    EnsureClass();
    if (!owner) owner = GetActiveWindow();
    if (owner && !IsWindow(owner)) owner = nullptr;

    TBox box;
    box.text = text;
    box.caption = caption;
    box.flags = flags;
    box.icon = IconOf(flags);

    // Measure the text with the dialog's font on a scratch context.
    HDC measure = GetDC(nullptr);
    RECT calc{0, 0, kMaxTextWidth, 0};
    if (measure) {
        measure->font = TextFont();
        DrawTextA(measure, text.c_str(), static_cast<int>(text.size()), &calc,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        ReleaseDC(nullptr, measure);
    }
    int textW = std::min(calc.Width(), kMaxTextWidth);
    int textH = calc.Height();
    int textLeft = box.icon != ikNone ? kMargin + kIconSize + kMargin : kMargin;
    int textTop = kMargin;
    if (box.icon != ikNone && textH < kIconSize) textTop += (kIconSize - textH) / 2;
    box.textRect = {textLeft, textTop, textLeft + textW, textTop + textH};
    int contentBottom = std::max(textTop + textH, box.icon != ikNone ? kMargin + kIconSize : 0);

    std::vector<TMessageBoxButton> buttons = MessageBoxButtons(flags);
    int n = static_cast<int>(buttons.size());
    int rowW = n * kButtonWidth + (n - 1) * kButtonGap;
    int clientW = std::max({textLeft + textW + kMargin, rowW + 2 * kMargin, kMinClientWidth});
    int buttonsTop = contentBottom + kMargin + 2;
    int clientH = buttonsTop + kButtonHeight + kMargin;

    int x = CW_USEDEFAULT, y = 0;
    RECT orc;
    if (owner && GetWindowRect(owner, &orc)) {
        x = orc.Left + (orc.Width() - clientW) / 2;
        y = orc.Top + (orc.Height() - clientH) / 2;
    }
    HWND dialog = CreateWindowExA(0, MessageBoxClassName, caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y,
                                  clientW, clientH, owner, 0, nullptr);
    if (!dialog) return 0;
    box.dialog = dialog;
    MakeWindowData<BoxLink>(dialog, &box);
    // Whatever happens in the loop, the dialog goes and stops pointing at this frame.
    struct Cleanup {
        HWND dialog;
        ~Cleanup() {
            if (!IsWindow(dialog)) return;
            RemoveWindowData<BoxLink>(dialog);
            DestroyWindow(dialog);
        }
    } cleanup{dialog};

    int bx = (clientW - rowW) / 2;
    for (int i = 0; i < n; ++i) {
        uint32_t style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExA(0, "BUTTON", buttons[i].Caption, style, bx + i * (kButtonWidth + kButtonGap),
                                 buttonsTop, kButtonWidth, kButtonHeight, dialog, buttons[i].Id, nullptr);
        if (!b) continue;
        WNDPROC old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
        box.buttonProc = old;
        box.buttons.push_back(b);
    }
    ShowWindow(dialog, SW_SHOW);
    if (AccessibleListener()) {
        box.access = std::make_unique<TBoxAccess>(&box);
        box.access->Parts.push_back(std::make_unique<TBoxPart>(&box, box.access.get(), nullptr));
        for (HWND b : box.buttons) box.access->Parts.push_back(std::make_unique<TBoxPart>(&box, box.access.get(), b));
        AccWindowShown(box.access.get());
    }
    if (!box.buttons.empty()) FocusButton(&box, 0);

    if (RunModalLoop(dialog, &box.done) < 0) return 0;
    return box.done ? box.answer : 0;
}

}  // namespace lumivane

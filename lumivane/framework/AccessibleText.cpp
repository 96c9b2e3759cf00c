// Where the characters of an edit's or a label's text show, and how the text looks, for a
// screen reader's review of the screen.
#include <algorithm>
#include <cstdio>

#include "lumivane/framework/Accessible.h"
#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Label.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

namespace {
std::string ColorText(TColor c) {
    const TColor rgb = ColorToRGB(c);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u,%u,%u", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return buf;
}

// The character whose box holds x, given the boxes' left edges as a function of the offset
// (increasing, Left(n) the end); -1 when x is left of the first or right of the last.
template <class F>
int CharAtX(int n, int x, F&& Left) {
    if (n <= 0 || x < Left(0) || x >= Left(n)) return -1;
    int lo = 0, hi = n;  // Left(lo) <= x < Left(hi)
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (Left(mid) <= x ? lo : hi) = mid;
    }
    return lo;
}
}  // namespace

TAccTextAttributes AccessibleTextAttributes(TControl* Control) {
    if (!Control || !Control->Font()) return {};
    const TFont* f = Control->Font();
    // A transparent label shows what is behind it.
    TControl* back = Control;
    if (auto* l = dynamic_cast<TCustomLabel*>(Control); l && l->Transparent() && l->Parent()) back = l->Parent();
    return {{"family-name", f->Name()},
            {"size", std::to_string(f->Size())},
            {"weight", f->Style().Contains(fsBold) ? "700" : "400"},
            {"style", f->Style().Contains(fsItalic) ? "italic" : "normal"},
            {"fg-color", ColorText(f->Color())},
            {"bg-color", ColorText(back->Color())}};
}

// ---- Edits: the window system's edit knows where its characters are ----

// A password edit shows its mask, and a screen reader reads what shows.
std::string TCustomEdit::AccessibleText() {
    std::string text = GetText();
    if (!FPasswordChar) return text;
    std::string mask;
    AppendUtf8(mask, FPasswordChar);
    std::string out;
    for (size_t i = CountChars(text); i > 0; --i) out += mask;
    return out;
}

TRect TCustomEdit::AccessibleCharRect(int Offset) {
    if (!HandleAllocated()) return {};
    auto start = [&](int i) { return SendMessageA(FHandle, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0); };
    const LRESULT a = Offset < 0 ? -1 : start(Offset);
    if (a == -1) return {};
    const int n = static_cast<int>(CountChars(GetText()));
    const int x = GET_X_LPARAM(a), y = GET_Y_LPARAM(a);
    const int right = Offset < n ? GET_X_LPARAM(start(Offset + 1)) : x;
    auto font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
    return {x, y, right, y + GetFontMetrics(font ? font : GetDefaultFont()).height};
}

int TCustomEdit::AccessibleOffsetAt(TPoint Client) {
    if (!HandleAllocated() || !GetClientRect().Contains(Client.x, Client.y)) return -1;
    const int n = static_cast<int>(CountChars(GetText()));
    return CharAtX(n, Client.x, [&](int i) {
        return GET_X_LPARAM(SendMessageA(FHandle, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0));
    });
}

// ---- Labels: one line measured with the label's font ----

std::string TCustomLabel::AccessibleText() { return FShowAccelChar ? StripAccelerator(GetText()) : GetText(); }

// A label on one line has each character's box; a label of several lines (or wrapped) gives its
// whole client area for each, which is where a screen reader finds the text.
TRect TCustomLabel::AccessibleCharRect(int Offset) {
    const std::string text = AccessibleText();
    const int n = static_cast<int>(CountChars(text));
    if (Offset < 0 || Offset > n) return {};
    const TRect client = GetClientRect();
    HFONT font = FFont->Handle();
    const int width = TextWidth(font, text);
    if (text.find_first_of("\r\n\t") != std::string::npos || (FWordWrap && width > client.Width())) return client;
    const int height = GetFontMetrics(font).height;
    int x = 0, y = 0;
    if (FAlignment == taRightJustify) x = client.Width() - width;
    if (FAlignment == taCenter) x = (client.Width() - width) / 2;
    if (FLayout == tlBottom) y = client.Height() - height;
    if (FLayout == tlCenter) y = (client.Height() - height) / 2;
    auto left = [&](int i) { return x + TextWidth(font, text.substr(0, CharToByte(text, static_cast<size_t>(i)))); };
    const int a = left(Offset);
    return {a, y, Offset < n ? left(Offset + 1) : a, y + height};
}

int TCustomLabel::AccessibleOffsetAt(TPoint Client) {
    if (!GetClientRect().Contains(Client.x, Client.y)) return -1;
    const int n = static_cast<int>(CountChars(AccessibleText()));
    const TRect whole = AccessibleCharRect(0);
    if (n > 0 && whole == GetClientRect() && AccessibleCharRect(n) == whole) return 0;  // several lines
    if (Client.y < whole.Top || Client.y >= whole.Bottom) return -1;
    return CharAtX(n, Client.x, [&](int i) { return AccessibleCharRect(i).Left; });
}

}  // namespace lumivane

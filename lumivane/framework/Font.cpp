#include "lumivane/framework/Font.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {
struct TCharsetName {
    const char* Name;
    int Value;
};
const TCharsetName CharsetNames[] = {
    {"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SYMBOL_CHARSET", SYMBOL_CHARSET}, {"MAC_CHARSET", MAC_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET}, {"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {"JOHAB_CHARSET", JOHAB_CHARSET}, {"GB2312_CHARSET", GB2312_CHARSET},
    {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET}, {"GREEK_CHARSET", GREEK_CHARSET},
    {"TURKISH_CHARSET", TURKISH_CHARSET}, {"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {"HEBREW_CHARSET", HEBREW_CHARSET}, {"ARABIC_CHARSET", ARABIC_CHARSET},
    {"BALTIC_CHARSET", BALTIC_CHARSET}, {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {"THAI_CHARSET", THAI_CHARSET}, {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {"OEM_CHARSET", OEM_CHARSET},
};

// a * b / c rounded half away from zero, as the window system's MulDiv.
int MulDiv(int a, int b, int c) {
    long long n = static_cast<long long>(a) * b;
    long long q = (std::llabs(n) + c / 2) / c;
    return static_cast<int>(n < 0 ? -q : q);
}

// Every byte value is a member of the layout's Charset enumeration: the window system's names where
// they exist, CHARSET_<n> for the rest, so any value is written and read back.
std::span<const std::string_view> CharsetMembers() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n(256);
        for (int i = 0; i < 256; ++i) n[i] = "CHARSET_" + std::to_string(i);
        for (const TCharsetName& c : CharsetNames) n[c.Value] = c.Name;
        return n;
    }();
    static const std::vector<std::string_view> views(names.begin(), names.end());
    return views;
}
}  // namespace

std::string CharsetToIdent(int charset) {
    for (const TCharsetName& c : CharsetNames)
        if (c.Value == charset) return c.Name;
    return {};
}

int IdentToCharset(const std::string& ident) {
    for (const TCharsetName& c : CharsetNames)
        if (SameText(c.Name, ident)) return c.Value;
    return -1;
}


LUMI_DEFINE_CLASS(TFont) {
    p.Enum("Charset", &TFont::Charset, &TFont::SetCharset, CharsetMembers(), DEFAULT_CHARSET)
        .Color("Color", &TFont::Color, &TFont::SetColor, clWindowText)
        .Prop("Height", &TFont::Height, &TFont::SetHeight, -11)
        .Range(-MaxLayoutFontHeight, MaxLayoutFontHeight)
        .String("Name", &TFont::Name, &TFont::SetName, "Tahoma")
        .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"}, fpDefault)
        .Prop("Size", &TFont::Size, &TFont::SetSize)
        .Range(-MaxLayoutFontHeight * 72 / 96, MaxLayoutFontHeight * 72 / 96)  // points: within Height's pixels
        .Stored([](TFont*) { return false; })  // Height says the same
        .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
             TFontStyles{});
}

void TFont::SetName(const std::string& Value) {
    if (Value == FName) return;
    FName = Value;
    FHandle = nullptr;
    Changed();
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    FHandle = nullptr;
    Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, 96); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, 96, 72)); }

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FHandle = nullptr;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    Changed();
}

FontSpec TFont::ToFontSpec() const {
    FontSpec s;
    s.name = FName;
    s.height = FHeight;
    s.bold = FStyle.Contains(fsBold);
    s.italic = FStyle.Contains(fsItalic);
    s.underline = FStyle.Contains(fsUnderline);
    s.strikeOut = FStyle.Contains(fsStrikeOut);
    return s;
}

HFONT TFont::Handle() const {
    if (!FHandle) FHandle = GetFont(ToFontSpec());
    return FHandle;
}

void TFont::Assign(TPersistent* Source) {
    auto* f = dynamic_cast<TFont*>(Source);
    if (!f) return inherited::Assign(Source);
    if (f == this) return;
    bool same = FName == f->FName && FHeight == f->FHeight && FColor == f->FColor && FStyle == f->FStyle &&
                FCharset == f->FCharset && FPitch == f->FPitch;
    if (same) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FHandle = nullptr;
    Changed();  // once for the whole copy
}

}  // namespace lumivane

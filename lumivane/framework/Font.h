#pragma once
#include <cstdint>
#include <string>

#include "lumivane/framework/GraphicsObject.h"
#include "lumivane/framework/Set.h"
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

// Font attributes of the layout: member n is bit n of Style.
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Character sets keep the window system's numbers; the layout names them (ANSI_CHARSET, ...).
using TFontCharset = uint8_t;
enum : TFontCharset {
    ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77, SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161, TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204, THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255
};
// The charset's identifier ("ANSI_CHARSET"), or empty for a number without one.
std::string CharsetToIdent(int charset);
// The number of an identifier, ignoring case; -1 when unknown.
int IdentToCharset(const std::string& ident);

// A font as asked for: the drawing layer's font (Handle) is looked up lazily and kept until a value
// changes.
class TFont : public TGraphicsObject {
    LUMI_CLASS(TFont, TGraphicsObject)
public:
    TFont() = default;

    // UTF-8 family name.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at 96 pixels per inch: Height = -round(Size * 96 / 72).
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);

    // The drawing layer's font for Name, Height and Style; never null.
    HFONT Handle() const;
    FontSpec ToFontSpec() const;

    void Assign(TPersistent* Source) override;

private:
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    mutable HFONT FHandle = nullptr;
};

}  // namespace lumivane

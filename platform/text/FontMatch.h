#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/text/Font.h"

// A font file that fontconfig chose, with the synthetic styles needed where the face itself is
// not bold or italic as asked.
struct FaceSource {
    std::string file;
    int index = 0;
    bool embolden = false;
    bool oblique = false;
    friend bool operator==(const FaceSource&, const FaceSource&) = default;
};

// Fontconfig's answer to one FontSpec: the best face and, asked for only when a glyph is missing,
// the ranked list of faces that may have it.
class FontMatch {
public:
    explicit FontMatch(const FontSpec& spec);
    ~FontMatch();
    FontMatch(const FontMatch&) = delete;
    FontMatch& operator=(const FontMatch&) = delete;

    // nullopt when no font at all is installed.
    const std::optional<FaceSource>& Primary() const { return FPrimary; }
    // The first face in fontconfig's ranking whose character set has the code point.
    std::optional<FaceSource> FaceFor(char32_t cp);

    // The language a family name asks for: "zh-cn" for Chinese characters, "ja" for kana, "ko"
    // for hangul, empty otherwise. Invalid UTF-8 counts as no language.
    static std::string LanguageOfName(const std::string& name);
    // The name with invalid UTF-8 sequences dropped, fit to hand to fontconfig.
    static std::string SanitizeName(const std::string& name);

private:
    struct Sorted;
    std::optional<FaceSource> FPrimary;
    void* FPattern = nullptr; // FcPattern*, kept for the fallback sort
    std::unique_ptr<Sorted> FSorted;
    bool FBold = false;
    bool FItalic = false;
};

#pragma once
#include <memory>
#include <optional>
#include <string>

#include "lumivane/gfx/text/Font.h"

namespace lumivane {

// A font file that fontconfig chose, and the styles asked for; whoever opens the face makes up
// with synthetic ones for what the face itself lacks.
struct FaceSource {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const FaceSource&, const FaceSource&) = default;
};

// Fontconfig's answer to one FontSpec: the best face and, asked for only when a glyph is missing,
// the ranked list of faces that may have it.
class FontMatch {
public:
    explicit FontMatch(const FontSpec& fontSpec);
    ~FontMatch();
    FontMatch(const FontMatch&) = delete;
    FontMatch& operator=(const FontMatch&) = delete;

    // nullopt when no font at all is installed.
    const std::optional<FaceSource>& Primary() const { return FPrimary; }
    // The first face in fontconfig's ranking whose character set has the code point.
    std::optional<FaceSource> FaceFor(char32_t cp);

    // Stands for the fontconfig state behind the answers remembered from earlier runs: while it is
    // the same, fontconfig would choose every face as it did then. "" when nothing is remembered.
    static std::string RememberedAnswers();

    // The language a family name asks for: "zh-cn" for Chinese characters, "ja" for kana, "ko"
    // for hangul, empty otherwise. Invalid UTF-8 counts as no language.
    static std::string LanguageOfName(const std::string& name);
    // The name with invalid UTF-8 sequences dropped, fit to hand to fontconfig.
    static std::string SanitizeName(const std::string& name);

private:
    struct Sorted;
    FontSpec FSpec;
    std::optional<FaceSource> FPrimary;
    std::unique_ptr<Sorted> FSorted;
};

}  // namespace lumivane

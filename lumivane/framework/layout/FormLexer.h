#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "lumivane/framework/PropInfo.h"

namespace lumivane {

// The layout text's tokens (grammar in DESIGN.md, "The text form format"): names (dots
// included), whole numbers, strings (every adjacent quoted and #NNN part joined), symbols, and
// binary data read on request after its opening brace. Errors name the line.

// Raises the layout's Exception: "line N: what".
[[noreturn]] void FailAtLine(int line, const std::string& what);

enum class TFormTok { End, Ident, Int, String, Symbol };

struct TFormToken {
    TFormTok Kind = TFormTok::End;
    int Line = 1;
    std::string Text;     // identifier (dots included) or the symbol
    bool Negative = false;
    bool Hex = false;
    uint64_t Magnitude = 0;
    // String: the code points of every adjacent quoted and #NNN part. Quoted text is UTF-8 as it
    // stands, each bad byte U+FFFD; #NNN is a code point, but #128..#159 keep their Windows-1252
    // meaning and the C1 controls are written in hex (#$80..#$9F).
    std::u32string Str;
};

class TFormLexer {
public:
    // A UTF-8 byte order mark at the start is skipped.
    explicit TFormLexer(std::string_view text);

    int Line() const { return FLine; }
    TFormToken Next();
    // The hex digits of binary data up to the closing brace, which is consumed.
    TBytes ReadBinary(int startLine);

private:
    void SkipSpace();
    void ReadNumber(TFormToken& t);
    void ReadString(TFormToken& t);

    std::string_view FText;
    size_t FPos = 0;
    int FLine = 1;
};

}  // namespace lumivane

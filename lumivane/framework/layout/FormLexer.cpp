#include "lumivane/framework/layout/FormLexer.h"

#include <array>
#include <limits>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Each character's hex digit value; kSpace for the blanks binary data may hold, kNotHex otherwise.
constexpr int8_t kNotHex = -1, kSpace = -2;
constexpr std::array<int8_t, 256> MakeHexDigits() {
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = kNotHex;
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<int8_t>(c - 'A' + 10);
    for (char c : {' ', '\t', '\r', '\n'}) t[static_cast<unsigned char>(c)] = kSpace;
    return t;
}
constexpr std::array<int8_t, 256> kHexDigit = MakeHexDigits();

int HexValue(char c) {
    const int v = kHexDigit[static_cast<unsigned char>(c)];
    return v >= 0 ? v : -1;
}

} // namespace

void FailAtLine(int line, const std::string& what) {
    throw Exception("line " + std::to_string(line) + ": " + what);
}

TFormLexer::TFormLexer(std::string_view text) : FText(text) {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
}

TFormToken TFormLexer::Next() {
    SkipSpace();
    TFormToken t;
    t.Line = FLine;
    if (FPos >= FText.size()) return t;
    char c = FText[FPos];
    if (IsIdentStart(c)) {
        size_t start = FPos;
        while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]) || FText[FPos] == '.'))
            ++FPos;
        t.Kind = TFormTok::Ident;
        t.Text = std::string(FText.substr(start, FPos - start));
        return t;
    }
    if (IsDigit(c) || c == '$' || (c == '-' && FPos + 1 < FText.size() &&
                                   (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
        ReadNumber(t);
        return t;
    }
    if (c == '\'' || c == '#') {
        ReadString(t);
        return t;
    }
    if (std::string_view("=:[],{}+()<>").find(c) != std::string_view::npos) {
        ++FPos;
        t.Kind = TFormTok::Symbol;
        t.Text = std::string(1, c);
        return t;
    }
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127)
        FailAtLine(FLine, "unexpected character (code " + std::to_string(static_cast<unsigned char>(c)) + ")");
    FailAtLine(FLine, std::string("unexpected character '") + c + "'");
}

TBytes TFormLexer::ReadBinary(int startLine) {
    // Pictures make up most of a layout's text: one table look-up a character, and the bytes
    // reserved up front.
    size_t end = FText.find('}', FPos);
    if (end == std::string_view::npos) end = FText.size();
    TBytes out((end - FPos) / 2);
    uint8_t* to = out.data();
    const unsigned char* text = reinterpret_cast<const unsigned char*>(FText.data());
    int high = -1;
    for (; FPos < end; ++FPos) {
        const int v = kHexDigit[text[FPos]];
        if (v >= 0) {
            // Two digits at a time while they come in whole pairs, as they do between line breaks.
            if (high < 0 && FPos + 1 < end && kHexDigit[text[FPos + 1]] >= 0) {
                *to++ = static_cast<uint8_t>(v << 4 | kHexDigit[text[++FPos]]);
            } else if (high < 0) {
                high = v;
            } else {
                *to++ = static_cast<uint8_t>(high << 4 | v);
                high = -1;
            }
        } else if (text[FPos] == '\n') {
            ++FLine;
        } else if (v == kNotHex) {
            FailAtLine(FLine, "bad character in binary data");
        }
    }
    out.resize(static_cast<size_t>(to - out.data()));
    if (FPos >= FText.size()) FailAtLine(startLine, "binary data is not closed with '}'");
    ++FPos; // the '}'
    if (high >= 0) FailAtLine(FLine, "binary data has an odd number of hex digits");
    return out;
}

void TFormLexer::SkipSpace() {
    while (FPos < FText.size()) {
        char c = FText[FPos];
        if (c == '\n')
            ++FLine;
        else if (c != ' ' && c != '\t' && c != '\r')
            break;
        ++FPos;
    }
}

void TFormLexer::ReadNumber(TFormToken& t) {
    const size_t start = FPos;
    t.Kind = TFormTok::Int;
    if (FText[FPos] == '-') {
        t.Negative = true;
        ++FPos;
    }
    uint64_t v = 0;
    int digits = 0;
    if (FText[FPos] == '$') {
        t.Hex = true;
        ++FPos;
        while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
            if (++digits > 16) FailAtLine(FLine, "number too large");
            v = v * 16 + static_cast<uint64_t>(HexValue(FText[FPos++]));
        }
    } else {
        while (FPos < FText.size() && IsDigit(FText[FPos])) {
            uint64_t d = static_cast<uint64_t>(FText[FPos++] - '0');
            if (v > (std::numeric_limits<uint64_t>::max() - d) / 10) FailAtLine(FLine, "number too large");
            v = v * 10 + d;
            ++digits;
        }
    }
    if (digits == 0) FailAtLine(FLine, "bad number");
    if (FPos < FText.size() && FText[FPos] == '.') FailAtLine(FLine, "bad number (only whole numbers are accepted)");
    if (FPos < FText.size() && IsIdentStart(FText[FPos])) {
        // A word that starts with a digit: a misspelt name as often as a bad number.
        size_t end = FPos;
        while (end < FText.size() && end - start < 40 &&
               (IsIdentStart(FText[end]) || IsDigit(FText[end]) || FText[end] == '.'))
            ++end;
        FailAtLine(FLine, "'" + std::string(FText.substr(start, end - start)) +
                        "' is neither a whole number nor a name (names start with a letter or '_')");
    }
    t.Magnitude = v;
}

void TFormLexer::ReadString(TFormToken& t) {
    t.Kind = TFormTok::String;
    while (FPos < FText.size()) {
        char c = FText[FPos];
        if (c == '\'') {
            ++FPos;
            while (true) {
                if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
                    FailAtLine(FLine, "string is not closed");
                if (FText[FPos] == '\'') {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                        t.Str += U'\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                // UTF-8 as it stands; a byte that starts no well-formed sequence is U+FFFD.
                t.Str += NextChar(FText, FPos);
            }
        } else if (c == '#') {
            ++FPos;
            uint64_t v = 0;
            int digits = 0;
            bool hex = FPos < FText.size() && FText[FPos] == '$';
            if (hex) ++FPos;
            while (FPos < FText.size() && (hex ? HexValue(FText[FPos]) >= 0 : IsDigit(FText[FPos]))) {
                v = v * (hex ? 16 : 10) + static_cast<uint64_t>(HexValue(FText[FPos++]));
                if (v > 0x10FFFF) FailAtLine(FLine, "character code too large");
                ++digits;
            }
            if (digits == 0) FailAtLine(FLine, "'#' must be followed by a character code");
            if (v >= 0xD800 && v <= 0xDFFF) FailAtLine(FLine, "character code " + std::to_string(v) + " is not a character");
            // #128 to #159 are Windows-1252 in older layouts (#128 is the euro sign); nobody means
            // the C1 controls there. Those are written #$80 to #$9F.
            if (!hex && v >= 0x80 && v < 0xA0) v = Cp1252ToUnicode(static_cast<unsigned char>(v));
            t.Str += static_cast<char32_t>(v);
        } else {
            break;
        }
    }
}

}  // namespace lumivane

#include "lumivane/controls/ValidateEditRules.h"

#include <cctype>
#include <string>

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

TValidateState TValidateState::Of(std::string_view Text, int SelStart, int SelLength) {
    TValidateState s;
    s.SelStart = SelStart;
    s.SelLength = SelLength < 0 ? 0 : SelLength;
    s.FText = Text;
    return s;
}

bool TValidateState::TextBeginsWithMinus() const { return !FText.empty() && FText.front() == '-'; }

bool TValidateState::FirstNonBlankIsMinus() const {
    if (FFirstNonBlankIsMinus < 0) {
        FFirstNonBlankIsMinus = 0;
        for (char c : FText)
            if (static_cast<unsigned char>(c) > 32) {
                FFirstNonBlankIsMinus = c == '-';
                break;
            }
    }
    return FFirstNonBlankIsMinus != 0;
}

bool TValidateState::TextHasPoint() const {
    if (FTextHasPoint < 0) FTextHasPoint = FText.find('.') != std::string_view::npos;
    return FTextHasPoint != 0;
}

bool TValidateState::SelectionHasPoint() const {
    if (FSelectionHasPoint < 0) {
        FSelectionHasPoint = 0;
        if (SelLength > 0 && SelStart >= 0) {
            const size_t from = CharToByte(FText, static_cast<size_t>(SelStart));
            const std::string_view rest = FText.substr(from);
            FSelectionHasPoint =
                rest.substr(0, CharToByte(rest, static_cast<size_t>(SelLength))).find('.') != std::string_view::npos;
        }
    }
    return FSelectionHasPoint != 0;
}

namespace ValidateRules {
namespace {

bool IsDigit(char32_t Key) { return Key >= '0' && Key <= '9'; }
bool IsHexDigit(char32_t Key) { return IsDigit(Key) || (Key >= 'a' && Key <= 'f') || (Key >= 'A' && Key <= 'F'); }
void Accept(char32_t& Key, bool accepted) {
    if (!accepted) Key = 0;
}

// The digit and minus rows shared by Integer and Float; false when Key is neither.
bool DigitOrMinus(char32_t& Key, const TValidateState& s) {
    const bool atStart = s.SelStart == 0;
    if (IsDigit(Key)) {
        // No digit in front of an existing sign (blanks before it are looked through).
        Accept(Key, !atStart || s.SelLength >= 1 || !s.FirstNonBlankIsMinus());
        return true;
    }
    if (Key == '-') {
        // A selection from the start covers the existing sign, if any.
        Accept(Key, atStart && (s.SelLength >= 1 || !s.TextBeginsWithMinus()));
        return true;
    }
    return false;
}

// The decimal-point rows of Float and FloatPs; false when Key is not the point.
bool Point(char32_t& Key, const TValidateState& s) {
    if (Key != '.') return false;
    Accept(Key, (s.SelLength >= 1 && s.SelectionHasPoint()) || !s.TextHasPoint());
    return true;
}

// The C library's case mapping of the character's Windows-1252 byte; 0 for a character that has
// none (no numeric kind takes it).
template <class F>
char32_t MapByte(char32_t Key, F map) {
    char b = 0;
    if (!UnicodeToCp1252(Key, b)) return 0;
    return Cp1252ToUnicode(static_cast<unsigned char>(map(static_cast<unsigned char>(b))));
}

// The Windows-1252 byte as the signed code the ranges compare; false when there is none.
bool SignedCode(char32_t c, signed char& code) {
    char b = 0;
    if (!UnicodeToCp1252(c, b)) return false;
    code = static_cast<signed char>(b);
    return true;
}

}  // namespace

bool IsControlChar(char32_t Key) { return Key < 32; }

void Integer(char32_t& Key, const TValidateState& State) {
    if (IsControlChar(Key) || DigitOrMinus(Key, State)) return;
    Key = 0;
}

void IntegerPs(char32_t& Key) {
    if (IsControlChar(Key)) return;
    Accept(Key, IsDigit(Key));
}

void Float(char32_t& Key, const TValidateState& State) {
    if (IsControlChar(Key) || DigitOrMinus(Key, State) || Point(Key, State)) return;
    Key = 0;
}

void FloatPs(char32_t& Key, const TValidateState& State) {
    if (IsControlChar(Key) || IsDigit(Key) || Point(Key, State)) return;
    Key = 0;
}

void Hex(char32_t& Key) {
    if (IsControlChar(Key)) return;
    Accept(Key, IsHexDigit(Key));
}

void HexUp(char32_t& Key) {
    if (IsControlChar(Key)) return;
    Key = MapByte(Key, [](int c) { return std::toupper(c); });
    Hex(Key);
}

void HexLo(char32_t& Key) {
    if (IsControlChar(Key)) return;
    Key = MapByte(Key, [](int c) { return std::tolower(c); });
    Hex(Key);
}

void Custom(char32_t& Key, std::string_view Set) {
    if (IsControlChar(Key)) return;
    signed char code = 0;
    const bool hasCode = SignedCode(Key, code);
    const std::u32string items = [&] {
        std::u32string out;
        for (size_t i = 0; i < Set.size();) out += NextChar(Set, i);
        return out;
    }();
    size_t i = 0;
    while (i < items.size()) {
        if (i + 2 < items.size() && items[i + 1] == '-') {
            signed char lo = 0, hi = 0;
            if (hasCode && SignedCode(items[i], lo) && SignedCode(items[i + 2], hi) && lo <= code && code <= hi) return;
            i += 3;
        } else {
            if (items[i] == Key) return;
            i += 1;
        }
    }
    Key = 0;
}

}  // namespace ValidateRules

}  // namespace lumivane

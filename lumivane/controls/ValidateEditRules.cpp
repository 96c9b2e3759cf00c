#include "lumivane/controls/ValidateEditRules.h"

#include <cctype>

namespace lumivane {

TValidateState TValidateState::Of(std::string_view Text, int SelStart, int SelLength) {
    TValidateState s;
    s.SelStart = SelStart;
    s.SelLength = SelLength < 0 ? 0 : SelLength;
    s.TextBeginsWithMinus = !Text.empty() && Text.front() == '-';
    for (char c : Text)
        if (static_cast<unsigned char>(c) > 32) {
            s.FirstNonBlankIsMinus = c == '-';
            break;
        }
    s.TextHasPoint = Text.find('.') != std::string_view::npos;
    if (s.SelLength > 0 && SelStart >= 0 && static_cast<size_t>(SelStart) < Text.size())
        s.SelectionHasPoint =
            Text.substr(static_cast<size_t>(SelStart), static_cast<size_t>(s.SelLength)).find('.') !=
            std::string_view::npos;
    return s;
}

namespace ValidateRules {
namespace {

bool IsDigit(char Key) { return Key >= '0' && Key <= '9'; }
bool IsHexDigit(char Key) { return IsDigit(Key) || (Key >= 'a' && Key <= 'f') || (Key >= 'A' && Key <= 'F'); }
void Accept(char& Key, bool accepted) {
    if (!accepted) Key = 0;
}

// The digit and minus rows shared by Integer and Float; false when Key is neither.
bool DigitOrMinus(char& Key, const TValidateState& s) {
    const bool atStart = s.SelStart == 0;
    if (IsDigit(Key)) {
        // No digit in front of an existing sign (blanks before it are looked through).
        Accept(Key, !atStart || s.SelLength >= 1 || !s.FirstNonBlankIsMinus);
        return true;
    }
    if (Key == '-') {
        // A selection from the start covers the existing sign, if any.
        Accept(Key, atStart && (s.SelLength >= 1 || !s.TextBeginsWithMinus));
        return true;
    }
    return false;
}

// The decimal-point rows of Float and FloatPs; false when Key is not the point.
bool Point(char& Key, const TValidateState& s) {
    if (Key != '.') return false;
    Accept(Key, (s.SelLength >= 1 && s.SelectionHasPoint) || !s.TextHasPoint);
    return true;
}

}  // namespace

bool IsControlChar(char Key) { return static_cast<unsigned char>(Key) < 32; }

void Integer(char& Key, const TValidateState& State) {
    if (IsControlChar(Key) || DigitOrMinus(Key, State)) return;
    Key = 0;
}

void IntegerPs(char& Key) {
    if (IsControlChar(Key)) return;
    Accept(Key, IsDigit(Key));
}

void Float(char& Key, const TValidateState& State) {
    if (IsControlChar(Key) || DigitOrMinus(Key, State) || Point(Key, State)) return;
    Key = 0;
}

void FloatPs(char& Key, const TValidateState& State) {
    if (IsControlChar(Key) || IsDigit(Key) || Point(Key, State)) return;
    Key = 0;
}

void Hex(char& Key) {
    if (IsControlChar(Key)) return;
    Accept(Key, IsHexDigit(Key));
}

void HexUp(char& Key) {
    if (IsControlChar(Key)) return;
    Key = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
    Hex(Key);
}

void HexLo(char& Key) {
    if (IsControlChar(Key)) return;
    Key = static_cast<char>(std::tolower(static_cast<unsigned char>(Key)));
    Hex(Key);
}

void Custom(char& Key, std::string_view Set) {
    if (IsControlChar(Key)) return;
    const auto code = static_cast<signed char>(Key);
    size_t i = 0;
    while (i < Set.size()) {
        if (i + 2 < Set.size() && Set[i + 1] == '-') {
            if (static_cast<signed char>(Set[i]) <= code && code <= static_cast<signed char>(Set[i + 2])) return;
            i += 3;
        } else {
            if (Set[i] == Key) return;
            i += 1;
        }
    }
    Key = 0;
}

}  // namespace ValidateRules

}  // namespace lumivane

#pragma once
#include <string>
#include <string_view>

namespace lumivane {

// The character rules of the validating edit, apart from any window: each takes one typed
// character by reference and leaves it (accepted), changes its case (hex kinds) or sets it to 0
// (refused). Characters are single bytes (Windows-1252); codes 0 to 31 are control characters,
// which every rule lets through unchanged. The decimal point is always '.'.

// What the rules need to know of the edit, taken in one pass over its text, so a paste judges
// every character against the same state in constant time each.
struct TValidateState {
    int SelStart = 0;
    int SelLength = 0;
    bool TextBeginsWithMinus = false;   // the very first character is '-'
    bool FirstNonBlankIsMinus = false;  // the first character above code 32 is '-'
    bool TextHasPoint = false;
    bool SelectionHasPoint = false;     // among the SelLength characters from SelStart

    static TValidateState Of(std::string_view Text, int SelStart, int SelLength);
};

namespace ValidateRules {
bool IsControlChar(char Key);
// Digits, and a minus sign typed only at the very start and only once.
void Integer(char& Key, const TValidateState& State);
void IntegerPs(char& Key);
// As Integer, and one decimal point (typed over a selection that holds the existing one).
void Float(char& Key, const TValidateState& State);
void FloatPs(char& Key, const TValidateState& State);
void Hex(char& Key);
// The C library's case mapping first, then the Hex rule on the mapped character.
void HexUp(char& Key);
void HexLo(char& Key);
// Set: single characters and ranges a-b, read left to right; bounds compare as signed bytes.
void Custom(char& Key, std::string_view Set);
}  // namespace ValidateRules

}  // namespace lumivane

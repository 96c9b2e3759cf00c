#pragma once
#include <string>
#include <string_view>

namespace lumivane {

// The character rules of the validating edit, apart from any window: each takes one typed
// character (a Unicode code point) by reference and leaves it (accepted), changes its case (hex
// kinds) or sets it to 0 (refused). The rules are 8-bit ones: a character that Windows-1252 has
// is judged by its byte there; any other character is refused by the numeric kinds and matched
// by a custom set only where the set lists it on its own. Codes 0 to 31 are control characters,
// which every rule lets through unchanged. The decimal point is always '.'.

// What the rules need to know of the edit. Each fact about the text is looked up once, when a
// rule first asks for it: a typed digit costs nothing by the text's length, and a paste judges
// every character against the same state in constant time each. The text viewed must stay
// unchanged while the state is in use.
struct TValidateState {
    int SelStart = 0;   // in characters, as the edit counts them
    int SelLength = 0;

    bool TextBeginsWithMinus() const;   // the very first character is '-'
    bool FirstNonBlankIsMinus() const;  // the first character above code 32 is '-'
    bool TextHasPoint() const;
    bool SelectionHasPoint() const;     // among the SelLength characters from SelStart

    static TValidateState Of(std::string_view Text, int SelStart, int SelLength);

private:
    std::string_view FText;
    mutable signed char FFirstNonBlankIsMinus = -1; // -1: not looked up yet
    mutable signed char FTextHasPoint = -1;
    mutable signed char FSelectionHasPoint = -1;
};

namespace ValidateRules {
bool IsControlChar(char32_t Key);
// Digits, and a minus sign typed only at the very start and only once.
void Integer(char32_t& Key, const TValidateState& State);
void IntegerPs(char32_t& Key);
// As Integer, and one decimal point (typed over a selection that holds the existing one).
void Float(char32_t& Key, const TValidateState& State);
void FloatPs(char32_t& Key, const TValidateState& State);
void Hex(char32_t& Key);
// The C library's case mapping first, then the Hex rule on the mapped character.
void HexUp(char32_t& Key);
void HexLo(char32_t& Key);
// Set: single characters and ranges a-b, read left to right, character by character; bounds
// compare as signed Windows-1252 bytes (a range with a bound beyond Windows-1252 matches nothing).
void Custom(char32_t& Key, std::string_view Set);
}  // namespace ValidateRules

}  // namespace lumivane

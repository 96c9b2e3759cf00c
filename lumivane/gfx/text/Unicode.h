#pragma once
#include <cstddef>
#include <string_view>

namespace lumivane {

// What Unicode says of characters, from utf8proc: grapheme clusters, case and kind.

// Grapheme clusters, what a reader calls one character: "é" written as e and a combining accent,
// a flag (two regional indicators), an emoji with a skin tone or joined by ZWJ. The boundaries
// are Unicode's extended grapheme cluster rules (utf8proc). Offsets are bytes of UTF-8 text; a
// byte that starts no well-formed sequence is a cluster of its own, as it shows as U+FFFD.

// The boundary after the cluster that starts at or contains pos (s.size() at the end).
size_t NextCluster(std::string_view s, size_t pos);
// The boundary before pos: the start of the cluster that ends at or contains pos (0 at the start).
size_t PrevCluster(std::string_view s, size_t pos);

// Simple (one character to one character) case mappings; the character itself when it has none.
char32_t UpperChar(char32_t cp);
char32_t LowerChar(char32_t cp);

// What word movement steps over: blanks (controls and spaces), punctuation, and words (letters,
// digits, marks and everything else).
enum class TCharKind { Blank, Word, Punct };
TCharKind KindOfChar(char32_t cp);

}  // namespace lumivane

#include "lumivane/gfx/text/Unicode.h"

#include <utf8proc.h>

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

// The start of the character that ends at pos (pos > 0); a bad byte is a character of its own.
size_t CharStartBefore(std::string_view s, size_t pos) {
    size_t start = pos - 1;
    while (start > 0 && pos - start < 4 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
    size_t end = start;
    char32_t cp;
    if (DecodeUtf8(s, end, cp) && end == pos) return start;
    return pos - 1;
}

// The grapheme class of the character at [from, to); bad bytes count as controls (nothing joins them).
int ClassAt(std::string_view s, size_t from, size_t to) {
    size_t i = from;
    char32_t cp;
    if (!DecodeUtf8(s, i, cp) || i != to) return UTF8PROC_BOUNDCLASS_CONTROL;
    return utf8proc_get_property(static_cast<utf8proc_int32_t>(cp))->boundclass;
}

// Whether a cluster starts between two characters whatever came before them: around controls
// (but inside CR LF), and between two characters that no rule joins (class Other: letters of
// most scripts, CJK, digits, punctuation).
bool SurelyBreaks(int before, int after) {
    if (before == UTF8PROC_BOUNDCLASS_CR) return after != UTF8PROC_BOUNDCLASS_LF;
    if (before == UTF8PROC_BOUNDCLASS_CONTROL || before == UTF8PROC_BOUNDCLASS_LF) return true;
    if (after == UTF8PROC_BOUNDCLASS_CONTROL || after == UTF8PROC_BOUNDCLASS_CR || after == UTF8PROC_BOUNDCLASS_LF)
        return true;
    return before == UTF8PROC_BOUNDCLASS_OTHER && after == UTF8PROC_BOUNDCLASS_OTHER;
}

// A place at or before pos where a cluster surely starts, found within a few characters in any
// ordinary text, so that walking a long text (Backspace at its end, a click in it) stays near
// the place asked for; the start of the text after a long run of joining characters.
size_t SafeStart(std::string_view s, size_t pos) {
    constexpr int kLookBack = 64;
    size_t i = FitUtf8(s, pos); // a character's start
    if (i >= s.size()) {
        if (i == 0) return 0;
        i = CharStartBefore(s, i);
    }
    for (int n = 0; i > 0 && n < kLookBack; ++n) {
        const size_t before = CharStartBefore(s, i);
        size_t end = i;
        NextChar(s, end);
        if (SurelyBreaks(ClassAt(s, before, i), ClassAt(s, i, end))) return i;
        i = before;
    }
    return 0;
}

// Walks the clusters from `from` (a cluster start); calls stop(boundary) at each boundary after
// from until it returns true, and returns that boundary (s.size() at the end).
template <class Stop>
size_t Walk(std::string_view s, size_t from, Stop stop) {
    utf8proc_int32_t state = 0;
    size_t i = from;
    if (i >= s.size()) return s.size();
    char32_t prev = NextChar(s, i);
    bool prevBad = prev == kReplacementChar && i - from == 1 && static_cast<unsigned char>(s[from]) >= 0x80;
    while (i < s.size()) {
        const size_t at = i;
        const char32_t cp = NextChar(s, i);
        const bool bad = cp == kReplacementChar && i - at == 1 && static_cast<unsigned char>(s[at]) >= 0x80;
        // A bad byte stands alone: nothing joins to it and it joins to nothing.
        const bool breaks = bad || prevBad ||
                            utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(prev),
                                                             static_cast<utf8proc_int32_t>(cp), &state);
        if (breaks) {
            state = 0;
            if (stop(at)) return at;
        }
        prev = cp;
        prevBad = bad;
    }
    return s.size();
}

} // namespace

size_t NextCluster(std::string_view s, size_t pos) {
    if (pos + 1 >= s.size()) return s.size();
    // ASCII followed by ASCII: always a boundary but inside CR LF.
    const auto b0 = static_cast<unsigned char>(s[pos]), b1 = static_cast<unsigned char>(s[pos + 1]);
    if (b0 < 0x80 && b1 < 0x80 && !(b0 == '\r' && b1 == '\n')) return pos + 1;
    return Walk(s, SafeStart(s, pos), [pos](size_t b) { return b > pos; });
}

size_t PrevCluster(std::string_view s, size_t pos) {
    if (pos == 0) return 0;
    if (pos > s.size()) pos = s.size();
    const size_t from = SafeStart(s, pos - 1);
    size_t last = from;
    Walk(s, from, [&](size_t b) {
        if (b >= pos) return true;
        last = b;
        return false;
    });
    return last;
}

char32_t UpperChar(char32_t cp) {
    return static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(cp)));
}

char32_t LowerChar(char32_t cp) {
    return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(cp)));
}

TCharKind KindOfChar(char32_t cp) {
    if (cp <= ' ') return TCharKind::Blank;
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(cp))) {
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
    case UTF8PROC_CATEGORY_CC: return TCharKind::Blank;
    case UTF8PROC_CATEGORY_PC: // the connector '_' belongs to words
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_MN:
    case UTF8PROC_CATEGORY_MC:
    case UTF8PROC_CATEGORY_ME:
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO: return TCharKind::Word;
    default: return TCharKind::Punct;
    }
}

}  // namespace lumivane

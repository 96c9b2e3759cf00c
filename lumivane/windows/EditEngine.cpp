#include "lumivane/windows/EditEngine.h"

#include <algorithm>

namespace lumivane {

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// Windows-1252 letters: ASCII, the Latin-1 block and the few pairs in 0x80..0x9F.
unsigned char Upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

unsigned char Lower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

// Word movement treats runs of blanks, of word characters and of punctuation as units.
enum class CharClass { Blank, Word, Punct };

CharClass ClassOf(unsigned char c) {
    if (c <= ' ') return CharClass::Blank;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
        c >= 0x80)
        return CharClass::Word;
    return CharClass::Punct;
}

} // namespace

bool EditEngine::SetText(const std::string& text) {
    std::string t = text.size() > static_cast<size_t>(MaxLimit) ? text.substr(0, MaxLimit) : text;
    bool changed = t != FText;
    FText = std::move(t);
    FCaret = FAnchor = 0;
    FScrollX = 0;
    EmptyUndo();
    return changed;
}

std::string EditEngine::SelText() const { return FText.substr(SelStart(), SelLength()); }

void EditEngine::SetSel(int anchor, int caret) {
    FAnchor = Clamp(anchor, 0, Length());
    FCaret = Clamp(caret, 0, Length());
    FMergeTyping = false;
}

void EditEngine::MoveTo(int pos, bool extend) {
    FCaret = Clamp(pos, 0, Length());
    if (!extend) FAnchor = FCaret;
    FMergeTyping = false;
}

void EditEngine::Remember(bool typing) {
    if (typing && FMergeTyping && FCanUndo) return; // one undo step for a run of typing
    FUndoText = FText;
    FUndoCaret = FCaret;
    FUndoAnchor = FAnchor;
    FCanUndo = true;
}

void EditEngine::SetTextKeepUndo(std::string text, int caret) {
    FText = std::move(text);
    FCaret = FAnchor = Clamp(caret, 0, Length());
    FModified = true;
}

bool EditEngine::ReplaceSel(const std::string& s, bool typing) {
    std::string ins = ConvertCase(s, FCase);
    const long long room = static_cast<long long>(FLimit) - (Length() - SelLength());
    if (room <= 0)
        ins.clear();
    else if (static_cast<long long>(ins.size()) > room)
        ins.resize(static_cast<size_t>(room));
    if (ins.empty() && !HasSelection()) return false;
    if (ins == SelText()) {
        // Nothing changes but the caret, which lands after the "replacement" as usual.
        MoveTo(SelEnd(), false);
        return false;
    }
    const bool mergeable = typing && !HasSelection();
    Remember(mergeable);
    const int start = SelStart();
    std::string t = FText;
    t.replace(start, SelLength(), ins);
    SetTextKeepUndo(std::move(t), start + static_cast<int>(ins.size()));
    FMergeTyping = mergeable;
    return true;
}

bool EditEngine::DeleteBack() {
    if (!HasSelection()) {
        if (FCaret == 0) return false;
        FAnchor = FCaret - 1;
    }
    return ReplaceSel(std::string());
}

bool EditEngine::DeleteForward() {
    if (!HasSelection()) {
        if (FCaret >= Length()) return false;
        FAnchor = FCaret + 1;
    }
    return ReplaceSel(std::string());
}

int EditEngine::WordLeft(int pos) const {
    int p = Clamp(pos, 0, Length());
    auto at = [this](int i) { return ClassOf(static_cast<unsigned char>(FText[i])); };
    while (p > 0 && at(p - 1) == CharClass::Blank) --p;
    if (p > 0) {
        const CharClass c = at(p - 1);
        while (p > 0 && at(p - 1) == c) --p;
    }
    return p;
}

int EditEngine::WordRight(int pos) const {
    int p = Clamp(pos, 0, Length());
    const int n = Length();
    auto at = [this](int i) { return ClassOf(static_cast<unsigned char>(FText[i])); };
    if (p < n && at(p) != CharClass::Blank) {
        const CharClass c = at(p);
        while (p < n && at(p) == c) ++p;
    }
    while (p < n && at(p) == CharClass::Blank) ++p;
    return p;
}

void EditEngine::SelectWordAt(int pos) {
    const int n = Length();
    int p = Clamp(pos, 0, n);
    if (n == 0) {
        SetSel(0, 0);
        return;
    }
    // A click just after the last character of a word still means that word.
    if (p == n || (p > 0 && ClassOf(static_cast<unsigned char>(FText[p])) == CharClass::Blank &&
                   ClassOf(static_cast<unsigned char>(FText[p - 1])) != CharClass::Blank))
        --p;
    const CharClass c = ClassOf(static_cast<unsigned char>(FText[p]));
    int b = p, e = p;
    while (b > 0 && ClassOf(static_cast<unsigned char>(FText[b - 1])) == c) --b;
    while (e < n && ClassOf(static_cast<unsigned char>(FText[e])) == c) ++e;
    SetSel(b, e);
}

bool EditEngine::Undo() {
    if (!FCanUndo) return false;
    std::swap(FText, FUndoText);
    const int caret = FUndoCaret, anchor = FUndoAnchor;
    FUndoCaret = FCaret;
    FUndoAnchor = FAnchor;
    FCaret = Clamp(caret, 0, Length());
    FAnchor = Clamp(anchor, 0, Length());
    FMergeTyping = false;
    FModified = true;
    return FText != FUndoText;
}

void EditEngine::SetLimit(int limit) { FLimit = (limit <= 0 || limit > MaxLimit) ? MaxLimit : limit; }

std::string EditEngine::ConvertCase(const std::string& s, TCase c) {
    if (c == TCase::None) return s;
    std::string r = s;
    for (char& ch : r) {
        const auto u = static_cast<unsigned char>(ch);
        ch = static_cast<char>(c == TCase::Upper ? Upper(u) : Lower(u));
    }
    return r;
}

std::string EditEngine::DisplayText() const {
    return FPassword ? std::string(FText.size(), FPassword) : FText;
}

int EditEngine::PosToX(int pos, const Measure& measure) const {
    const int p = Clamp(pos, 0, Length());
    if (p == 0) return 0;
    return measure(DisplayText().substr(0, p));
}

int EditEngine::XToPos(int x, const Measure& measure) const {
    if (x <= 0 || FText.empty()) return 0;
    const std::string shown = DisplayText();
    // Prefix widths grow with the prefix: find the first boundary at or right of x.
    int lo = 0, hi = Length();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (measure(shown.substr(0, mid)) < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0) return 0;
    const int right = measure(shown.substr(0, lo));
    const int left = measure(shown.substr(0, lo - 1));
    if (right < x) return lo; // x beyond the end of the text
    return (x - left) < (right - x) ? lo - 1 : lo;
}

void EditEngine::ScrollToCaret(int width, const Measure& measure) {
    if (width <= 0) {
        FScrollX = PosToX(FCaret, measure);
        return;
    }
    const int caretX = PosToX(FCaret, measure);
    const int total = PosToX(Length(), measure);
    if (caretX < FScrollX) {
        // Going left, show some context before the caret rather than pinning it to the edge.
        FScrollX = std::max(0, caretX - width / 3);
    } else if (caretX > FScrollX + width - 1) {
        FScrollX = caretX - width + 1;
    }
    // Deleting at the end must not leave blank space while text is hidden at the left.
    if (total - FScrollX < width - 1) FScrollX = std::max(0, total - width + 1);
    FScrollX = std::min(FScrollX, caretX);
}

}  // namespace lumivane

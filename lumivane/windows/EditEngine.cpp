#include "lumivane/windows/EditEngine.h"

#include <algorithm>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/gfx/text/Unicode.h"

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

// Characters that Windows-1252 has keep the mapping they always had there.
char32_t ConvertChar(char32_t cp, EditEngine::TCase c) {
    char b = 0;
    if (UnicodeToCp1252(cp, b)) {
        const auto u = static_cast<unsigned char>(b);
        return Cp1252ToUnicode(c == EditEngine::TCase::Upper ? Upper(u) : Lower(u));
    }
    return c == EditEngine::TCase::Upper ? UpperChar(cp) : LowerChar(cp);
}

// Word movement treats runs of blanks, of word characters and of punctuation as units; a
// Windows-1252 character keeps the class it always had (everything from 0x80 on is a word's).
TCharKind ClassOf(char32_t cp) {
    char b = 0;
    if (UnicodeToCp1252(cp, b)) {
        const auto c = static_cast<unsigned char>(b);
        if (c <= ' ') return TCharKind::Blank;
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80)
            return TCharKind::Word;
        return TCharKind::Punct;
    }
    return KindOfChar(cp);
}

} // namespace

bool EditEngine::SetText(const std::string& text) {
    std::string t = ValidUtf8(text);
    if (t.size() > static_cast<size_t>(MaxLimit)) t.resize(FitUtf8(t, MaxLimit));
    bool changed = t != FText;
    FText = std::move(t);
    FChars = static_cast<int>(CountChars(FText));
    FMarkPos = FMarkX = FMarkChar = 0;
    FTotalX = -1;
    FCaret = FAnchor = 0;
    FScrollX = 0;
    EmptyUndo();
    return changed;
}

void EditEngine::SetMeasure(Measure measure) {
    FMeasure = std::move(measure);
    FMarkPos = FMarkX = FMarkChar = 0;
    FTotalX = -1;
}

int EditEngine::Width(std::string_view s) const {
    return FMeasure && !s.empty() ? FMeasure(std::string(s)) : 0;
}

std::string EditEngine::SelText() const { return FText.substr(SelStart(), SelLength()); }

int EditEngine::Snap(int pos) const {
    const int p = Clamp(pos, 0, Length());
    return static_cast<int>(FitUtf8(FText, static_cast<size_t>(p)));
}

void EditEngine::SetSel(int anchor, int caret) {
    FAnchor = Snap(anchor);
    FCaret = Snap(caret);
    FMergeTyping = false;
}

void EditEngine::MoveTo(int pos, bool extend) {
    FCaret = Snap(pos);
    if (!extend) FAnchor = FCaret;
    FMergeTyping = false;
}

int EditEngine::PrevPos(int pos) const { return static_cast<int>(PrevCluster(FText, static_cast<size_t>(Snap(pos)))); }
int EditEngine::NextPos(int pos) const { return static_cast<int>(NextCluster(FText, static_cast<size_t>(Snap(pos)))); }

// Moves the remembered position to `pos` (a character boundary), counting and measuring from
// whichever of the start, the remembered position and the end lies nearest.
void EditEngine::MoveMark(int pos) const {
    const std::string_view t(FText);
    const int n = Length();
    const int fromMark = pos > FMarkPos ? pos - FMarkPos : FMarkPos - pos;
    if (pos <= fromMark && pos <= n - pos) {
        FMarkX = Width(t.substr(0, pos));
        FMarkChar = static_cast<int>(CountChars(t.substr(0, pos)));
    } else if (n - pos < fromMark) {
        const std::string_view tail = t.substr(pos);
        FMarkX = TotalX() - Width(tail);
        FMarkChar = FChars - static_cast<int>(CountChars(tail));
    } else if (pos >= FMarkPos) {
        const std::string_view run = t.substr(FMarkPos, pos - FMarkPos);
        FMarkX += Width(run);
        FMarkChar += static_cast<int>(CountChars(run));
    } else {
        const std::string_view run = t.substr(pos, FMarkPos - pos);
        FMarkX -= Width(run);
        FMarkChar -= static_cast<int>(CountChars(run));
    }
    FMarkPos = pos;
}

int EditEngine::TotalX() const {
    if (FTotalX < 0) FTotalX = FMarkX + Width(std::string_view(FText).substr(FMarkPos));
    return FTotalX;
}

int EditEngine::CharPos(int pos) const {
    const int p = Snap(pos);
    if (p == Length()) return FChars;
    MoveMark(p);
    return FMarkChar;
}

int EditEngine::BytePos(int charIndex) const {
    if (charIndex <= 0) return 0;
    if (charIndex >= FChars) return Length();
    // Step by characters from the nearest known index.
    const std::string_view t(FText);
    const int fromMark = charIndex > FMarkChar ? charIndex - FMarkChar : FMarkChar - charIndex;
    int pos = FMarkPos, at = FMarkChar;
    if (charIndex <= fromMark && charIndex <= FChars - charIndex) {
        pos = at = 0;
    } else if (FChars - charIndex < fromMark) {
        pos = Length();
        at = FChars;
    }
    if (at <= charIndex) {
        pos += static_cast<int>(CharToByte(t.substr(pos), static_cast<size_t>(charIndex - at)));
    } else {
        for (; at > charIndex; --at) {
            --pos;
            while (pos > 0 && (static_cast<unsigned char>(t[pos]) & 0xC0) == 0x80) --pos;
        }
    }
    MoveMark(pos);
    return pos;
}

void EditEngine::Splice(int start, int length, const std::string& with) {
    const std::string_view gone = std::string_view(FText).substr(start, length);
    // A remembered position inside what goes moves to its start first, in the text as it was.
    if (FMarkPos > start && FMarkPos < start + length) MoveMark(start);
    const int dx = Width(with) - Width(gone);
    const int dchars = static_cast<int>(CountChars(with)) - static_cast<int>(CountChars(gone));
    if (FMarkPos > start) {
        FMarkX += dx;
        FMarkChar += dchars;
        FMarkPos += static_cast<int>(with.size()) - length;
    }
    if (FTotalX >= 0) FTotalX += dx;
    FChars += dchars;
    FText.replace(start, length, with);
}

bool EditEngine::ReplaceSel(const std::string& s, bool typing) {
    std::string ins = ConvertCase(ValidUtf8(s), FCase);
    const long long kept = static_cast<long long>(FChars) - static_cast<long long>(CountChars(SelText()));
    const long long room = static_cast<long long>(FLimit) - kept;
    if (room <= 0) {
        ins.clear();
    } else if (static_cast<long long>(ins.size()) > room) {
        // Whole clusters only, as many as the room's characters take.
        size_t end = 0;
        long long chars = 0;
        while (end < ins.size()) {
            const size_t next = NextCluster(ins, end);
            chars += static_cast<long long>(CountChars(std::string_view(ins).substr(end, next - end)));
            if (chars > room) break;
            end = next;
        }
        ins.resize(end);
    }
    if (ins.empty() && !HasSelection()) return false;
    if (ins == SelText()) {
        // Nothing changes but the caret, which lands after the "replacement" as usual.
        MoveTo(SelEnd(), false);
        return false;
    }
    const bool mergeable = typing && !HasSelection();
    const int start = SelStart();
    if (mergeable && FMergeTyping && FCanUndo && start == FUndoStart + FUndoLength) {
        FUndoLength += static_cast<int>(ins.size()); // one undo step for a run of typing
    } else {
        FUndoText = SelText();
        FUndoStart = start;
        FUndoLength = static_cast<int>(ins.size());
        FUndoCaret = FCaret;
        FUndoAnchor = FAnchor;
        FCanUndo = true;
    }
    Splice(start, SelLength(), ins);
    FCaret = FAnchor = start + static_cast<int>(ins.size());
    FModified = true;
    FMergeTyping = mergeable;
    return true;
}

bool EditEngine::DeleteBack() {
    if (!HasSelection()) {
        if (FCaret == 0) return false;
        FAnchor = PrevPos(FCaret);
    }
    return ReplaceSel(std::string());
}

bool EditEngine::DeleteForward() {
    if (!HasSelection()) {
        if (FCaret >= Length()) return false;
        FAnchor = NextPos(FCaret);
    }
    return ReplaceSel(std::string());
}

int EditEngine::WordLeft(int pos) const {
    int p = Snap(pos);
    auto before = [this](int i) {
        size_t at = PrevCluster(FText, static_cast<size_t>(i));
        return ClassOf(NextChar(FText, at));
    };
    while (p > 0 && before(p) == TCharKind::Blank) p = PrevPos(p);
    if (p > 0) {
        const TCharKind c = before(p);
        while (p > 0 && before(p) == c) p = PrevPos(p);
    }
    return p;
}

int EditEngine::WordRight(int pos) const {
    int p = Snap(pos);
    const int n = Length();
    auto at = [this](int i) {
        size_t from = static_cast<size_t>(i);
        return ClassOf(NextChar(FText, from));
    };
    if (p < n && at(p) != TCharKind::Blank) {
        const TCharKind c = at(p);
        while (p < n && at(p) == c) p = NextPos(p);
    }
    while (p < n && at(p) == TCharKind::Blank) p = NextPos(p);
    return p;
}

void EditEngine::SelectWordAt(int pos) {
    const int n = Length();
    if (n == 0) {
        SetSel(0, 0);
        return;
    }
    int p = Snap(pos);
    if (p < n) p = static_cast<int>(PrevCluster(FText, static_cast<size_t>(p) + 1)); // the cluster's start
    auto at = [this](int i) {
        size_t from = static_cast<size_t>(i);
        return ClassOf(NextChar(FText, from));
    };
    // A click just after the last character of a word still means that word.
    if (p == n || (p > 0 && at(p) == TCharKind::Blank && at(PrevPos(p)) != TCharKind::Blank)) p = PrevPos(p);
    const TCharKind c = at(p);
    int b = p, e = p;
    while (b > 0 && at(PrevPos(b)) == c) b = PrevPos(b);
    while (e < n && at(e) == c) e = NextPos(e);
    SetSel(b, e);
}

bool EditEngine::Undo() {
    if (!FCanUndo) return false;
    std::string restored = std::move(FUndoText);
    FUndoText = FText.substr(FUndoStart, FUndoLength);
    Splice(FUndoStart, FUndoLength, restored);
    FUndoLength = static_cast<int>(restored.size());
    const int caret = FUndoCaret, anchor = FUndoAnchor;
    FUndoCaret = FCaret;
    FUndoAnchor = FAnchor;
    FCaret = Snap(caret);
    FAnchor = Snap(anchor);
    FMergeTyping = false;
    FModified = true;
    return restored != FUndoText;
}

void EditEngine::SetLimit(int limit) { FLimit = (limit <= 0 || limit > MaxLimit) ? MaxLimit : limit; }

std::string EditEngine::ConvertCase(const std::string& s, TCase c) {
    if (c == TCase::None) return s;
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) AppendUtf8(r, ConvertChar(NextChar(s, i), c));
    return r;
}

std::string EditEngine::Mask() const {
    std::string m;
    AppendUtf8(m, FPassword);
    return m;
}

std::string EditEngine::DisplayText() const {
    if (!FPassword) return FText;
    const std::string mask = Mask();
    std::string shown;
    for (size_t i = 0; i < FText.size(); i = NextCluster(FText, i)) shown += mask;
    return shown;
}

std::string EditEngine::DisplayText(int from, int to) const {
    const int a = Snap(from), b = Snap(to);
    if (b <= a) return {};
    if (!FPassword) return FText.substr(a, b - a);
    const std::string mask = Mask();
    std::string shown;
    for (size_t i = a; i < static_cast<size_t>(b); i = NextCluster(FText, i)) shown += mask;
    return shown;
}

int EditEngine::DisplayPos(int pos) const {
    const int p = Snap(pos);
    if (!FPassword) return p;
    int clusters = 0;
    for (size_t i = 0; i < static_cast<size_t>(p); i = NextCluster(FText, i)) ++clusters;
    return clusters * static_cast<int>(Mask().size());
}

// A masked text shows one mask per cluster: its offsets are counted, not remembered.
int EditEngine::MaskedX(int pos) const {
    const int clusters = DisplayPos(pos) / static_cast<int>(Mask().size());
    return clusters * Width(Mask());
}

int EditEngine::PosToX(int pos) const {
    const int p = Snap(pos);
    if (p == 0) return 0;
    if (FPassword) return MaskedX(p);
    if (p == Length()) return TotalX();
    MoveMark(p);
    return FMarkX;
}

int EditEngine::XToPos(int x) const {
    if (x <= 0 || FText.empty()) return 0;
    const std::string mask = FPassword ? Mask() : std::string();
    const int maskWidth = FPassword ? Width(mask) : 0;
    auto widthOf = [&](size_t from, size_t to) {
        return FPassword ? maskWidth : Width(std::string_view(FText).substr(from, to - from));
    };
    // Start from a cluster boundary left of x, near the remembered position when that is
    // cheaper than the start; then one walk over the clusters: widths add up, so the boundary
    // nearest to x is found where the middle of a cluster passes it.
    size_t i = 0;
    int left = 0;
    if (!FPassword && FMarkPos > 0) {
        i = PrevCluster(FText, NextCluster(FText, static_cast<size_t>(FMarkPos)));
        left = PosToX(static_cast<int>(i));
        if (x < left - x) i = left = 0;
        while (i > 0 && left >= x) {
            const size_t prev = PrevCluster(FText, i);
            left -= widthOf(prev, i);
            i = prev;
        }
    }
    while (i < FText.size()) {
        const size_t next = NextCluster(FText, i);
        const int w = widthOf(i, next);
        if (x - left < left + w - x) return static_cast<int>(i);
        if (left + w >= x) return static_cast<int>(next);
        left += w;
        i = next;
    }
    return Length(); // x beyond the end of the text
}

void EditEngine::ScrollToCaret(int width) {
    if (width <= 0) {
        FScrollX = PosToX(FCaret);
        return;
    }
    const int caretX = PosToX(FCaret);
    const int total = PosToX(Length());
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

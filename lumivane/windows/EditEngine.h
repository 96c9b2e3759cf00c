#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace lumivane {

// The text-entry logic of the single-line edit, kept apart from windows, keys and painting:
// the text (UTF-8), the caret and the selection anchor, replace/delete, word movement, a
// one-step undo that toggles, a length limit, case conversion, password masking and the
// horizontal scroll offset. Positions are byte offsets 0..Length() into the text, never inside
// a character; the caret keys, Backspace, Delete and words step over whole grapheme clusters.
// The limit counts characters (code points), and the messages count characters (see CharPos).
// A key costs by what it changes, not by the text's length: the engine remembers one position
// with its pixel offset and its character index, the whole width and the character count, and
// keeps them as the text changes, so measuring and counting start from the nearest of them.
class EditEngine {
public:
    enum class TCase { None, Upper, Lower };
    // Pixel width of a displayed string; widths of adjoining pieces add up.
    using Measure = std::function<int(const std::string&)>;

    // What "no limit" means: the largest text the edit will ever hold, in characters.
    static constexpr int MaxLimit = 0x7FFFFFFE;

    const std::string& Text() const { return FText; }
    // In bytes, as every position.
    int Length() const { return static_cast<int>(FText.size()); }
    int CharCount() const { return FChars; }
    // Replaces the whole text (not limited, not case-converted, bad bytes replaced as ValidUtf8
    // does); caret to 0, undo emptied. Returns true when the text differs from the old one.
    bool SetText(const std::string& text);

    int Caret() const { return FCaret; }
    int Anchor() const { return FAnchor; }
    int SelStart() const { return FCaret < FAnchor ? FCaret : FAnchor; }
    int SelEnd() const { return FCaret < FAnchor ? FAnchor : FCaret; }
    int SelLength() const { return SelEnd() - SelStart(); }
    bool HasSelection() const { return FCaret != FAnchor; }
    std::string SelText() const;
    // Anchor at `anchor`, caret at `caret`, both clamped to the text and moved back to the start
    // of a character they fall inside.
    void SetSel(int anchor, int caret);
    void SelectAll() { SetSel(0, Length()); }
    // Moves the caret; with `extend` the anchor stays (the selection grows or shrinks).
    void MoveTo(int pos, bool extend);
    // The boundaries of the grapheme cluster before and after a position.
    int PrevPos(int pos) const;
    int NextPos(int pos) const;
    // Byte offsets and character (code point) indices, for the messages.
    int CharPos(int pos) const;
    int BytePos(int charIndex) const;

    // Replaces the selection with `s` (case-converted, cut to the limit at a cluster boundary).
    // Returns true when the text changed. `typing` lets consecutive typed characters undo as one.
    bool ReplaceSel(const std::string& s, bool typing = false);
    // Backspace and Delete: the selection if any, else one cluster before/after the caret.
    bool DeleteBack();
    bool DeleteForward();

    // Word boundaries for Ctrl+Left/Right and double clicks.
    int WordLeft(int pos) const;
    int WordRight(int pos) const;
    void SelectWordAt(int pos);

    bool CanUndo() const { return FCanUndo; }
    // Swaps the text and selection with those before the last change (so undo again redoes).
    bool Undo();
    void EmptyUndo() { FCanUndo = false; FMergeTyping = false; }

    bool Modified() const { return FModified; }
    void SetModified(bool m) { FModified = m; }

    int Limit() const { return FLimit; }
    // 0 or anything out of range means no practical limit. The current text is kept.
    void SetLimit(int limit);
    TCase Case() const { return FCase; }
    void SetCase(TCase c) { FCase = c; }
    // Windows-1252 letters map as they always did; other characters by Unicode's simple mapping.
    static std::string ConvertCase(const std::string& s, TCase c);
    char32_t PasswordChar() const { return FPassword; }
    void SetPasswordChar(char32_t c) { FPassword = c; }
    // The text as shown: each cluster masked while a password character is set.
    std::string DisplayText() const;
    // The part of it that shows the text between two positions (empty when to <= from).
    std::string DisplayText(int from, int to) const;

    // How wide the displayed text is (the font's measure): set before anything below is asked,
    // and again when the font changes. Without one every width is 0.
    void SetMeasure(Measure measure);

    // Horizontal scroll in pixels: the displayed text is drawn starting at -ScrollX().
    int ScrollX() const { return FScrollX; }
    void SetScrollX(int x) { FScrollX = x < 0 ? 0 : x; }
    // Pixel offset of a position inside the displayed text (without scrolling), and the byte
    // offset in the displayed text that a position shows at.
    int PosToX(int pos) const;
    int DisplayPos(int pos) const;
    // The cluster boundary nearest to x (x in unscrolled text pixels).
    int XToPos(int x) const;
    // Adjusts the scroll offset so the caret lies inside a view of `width` pixels, and so no
    // space is wasted at the right while text lies hidden at the left.
    void ScrollToCaret(int width);

private:
    // Replaces `length` bytes at `start` (both on character boundaries) and keeps the
    // remembered widths and counts true.
    void Splice(int start, int length, const std::string& with);
    int Snap(int pos) const;
    void MoveMark(int pos) const;
    int TotalX() const;
    int Width(std::string_view s) const;
    std::string Mask() const;
    int MaskedX(int pos) const;

    std::string FText;
    int FCaret = 0;
    int FAnchor = 0;
    int FLimit = MaxLimit;
    TCase FCase = TCase::None;
    char32_t FPassword = 0;
    bool FModified = false;
    int FScrollX = 0;

    Measure FMeasure;
    int FChars = 0;          // code points in FText
    mutable int FMarkPos = 0; // a character boundary, its pixel offset and its character index
    mutable int FMarkX = 0;
    mutable int FMarkChar = 0;
    mutable int FTotalX = -1; // the whole text's width; -1 until measured

    // Undo holds the last change only: `FUndoLength` bytes at `FUndoStart` were `FUndoText`.
    bool FCanUndo = false;
    bool FMergeTyping = false; // the last change was typing that ended at the caret
    std::string FUndoText;
    int FUndoStart = 0;
    int FUndoLength = 0;
    int FUndoCaret = 0;
    int FUndoAnchor = 0;
};

}  // namespace lumivane

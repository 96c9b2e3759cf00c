#pragma once
#include <functional>
#include <string>

namespace lumivane {

// The text-entry logic of the single-line edit, kept apart from windows, keys and painting:
// the text (8-bit), the caret and the selection anchor, replace/delete, word movement, a
// one-step undo that toggles, a length limit, case conversion, password masking and the
// horizontal scroll offset. Positions are character indices 0..Length().
class EditEngine {
public:
    enum class TCase { None, Upper, Lower };
    // Pixel width of a displayed string; prefix widths must not decrease as the prefix grows.
    using Measure = std::function<int(const std::string&)>;

    // What "no limit" means: the largest text the edit will ever hold.
    static constexpr int MaxLimit = 0x7FFFFFFE;

    const std::string& Text() const { return FText; }
    int Length() const { return static_cast<int>(FText.size()); }
    // Replaces the whole text (not limited, not case-converted); caret to 0, undo emptied.
    // Returns true when the text differs from the old one.
    bool SetText(const std::string& text);

    int Caret() const { return FCaret; }
    int Anchor() const { return FAnchor; }
    int SelStart() const { return FCaret < FAnchor ? FCaret : FAnchor; }
    int SelEnd() const { return FCaret < FAnchor ? FAnchor : FCaret; }
    int SelLength() const { return SelEnd() - SelStart(); }
    bool HasSelection() const { return FCaret != FAnchor; }
    std::string SelText() const;
    // Anchor at `anchor`, caret at `caret`, both clamped to the text.
    void SetSel(int anchor, int caret);
    void SelectAll() { SetSel(0, Length()); }
    // Moves the caret; with `extend` the anchor stays (the selection grows or shrinks).
    void MoveTo(int pos, bool extend);

    // Replaces the selection with `s` (case-converted, cut to the limit). Returns true when the
    // text changed. `typing` lets consecutive typed characters undo as one change.
    bool ReplaceSel(const std::string& s, bool typing = false);
    // Backspace and Delete: the selection if any, else one character before/after the caret.
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
    static std::string ConvertCase(const std::string& s, TCase c);
    char PasswordChar() const { return FPassword; }
    void SetPasswordChar(char c) { FPassword = c; }
    // The text as shown: every character masked while a password character is set.
    std::string DisplayText() const;

    // Horizontal scroll in pixels: the displayed text is drawn starting at -ScrollX().
    int ScrollX() const { return FScrollX; }
    void SetScrollX(int x) { FScrollX = x < 0 ? 0 : x; }
    // Pixel offset of a position inside the displayed text (without scrolling).
    int PosToX(int pos, const Measure& measure) const;
    // The position whose boundary is nearest to x (x in unscrolled text pixels).
    int XToPos(int x, const Measure& measure) const;
    // Adjusts the scroll offset so the caret lies inside a view of `width` pixels, and so no
    // space is wasted at the right while text lies hidden at the left.
    void ScrollToCaret(int width, const Measure& measure);

private:
    void Remember(bool typing);
    void SetTextKeepUndo(std::string text, int caret);

    std::string FText;
    int FCaret = 0;
    int FAnchor = 0;
    int FLimit = MaxLimit;
    TCase FCase = TCase::None;
    char FPassword = 0;
    bool FModified = false;
    int FScrollX = 0;

    bool FCanUndo = false;
    bool FMergeTyping = false; // the last change was typing that ended at the caret
    std::string FUndoText;
    int FUndoCaret = 0;
    int FUndoAnchor = 0;
};

}  // namespace lumivane

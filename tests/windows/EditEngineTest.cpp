#include <gtest/gtest.h>

#include <vector>

#include "lumivane/gfx/text/Unicode.h"
#include "lumivane/windows/EditEngine.h"

using namespace lumivane;

namespace {

// Every character 7 px wide except 'i', which is 3: enough to tell prefix widths apart.
int Width(const std::string& s) {
    int w = 0;
    for (char c : s) w += c == 'i' ? 3 : 7;
    return w;
}

EditEngine With(const std::string& text, int anchor, int caret) {
    EditEngine e;
    e.SetText(text);
    e.SetSel(anchor, caret);
    return e;
}

} // namespace

TEST(EditEngine, SelectionIsOrderedWhicheverWayItWasMade) {
    EditEngine e = With("hello world", 8, 2);
    EXPECT_EQ(e.SelStart(), 2);
    EXPECT_EQ(e.SelEnd(), 8);
    EXPECT_EQ(e.SelText(), "llo wo");
    e.MoveTo(10, true); // extending moves the caret, the anchor stays
    EXPECT_EQ(e.SelText(), "rl");
    e.SetSel(-5, 99); // out of range clamps
    EXPECT_EQ(e.SelStart(), 0);
    EXPECT_EQ(e.SelEnd(), 11);
}

TEST(EditEngine, ReplaceDeleteAndBackspace) {
    EditEngine e = With("abcdef", 1, 4);
    EXPECT_TRUE(e.ReplaceSel("X"));
    EXPECT_EQ(e.Text(), "aXef");
    EXPECT_EQ(e.Caret(), 2);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_TRUE(e.DeleteBack());
    EXPECT_EQ(e.Text(), "aef");
    EXPECT_TRUE(e.DeleteForward());
    EXPECT_EQ(e.Text(), "af");
    e.MoveTo(0, false);
    EXPECT_FALSE(e.DeleteBack()); // nothing before the caret
    e.MoveTo(2, false);
    EXPECT_FALSE(e.DeleteForward());
    EXPECT_FALSE(e.ReplaceSel("")); // empty replacement of an empty selection changes nothing
    EXPECT_EQ(e.Text(), "af");
    EXPECT_TRUE(e.Modified());
}

TEST(EditEngine, SetTextReportsRealChangesAndResets) {
    EditEngine e = With("abc", 0, 3);
    e.ReplaceSel("x");
    EXPECT_TRUE(e.CanUndo());
    EXPECT_FALSE(e.SetText("x"));
    EXPECT_TRUE(e.SetText("xy"));
    EXPECT_EQ(e.Caret(), 0);
    EXPECT_FALSE(e.CanUndo());
}

TEST(EditEngine, LimitCutsInsertionsButKeepsExistingText) {
    EditEngine e;
    e.SetText("abcdef");
    e.SetLimit(4);
    e.MoveTo(6, false);
    EXPECT_FALSE(e.ReplaceSel("g")); // already over the limit: nothing is added
    EXPECT_EQ(e.Text(), "abcdef");
    e.SetText("ab");
    e.MoveTo(2, false);
    EXPECT_TRUE(e.ReplaceSel("12345"));
    EXPECT_EQ(e.Text(), "ab12");
    e.SetSel(0, 2); // replacing a selection frees its room
    EXPECT_TRUE(e.ReplaceSel("xyz"));
    EXPECT_EQ(e.Text(), "xy12");
    e.SetLimit(0); // no practical limit
    EXPECT_EQ(e.Limit(), EditEngine::MaxLimit);
    e.MoveTo(4, false);
    e.ReplaceSel(std::string(100, 'z'));
    EXPECT_EQ(e.Length(), 104);
}

TEST(EditEngine, WordMovementAndWordSelection) {
    EditEngine e;
    e.SetText("one  two,three");
    EXPECT_EQ(e.WordRight(0), 5);
    EXPECT_EQ(e.WordRight(5), 8);  // "two" then the comma is its own unit
    EXPECT_EQ(e.WordRight(8), 9);
    EXPECT_EQ(e.WordRight(9), 14);
    EXPECT_EQ(e.WordLeft(14), 9);
    EXPECT_EQ(e.WordLeft(9), 8);
    EXPECT_EQ(e.WordLeft(5), 0);
    EXPECT_EQ(e.WordLeft(0), 0);
    e.SelectWordAt(6);
    EXPECT_EQ(e.SelText(), "two");
    e.SelectWordAt(3); // just after "one"
    EXPECT_EQ(e.SelText(), "one");
    e.SelectWordAt(14);
    EXPECT_EQ(e.SelText(), "three");
}

TEST(EditEngine, UndoTogglesAndMergesTyping) {
    EditEngine e;
    e.SetText("ab");
    e.MoveTo(2, false);
    for (char c : std::string("cde")) e.ReplaceSel(std::string(1, c), true);
    EXPECT_EQ(e.Text(), "abcde");
    EXPECT_TRUE(e.Undo()); // the whole run of typing goes
    EXPECT_EQ(e.Text(), "ab");
    EXPECT_EQ(e.Caret(), 2);
    EXPECT_TRUE(e.Undo()); // and comes back
    EXPECT_EQ(e.Text(), "abcde");
    EXPECT_EQ(e.Caret(), 5);

    e.MoveTo(0, false); // moving the caret ends the run
    e.ReplaceSel("X", true);
    e.MoveTo(6, false);
    e.ReplaceSel("Y", true);
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "Xabcde");

    e.SetSel(1, 3);
    e.DeleteForward();
    EXPECT_EQ(e.Text(), "Xcde");
    e.Undo();
    EXPECT_EQ(e.Text(), "Xabcde");
    EXPECT_EQ(e.SelText(), "ab"); // the selection comes back with the text
}

TEST(EditEngine, CaseConversionKeepsWindows1252AndMapsTheRest) {
    using C = EditEngine::TCase;
    // Windows-1252 letters as they always were (µ stays, ÿ and Ÿ pair up)...
    EXPECT_EQ(EditEngine::ConvertCase("aZ1é÷ÿšµß", C::Upper), "AZ1É÷ŸŠµß");
    EXPECT_EQ(EditEngine::ConvertCase("Az1É×ŸŠ", C::Lower), "az1é×ÿš");
    // ...and every other script by Unicode's simple mappings.
    EXPECT_EQ(EditEngine::ConvertCase("ωя漢ǆ😀", C::Upper), "ΩЯ漢Ǆ😀");
    EXPECT_EQ(EditEngine::ConvertCase("ΩЯ", C::Lower), "ωя");
    EditEngine e;
    e.SetCase(C::Upper);
    e.ReplaceSel("mixed Case");
    EXPECT_EQ(e.Text(), "MIXED CASE");
}

TEST(EditEngine, PasswordMasksOnlyTheDisplay) {
    EditEngine e;
    e.SetText("secret");
    e.SetPasswordChar('*');
    EXPECT_EQ(e.DisplayText(), "******");
    EXPECT_EQ(e.Text(), "secret");
    // Measuring uses the masked text: 'i' would be narrower, '*' is not.
    e.SetText("iii");
    EXPECT_EQ(e.PosToX(3, Width), 21);
}

TEST(EditEngine, HitTestingPicksTheNearestBoundary) {
    EditEngine e;
    e.SetText("aia"); // boundaries at 0, 7, 10, 17
    EXPECT_EQ(e.XToPos(-4, Width), 0);
    EXPECT_EQ(e.XToPos(3, Width), 0);
    EXPECT_EQ(e.XToPos(4, Width), 1);
    EXPECT_EQ(e.XToPos(8, Width), 1);
    EXPECT_EQ(e.XToPos(9, Width), 2);
    EXPECT_EQ(e.XToPos(14, Width), 3);
    EXPECT_EQ(e.XToPos(500, Width), 3);
    EditEngine empty;
    EXPECT_EQ(empty.XToPos(20, Width), 0);
}

TEST(EditEngine, ScrollingKeepsTheCaretInView) {
    EditEngine e;
    e.SetText(std::string(20, 'a')); // 140 px of text in a 50 px view
    e.MoveTo(20, false);
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), 140 - 49);
    const int atEnd = e.ScrollX();
    e.MoveTo(19, false); // still visible: no scrolling
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), atEnd);
    e.MoveTo(5, false); // left of the view: scrolls back with a third of the width of context
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), 35 - 16);
    e.MoveTo(0, false);
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), 0);

    // After deleting at the end no blank space is left while text hides at the left.
    e.MoveTo(20, false);
    e.ScrollToCaret(50, Width);
    e.SetSel(10, 20);
    e.DeleteBack();
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), 70 - 49);
    // Short text never scrolls.
    e.SetText("ab");
    e.MoveTo(2, false);
    e.ScrollToCaret(50, Width);
    EXPECT_EQ(e.ScrollX(), 0);
}

namespace {

// "a", "é" as e + combining acute, a flag, a thumbs-up with a skin tone, "漢": five clusters.
const std::string kClusters = "a" "e\u0301" "\U0001F1EB\U0001F1F7" "\U0001F44D\U0001F3FD" "漢";
const int kBounds[] = {0, 1, 4, 12, 20, 23};

} // namespace

TEST(EditEngine, CaretAndDeletesStepOverWholeClusters) {
    EditEngine e;
    e.SetText(kClusters);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(e.NextPos(kBounds[i]), kBounds[i + 1]) << i;
        EXPECT_EQ(e.PrevPos(kBounds[i + 1]), kBounds[i]) << i;
    }
    EXPECT_EQ(e.NextPos(kBounds[5]), kBounds[5]);
    EXPECT_EQ(e.PrevPos(0), 0);
    // A position set inside a character falls back to its start; inside a cluster, the keys
    // still step to the cluster's ends.
    e.SetSel(14, 14);
    EXPECT_EQ(e.Caret(), 12);
    e.SetSel(2, 2);
    EXPECT_EQ(e.Caret(), 2);
    EXPECT_EQ(e.NextPos(2), 4);
    EXPECT_EQ(e.PrevPos(2), 1);
    // Backspace from the end and Delete from the start take one cluster each.
    e.MoveTo(e.Length(), false);
    std::vector<std::string> left;
    while (e.DeleteBack()) left.push_back(e.Text());
    EXPECT_EQ(left, (std::vector<std::string>{kClusters.substr(0, 20), kClusters.substr(0, 12), kClusters.substr(0, 4),
                                              "a", ""}));
    e.SetText(kClusters);
    e.DeleteForward();
    e.DeleteForward();
    EXPECT_EQ(e.Text(), kClusters.substr(4));
    // Characters (code points) for the messages.
    e.SetText(kClusters);
    const int chars[] = {0, 1, 3, 5, 7, 8};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(e.CharPos(kBounds[i]), chars[i]) << i;
        EXPECT_EQ(e.BytePos(chars[i]), kBounds[i]) << i;
    }
    EXPECT_EQ(e.CharCount(), 8);
}

TEST(EditEngine, LimitCountsCharactersAndNeverSplitsACluster) {
    struct Case {
        int limit;
        const char* before;
        const char* typed;
        const char* after;
    };
    const Case cases[] = {
        {3, "", "漢字かな", "漢字か"},          // three characters, nine bytes
        {3, "я", "😀😀😀", "я😀😀"},
        {2, "", "e\u0301x", "e\u0301"},          // the cluster is two characters
        {1, "", "e\u0301x", ""},                 // and is not split to fit
        {4, "ab", "\U0001F1EB\U0001F1F7!", "ab\U0001F1EB\U0001F1F7"},
        {4, "abc", "\U0001F1EB\U0001F1F7", "abc"},
    };
    for (const Case& c : cases) {
        EditEngine e;
        e.SetText(c.before);
        e.SetLimit(c.limit);
        e.MoveTo(e.Length(), false);
        e.ReplaceSel(c.typed);
        EXPECT_EQ(e.Text(), c.after) << c.limit << " " << c.typed;
    }
}

TEST(EditEngine, WordsPasswordsAndHitTestingInOtherScripts) {
    EditEngine e;
    e.SetText("Привет, 漢字 мир");
    EXPECT_EQ(e.WordRight(0), e.BytePos(6));     // over "Привет" to ","
    EXPECT_EQ(e.WordRight(e.BytePos(6)), e.BytePos(8));
    EXPECT_EQ(e.WordLeft(e.Length()), e.BytePos(11));
    e.SelectWordAt(e.BytePos(9));
    EXPECT_EQ(e.SelText(), "漢字");
    // One mask character for each cluster, whatever its bytes.
    e.SetText("a\U0001F44D\U0001F3FDe\u0301");
    e.SetPasswordChar(U'\u2022');
    EXPECT_EQ(e.DisplayText(), "\u2022\u2022\u2022");
    EXPECT_EQ(e.DisplayPos(e.Length()), 9);
    // Hit testing lands on cluster boundaries only: every cluster 10 px wide here.
    const EditEngine::Measure tenEach = [](const std::string& s) {
        int n = 0;
        for (size_t i = 0; i < s.size(); i = NextCluster(s, i)) ++n;
        return 10 * n;
    };
    e.SetPasswordChar(0);
    EXPECT_EQ(e.XToPos(14, tenEach), 1);
    EXPECT_EQ(e.XToPos(16, tenEach), 9);  // past the emoji's middle: after all of its 8 bytes
    EXPECT_EQ(e.XToPos(26, tenEach), e.Length());
    EXPECT_EQ(e.PosToX(9, tenEach), 20);
}

TEST(EditEngine, BadBytesGoInAsReplacementCharacters) {
    EditEngine e;
    e.SetText("a\xFF" "b");
    EXPECT_EQ(e.Text(), "a\uFFFD" "b");
    e.MoveTo(e.Length(), false);
    e.ReplaceSel("\xC3");
    EXPECT_EQ(e.Text(), "a\uFFFD" "b\uFFFD");
}

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "lumivane/gfx/text/TextEncoding.h"
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
    e.SetMeasure(Width);
    e.SetText("secret");
    e.SetPasswordChar('*');
    EXPECT_EQ(e.DisplayText(), "******");
    EXPECT_EQ(e.Text(), "secret");
    // Measuring uses the masked text: 'i' would be narrower, '*' is not.
    e.SetText("iii");
    EXPECT_EQ(e.PosToX(3), 21);
}

TEST(EditEngine, HitTestingPicksTheNearestBoundary) {
    EditEngine e;
    e.SetMeasure(Width);
    e.SetText("aia"); // boundaries at 0, 7, 10, 17
    EXPECT_EQ(e.XToPos(-4), 0);
    EXPECT_EQ(e.XToPos(3), 0);
    EXPECT_EQ(e.XToPos(4), 1);
    EXPECT_EQ(e.XToPos(8), 1);
    EXPECT_EQ(e.XToPos(9), 2);
    EXPECT_EQ(e.XToPos(14), 3);
    EXPECT_EQ(e.XToPos(500), 3);
    EditEngine empty;
    empty.SetMeasure(Width);
    EXPECT_EQ(empty.XToPos(20), 0);
}

TEST(EditEngine, ScrollingKeepsTheCaretInView) {
    EditEngine e;
    e.SetMeasure(Width);
    e.SetText(std::string(20, 'a')); // 140 px of text in a 50 px view
    e.MoveTo(20, false);
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), 140 - 49);
    const int atEnd = e.ScrollX();
    e.MoveTo(19, false); // still visible: no scrolling
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), atEnd);
    e.MoveTo(5, false); // left of the view: scrolls back with a third of the width of context
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), 35 - 16);
    e.MoveTo(0, false);
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), 0);

    // After deleting at the end no blank space is left while text hides at the left.
    e.MoveTo(20, false);
    e.ScrollToCaret(50);
    e.SetSel(10, 20);
    e.DeleteBack();
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), 70 - 49);
    // Short text never scrolls.
    e.SetText("ab");
    e.MoveTo(2, false);
    e.ScrollToCaret(50);
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
    e.SetMeasure(tenEach);
    EXPECT_EQ(e.XToPos(14), 1);
    EXPECT_EQ(e.XToPos(16), 9);  // past the emoji's middle: after all of its 8 bytes
    EXPECT_EQ(e.XToPos(26), e.Length());
    EXPECT_EQ(e.PosToX(9), 20);
}

TEST(EditEngine, BadBytesGoInAsReplacementCharacters) {
    EditEngine e;
    e.SetText("a\xFF" "b");
    EXPECT_EQ(e.Text(), "a\uFFFD" "b");
    e.MoveTo(e.Length(), false);
    e.ReplaceSel("\xC3");
    EXPECT_EQ(e.Text(), "a\uFFFD" "b\uFFFD");
}

namespace {

// What the engine remembers (widths, character counts) must agree with measuring and counting
// afresh after every kind of change, wherever the change falls against what it remembered.
// Each walk starts from a copy of the engine as the change left it, from the start and from the
// end, so the first positions asked are measured from what it remembered.
void ExpectRememberedAgree(const EditEngine& e, const std::string& step) {
    const std::string& t = e.Text();
    ASSERT_EQ(e.CharCount(), static_cast<int>(CountChars(t))) << step;
    std::vector<int> boundaries{0};
    while (boundaries.back() < e.Length()) boundaries.push_back(e.NextPos(boundaries.back()));
    for (bool backwards : {false, true}) {
        EditEngine x = e, c = e, b = e;
        for (size_t k = 0; k < boundaries.size(); ++k) {
            const int p = boundaries[backwards ? boundaries.size() - 1 - k : k];
            ASSERT_EQ(x.PosToX(p), Width(t.substr(0, static_cast<size_t>(p)))) << step << " at " << p;
            ASSERT_EQ(c.CharPos(p), static_cast<int>(ByteToChar(t, static_cast<size_t>(p)))) << step << " at " << p;
        }
        for (int k = 0; k <= e.CharCount(); ++k) {
            const int ch = backwards ? e.CharCount() - k : k;
            ASSERT_EQ(b.BytePos(ch), static_cast<int>(CharToByte(t, static_cast<size_t>(ch))))
                << step << " char " << ch;
        }
    }
}

} // namespace

TEST(EditEngine, RememberedWidthsAndCountsFollowEveryChange) {
    EditEngine e;
    e.SetMeasure(Width);
    e.SetText("ab漢ié" "cdefghi");
    const int end = e.Length();
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"caret at the end, measured", [&] { e.MoveTo(end, false), (void)e.PosToX(end - 1); }},
        {"type at the end", [&] { e.ReplaceSel("xy", true); }},
        {"type a multi-byte character at the end", [&] { e.ReplaceSel("Ж", true); }},
        {"delete the last character", [&] { e.DeleteBack(); }},
        {"caret at 0, measured", [&] { e.MoveTo(0, false), (void)e.PosToX(0); }},
        {"type at 0, left of what is remembered",
         [&] { (void)e.PosToX(e.Length() - 2), e.MoveTo(0, false), e.ReplaceSel("漢", true); }},
        {"delete forward at 0", [&] { e.MoveTo(0, false), e.DeleteForward(); }},
        {"replace a selection around the remembered position",
         [&] {
             (void)e.PosToX(e.NextPos(e.NextPos(2)));
             e.SetSel(1, e.NextPos(e.NextPos(e.NextPos(2))));
             e.ReplaceSel("Q");
         }},
        {"undo", [&] { e.Undo(); }},
        {"redo", [&] { e.Undo(); }},
        {"delete everything", [&] { e.SelectAll(), e.DeleteBack(); }},
        {"type into the empty text", [&] { e.ReplaceSel("i", true); }},
        {"a new measure",
         [&] { e.SetMeasure([](const std::string& s) { return 2 * Width(s); }), e.SetMeasure(Width); }},
    };
    for (const Step& s : steps) {
        s.run();
        ExpectRememberedAgree(e, s.name);
    }
}

TEST(EditEngine, UndoKeepsOnlyTheChangeAndRestoresTheWholeText) {
    EditEngine e;
    e.SetText(std::string(1000, 'a'));
    e.MoveTo(500, false);
    for (char c : std::string("xyz")) e.ReplaceSel(std::string(1, c), true);
    e.DeleteBack(); // not typing: a step of its own
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text().substr(500, 3), "xyz");
    EXPECT_EQ(e.Caret(), 503);
    EXPECT_TRUE(e.Undo()); // undo again redoes
    EXPECT_EQ(e.Text().substr(500, 3), "xya");
    e.Undo();
    e.MoveTo(0, false);
    e.SetSel(10, 20);
    e.ReplaceSel("Ω");
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text().substr(0, 500), std::string(500, 'a'));
    EXPECT_EQ(e.SelStart(), 10);
    EXPECT_EQ(e.SelEnd(), 20);
}

TEST(EditEngine, HitTestingFarFromWhatIsRememberedAndAtAMultiByteEdge) {
    EditEngine e;
    e.SetMeasure(Width);
    // 'a' is 7 px, 'i' 3 px and "漢" 7 px per byte (21 px): positions far apart, with a
    // multi-byte character straddling the x asked for.
    std::string text(300, 'a');
    text += "漢";
    text.append(300, 'i');
    e.SetText(text);
    e.MoveTo(e.Length(), false);
    (void)e.PosToX(e.Length() - 1); // remembered near the end
    const int kanji = 300 * 7;
    EXPECT_EQ(e.XToPos(kanji + 10), 300);     // left half of the character
    EXPECT_EQ(e.XToPos(kanji + 11), 303);     // right half: after all of its bytes
    EXPECT_EQ(e.XToPos(kanji - 4), 299);      // far left of the remembered position
    EXPECT_EQ(e.XToPos(1), 0);
    EXPECT_EQ(e.XToPos(kanji + 21 + 300 * 3), e.Length());
    (void)e.PosToX(0); // remembered at the start: the same answers from there
    EXPECT_EQ(e.XToPos(kanji + 10), 300);
    EXPECT_EQ(e.XToPos(kanji + 21 + 299 * 3 + 2), e.Length());
    // Scrolling puts the caret's cluster in view whole, on either side of the character.
    e.MoveTo(303, false);
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), kanji + 21 - 49);
    e.MoveTo(300, false); // still in view
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), kanji + 21 - 49);
    e.MoveTo(290, false);
    e.ScrollToCaret(50);
    EXPECT_EQ(e.ScrollX(), 290 * 7 - 16);
}

TEST(EditEngine, ShownPartOfTheTextMasksByCluster) {
    EditEngine e;
    e.SetText("ae\u0301漢");
    EXPECT_EQ(e.DisplayText(1, e.Length()), "e\u0301漢");
    EXPECT_EQ(e.DisplayText(3, 3), "");
    EXPECT_EQ(e.DisplayText(4, 1), "");
    e.SetPasswordChar('*');
    EXPECT_EQ(e.DisplayText(1, e.Length()), "**");
    EXPECT_EQ(e.DisplayText(0, e.Length()), e.DisplayText());
}

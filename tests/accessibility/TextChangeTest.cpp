// A text's change as the one run screen readers are told of: where, what went, what came.
#include <gtest/gtest.h>

#include <string>

#include "lumivane/accessibility/TextChange.h"
#include "lumivane/gfx/text/TextEncoding.h"

using namespace lumivane;

TEST(TextChange, OneRunBetweenTheCommonStartAndEnd) {
    struct Case {
        const char* what;
        const char *was, *now;
        TTextChange expected;
    };
    const Case cases[] = {
        {"same", "abc", "abc", {3, "", ""}},
        {"both empty", "", "", {0, "", ""}},
        {"typed at the end", "ab", "abc", {2, "", "c"}},
        {"typed at the start", "bc", "abc", {0, "", "a"}},
        {"typed in the middle", "ac", "abc", {1, "", "b"}},
        {"from nothing", "", "abc", {0, "", "abc"}},
        {"to nothing", "abc", "", {0, "abc", ""}},
        {"deleted in the middle", "abc", "ac", {1, "b", ""}},
        {"replaced", "abc", "axc", {1, "b", "x"}},
        {"replaced wholly", "abc", "xyz", {0, "abc", "xyz"}},
        // A repeated letter: the common start takes it, the rest is the insertion.
        {"doubled letter", "aa", "aaa", {2, "", "a"}},
        {"one of two removed", "aaa", "aa", {2, "a", ""}},
        // Multi-byte characters are never split, and At counts characters.
        {"after a two-byte character", "é", "éa", {1, "", "a"}},
        {"two-byte characters sharing a first byte", "é", "è", {0, "é", "è"}},
        {"sharing a last byte", "aé", "bé", {0, "a", "b"}},
        {"three-byte before", "中a", "中ba", {1, "", "b"}},
        {"one of two like characters", "ÉÉ", "É", {1, "É", ""}},
        {"four-byte replaced", "a😀b", "a😁b", {1, "😀", "😁"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TTextChange got = DiffText(c.was, c.now);
        EXPECT_EQ(got.At, c.expected.At);
        EXPECT_EQ(got.Removed, c.expected.Removed);
        EXPECT_EQ(got.Inserted, c.expected.Inserted);
    }
}

// Applying the change to the old text gives the new one, whatever the two are.
TEST(TextChange, ApplyingItGivesTheNewText) {
    const char* texts[] = {"", "a", "ab", "aab", "éé", "中文中", "a😀", "\xC3", "x\xE4\xB8", "😀😀😀"};
    for (const char* was : texts)
        for (const char* now : texts) {
            SCOPED_TRACE(std::string(was) + " -> " + now);
            const TTextChange c = DiffText(was, now);
            const std::string w = was;
            // At counts characters of the new text (a stray byte is one), and the start before
            // it is common.
            const size_t bytes = CharToByte(now, static_cast<size_t>(c.At));
            std::string rebuilt = w.substr(0, bytes) + c.Inserted + w.substr(bytes + c.Removed.size());
            EXPECT_EQ(rebuilt, now);
            EXPECT_EQ(w.substr(bytes, c.Removed.size()), c.Removed);
        }
}

// A text coming in from another program: its size limit (exactly reached, one byte over, a
// character cut through) and its two deadlines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lumivane/drivers/x11/IncomingText.h"

using namespace lumivane::x11;

namespace {

using TState = IncomingText::TState;

TEST(IncomingText, TheCapCutsAtACharacterBoundaryAndEndsTheTransfer) {
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        TState state;
        std::string text;
    } cases[] = {
        {"under the cap, ended", {"abc", "de", ""}, TState::Done, "abcde"},
        {"exactly the cap waits for the end", {"abcd", "efgh"}, TState::Waiting, "abcdefgh"},
        {"exactly the cap, ended", {"abcd", "efgh", ""}, TState::Done, "abcdefgh"},
        {"one byte over ends at once", {"abcd", "efghi"}, TState::Done, "abcdefgh"},
        {"a character ending at the cap stays", {"abcdef", "\xC3\xA9", "x"}, TState::Done, "abcdef\xC3\xA9"},
        {"a character across the cap goes whole", {"abcdefg", "\xC3\xA9"}, TState::Done, "abcdefg"},
        {"a three-byte character across the cap", {"abcdef", "\xE6\xBC\xA2"}, TState::Done, "abcdef"},
        {"an empty text", {""}, TState::Done, ""},
        {"pieces after the end change nothing", {"ab", "", "cd"}, TState::Done, "ab"},
    };
    for (const Case& c : cases) {
        IncomingText in(8, 0, 2000, 10000);
        for (const std::string& p : c.pieces) in.Add(p, 1);
        EXPECT_EQ(in.State(), c.state) << c.name;
        EXPECT_EQ(in.Text(), c.text) << c.name;
    }
}

TEST(IncomingText, GivenUpWithoutAPieceForTheStallTimeOrPastTheWhole) {
    IncomingText stalled(64, 1000, 2000, 10000);
    EXPECT_TRUE(stalled.StillWaiting(2999));
    EXPECT_FALSE(stalled.StillWaiting(3000));
    EXPECT_EQ(stalled.State(), TState::Failed);
    stalled.Add("late", 3001); // a piece after giving up changes nothing
    EXPECT_EQ(stalled.State(), TState::Failed);
    EXPECT_EQ(stalled.Text(), "");

    // Each piece moves the stall deadline; the overall one stays.
    IncomingText steady(1 << 20, 0, 2000, 10000);
    for (int64_t t = 1500; t < 10000; t += 1500) {
        steady.Add("x", t);
        EXPECT_TRUE(steady.StillWaiting(t + 1999 < 10000 ? t + 1999 : 9999)) << t;
    }
    EXPECT_EQ(steady.Deadline(), 10000);
    EXPECT_FALSE(steady.StillWaiting(10000));
    EXPECT_EQ(steady.State(), TState::Failed);

    // A finished transfer is not undone by the clock, and a refused one stays refused.
    IncomingText done(64, 0, 2000, 10000);
    done.Add("abc", 1);
    done.Add("", 2);
    EXPECT_FALSE(done.StillWaiting(50000));
    EXPECT_EQ(done.State(), TState::Done);
    IncomingText refused(64, 0, 2000, 10000);
    refused.Fail();
    refused.Add("abc", 1);
    EXPECT_EQ(refused.State(), TState::Failed);
}

} // namespace

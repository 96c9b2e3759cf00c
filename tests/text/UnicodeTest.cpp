// Grapheme clusters, case and character kinds: Unicode's own conformance file where Debian's
// unicode-data has it, and the cases the edit and DrawText rely on.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/gfx/text/Unicode.h"

using namespace lumivane;

namespace {

// Every boundary of s, walking forward and backward.
std::vector<size_t> Forward(const std::string& s) {
    std::vector<size_t> b{0};
    for (size_t i = 0; i < s.size();) b.push_back(i = NextCluster(s, i));
    return b;
}
std::vector<size_t> Backward(const std::string& s) {
    std::vector<size_t> b{s.size()};
    for (size_t i = s.size(); i > 0;) b.insert(b.begin(), i = PrevCluster(s, i));
    return b;
}

struct ClusterCase {
    std::string text;
    std::vector<size_t> bounds;
    const char* why;
};

const ClusterCase kClusterCases[] = {
    {"abc", {0, 1, 2, 3}, "ASCII"},
    {"e\u0301x", {0, 3, 4}, "e and a combining accent"},
    {"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA", {0, 8, 16}, "two flags: regional indicators pair up"},
    {"\U0001F44D\U0001F3FD!", {0, 8, 9}, "an emoji with a skin tone"},
    {"\U0001F468\u200D\U0001F469\u200D\U0001F467", {0, 18}, "a family joined by ZWJ"},
    {"a\r\nb", {0, 1, 3, 4}, "CR LF is one"},
    {"\u1100\u1161\u11A8", {0, 9}, "Hangul jamo make one syllable"},
    {"a\xE6\xBC" "b", {0, 1, 2, 3, 4}, "a bad byte stands alone..."},
    {"e\xFF\u0301", {0, 1, 2, 4}, "...and nothing joins to it"},
};

} // namespace

TEST(Graphemes, ClustersOfTheScriptsTheEditMeets) {
    for (const ClusterCase& c : kClusterCases) {
        EXPECT_EQ(Forward(c.text), c.bounds) << c.why;
        EXPECT_EQ(Backward(c.text), c.bounds) << c.why;
        for (size_t b : c.bounds)
            if (b < c.text.size()) {
                EXPECT_EQ(PrevCluster(c.text, b + 1), b) << c.why << " at " << b;
            }
    }
    // From inside a cluster: forward to its end, back to its start.
    EXPECT_EQ(NextCluster("e\u0301x", 1), 3u);
    EXPECT_EQ(PrevCluster("e\u0301x", 2), 0u);
    EXPECT_EQ(PrevCluster("e\u0301x", 2), 0u); // no cluster starts inside the accented e
    EXPECT_EQ(NextCluster("", 0), 0u);
    EXPECT_EQ(PrevCluster("", 0), 0u);
    EXPECT_EQ(PrevCluster("ab", 99), 1u);
}

TEST(Graphemes, LongTextsAreWalkedFromANearbySafePoint) {
    // A flag after many ASCII characters and after many regional indicators: the count of
    // indicators before it decides, so the walk back must start far enough.
    std::string flags;
    for (int i = 0; i < 5; ++i) flags += "\U0001F1EB\U0001F1F7";
    const std::string s = std::string(1000, 'x') + flags;
    EXPECT_EQ(PrevCluster(s, s.size()), s.size() - 8);
    EXPECT_EQ(PrevCluster(s, s.size() - 8), s.size() - 16);
    EXPECT_EQ(NextCluster(s, 1000 + 8), 1000 + 16u);
}

// Unicode's conformance test: lines of "÷ 0061 × 0308 ÷" (÷ a boundary, × none).
TEST(Graphemes, UnicodeConformance) {
    std::ifstream in("/usr/share/unicode/auxiliary/GraphemeBreakTest.txt");
    if (!in) GTEST_SKIP() << "unicode-data is not installed";
    std::string line;
    int cases = 0, failures = 0;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string w, text;
        std::vector<size_t> bounds;
        while (words >> w) {
            if (w == "\xC3\xB7") {
                bounds.push_back(text.size());
            } else if (w != "\xC3\x97") {
                AppendUtf8(text, static_cast<char32_t>(std::stoul(w, nullptr, 16)));
            }
        }
        if (text.empty()) continue;
        ++cases;
        // Lone surrogates cannot be UTF-8; such lines are skipped.
        if (!IsValidUtf8(text)) continue;
        if (Forward(text) != bounds || Backward(text) != bounds) {
            if (++failures <= 5) ADD_FAILURE() << "line: " << line;
        }
    }
    EXPECT_GT(cases, 500);
    EXPECT_EQ(failures, 0);
}

TEST(Unicode, CaseAndKind) {
    EXPECT_EQ(UpperChar(U'я'), U'Я');
    EXPECT_EQ(LowerChar(U'Ω'), U'ω');
    EXPECT_EQ(UpperChar(U'漢'), U'漢');
    EXPECT_EQ(KindOfChar(U' '), TCharKind::Blank);
    EXPECT_EQ(KindOfChar(U'\u3000'), TCharKind::Blank); // ideographic space
    EXPECT_EQ(KindOfChar(U'я'), TCharKind::Word);
    EXPECT_EQ(KindOfChar(U'漢'), TCharKind::Word);
    EXPECT_EQ(KindOfChar(U'\u0301'), TCharKind::Word);
    EXPECT_EQ(KindOfChar(U'_'), TCharKind::Word);
    EXPECT_EQ(KindOfChar(U'。'), TCharKind::Punct);
    EXPECT_EQ(KindOfChar(U'!'), TCharKind::Punct);
}

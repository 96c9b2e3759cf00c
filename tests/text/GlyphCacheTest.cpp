#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/FontMatchCache.h"
#include "lumivane/gfx/text/GlyphCache.h"
#include "tests/text/TempDir.h"

using namespace lumivane;

namespace {

FontSpec Ask(const char* name, int height, bool bold) {
    FontSpec s;
    s.name = name;
    s.height = height;
    s.bold = bold;
    return s;
}

Surface Draw(const Font& font, const char* text) {
    Surface s(240, 40, 0xFFFFFF);
    DeviceContext dc(&s);
    dc.font = &font;
    dc.bkMode = TRANSPARENT;
    TextOutA(&dc, 4, 4, text, static_cast<int>(std::strlen(text)));
    return s;
}

} // namespace

TEST(GlyphCacheFile, ParsesWhatItWritesAndRefusesEveryTruncationAndBadField) {
    GlyphCache::Contents c;
    c.code = "exe 1.2:3:4\n/lib/libfreetype.so.6 5.6:7:8\n";
    c.fontAnswers = "0123456789abcdef";
    DrawnFont f;
    f.faceFile = "/fonts/wqy-zenhei.ttc";
    f.faceIndex = 1;
    f.metrics = {17, 14, 3, 3, 7};
    f.underlineTop = 15;
    f.strikeTop = 9;
    f.syntheticBold = true;
    f.faces = {{f.faceFile, "1.2:3:4"}, {"/fonts/DejaVuSans.ttf", "-"}};
    f.glyphs[U'R'] = Glyph{1, 10, 2, 3, 8, {0, 128, 255, 1, 2, 3}};
    f.glyphs[U' '] = Glyph{0, 0, 0, 0, 4, {}};
    f.glyphs[0x10FFFF] = Glyph{-2, -1, 1, 1, 0, {9}};
    c.fonts[GlyphCache::KeyOf(Ask("宋体", -14, true))] = f;
    c.fonts[GlyphCache::KeyOf(Ask("Tahoma", 12, false))] = DrawnFont{};
    const std::string bytes = GlyphCache::Format(c);
    ASSERT_EQ(GlyphCache::Parse(bytes), c);

    for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(GlyphCache::Parse(bytes.substr(0, n))) << n;
    EXPECT_FALSE(GlyphCache::Parse(bytes + '\0'));
    std::string bad = bytes;
    bad[9] = 'G'; // the header
    EXPECT_FALSE(GlyphCache::Parse(bad));
    // A field out of range: a code point past Unicode, a wild placement, a huge bitmap.
    for (const Glyph& wild : {Glyph{1 << 20, 0, 0, 0, 1, {}}, Glyph{0, 0, 1 << 14, 0, 1, {}}, Glyph{0, 0, 0, 1 << 14, 1, {}}}) {
        GlyphCache::Contents w = c;
        w.fonts.begin()->second.glyphs[U'!'] = wild;
        EXPECT_FALSE(GlyphCache::Parse(GlyphCache::Format(w)));
    }
    GlyphCache::Contents past = c;
    past.fonts.begin()->second.glyphs[0x110000] = Glyph{};
    EXPECT_FALSE(GlyphCache::Parse(GlyphCache::Format(past)));
}

TEST(GlyphCacheFont, DrawsWhatWasKeptWithoutOpeningAFaceAndTheRestAsBefore) {
    for (const FontSpec& asked : {Ask("宋体", -14, false), Ask("宋体", -19, true), Ask("DejaVu Sans", 15, false)}) {
        const Font drawing(asked);
        ASSERT_TRUE(drawing.HasFace());
        const char* text = "Renamed to Lumivane";
        const Surface before = Draw(drawing, text);
        auto kept = GlyphCache::Parse(GlyphCache::Format({"code", "answers", {{"k", drawing.Drawn()}}}));
        ASSERT_TRUE(kept);

        const Font taken(asked, kept->fonts["k"]);
        EXPECT_EQ(taken.Metrics(), drawing.Metrics());
        EXPECT_EQ(taken.UnderlineTop(), drawing.UnderlineTop());
        EXPECT_EQ(taken.SyntheticBold(), drawing.SyntheticBold());
        EXPECT_TRUE(Draw(taken, text).Pixels() == before.Pixels()) << asked.name << asked.height;
        EXPECT_FALSE(taken.FacesOpen());
        EXPECT_FALSE(taken.DrewNew());
        // A glyph nobody drew yet opens the faces, at the same size and styles.
        EXPECT_TRUE(Draw(taken, "Qwy").Pixels() == Draw(drawing, "Qwy").Pixels()) << asked.name;
        EXPECT_EQ(taken.GlyphFor(U'宋'), drawing.GlyphFor(U'宋'));
        EXPECT_TRUE(taken.FacesOpen());
        EXPECT_TRUE(taken.DrewNew());
        EXPECT_EQ(taken.Drawn().glyphs.size(), drawing.Drawn().glyphs.size());
    }
}

TEST(GlyphCacheFile, KeptFontsHoldOnlyForTheSameCodeAnswersAndFaces) {
    texttest::TempDir tmp;
    const std::string dir = tmp.Path();
    ASSERT_FALSE(dir.empty());
    const std::string face = std::string(dir) + "/face.ttf", path = std::string(dir) + "/cache/glyphs";
    std::ofstream(face) << "font";
    const FontSpec asked = Ask("宋体", -14, false);
    DrawnFont f;
    f.faceFile = face;
    f.faces[face] = FontMatchCache::StateOf(face);
    f.glyphs[U'x'] = Glyph{0, 5, 1, 1, 6, {200}};

    struct Case {
        const char* what;
        std::string code, answers, file;
        int index;
        bool holds;
    };
    const Case cases[] = {
        {"all as it was", "code", "answers", face, 0, true},
        {"another program or library", "code2", "answers", face, 0, false},
        {"other font answers", "code", "answers2", face, 0, false},
        {"another face chosen today", "code", "answers", face + "x", 0, false},
        {"another face in the file", "code", "answers", face, 1, false},
    };
    for (const Case& c : cases) {
        GlyphCache writing(path, "code", "answers");
        writing.Put(asked, f);
        ASSERT_TRUE(writing.Save("answers"));
        GlyphCache reading(path, c.code, c.answers);
        EXPECT_EQ(reading.Take(asked, c.file, c.index).has_value(), c.holds) << c.what;
        if (c.holds) {
            EXPECT_FALSE(reading.Take(asked, face, 0)) << "taken once";
        }
    }
    // The face file changed since; a damaged file; no place at all: nothing is taken.
    struct stat st {};
    ASSERT_EQ(::stat(face.c_str(), &st), 0);
    timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 1;
    ASSERT_EQ(::utimensat(AT_FDCWD, face.c_str(), times, 0), 0);
    EXPECT_FALSE(GlyphCache(path, "code", "answers").Take(asked, face, 0));
    std::ofstream(path) << "lumivane glyphs 1\n\x03";
    EXPECT_FALSE(GlyphCache(path, "code", "answers").Take(asked, face, 0));
    EXPECT_FALSE(GlyphCache("", "code", "answers").Save("answers"));
}

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "lumivane/gfx/text/FontMatchCache.h"
#include "tests/text/TempDir.h"

using namespace lumivane;

namespace {

using texttest::TempDir;

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Moves a path's time by a second, as an editor's save would.
void Touch(const std::string& path) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += 1;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

const FontMatchCache::Entry kSong{"/fonts/wqy-zenhei.ttc", 0};
const FontMatchCache::Entry kSans{"/fonts/DejaVuSans.ttf", 2};

} // namespace

TEST(FontMatchCacheFile, ParsesWhatItWritesAndRefusesAnythingElse) {
    FontMatchCache::Contents c;
    c.context = {"LANG=C.UTF-8", "HOME"};
    c.stamps = {{"/etc/fonts/fonts.conf", "1700000000.000000001:2048:77"}, {"/no/such dir", "-"}};
    c.answers = {{FontMatchCache::KeyOf("宋体", "zh-cn", true, false), kSong},
                 {FontMatchCache::KeyOf("a/b", "", false, true), kSans}};
    const std::string text = FontMatchCache::Format(c);
    ASSERT_EQ(FontMatchCache::Parse(text), c) << text;

    const std::string head = "lumivane font matches 1\n";
    for (const std::string& bad : std::vector<std::string>{"", head.substr(0, head.size() - 1), "lumivane font matches 2\n",
                                  head + "\n", head + "stamp\t-\n", head + "stamp\t\t/x\n",
                                  head + "answer\t-1\tk\t/f\n", head + "answer\t2147483648\tk\t/f\n",
                                  head + "answer\t1\tk\t/f\textra\n", head + "answer\t1\t\t/f\n",
                                  head + "what\tever\n", head + "context\ta\tb\n", std::string("\0\n", 2)})
        EXPECT_FALSE(FontMatchCache::Parse(bad)) << bad;
    EXPECT_TRUE(FontMatchCache::Parse(head + "answer\t2147483647\tk\t/f\n"));
}

TEST(FontMatchCacheFile, AnswersHoldOnlyWhileEveryInputIsAsItWas) {
    TempDir dir;
    const std::string conf = dir.Path() + "/fonts.conf", fonts = dir.Path() + "/fonts",
                      later = dir.Path() + "/local.conf", cache = dir.Path() + "/cache/lumivane/matches";
    WriteFile(conf, "<fontconfig/>");
    ::mkdir(fonts.c_str(), 0700);
    const FontMatchCache::Entry song{fonts + "/song.ttc", 0};
    const std::string key = FontMatchCache::KeyOf("宋体", "zh-cn", false, false);
    const bool hadCtype = std::getenv("LC_CTYPE") != nullptr;
    const std::string savedCtype = hadCtype ? std::getenv("LC_CTYPE") : "";
    const auto restoreCtype = [&] {
        if (hadCtype) ::setenv("LC_CTYPE", savedCtype.c_str(), 1);
        else ::unsetenv("LC_CTYPE");
    };
    const std::vector<std::string> inputs = {conf, fonts, later};

    struct Change {
        const char* what;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"configuration edited", [&] { Touch(conf); }},
        {"a font added to a font folder", [&] { WriteFile(fonts + "/new.ttf", "x"); }},
        {"a configuration file that did not exist appears", [&] { WriteFile(later, "<fontconfig/>"); }},
        {"the chosen file replaced", [&] { ::unlink(song.file.c_str()); WriteFile(song.file, "other font"); }},
        {"the chosen file gone", [&] { ::unlink(song.file.c_str()); }},
        {"another locale", [&] { ::setenv("LC_CTYPE", "xx_XX.lumivane-test", 1); }},
    };
    for (const auto& change : changes) {
        ::unlink(later.c_str());
        WriteFile(song.file, "font");
        restoreCtype();
        {
            FontMatchCache fresh(cache);
            fresh.Store(key, song, inputs);
        }
        EXPECT_EQ(FontMatchCache(cache).Find(key), song) << "before: " << change.what;
        change.make();
        EXPECT_FALSE(FontMatchCache(cache).Find(key)) << change.what;
    }
    restoreCtype();

    // A second answer under the same inputs joins the first; under changed inputs it replaces it.
    const std::string key2 = FontMatchCache::KeyOf("Tahoma", "", true, false);
    FontMatchCache(cache).Store(key, song, inputs);
    FontMatchCache(cache).Store(key2, song, inputs);
    EXPECT_EQ(FontMatchCache(cache).Find(key), song);
    EXPECT_EQ(FontMatchCache(cache).Find(key2), song);
    Touch(conf);
    FontMatchCache(cache).Store(key2, song, inputs);
    EXPECT_FALSE(FontMatchCache(cache).Find(key));
    EXPECT_EQ(FontMatchCache(cache).Find(key2), song);

    // What the format cannot hold is not kept; a damaged file is only a miss.
    FontMatchCache(cache).Store(FontMatchCache::KeyOf("a\tb", "", false, false), song, inputs);
    FontMatchCache(cache).Store(FontMatchCache::KeyOf("a\nb", "", false, false), song, inputs);
    EXPECT_FALSE(FontMatchCache(cache).Find(FontMatchCache::KeyOf("a\tb", "", false, false)));
    WriteFile(cache, "lumivane font matches 1\nanswer\tx\n");
    EXPECT_FALSE(FontMatchCache(cache).Find(key2));
    EXPECT_FALSE(FontMatchCache("").Find(key2));
    FontMatchCache("").Store(key2, song, inputs); // no place: nothing written, no failure
}

// The cache folder and its files: where they live, what is refused, how the folder is bounded.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "lumivane/gfx/text/CacheFile.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/FontMatchCache.h"
#include "lumivane/gfx/text/GlyphCache.h"
#include "tests/text/TempDir.h"

using namespace lumivane;
using texttest::TempDir;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> out;
    const std::string cmd = "ls -A '" + dir + "' 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    char line[512];
    while (p && std::fgets(line, sizeof line, p)) {
        std::string s(line);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        out.push_back(s);
    }
    if (p) ::pclose(p);
    return out;
}

// Sets or clears an environment variable for the life of the object.
class Env {
public:
    Env(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old, FHad = true;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~Env() { FHad ? ::setenv(FName, FOld.c_str(), 1) : ::unsetenv(FName); }

private:
    const char* FName;
    std::string FOld;
    bool FHad = false;
};

void SetAge(const std::string& path, std::time_t mtime) {
    timespec times[2] = {{mtime, 0}, {mtime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A file of the size asked for that takes no room on disk.
void MakeFile(const std::string& path, long long size, std::time_t mtime) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    SetAge(path, mtime);
}

} // namespace

TEST(CacheFolder, FromTheProgramTheEnvironmentOrTheUsersCache) {
    struct Case {
        const char* lumivaneCache;
        const char* xdg;
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {nullptr, nullptr, "/home/u", "/home/u/.cache/lumivane"},
        {nullptr, "/xdg", "/home/u", "/xdg/lumivane"},
        {nullptr, "relative", "/home/u", "/home/u/.cache/lumivane"},
        {"", "/xdg", "/home/u", "/xdg/lumivane"},
        {"/elsewhere/c", "/xdg", "/home/u", "/elsewhere/c"},
        {"off", "/xdg", "/home/u", ""},
        {"relative/dir", "/xdg", "/home/u", ""},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        Env a("LUMIVANE_CACHE", c.lumivaneCache), b("XDG_CACHE_HOME", c.xdg), h("HOME", c.home);
        EXPECT_EQ(CacheFolder(), c.folder) << (c.lumivaneCache ? c.lumivaneCache : "(unset)");
    }
}

// The program's own switch, in a child of its own (the choice is the process's): off wins over
// the environment, and a run that draws text then writes nothing at all.
TEST(CacheFolder, TheProgramsSwitchTurnsBothCachesOff) {
    TempDir dir;
    const std::string folder = dir.Path() + "/cache";
    Env e("LUMIVANE_CACHE", folder.c_str());
    for (const bool off : {true, false}) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (off) SetCacheFolder("");
            const bool chosen = CacheFolder() == (off ? "" : folder);
            HFONT f = GetFont(FontSpec{"DejaVu Sans", -13});
            TextWidth(f, "Kept?");
            KeepDrawnGlyphs();
            _exit(chosen ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(Names(folder).empty(), off) << "off=" << off;
    }
}

TEST(CacheFile, OpensOnlyRegularFilesOfAFolderThatIsTheUsersAlone) {
    TempDir dir;
    const std::string good = dir.Path() + "/good", file = good + "/glyphs-1";
    ASSERT_TRUE(WriteCacheFile(file, "kept"));
    EXPECT_EQ(ReadCacheFile(file, 100), "kept");
    EXPECT_EQ(::access((good).c_str(), F_OK), 0);
    struct stat st {};
    ASSERT_EQ(::stat(good.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "made for the user alone";
    EXPECT_FALSE(ReadCacheFile(file, 3)) << "larger than asked for";

    // What is put in the file's place: never followed, never waited on.
    const std::string victim = dir.Path() + "/victim";
    std::ofstream(victim) << "victim";
    struct Planted {
        const char* what;
        std::function<void(const std::string&)> make;
    };
    const Planted planted[] = {
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a link to a file", [&](const std::string& p) { ASSERT_EQ(::symlink(victim.c_str(), p.c_str()), 0); }},
        {"a link to a FIFO", [&](const std::string& p) {
             ASSERT_EQ(::mkfifo((p + ".fifo").c_str(), 0600), 0);
             ASSERT_EQ(::symlink((p + ".fifo").c_str(), p.c_str()), 0);
         }},
        {"a folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); }},
    };
    int n = 0;
    for (const Planted& p : planted) {
        const std::string path = good + "/glyphs-planted" + std::to_string(n++);
        p.make(path);
        EXPECT_FALSE(ReadCacheFile(path, 100)) << p.what;
    }
    // A link planted at the temporary name an earlier version used: the write goes elsewhere.
    const std::string other = good + "/glyphs-2";
    ASSERT_EQ(::symlink(victim.c_str(), (other + "." + std::to_string(::getpid()) + ".tmp").c_str()), 0);
    EXPECT_TRUE(WriteCacheFile(other, "new"));
    EXPECT_EQ(Slurp(victim), "victim");
    EXPECT_EQ(ReadCacheFile(other, 100), "new");

    // Folders not the user's alone: nothing is read from them or written into them.
    struct Folder {
        const char* what;
        std::function<bool(const std::string&)> make; // false: cannot be made here
    };
    const Folder folders[] = {
        {"writable by the group", [](const std::string& d) { return ::chmod(d.c_str(), 0770) == 0; }},
        {"writable by everyone", [](const std::string& d) { return ::chmod(d.c_str(), 0777) == 0; }},
        {"another user's", [](const std::string& d) { return ::geteuid() == 0 && ::chown(d.c_str(), 65534, 65534) == 0; }},
    };
    for (const Folder& f : folders) {
        const std::string d = dir.Path() + "/bad" + std::to_string(n++), path = d + "/glyphs-1";
        ASSERT_TRUE(WriteCacheFile(path, "old"));
        if (!f.make(d)) continue;
        EXPECT_FALSE(ReadCacheFile(path, 100)) << f.what;
        EXPECT_FALSE(WriteCacheFile(path, "new")) << f.what;
    }
    const std::string link = dir.Path() + "/link";
    ASSERT_EQ(::symlink(good.c_str(), link.c_str()), 0);
    EXPECT_FALSE(ReadCacheFile(link + "/glyphs-1", 100)) << "a link to the folder";
    EXPECT_FALSE(WriteCacheFile(link + "/glyphs-1", "x")) << "a link to the folder";
}

TEST(CacheFile, TheFolderIsTrimmedByAgeThenByTotalSize) {
    const std::time_t now = std::time(nullptr);
    const long long kBound = CacheBounds::kMaxFolderBytes;
    const std::time_t kDay = 86400, kOld = now - CacheBounds::kMaxAgeDays * kDay;
    struct File {
        const char* name;
        long long size;
        std::time_t mtime;
    };
    struct Case {
        const char* what;
        const char* keep; // the file just written
        std::vector<File> files;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"exactly at the bound: nothing goes", "font-matches-c",
         {{"glyphs-a", kBound / 2, now - 300}, {"glyphs-b", kBound / 4, now - 200}, {"font-matches-c", kBound / 4, now - 100}},
         {"font-matches-c", "glyphs-a", "glyphs-b"}},
        {"a byte over: the oldest goes", "font-matches-c",
         {{"glyphs-a", kBound / 2, now - 300}, {"glyphs-b", kBound / 4, now - 200}, {"font-matches-c", kBound / 4 + 1, now - 100}},
         {"font-matches-c", "glyphs-b"}},
        {"the one just written counts but stays, however old or large", "glyphs-keep",
         {{"glyphs-keep", kBound + 1, kOld - kDay}, {"glyphs-b", 10, now}},
         {"glyphs-keep"}},
        {"by age: a second older than the limit goes", "",
         {{"glyphs-a", 1, kOld - 1}, {"glyphs-b", 1, kOld + 60}},
         {"glyphs-b"}},
        {"temporaries: stale ones go, a write under way stays", "",
         {{"glyphs-a.12.ff.tmp", 5, now - CacheBounds::kStaleTemporarySeconds - 5}, {"glyphs-b.13.ee.tmp", 5, now - 1}},
         {"glyphs-b.13.ee.tmp"}},
        {"files not ours stay whatever their age and size", "",
         {{"notes.txt", kBound * 2, kOld - kDay}, {"glyphs-a", 1, now}},
         {"glyphs-a", "notes.txt"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const File& f : c.files) MakeFile(dir.Path() + "/" + f.name, f.size, f.mtime);
        TrimCacheFolder(dir.Path(), c.keep, now);
        EXPECT_EQ(Names(dir.Path()), c.left) << c.what;
    }
}

// Only the fonts asked for have their glyphs read; the others go back to the file as they came.
TEST(CacheFile, FontsNotAskedForAreWrittenBackAsRead) {
    TempDir dir;
    const std::string face = dir.Path() + "/face.ttf", path = dir.Path() + "/cache/glyphs-x";
    std::ofstream(face) << "font";
    DrawnFont f;
    f.faceFile = face;
    f.faces[face] = FontMatchCache::StateOf(face);
    f.glyphs[U'x'] = Glyph{0, 5, 1, 1, 6, {200}};
    const FontSpec a{"A", -11}, b{"B", -12}, c{"C", -13};
    {
        GlyphCache w(path, "code", "answers");
        w.Put(a, f);
        w.Put(b, f);
        w.Put(c, f);
        ASSERT_TRUE(w.Save("answers"));
    }
    const std::string before = Slurp(path);
    {
        GlyphCache r(path, "code", "answers");
        auto taken = r.Take(b, face, 0);
        ASSERT_TRUE(taken);
        EXPECT_EQ(*taken, f);
        r.Put(b, *taken);
        ASSERT_TRUE(r.Save("answers"));
    }
    EXPECT_EQ(Slurp(path), before);
    const auto all = GlyphCache::Parse(before);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->fonts.size(), 3u);
}

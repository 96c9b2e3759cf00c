#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lumivane/gfx/text/FontMatch.h"

namespace lumivane {

// fontconfig's answers kept between runs. Loading fontconfig means parsing its XML configuration
// and mapping its caches, which costs more than the rest of a small window's start-up together;
// an answer is only a file name. Each answer is kept with the state (time, size, inode) of every
// input that fontconfig read to give it: its configuration files and folders, the font folders it
// scanned or would scan if they existed, the user's configuration places and the chosen files.
// When any of them changed, or the environment that steers fontconfig differs, nothing is used
// and fontconfig answers again. The file is ours; a damaged one is ignored and rewritten.
class FontMatchCache {
public:
    struct Entry {
        std::string file;
        int index = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    struct Contents {
        // What steers fontconfig besides files: environment variables, each "NAME=value".
        std::vector<std::string> context;
        // Path -> its state when the answers were given ("-" when it did not exist).
        std::map<std::string, std::string> stamps;
        // Request key -> answer.
        std::map<std::string, Entry> answers;
        friend bool operator==(const Contents&, const Contents&) = default;
    };

    // Reads the cache at path; its answers count only if its context is this process's and every
    // stamp still holds. An empty path keeps nothing.
    explicit FontMatchCache(std::string path);

    // The cache file of this user for this environment in CacheFolder(), or "" when caching is off.
    static std::string DefaultPath();
    // A user's base folder: $xdgVariable when it is an absolute path, else ~/underHome; "" when
    // neither is known.
    static std::string UserDir(const char* xdgVariable, const char* underHome);
    // The key of one request: family, language and styles.
    static std::string KeyOf(const std::string& family, const std::string& lang, bool bold, bool italic);

    std::optional<Entry> Find(const std::string& key) const;
    // Keeps an answer and writes the file. inputs are fontconfig's inputs now; the answers kept
    // so far stay only if they were given under the same inputs. Keys, paths or values that the
    // format cannot hold are not kept.
    void Store(const std::string& key, const Entry& answer, const std::vector<std::string>& inputs);

    // Stands for the inputs and context the answers were given under: equal fingerprints, equal
    // fontconfig. "" while no answers hold.
    std::string Fingerprint() const;

    // The file's text; nullopt for anything malformed. Never reads past text.
    static std::optional<Contents> Parse(std::string_view text);
    static std::string Format(const Contents& contents);
    // The state of a path as stamped: "-" when it does not exist.
    static std::string StateOf(const std::string& path);
    // This process's context: the environment variables fontconfig reads, and the program's name.
    static std::vector<std::string> CurrentContext();

private:
    bool Write() const;

    std::string FPath;
    Contents FContents;
    bool FValid = false;
};

}  // namespace lumivane

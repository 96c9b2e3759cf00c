#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "lumivane/gfx/text/FontFace.h"

namespace lumivane {

// Rendered glyphs and font metrics kept between runs. Before FreeType can hint the first glyph of a
// face, its auto-hinter sorts every character of the face by script, and opening a CJK face reads
// its large character map: most of a small window's start-up. A font found here draws its known
// glyphs without opening any face; the first glyph it lacks opens them as before.
//
// What was drawn holds only while everything that made it is unchanged: this program and the
// libraries it runs with (their time, size and inode), fontconfig's inputs (through the remembered
// font answers), the chosen face and every face a glyph came from. The file is ours; a damaged one
// is ignored and rewritten.
class GlyphCache {
public:
    struct Contents {
        std::string code;        // the program and its libraries (CodeIdentity)
        std::string fontAnswers; // the remembered font answers they were drawn under
        std::map<std::string, DrawnFont> fonts; // by KeyOf
        friend bool operator==(const Contents&, const Contents&) = default;
    };

    // Reads the file at path: its fonts count only when it was written by this very code under
    // these font answers. An empty path keeps nothing.
    GlyphCache(std::string path, std::string code, std::string fontAnswers);
    // It keeps views into the bytes it read.
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // This process's cache, read at first use from DefaultPath. Only the fonts asked for have
    // their glyphs read: the others cost their bytes in the file, and are written back as read.
    static GlyphCache& ForProcess();
    // The cache file of this program for this user and environment in CacheFolder(), or "" when
    // caching is off.
    static std::string DefaultPath();
    // This program and the libraries it has loaded, each with its state.
    static std::string CodeIdentity();
    static std::string KeyOf(const FontSpec& fontSpec);

    // Hands over the record of the font asked for if it was drawn from this face and no face it used has
    // changed since; whoever takes it puts it back, grown, before Save.
    std::optional<DrawnFont> Take(const FontSpec& fontSpec, const std::string& faceFile, int faceIndex);
    // Keeps a font's record for Save; the last record of a font wins.
    void Put(const FontSpec& fontSpec, DrawnFont record);
    // Writes the records not taken and those put, as drawn under fontAnswers (the remembered font
    // answers now); false when there is nothing to stand for them or the file cannot be written.
    bool Save(const std::string& fontAnswers);

    // The file's bytes; nullopt for anything malformed. Never reads past bytes.
    static std::optional<Contents> Parse(std::string_view bytes);
    static std::string Format(const Contents& contents);

private:
    std::string FPath;
    Contents FContents;             // the fonts put, and those read and taken back
    std::string FBytes;             // the file as read
    std::map<std::string, std::string_view> FUnread; // records in FBytes whose font nobody asked for yet
};

}  // namespace lumivane

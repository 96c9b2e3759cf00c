#include "lumivane/gfx/text/FontFace.h"

#include <ft2build.h>
#include <utf8proc.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "lumivane/gfx/text/FontMatch.h"
#include "lumivane/gfx/text/FontMatchCache.h"
#include "lumivane/gfx/text/GlyphCache.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

FT_Library Library() {
    static FT_Library lib = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    });
    return lib;
}

// FreeType's auto-hinter in both directions for every font: stems land on whole pixels (the CJK
// font's own instructions leave 14-pixel Latin text grey and soft), and all fonts look alike.
// Advances stay the font's, rounded per glyph.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL;

// Glyph bitmaps larger than this come only from a broken font; they are dropped.
constexpr long kMaxGlyphArea = 4l * 1024 * 1024;

const Glyph kNoGlyph{};

bool IsBoldFace(FT_Face f) {
    if (f->style_flags & FT_STYLE_FLAG_BOLD) return true;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    return os2 && os2->version != 0xFFFF && os2->usWeightClass >= 600;
}

// The height to open a font at: 0 means the default, and wild heights are bounded.
int AskedHeight(const FontSpec& asked) {
    return std::clamp(asked.height == 0 ? -12 : asked.height, -Font::kMaxPixelHeight, Font::kMaxPixelHeight);
}

double Px(FT_Long units, FT_Fixed scale) { return static_cast<double>(FT_MulFix(units, scale)) / 64.0; }

// One FreeType face per font file and index for the whole process, shared by every font that uses
// it: each open face keeps its own tables and auto-hinter data (and its own reads of the file), so
// a face per font multiplied those by the number of sizes and styles. Each font draws through a
// size object of its own on the shared face.
using FaceKey = std::pair<std::string, int>;

// A font file read with pread instead of FreeType's mapping of the whole file. A mapping makes
// every spot FreeType touches resident 64 KB at a time (the kernel maps the cached pages around
// each fault), so a few dozen glyphs of a large CJK font cost hundreds of kilobytes; read, only
// the tables FreeType keeps and the glyphs it loads come in. A few aligned blocks are kept: most
// reads are a few bytes next to an earlier one (metrics, then outline, then the next metrics).
struct FileStream {
    static constexpr unsigned long kBlock = 4096;
    static constexpr int kBlocks = 4;
    struct Block {
        unsigned long start = 0, size = 0;
        unsigned char bytes[kBlock];
    };
    FT_StreamRec rec{};
    int fd = -1;
    Block blocks[kBlocks];
    int nextVictim = 0;

    // Opens the file into rec; false when it cannot be read.
    bool Open(const std::string& path) {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0 || st.st_size <= 0) return false;
        rec.size = static_cast<unsigned long>(st.st_size);
        rec.descriptor.pointer = this;
        rec.read = Read;
        rec.close = Close;
        return true;
    }
    ~FileStream() {
        if (fd >= 0) close(fd);
    }

    // Whole reads of count bytes at offset; fewer only at the end of the file.
    unsigned long ReadFile(unsigned long offset, unsigned char* buffer, unsigned long count) const {
        unsigned long done = 0;
        while (done < count) {
            const ssize_t n = pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<unsigned long>(n);
        }
        return done;
    }

    static unsigned long Read(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
        auto* self = static_cast<FileStream*>(stream->descriptor.pointer);
        if (count == 0) return offset <= stream->size ? 0 : 1; // a seek: non-zero is an error
        const unsigned long start = offset / kBlock * kBlock;
        if (offset + count > start + kBlock) return self->ReadFile(offset, buffer, count);
        Block* b = nullptr;
        for (Block& k : self->blocks)
            if (k.size > 0 && k.start == start) b = &k;
        if (!b) {
            b = &self->blocks[self->nextVictim];
            self->nextVictim = (self->nextVictim + 1) % kBlocks;
            b->start = start;
            b->size = self->ReadFile(start, b->bytes, kBlock);
        }
        const unsigned long end = std::min(offset + count, start + b->size);
        if (end <= offset) return 0;
        std::memcpy(buffer, b->bytes + (offset - start), end - offset);
        return end - offset;
    }
    static void Close(FT_Stream) {} // the file closes with the FileStream
};

struct OpenFace {
    FT_Face ft = nullptr;
    std::unique_ptr<FileStream> stream; // outlives the face
    int users = 0;
};

std::map<FaceKey, OpenFace>& OpenFaces() {
    static auto* faces = new std::map<FaceKey, OpenFace>;
    return *faces;
}

FT_Face AcquireFace(const FaceKey& key) {
    OpenFace& open = OpenFaces()[key];
    if (!open.ft) {
        open.stream = std::make_unique<FileStream>();
        FT_Open_Args args{};
        args.flags = FT_OPEN_STREAM;
        args.stream = &open.stream->rec;
        if (!open.stream->Open(key.first) || FT_Open_Face(Library(), &args, key.second, &open.ft) != 0)
            open.ft = nullptr;
    }
    if (!open.ft) {
        OpenFaces().erase(key);
        return nullptr;
    }
    ++open.users;
    return open.ft;
}

void ReleaseFace(const FaceKey& key) {
    auto it = OpenFaces().find(key);
    if (it == OpenFaces().end() || --it->second.users > 0) return;
    FT_Done_Face(it->second.ft);
    OpenFaces().erase(it);
}

} // namespace

struct Font::Face {
    FT_Face ft = nullptr;   // shared: see OpenFaces
    FT_Size size = nullptr; // this font's own size on it
    bool embolden = false;
    bool oblique = false;
    std::string file;
    int index = 0;
    std::string state; // the file's when it was opened, kept with what is drawn from it
    // Makes this font's size the one the shared face draws and measures with.
    FT_Face Use() const {
        FT_Activate_Size(size);
        return ft;
    }
    ~Face() {
        if (size) FT_Done_Size(size);
        if (ft) ReleaseFace({file, index});
    }
};

Font::Font(const FontSpec& fontSpec) : FSpec(fontSpec), FMatch(std::make_unique<FontMatch>(fontSpec)) {
    if (const auto& primary = FMatch->Primary()) {
        if (auto drawn = GlyphCache::ForProcess().Take(fontSpec, primary->file, primary->index)) {
            Adopt(std::move(*drawn));
            return;
        }
    }
    Measure();
}

Font::Font(const FontSpec& fontSpec, DrawnFont drawn)
    : FSpec(fontSpec), FMatch(std::make_unique<FontMatch>(fontSpec)) {
    Adopt(std::move(drawn));
}

Font::~Font() = default;

void Font::Adopt(DrawnFont drawn) {
    FHasFace = true;
    FFaceFile = std::move(drawn.faceFile);
    FFaceIndex = drawn.faceIndex;
    FSyntheticBold = drawn.syntheticBold;
    FMetrics = drawn.metrics;
    FUnderlineTop = drawn.underlineTop;
    FUnderlineThickness = drawn.underlineThickness;
    FStrikeTop = drawn.strikeTop;
    FStrikeThickness = drawn.strikeThickness;
    FDrawnFaces = std::move(drawn.faces);
    for (auto& [cp, glyph] : drawn.glyphs) FGlyphs.emplace(cp, std::move(glyph));
}

void Font::OpenFaces() const {
    if (FOpened) return;
    FOpened = true;
    const int h = AskedHeight(FSpec);
    if (Library() && FMatch->Primary()) FPrimary = FaceOf(*FMatch->Primary());
    if (!FPrimary) return;
    FT_Face f = FPrimary->Use();
    FT_Error err = 0;
    if (h < 0) {
        err = FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(-h));
    } else {
        // A positive height is the whole cell: ascender to descender.
        FT_Size_RequestRec req{FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, static_cast<FT_Long>(h) * 64, 0, 0};
        err = FT_Request_Size(f, &req);
    }
    if (err && f->num_fixed_sizes > 0) err = FT_Select_Size(f, 0);
    if (err) {
        FPrimary = nullptr;
        return;
    }
    FEm26 = FT_IS_SCALABLE(f) ? FT_MulFix(f->units_per_EM, f->size->metrics.y_scale)
                              : static_cast<long>(f->size->metrics.y_ppem) * 64;
}

void Font::Measure() {
    OpenFaces();
    if (FPrimary) {
        FHasFace = true;
        FFaceFile = FPrimary->file;
        FFaceIndex = FPrimary->index;
        FSyntheticBold = FPrimary->embolden;
        ComputeMetrics();
    } else {
        // No font at all: nominal metrics so that layouts still have a line height.
        const int h = AskedHeight(FSpec);
        const int cell = h < 0 ? -h : h;
        FMetrics.height = cell;
        FMetrics.ascent = cell * 4 / 5;
        FMetrics.descent = cell - FMetrics.ascent;
    }
}

bool Font::HasFace() const { return FHasFace; }

const std::string& Font::FaceFile() const { return FFaceFile; }

bool Font::SyntheticBold() const { return FSyntheticBold; }

DrawnFont Font::Drawn() const {
    DrawnFont d;
    d.faceFile = FFaceFile;
    d.faceIndex = FFaceIndex;
    d.metrics = FMetrics;
    d.underlineTop = FUnderlineTop;
    d.underlineThickness = FUnderlineThickness;
    d.strikeTop = FStrikeTop;
    d.strikeThickness = FStrikeThickness;
    d.syntheticBold = FSyntheticBold;
    d.faces = FDrawnFaces;
    for (const auto& [key, face] : FFaces) d.faces[face->file] = face->state;
    for (const auto& [cp, glyph] : FGlyphs) d.glyphs.emplace(cp, glyph);
    return d;
}

void Font::ComputeMetrics() {
    FT_Face f = FPrimary->Use();
    const FT_Size_Metrics& m = f->size->metrics;
    double em = FEm26 / 64.0;
    double asc, desc;
    if (FT_IS_SCALABLE(f)) {
        asc = Px(f->ascender, m.y_scale);
        desc = -Px(f->descender, m.y_scale);
    } else {
        asc = m.ascender / 64.0;
        desc = -m.descender / 64.0;
    }
    // Round the ascent and the whole cell, and let the descent take the difference, so that a
    // positive (cell) height comes out exactly as asked.
    FMetrics.ascent = static_cast<int>(std::lround(asc));
    FMetrics.height = std::max(1, static_cast<int>(std::lround(asc + desc)));
    FMetrics.descent = FMetrics.height - FMetrics.ascent;
    FMetrics.internalLeading = std::max(0, FMetrics.height - static_cast<int>(std::lround(em)));

    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 && FT_IS_SCALABLE(f))
        FMetrics.aveCharWidth = static_cast<int>(std::lround(Px(os2->xAvgCharWidth, m.x_scale)));
    else
        FMetrics.aveCharWidth = GlyphFor(U'x').advance;

    double ulPos = -0.1 * em, ulThick = em / 14.0;
    if (FT_IS_SCALABLE(f) && f->underline_thickness > 0) {
        ulPos = Px(f->underline_position, m.y_scale);
        ulThick = Px(f->underline_thickness, m.y_scale);
    }
    FUnderlineThickness = std::max(1, static_cast<int>(std::lround(ulThick)));
    // The font gives the centre of the line; keep it below the baseline and inside the cell.
    int below = std::max(1, static_cast<int>(std::lround(-ulPos - ulThick / 2)));
    FUnderlineTop = std::min(FMetrics.ascent + below, FMetrics.height - FUnderlineThickness);
    FUnderlineTop = std::max(FUnderlineTop, 0);

    double soPos = 0.26 * em, soThick = ulThick;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0 && FT_IS_SCALABLE(f)) {
        soPos = Px(os2->yStrikeoutPosition, m.y_scale);
        soThick = Px(os2->yStrikeoutSize, m.y_scale);
    }
    FStrikeThickness = std::max(1, static_cast<int>(std::lround(soThick)));
    FStrikeTop = std::clamp(FMetrics.ascent - static_cast<int>(std::lround(soPos)), 0,
                            std::max(0, FMetrics.height - FStrikeThickness));
}

Font::Face* Font::FaceOf(const FaceSource& src) const {
    auto key = std::make_pair(src.file, src.index);
    auto it = FFaces.find(key);
    if (it != FFaces.end()) return it->second.get();
    auto face = std::make_unique<Face>();
    face->file = src.file;
    face->index = src.index;
    face->state = FontMatchCache::StateOf(src.file);
    face->ft = Library() ? AcquireFace(key) : nullptr;
    if (face->ft && FT_New_Size(face->ft, &face->size) != 0) {
        face->size = nullptr;
        ReleaseFace(key);
        face->ft = nullptr;
    }
    if (face->ft) face->Use();
    if (face->ft) {
        face->embolden = src.bold && !IsBoldFace(face->ft);
        face->oblique = src.italic && !(face->ft->style_flags & FT_STYLE_FLAG_ITALIC);
    }
    // Faces other than the primary borrow its em so that mixed text has one size.
    if (face->ft && FPrimary && FEm26 > 0 &&
        FT_Set_Char_Size(face->ft, 0, FEm26, 72, 72) != 0 && face->ft->num_fixed_sizes > 0)
        FT_Select_Size(face->ft, 0);
    Face* raw = face->ft ? face.get() : nullptr;
    FFaces.emplace(key, std::move(face));
    return raw;
}

Glyph Font::Render(Face& face, unsigned index) const {
    Glyph g;
    FT_Face f = face.Use();
    if (FT_Load_Glyph(f, index, kLoadFlags) != 0) return g;
    FT_GlyphSlot slot = f->glyph;
    if (face.oblique) FT_GlyphSlot_Oblique(slot);
    // One emboldening method everywhere (FreeType's, em/24): widths must not depend on which
    // font lacked a bold face.
    const FT_Pos hinted = slot->advance.x;
    if (face.embolden) FT_GlyphSlot_Embolden(slot);
    // The font's own advance (the hinter's may differ by a pixel), plus what emboldening added,
    // rounded once per glyph so that pen positions are whole pixels.
    const FT_Pos advance26 = (slot->linearHoriAdvance >> 10) + (slot->advance.x - hinted);
    g.advance = static_cast<int>((advance26 + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (static_cast<long>(bm.width) * bm.rows > kMaxGlyphArea) return g;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        uint8_t* dst = g.coverage.data() + static_cast<size_t>(y) * g.width;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            if (bm.num_grays == 256) {
                std::memcpy(dst, src, g.width);
            } else {
                int maxv = std::max(1, static_cast<int>(bm.num_grays) - 1);
                for (int x = 0; x < g.width; ++x) dst[x] = static_cast<uint8_t>(std::min(255, src[x] * 255 / maxv));
            }
        } else {
            for (int x = 0; x < g.width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
    }
    return g;
}

// Control characters and what Unicode marks as ignorable beyond Latin-1 (joiners, variation
// selectors, bidi marks) are never drawn: a face without them would show its missing-glyph box.
static bool IsInvisible(char32_t cp) {
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return true;
    return cp > 0xFF && utf8proc_get_property(static_cast<utf8proc_int32_t>(cp))->ignorable;
}

const Glyph& Font::GlyphFor(char32_t cp) const {
    if (!FHasFace || IsInvisible(cp)) return kNoGlyph;
    auto it = FGlyphs.find(cp);
    if (it != FGlyphs.end()) return it->second;
    OpenFaces();
    if (!FPrimary) return kNoGlyph;
    FDrewNew = true;
    Face* face = FPrimary;
    unsigned index = FT_Get_Char_Index(FPrimary->ft, cp);
    if (index == 0) {
        // Per-glyph fallback: the first face in fontconfig's ranking that has the character.
        if (auto src = FMatch->FaceFor(cp)) {
            if (Face* other = FaceOf(*src)) {
                if (unsigned i = FT_Get_Char_Index(other->ft, cp)) {
                    face = other;
                    index = i;
                }
            }
        }
    }
    // Index 0 is the primary face's "missing" box: visible, and it has a width.
    return FGlyphs.emplace(cp, Render(*face, index)).first->second;
}

const Glyph& Font::GlyphBeyondLatin1(char32_t cp) const {
    if (!FRecent) FRecent = std::make_unique<RecentGlyphs>();
    auto& slot = (*FRecent)[cp & (FRecent->size() - 1)];
    if (slot.second && slot.first == cp) return *slot.second;
    const Glyph& g = GlyphFor(cp);
    slot = {cp, &g};
    return g;
}

int Font::Width(std::string_view text) const {
    int w = 0;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            w += GlyphOf(b).advance;
            ++i;
        } else {
            w += GlyphOf(NextChar(text, i)).advance;
        }
    }
    return w;
}

}  // namespace lumivane

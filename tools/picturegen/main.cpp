// picturegen OUTDIR: writes the notice window's pictures (heart.ico, stucco.bmp, cross.bmp).
// picturegen --gallery OUTDIR: writes the gallery's pictures (lamps.bmp, spinner.bmp, ...).
// picturegen --data FILE: prints a .bmp or .ico file as a layout's picture data block
// ("Picture.Data = {...}" takes it as it stands).
// The files are committed beside the layouts; regenerating them gives the same bytes.
#include <cstdio>
#include <string>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/Ico.h"
#include "tools/picturegen/GalleryPictures.h"
#include "lumivane/gfx/image/FileBytes.h"

using namespace lumivane;

namespace {

Dib IndexedToDib(const IndexedPicture& p, int bpp) {
    Dib d(p.width, p.height, bpp, p.palette);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) d.SetIndex(x, y, p.index[y * p.width + x]);
    d.SetResolution(3780, 3780);
    return d;
}

std::vector<uint8_t> HeartIconFile() {
    IndexedPicture heart = MakeHeartIcon();
    IconImage icon;
    icon.image = IndexedToDib(heart, 8);
    icon.image.SetResolution(0, 0);
    icon.mask = Dib(heart.width, heart.height, 1, {0x000000, 0xFFFFFF});
    for (int y = 0; y < heart.height; ++y)
        for (int x = 0; x < heart.width; ++x) {
            // Transparent pixels are black in the colour image, as icon viewers expect.
            icon.mask.SetIndex(x, y, heart.mask[y * heart.width + x]);
        }
    return WriteIco({icon});
}

std::vector<uint8_t> StuccoBitmapFile() {
    RgbPicture t = MakeStuccoTexture();
    Dib d(t.width, t.height, 24);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) d.SetColor(x, y, t.pixels[y * t.width + x]);
    d.SetResolution(3780, 3780);
    d.SetTopDown(false);
    return WriteBmp(d);
}

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        throw Exception("cannot write " + path);
}

void SaveGalleryPictures(const std::string& dir) {
    auto bmp4 = [](const IndexedPicture& p) { return WriteBmp(IndexedToDib(p, 4)); };
    Save(dir + "/lamps.bmp", bmp4(MakeLampStates()));
    Save(dir + "/spinner.bmp", bmp4(MakeSpinnerStrip()));
    Save(dir + "/fullfaces.bmp", bmp4(MakeFullFaces()));
    Save(dir + "/star.bmp", bmp4(MakeStar(0)));
    Save(dir + "/star_hot.bmp", bmp4(MakeStar(1)));
    Save(dir + "/star_sel.bmp", bmp4(MakeStar(2)));
    Save(dir + "/diamonds.bmp", bmp4(MakeDiamondTile()));
}

// The picture data of a layout: the graphic's class name (one length byte and the name), then
// the file, a bitmap's preceded by its length; 32 bytes a line.
void PrintData(const std::string& path) {
    std::vector<uint8_t> file = ReadFileBytes(path, 16u << 20);
    const bool icon = path.size() > 4 && path.compare(path.size() - 4, 4, ".ico") == 0;
    const std::string cls = icon ? "TIcon" : "TBitmap";
    std::vector<uint8_t> data{uint8_t(cls.size())};
    data.insert(data.end(), cls.begin(), cls.end());
    if (!icon)
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(file.size() >> (8 * i)));
    data.insert(data.end(), file.begin(), file.end());
    std::string out = "{";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 32 == 0) out += "\n  ";
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        out += hex;
    }
    std::printf("%s}\n", out.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (!(argc == 2 || (argc == 3 && (mode == "--gallery" || mode == "--data")))) {
        std::fprintf(stderr, "usage: picturegen OUTDIR | --gallery OUTDIR | --data FILE\n");
        return 2;
    }
    try {
        if (mode == "--gallery") {
            SaveGalleryPictures(argv[2]);
        } else if (mode == "--data") {
            PrintData(argv[2]);
        } else {
            std::string dir = argv[1];
            Save(dir + "/heart.ico", HeartIconFile());
            Save(dir + "/stucco.bmp", StuccoBitmapFile());
            Save(dir + "/cross.bmp", WriteBmp(IndexedToDib(MakeCrossStrip(), 4)));
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "picturegen: %s\n", e.what());
        return 1;
    }
    return 0;
}

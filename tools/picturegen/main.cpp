// picturegen OUTDIR: writes the notice window's pictures (heart.ico, stucco.bmp, cross.bmp).
// The files are committed beside the window's layout; regenerating them gives the same bytes.
#include <cstdio>
#include <string>

#include "platform/base/Exception.h"
#include "platform/image/Bmp.h"
#include "platform/image/Ico.h"
#include "tools/picturegen/Pictures.h"

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: picturegen OUTDIR\n");
        return 2;
    }
    try {
        std::string dir = argv[1];
        Save(dir + "/heart.ico", HeartIconFile());
        Save(dir + "/stucco.bmp", StuccoBitmapFile());
        Save(dir + "/cross.bmp", WriteBmp(IndexedToDib(MakeCrossStrip(), 4)));
    } catch (const Exception& e) {
        std::fprintf(stderr, "picturegen: %s\n", e.what());
        return 1;
    }
    return 0;
}

#include "tools/picturegen/GalleryPictures.h"

#include <cmath>
#include <cstdlib>

namespace {

// Indices of the standard 16-colour palette.
enum : uint8_t {
    kBlack = 0, kMaroon = 1, kGreen = 2, kOlive = 3, kNavy = 4, kTeal = 6, kSilver = 7, kGrey = 8,
    kRed = 9, kLime = 10, kYellow = 11, kBlue = 12, kAqua = 14, kWhite = 15
};

IndexedPicture Blank(int width, int height, uint8_t fill) {
    IndexedPicture p;
    p.width = width;
    p.height = height;
    p.palette = StandardPalette16();
    p.index.assign(size_t(width) * height, fill);
    return p;
}

void Set(IndexedPicture& p, int x, int y, uint8_t c) {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.index[size_t(y) * p.width + x] = c;
}

double Dist(double x, double y, double cx, double cy) { return std::hypot(x - cx, y - cy); }

// A lamp: a disc with a lighter glint, centred in a 16x16 cell at (ox, 0).
void Lamp(IndexedPicture& p, int ox, uint8_t body, uint8_t rim, uint8_t glint) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            double d = Dist(x + 0.5, y + 0.5, 8, 8);
            if (d > 6.6) continue;
            uint8_t c = d > 5.4 ? rim : body;
            if (Dist(x + 0.5, y + 0.5, 6, 6) < 1.8) c = glint;
            Set(p, ox + x, y, c);
        }
}

// Inside the five-pointed star of radius r centred at (cx, cy), point up.
bool InStar(double x, double y, double cx, double cy, double r) {
    const double pi = 3.14159265358979323846;
    double a = std::atan2(x - cx, -(y - cy));          // 0 straight up, clockwise
    double d = Dist(x, y, cx, cy);
    double sector = 2 * pi / 5;
    double t = std::fmod(a + 2 * pi, sector) / sector; // 0 at a point, 0.5 between two
    double inner = r * 0.42;
    double edge = t < 0.5 ? r + (inner - r) * (t * 2) : inner + (r - inner) * ((t - 0.5) * 2);
    return d <= edge;
}

} // namespace

IndexedPicture MakeLampStates() {
    IndexedPicture p = Blank(64, 16, kOlive);
    Lamp(p, 0, kNavy, kBlack, kBlue);      // normal
    Lamp(p, 16, kSilver, kGrey, kWhite);   // disabled
    Lamp(p, 32, kMaroon, kBlack, kRed);    // pushed
    Lamp(p, 48, kBlue, kNavy, kAqua);      // hot
    return p;
}

IndexedPicture MakeSpinnerStrip() {
    IndexedPicture p = Blank(128, 16, kOlive);
    const double pi = 3.14159265358979323846;
    for (int f = 0; f < 8; ++f) {
        double a = f * pi / 4;
        double dx = 8 + 5 * std::sin(a), dy = 8 - 5 * std::cos(a);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                double d = Dist(x + 0.5, y + 0.5, 8, 8);
                if (d > 4.2 && d < 5.8) Set(p, f * 16 + x, y, kGrey);
                if (Dist(x + 0.5, y + 0.5, dx, dy) < 2.4) Set(p, f * 16 + x, y, kRed);
            }
    }
    return p;
}

IndexedPicture MakeFullFaces() {
    IndexedPicture p = Blank(30, 100, kOlive);
    // Per face: background, band, stripe.
    const uint8_t colours[4][3] = {{kTeal, kAqua, kWhite}, {kSilver, kGrey, kWhite},
                                   {kNavy, kBlue, kYellow}, {kGreen, kLime, kWhite}};
    for (int f = 0; f < 4; ++f)
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 30; ++x) {
                uint8_t c = colours[f][0];
                if (y >= 9 && y <= 15) c = (x / 3) % 2 ? colours[f][1] : colours[f][2];
                if (y == 0 || y == 24 || x == 0 || x == 29) c = kBlack;
                Set(p, x, f * 25 + y, c);
            }
    return p;
}

IndexedPicture MakeStar(int state) {
    IndexedPicture p = Blank(32, 32, kOlive);
    const uint8_t body = state == 2 ? kLime : state == 1 ? kYellow : kSilver;
    const uint8_t rim = state == 2 ? kGreen : state == 1 ? kRed : kGrey;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double fx = x + 0.5, fy = y + 0.5;
            if (!InStar(fx, fy, 16, 17, 15)) continue;
            bool inner = InStar(fx, fy, 16, 17, state == 2 ? 11.5 : 13);
            Set(p, x, y, inner ? body : rim);
        }
    if (state == 2) // a check mark on the selected star
        for (int i = 0; i < 9; ++i) {
            int x = 11 + i, y = i < 3 ? 16 + i : 18 - (i - 2);
            Set(p, x, y, kBlack);
            Set(p, x, y + 1, kBlack);
        }
    return p;
}

IndexedPicture MakeDiamondTile() {
    IndexedPicture p = Blank(24, 24, kSilver);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            int d = std::abs(x - 12) + std::abs(y - 12);
            if (d <= 9) Set(p, x, y, d >= 8 ? kNavy : (d <= 3 ? kWhite : kTeal));
        }
    return p;
}

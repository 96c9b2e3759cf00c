#include "tools/picturegen/Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// Small deterministic generator: the same bytes on every machine and every run.
struct XorShift {
    uint32_t s;
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
};

bool InHeart(int px, int py) {
    // The classic heart curve (x^2 + y^2 - 1)^3 - x^2 y^3 <= 0, scaled to fill the square.
    const double scale = 13.2;
    double x = (px + 0.5 - 16.0) / scale;
    double y = -(py + 0.5 - 16.5) / scale + 0.12;
    double a = x * x + y * y - 1.0;
    return a * a * a - x * x * y * y * y <= 0.0;
}

void Plot(IndexedPicture& p, int x, int y, uint8_t colour, bool onlyInside) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    if (onlyInside && p.mask[y * p.width + x]) return;
    p.index[y * p.width + x] = colour;
}

// Bresenham line including both ends, two pixels thick (the pixel below too).
void ThickLine(IndexedPicture& p, int x0, int y0, int x1, int y1, uint8_t colour) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Plot(p, x0, y0, colour, true);
        Plot(p, x0, y0 + 1, colour, true);
        Plot(p, x0 + 1, y0, colour, true);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

// Periodic value noise: lattice values wrap at `cells`, so the texture tiles without seams.
struct PeriodicNoise {
    int cellsX, cellsY;
    std::vector<double> v;
    PeriodicNoise(int cx, int cy, XorShift& rng) : cellsX(cx), cellsY(cy), v(size_t(cx) * cy) {
        for (double& d : v) d = rng.Unit() * 2.0 - 1.0;
    }
    double At(int i, int j) const { return v[size_t((j % cellsY) * cellsX + (i % cellsX))]; }
    double Sample(double u, double w) const { // u, w in cells
        int i = int(std::floor(u)), j = int(std::floor(w));
        double fu = u - i, fw = w - j;
        fu = fu * fu * (3 - 2 * fu);
        fw = fw * fw * (3 - 2 * fw);
        double a = At(i, j), b = At(i + 1, j), c = At(i, j + 1), d = At(i + 1, j + 1);
        return (a * (1 - fu) + b * fu) * (1 - fw) + (c * (1 - fu) + d * fu) * fw;
    }
};

} // namespace

std::vector<uint32_t> StandardPalette16() {
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
}

IndexedPicture MakeHeartIcon() {
    IndexedPicture p;
    p.width = p.height = 32;
    p.palette = StandardPalette16();
    p.palette.resize(256, 0x000000);
    const uint8_t kHeart = 16, kPulse = 17, kShade = 18;
    p.palette[kHeart] = 0x950000; // dark red
    p.palette[kPulse] = 0x38EE00; // bright green
    p.palette[kShade] = 0x6A0000; // the heart's darker rim
    p.index.assign(32 * 32, 0);
    p.mask.assign(32 * 32, 1);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (InHeart(x, y)) {
                p.mask[y * 32 + x] = 0;
                p.index[y * 32 + x] = kHeart;
            }
    // A one-pixel darker rim on the lower right gives the heart some body.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!p.mask[y * 32 + x] && (x == 31 || y == 31 || p.mask[y * 32 + x + 1] || p.mask[(y + 1) * 32 + x]))
                p.index[y * 32 + x] = kShade;
    // The pulse: flat, a tall spike left of the centre, flat, a smaller spike right of it, flat.
    static const std::array<std::array<int, 2>, 13> kPulsePoints = {{
        {0, 16}, {6, 16}, {8, 13}, {10, 16}, {11, 16}, {13, 4}, {15, 24}, {17, 16},
        {20, 16}, {22, 11}, {24, 20}, {25, 16}, {31, 16}}};
    for (size_t i = 0; i + 1 < kPulsePoints.size(); ++i)
        ThickLine(p, kPulsePoints[i][0], kPulsePoints[i][1], kPulsePoints[i + 1][0], kPulsePoints[i + 1][1], kPulse);
    return p;
}

RgbPicture MakeStuccoTexture() {
    RgbPicture t;
    t.width = 115;
    t.height = 103;
    XorShift rng{0x5EED1234u};
    // Blotches, plaster strokes and grain; every layer wraps at the texture's edges.
    PeriodicNoise coarse(5, 4, rng), medium(23, 21, rng), fine(46, 41, rng);
    std::vector<double> v(size_t(t.width) * t.height);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
            double u = double(x) / t.width, w = double(y) / t.height;
            double n = 0.50 * coarse.Sample(u * 5, w * 4) + 0.35 * medium.Sample(u * 23, w * 21) +
                       0.25 * fine.Sample(u * 46, w * 41) + 0.22 * (rng.Unit() * 2 - 1);
            v[size_t(y) * t.width + x] = n;
        }
    // Channel means of the finished texture; the shading is mostly luminance with a green cast.
    const double mean[3] = {216, 222, 205};
    const double amp[3] = {30, 28, 32};
    double sum[3] = {0, 0, 0};
    std::vector<std::array<double, 3>> c(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            c[i][k] = std::clamp(mean[k] + amp[k] * v[i], 172.0, 255.0);
            sum[k] += c[i][k];
        }
    // Shift each channel so that its average lands on the intended value, then round.
    t.pixels.resize(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        int ch[3];
        for (int k = 0; k < 3; ++k) {
            double shifted = c[i][k] + (mean[k] - sum[k] / double(v.size()));
            ch[k] = int(std::lround(std::clamp(shifted, 172.0, 255.0)));
        }
        t.pixels[i] = uint32_t(ch[0]) << 16 | uint32_t(ch[1]) << 8 | uint32_t(ch[2]);
    }
    return t;
}

IndexedPicture MakeCrossStrip() {
    IndexedPicture p;
    p.width = 36;
    p.height = 18;
    p.palette = StandardPalette16();
    const uint8_t kMaroon = 1, kOlive = 3, kGrey = 8, kRed = 9, kWhite = 15;
    p.index.assign(36 * 18, kOlive);
    // A bold diagonal cross: both diagonals of the 18x18 cell, about four pixels thick.
    auto inCross = [](int x, int y) {
        if (x < 2 || y < 2 || x > 15 || y > 15) return false;
        return std::abs(x - y) <= 2 || std::abs(x + y - 17) <= 2;
    };
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            if (!inCross(x, y)) continue;
            uint8_t c = kMaroon;
            if (!inCross(x - 1, y - 1)) c = kRed;           // lit from the upper left
            else if (!inCross(x + 1, y + 1)) c = kGrey;     // shadow on the lower right
            p.index[y * 36 + x] = c;
        }
    // The engraved twin: the outline in white, shifted one pixel down and right, under the outline
    // in dark grey.
    auto onOutline = [&](int x, int y) {
        return inCross(x, y) && (!inCross(x - 1, y) || !inCross(x + 1, y) || !inCross(x, y - 1) || !inCross(x, y + 1));
    };
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (x > 0 && y > 0 && onOutline(x - 1, y - 1)) p.index[y * 36 + 18 + x] = kWhite;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (onOutline(x, y)) p.index[y * 36 + 18 + x] = kGrey;
    return p;
}

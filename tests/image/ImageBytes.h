#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "lumivane/base/Exception.h"

using namespace lumivane;

// Byte-level builders for hand-made BMP and ICO files, so tests can state every header field.
using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
inline void Set16(Bytes& b, size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
inline void Append(Bytes& b, std::initializer_list<uint8_t> v) { b.insert(b.end(), v); }

// The fields of a 40-byte info header.
struct InfoHeader {
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xppm = 3780;
    int32_t yppm = 3780;
    uint32_t clrUsed = 0;

    void AppendTo(Bytes& b, uint32_t headerSize = 40) const {
        Put32(b, headerSize);
        Put32(b, static_cast<uint32_t>(width));
        Put32(b, static_cast<uint32_t>(height));
        Put16(b, planes);
        Put16(b, bpp);
        Put32(b, compression);
        Put32(b, sizeImage);
        Put32(b, static_cast<uint32_t>(xppm));
        Put32(b, static_cast<uint32_t>(yppm));
        Put32(b, clrUsed);
        Put32(b, 0);
        b.resize(b.size() + (headerSize - 40), 0);
    }
};

// A whole BMP file: file header, info header, palette (0x00RRGGBB entries) and pixel bytes.
// `offset` 0 means: right after the palette.
inline Bytes MakeBmp(const InfoHeader& h, const std::vector<uint32_t>& palette, const Bytes& pixels,
                     uint32_t offset = 0) {
    Bytes b = {'B', 'M'};
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    h.AppendTo(b);
    for (uint32_t p : palette)
        Put32(b, p);
    Set32(b, 10, offset ? offset : static_cast<uint32_t>(b.size()));
    b.insert(b.end(), pixels.begin(), pixels.end());
    Set32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

// Expects `f` to throw Exception whose message contains `fragment`.
inline void ExpectError(const std::function<void()>& f, const std::string& fragment) {
    try {
        f();
        ADD_FAILURE() << "no exception; expected one mentioning \"" << fragment << "\"";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find(fragment), std::string::npos)
            << "message \"" << e.Message() << "\" lacks \"" << fragment << "\"";
    }
}

// BMP reader under libFuzzer: any input either decodes or throws Exception; whatever decodes must
// survive a write and read back unchanged.
#include <cstddef>
#include <cstdint>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/Bmp.h"

using namespace lumivane;

namespace {

void Check(const Dib& d) {
    Surface s = d.ToSurface();
    if (s.Width() != d.Width() || s.Height() != d.Height())
        __builtin_trap();
    if (!(ReadBmp(WriteBmp(d)) == d) || !(ReadPackedDib(WritePackedDib(d)) == d))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    try {
        Check(ReadBmp(bytes));
    } catch (const Exception&) {
    }
    // The same bytes as a packed DIB, header first.
    if (size > 14) {
        try {
            Check(ReadPackedDib(bytes.subspan(14)));
        } catch (const Exception&) {
        }
    }
    return 0;
}

// ICO reader under libFuzzer: any input either decodes or throws Exception; whatever decodes must
// survive a write and read back unchanged.
#include <cstddef>
#include <cstdint>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/Ico.h"

using namespace lumivane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IconImage> images;
    try {
        images = ReadIco(std::span<const uint8_t>(data, size));
    } catch (const Exception&) {
        return 0;
    }
    if (images.empty())
        __builtin_trap();
    for (const IconImage& img : images) {
        Surface colour = img.ColorSurface();
        Surface mask = img.MaskSurface();
        if (colour.Width() != mask.Width() || colour.Height() != mask.Height() || !mask.Monochrome())
            __builtin_trap();
        if (const uint8_t* alpha = img.AlphaOrNull())
            (void)alpha[static_cast<size_t>(img.Width()) * img.Height() - 1];
    }
    if (BestIconImage(images, 32) < 0)
        __builtin_trap();
    if (!(ReadIco(WriteIco(images)) == images))
        __builtin_trap();
    return 0;
}

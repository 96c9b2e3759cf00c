// PNG reader under libFuzzer: any input either decodes or throws Exception; what decodes has one
// alpha byte a pixel within the surface limits, and the same bytes as picture data (counted or
// straight after the class name) give the same picture, drawn blended and scaled without a fault.
#include <cstddef>
#include <cstdint>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/PngImage.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/gfx/image/Png.h"

using namespace lumivane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    PngImage image;
    try {
        image = ReadPng(file);
    } catch (const Exception&) {
        return 0;
    }
    const Surface& s = image.colour;
    if (s.Width() <= 0 || s.Height() <= 0 || s.Width() > Surface::kMaxSide || s.Height() > Surface::kMaxSide ||
        image.alpha.size() != static_cast<size_t>(s.Width()) * s.Height())
        __builtin_trap();
    const std::vector<uint8_t> bytes(data, data + size);
    for (const std::vector<uint8_t>& stored :
         {ComposePictureData("TPngImage", bytes), [&] {
              std::vector<uint8_t> raw = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
              raw.insert(raw.end(), bytes.begin(), bytes.end());
              return raw;
          }()}) {
        std::unique_ptr<TGraphic> g = ReadPictureData(stored);
        auto* png = dynamic_cast<TPngImage*>(g.get());
        if (!png || png->Width() != s.Width() || png->Height() != s.Height() || png->SaveToStream() != bytes)
            __builtin_trap();
        TBitmap target;
        target.SetSize(7, 5);
        png->SetTransparent(true);
        target.Canvas()->StretchDraw({-3, 1, 9, 4}, png);
        png->DrawPart(target.Canvas(), 2, 2, {1, 1, 5, 3});
    }
    return 0;
}

#include "lumivane/framework/Graphic.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/FileBytes.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TGraphic) {}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& path) {
    TBytes bytes = ReadFileBytes(path, MaxFileSize());
    try {
        LoadFromStream(bytes);
    } catch (const Exception& e) {
        throw Exception(path + ": " + e.Message());
    }
}

void TGraphic::SaveToFile(const std::string& path) const { WriteFileBytes(path, SaveToStream()); }

}  // namespace lumivane

#include "lumivane/framework/Picture.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/PngImage.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/FileBytes.h"

namespace lumivane {

namespace {
std::string Printable(std::string_view s) {
    std::string out;
    for (char c : s) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

std::unique_ptr<TGraphic> NewGraphic(std::string_view className) {
    if (SameText(className, "TBitmap")) return std::make_unique<TBitmap>();
    if (SameText(className, "TIcon")) return std::make_unique<TIcon>();
    if (SameText(className, "TPngImage")) return std::make_unique<TPngImage>();
    return nullptr;
}
}  // namespace

std::unique_ptr<TGraphic> ReadPictureData(std::span<const uint8_t> data) {
    if (data.empty()) return nullptr;
    TPictureData pd = ParsePictureData(data);
    std::unique_ptr<TGraphic> g = NewGraphic(pd.ClassName);
    if (!g)
        throw Exception("Picture data: unknown graphic class '" + Printable(pd.ClassName) +
                        "' (expected TBitmap, TIcon or TPngImage)");
    try {
        g->LoadFromStream(pd.File);
    } catch (const Exception& e) {
        throw Exception("Picture data: " + e.Message());
    }
    return g;
}

TBytes WritePictureData(const TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return {};
    const std::string& cls = graphic->ClassName();
    if (!NewGraphic(cls)) throw Exception("Cannot store a graphic of class " + cls);
    return ComposePictureData(cls, graphic->SaveToStream());
}


LUMI_DEFINE_CLASS(TPicture) { p.Binary("Data", &TPicture::Data, &TPicture::SetData); }

TPicture::TPicture(TPersistent* owner) : FOwner(owner) {}

TPicture::~TPicture() = default;

void TPicture::Changed() { OnChange(this); }

void TPicture::Adopt(std::unique_ptr<TGraphic> g) {
    FGraphic = std::move(g);
    if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    std::unique_ptr<TGraphic> g;
    if (Value) {
        g = Value->CreateNew();
        if (!g) throw Exception("Cannot copy a graphic of class " + Value->ClassName() + " into a picture");
        g->Assign(Value);
    }
    Adopt(std::move(g));
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        Adopt(std::make_unique<TBitmap>());
        Changed();
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(FGraphic.get())) {
        Adopt(std::make_unique<TIcon>());
        Changed();
    }
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) return SetGraphic(nullptr);
    if (auto* p = dynamic_cast<TPicture*>(Source)) return SetGraphic(p->Graphic());
    if (auto* g = dynamic_cast<TGraphic*>(Source)) return SetGraphic(g);
    inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (auto* g = dynamic_cast<TGraphic*>(Dest)) return g->Assign(FGraphic.get());
    inherited::AssignTo(Dest);
}

void TPicture::LoadFromFile(const std::string& path) {
    std::string ext;
    if (size_t dot = path.find_last_of('.'); dot != std::string::npos && path.find('/', dot) == std::string::npos)
        ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    std::unique_ptr<TGraphic> g;
    if (ext == ".bmp")
        g = std::make_unique<TBitmap>();
    else if (ext == ".ico")
        g = std::make_unique<TIcon>();
    else if (ext == ".png")
        g = std::make_unique<TPngImage>();
    else
        throw Exception("Cannot load picture '" + path + "': unknown file extension '" + ext +
                        "' (pictures are .bmp, .ico or .png files)");
    g->LoadFromFile(path);
    Adopt(std::move(g));
    Changed();
}

void TPicture::SaveToFile(const std::string& path) const {
    if (FGraphic) FGraphic->SaveToFile(path);
}

TBytes TPicture::Data() const { return WritePictureData(FGraphic.get()); }

void TPicture::SetData(const TBytes& data) {
    std::unique_ptr<TGraphic> g = ReadPictureData(data);
    Adopt(std::move(g));
    Changed();
}

}  // namespace lumivane

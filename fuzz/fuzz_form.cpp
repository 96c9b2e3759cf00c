// Feeds arbitrary text to the layout reader, over a small set of classes of its own that cover
// every kind of published property. Only Exception may come out; then nothing may be left.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Set.h"

using namespace lumivane;

namespace {

enum TFuzzKind { fkOne, fkTwo, fkThree };
enum TFuzzFlag { ffA, ffB, ffC, ffD };

class TFuzzNested : public TPersistent {
    LUMI_CLASS(TFuzzNested, TPersistent)
public:
    uint32_t FColor = 0;
    std::string FName;
    TBytes FData;
};

class TFuzzItem : public TComponent {
    LUMI_CLASS(TFuzzItem, TComponent)
public:
    explicit TFuzzItem(TComponent* AOwner) : TComponent(AOwner) {}
    void SetParentComponent(TComponent* Value) override { FParent = Value; }
    TComponent* GetParentComponent() const override { return FParent; }
    TFuzzNested* fGetNested() { return &FNested; }
    void fSetData(const TBytes& d) {
        TPictureData pd = ParsePictureData(d);
        FPicture = ComposePictureData(pd.ClassName, pd.File);
    }

    TComponent* FParent = nullptr;
    bool FFlag = false;
    int FInt = 0;
    int64_t FBig = 0;
    TFuzzKind FKind = fkOne;
    TSet<TFuzzFlag> FFlags;
    std::string FText;
    std::string FUtf8;
    uint32_t FColor = 0;
    int FCursor = 0;
    TFuzzNested FNested;
    TBytes FPicture;
    TNotifyEvent FOnClick;
    TEvent<TObject*, char&> FOnKey;
};

class TFuzzForm : public TComponent {
    LUMI_CLASS(TFuzzForm, TComponent)
public:
    explicit TFuzzForm(TComponent* AOwner) : TComponent(AOwner) {}
    ~TFuzzForm() override { DestroyComponents(); }
    void Click(TObject*) {}
    void Key(TObject*, char&) {}
};

// The same form with a field its layout must fill.
class TFuzzFieldForm : public TFuzzForm {
    LUMI_CLASS(TFuzzFieldForm, TFuzzForm)
public:
    using TFuzzForm::TFuzzForm;
    TFuzzItem* Item1 = nullptr;
};

}  // namespace

LUMI_DEFINE_CLASS(TFuzzNested) {
    p.Color("Color", &TFuzzNested::FColor, &TFuzzNested::FColor, 0u)
        .String("Name", &TFuzzNested::FName, &TFuzzNested::FName)
        .Binary("Raw", &TFuzzNested::FData, &TFuzzNested::FData);
}

LUMI_DEFINE_CLASS(TFuzzItem) {
    p.Prop("Flag", &TFuzzItem::FFlag, &TFuzzItem::FFlag, false)
        .Prop("Int", &TFuzzItem::FInt, &TFuzzItem::FInt, 0)
        .Prop("Big", &TFuzzItem::FBig, &TFuzzItem::FBig)
        .Enum("Kind", &TFuzzItem::FKind, &TFuzzItem::FKind, {"fkOne", "fkTwo", "fkThree"}, fkOne)
        .Set("Flags", &TFuzzItem::FFlags, &TFuzzItem::FFlags, {"ffA", "ffB", "ffC", "ffD"})
        .Prop("Text", &TFuzzItem::FText, &TFuzzItem::FText)
        .String("Utf8", &TFuzzItem::FUtf8, &TFuzzItem::FUtf8)
        .Color("Color", &TFuzzItem::FColor, &TFuzzItem::FColor)
        .Cursor("Cursor", &TFuzzItem::FCursor, &TFuzzItem::FCursor, 0)
        .Object("Nested", &TFuzzItem::fGetNested)
        .Binary("Data", &TFuzzItem::FPicture, &TFuzzItem::fSetData)
        .Event("OnClick", &TFuzzItem::FOnClick)
        .Event("OnKey", &TFuzzItem::FOnKey);
}

LUMI_DEFINE_CLASS(TFuzzForm) {
    p.ExposeMethod("Click", &TFuzzForm::Click).ExposeMethod("Key", &TFuzzForm::Key);
}

LUMI_DEFINE_CLASS(TFuzzFieldForm) { p.ExposeField("Item1", &TFuzzFieldForm::Item1); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool registered = [] {
        RegisterClasses({TFuzzForm::StaticClass(), TFuzzItem::StaticClass()});
        return true;
    }();
    (void)registered;
    std::string text(reinterpret_cast<const char*>(data), size);
    {
        // A form with a field: it is filled, or the read fails and leaves nothing.
        TFuzzFieldForm fielded(nullptr);
        try {
            ReadForm(&fielded, text);
            if (!fielded.Item1) std::abort();
        } catch (const Exception&) {
            if (fielded.ComponentCount() != 0 || fielded.Item1) std::abort();
        }
    }
    TFuzzForm form(nullptr);
    try {
        ReadForm(&form, text);
    } catch (const Exception&) {
        if (form.ComponentCount() != 0) std::abort();  // a failed read leaves nothing
        return 0;
    }
    // What was read must write and read back to the same text.
    std::string once = WriteForm(&form);
    TFuzzForm again(nullptr);
    try {
        ReadForm(&again, once);
    } catch (const Exception& e) {
        std::fprintf(stderr, "written layout does not read back: %s\n%s", e.what(), once.c_str());
        std::abort();
    }
    if (WriteForm(&again) != once) std::abort();
    return 0;
}

#include "StreamTestClasses.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/Published.h"

using namespace lumivane;

std::vector<std::string>& TestLog() {
    static std::vector<std::string> log;
    return log;
}

int& LiveTestComponents() {
    static int n = 0;
    return n;
}

namespace {
void Log(const TComponent* c, const std::string& what) { TestLog().push_back(c->Name() + "." + what); }
}  // namespace

LUMI_DEFINE_CLASS(TTestColors) {
    const char* names[] = {"DefaultColor", "DisabledColor", "PushedColor", "HotColor"};
    for (int i = 0; i < 4; ++i)
        p.Color(
            names[i], [i](TTestColors* c) { return c->fGetColor(i); },
            [i](TTestColors* c, TColor v) { c->fSetColor(i, v); }, clDefault);
}

void TTestColors::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTestColors*>(Source)) {
        for (int i = 0; i < 4; ++i) FColors[i] = s->FColors[i];
        return;
    }
    inherited::Assign(Source);
}

LUMI_DEFINE_CLASS(TTestPicture) {
    p.Binary("Data", &TTestPicture::fGetData, &TTestPicture::fSetData);
}

TBytes TTestPicture::fGetData() const {
    if (GraphicClass.empty()) return {};
    return ComposePictureData(GraphicClass, File);
}

void TTestPicture::fSetData(const TBytes& data) {
    TPictureData d = ParsePictureData(data);
    if (d.ClassName != "TBitmap" && d.ClassName != "TIcon") throw Exception("Unknown graphic class " + d.ClassName);
    GraphicClass = d.ClassName;
    File = d.File;
}

LUMI_DEFINE_CLASS(TTestButton) {
    p.Prop("AnimateSpeed", &TTestButton::FAnimateSpeed, &TTestButton::FAnimateSpeed, 0)
        .Prop("Spacing", &TTestButton::fGetSpacing, &TTestButton::fSetSpacing, 0)
        .Prop("FocusRect", &TTestButton::FFocusRect, &TTestButton::fSetFocusRect, true)
        .Enum("Looks", &TTestButton::FLooks, &TTestButton::fSetLooks, {"tlNormal", "tlFlat", "tlBevel", "tlXP"},
              tlNormal)
        .Object("Colors", &TTestButton::fGetColors)
        .Color("HotTextColor", &TTestButton::FHotTextColor, &TTestButton::FHotTextColor, clBlack)
        .Set("Style", &TTestButton::FStyle, &TTestButton::FStyle, {"tsBold", "tsItalic", "tsUnderline"},
             TTestStyle{})
        .Prop("Caption", &TTestButton::FCaption, &TTestButton::FCaption)
        .String("FontName", &TTestButton::FFontName, &TTestButton::FFontName)
        .Prop("Value", &TTestButton::FValue, &TTestButton::FValue, int64_t{0})
        .Cursor("Cursor", &TTestButton::FCursor, &TTestButton::FCursor, 0)
        .Object("Picture", &TTestButton::fGetPicture)
        .Event("OnClick", &TTestButton::FOnClick)
        .Event("OnKeyPress", &TTestButton::FOnKeyPress)
        .Event("OnStatusChanged", &TTestButton::FOnStatusChanged)
        .Event("OnOwnerDraw", &TTestButton::FOnOwnerDraw);
}

TTestButton::TTestButton(TComponent* AOwner) : TComponent(AOwner) { ++LiveTestComponents(); }
TTestButton::~TTestButton() { --LiveTestComponents(); }

void TTestButton::fSetSpacing(int v) {
    Log(this, "Spacing");
    FSpacing = v;
}

// Like the image button: the look decides the focus rectangle.
void TTestButton::fSetLooks(TTestLooks v) {
    Log(this, "Looks");
    FLooks = v;
    FFocusRect = v != tlFlat;
}

void TTestButton::fSetFocusRect(bool v) {
    Log(this, "FocusRect");
    FFocusRect = v;
}

void TTestButton::Loaded() {
    LoadedSawLoading = ComponentState().Contains(csLoading);
    LoadedSawReading = ComponentState().Contains(csReading);
    LoadedSpacing = FSpacing;
    inherited::Loaded();
    Log(this, "Loaded");
}

LUMI_DEFINE_CLASS(TTestStrictButton) {
    p.Prop(
         "Spacing", &TTestButton::fGetSpacing,
         [](TTestStrictButton* b, int v) {
             if (v > 100) throw Exception("Spacing must be at most 100");
             b->fSetSpacing(v);
         },
         2)
        .Hide("Value");
}

LUMI_DEFINE_CLASS(TTestPanel) {
    p.Prop("Caption", &TTestPanel::FCaption, &TTestPanel::FCaption)
        .Object("Colors", &TTestPanel::fGetColors)
        .Stored(&TTestPanel::IsColorsStored)
        .Prop("ParentColors", &TTestPanel::FParentColors, &TTestPanel::FParentColors, true)
        .Event("OnPaint", &TTestPanel::fGetOnPaint, &TTestPanel::fSetOnPaint);
}

TTestPanel::TTestPanel(TComponent* AOwner) : TComponent(AOwner) { ++LiveTestComponents(); }
TTestPanel::~TTestPanel() { --LiveTestComponents(); }

void TTestPanel::Loaded() {
    inherited::Loaded();
    Log(this, "Loaded");
}

void TTestPanel::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FParent) FParent = nullptr;
}

LUMI_DEFINE_CLASS(TTestForm) {
    p.Prop("Caption", &TTestForm::FCaption, &TTestForm::FCaption)
        .ExposeMethod("ButtonClick", &TTestForm::ButtonClick)
        .ExposeMethod("ButtonKeyPress", &TTestForm::ButtonKeyPress)
        .ExposeMethod("StatusChanged", &TTestForm::StatusChanged);
}

LUMI_DEFINE_CLASS(TTestFieldForm) { p.ExposeField("Button1", &TTestFieldForm::Button1); }

TTestForm::TTestForm(TComponent* AOwner) : TComponent(AOwner) { ++LiveTestComponents(); }

TTestForm::~TTestForm() {
    DestroyComponents();
    --LiveTestComponents();
}

void TTestForm::Loaded() {
    inherited::Loaded();
    Log(this, "Loaded");
}

void TTestForm::ButtonClick(TObject* Sender) {
    ++Clicks;
    Calls.push_back("ButtonClick " + static_cast<TComponent*>(Sender)->Name());
}

void TTestForm::ButtonKeyPress(TObject*, char& Key) {
    Calls.push_back(std::string("KeyPress ") + Key);
    Key = 'X';
}

void TTestForm::StatusChanged(TObject*, int NewStatus, int OldStatus) {
    Calls.push_back("Status " + std::to_string(NewStatus) + " " + std::to_string(OldStatus));
}

void RegisterTestClasses() {
    RegisterClasses({TTestPanel::StaticClass(), TTestForm::StaticClass(), TTestStrictButton::StaticClass()});
    RegisterComponents("Test", {TTestButton::StaticClass(), TTestPanel::StaticClass()});
}

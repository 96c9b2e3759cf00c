#include "lumivane/framework/Form.h"

#include <algorithm>
#include <cctype>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Picture.h"

namespace lumivane {

namespace {

bool gSuppressLayouts = false;

} // namespace

// Picture data with the class name ("TIcon" and the icon file), or a bare icon file.
class TFormIconData : public TPersistent {
    LUMI_CLASS(TFormIconData, TPersistent)
public:
    explicit TFormIconData(TCustomForm* Form) : FForm(Form) {}
    TBytes Data() const {
        TIcon* icon = FForm->Icon();
        return icon->Empty() ? TBytes{} : WritePictureData(icon);
    }
    void SetData(const TBytes& Value) {
        if (Value.empty()) return;
        if (Value[0] == 0) {  // an icon file starts with a zero word; picture data with a name length
            FForm->Icon()->LoadFromStream(Value);
            return;
        }
        std::unique_ptr<TGraphic> g = ReadPictureData(Value);
        auto* icon = dynamic_cast<TIcon*>(g.get());
        if (!icon) throw Exception("Icon data holds a " + (g ? g->ClassName() : std::string("nothing")) + ", not an icon");
        FForm->Icon()->Assign(icon);
    }
    TPersistent* GetOwner() override { return FForm; }

private:
    TCustomForm* FForm;
};

LUMI_DEFINE_CLASS(TFormIconData) { p.Binary("Data", &TFormIconData::Data, &TFormIconData::SetData); }

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIconData(std::make_unique<TFormIconData>(this)), FIcon(std::make_unique<TIcon>()),
      FCanvas(std::make_unique<TCanvas>()) {
    FVisible = false;
    FParentFont = false;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    FIcon->OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
}

TCustomForm::~TCustomForm() {
    Destroying();
    DoDestroy();
    // The controls go while the form is still whole, so they can still reach it.
    DestroyComponents();
    FIcon->OnChange.Clear();
}

void TCustomForm::SuppressResourceLayouts(bool Value) { gSuppressLayouts = Value; }

void TCustomForm::LoadForm(std::string_view ResourceName) {
    if (gSuppressLayouts) return;
    std::string name(ResourceName);
    if (name.empty()) {
        name = ClassName();
        for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    ReadFormResource(this, name);
    LayoutLoaded();
}

void TCustomForm::LoadFormText(std::string_view Text) {
    ReadForm(this, Text);
    LayoutLoaded();
}

void TCustomForm::LoadForeignFormText(std::string_view Text) {
    ReadFormAsPlainForm(this, Text);
    LayoutLoaded();
}

void TCustomForm::LayoutLoaded() {
    DoCreate();
    if (FShowAfterLoad) {
        FShowAfterLoad = false;
        Show();
    }
}

void TCustomForm::Loaded() { TWinControl::Loaded(); }

void TCustomForm::DoCreate() {
    try {
        OnCreate(this);
    } catch (...) {
        Application->HandleCurrentException(this);
    }
}

void TCustomForm::DoDestroy() {
    try {
        OnDestroy(this);
    } catch (...) {
        Application->HandleCurrentException(this);
    }
}

void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }

void TCustomForm::Show() {
    SetVisible(true);
    if (FHandle) SetActiveWindow(FHandle);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    TWatch w(this);
    if (!CloseQuery() || !w.Alive()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (!w.Alive() || action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    if (action == caFree)
        Release();
    else
        Hide();
}

void TCustomForm::Release() {
    if (FReleasing) return;
    FReleasing = true;
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}


int TCustomForm::ShowModal() {
    if (FVisible || FModal) throw Exception("Cannot make a visible window modal");
    TWatch self(this);
    // The other forms wait, disabled, until the modal form is done.
    std::vector<HWND> disabled;
    if (Application)
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            auto* f = dynamic_cast<TCustomForm*>(Application->Components(i));
            if (f && f != this && f->HandleAllocated() && IsWindowVisible(f->FHandle) && IsWindowEnabled(f->FHandle)) {
                EnableWindow(f->FHandle, false);
                disabled.push_back(f->FHandle);
            }
        }
    FModal = true;
    FModalResult = mrNone;
    struct Restore {
        std::vector<HWND>& windows;
        ~Restore() {
            for (HWND h : windows)
                if (IsWindow(h)) EnableWindow(h, true);
        }
    } restore{disabled};
    Show();
    while (self.Alive() && FModalResult == mrNone && FHandle && IsWindow(FHandle)) {
        MSG m;
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(m.wParam));
            if (self.Alive()) FModalResult = mrCancel;
            break;
        }
        TranslateMessage(&m);
        try {
            DispatchMessageA(&m);
        } catch (...) {
            Application->HandleCurrentException(self.Alive() ? this : nullptr);
        }
    }
    if (!self.Alive()) return mrCancel;
    FModal = false;
    TModalResult result = FModalResult;
    Hide();
    return result;
}

void TCustomForm::RequestModalResult(TModalResult Value) { FModalResult = Value; }


LUMI_DEFINE_CLASS(TCustomForm) {}

LUMI_DEFINE_CLASS(TForm) {
    PublishControlProps(p, {"Cursor", "Hint", "Anchors", "AutoSize", "BiDiMode"});
    p.Set("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, BorderIconNames,
          TBorderIcons{biSystemMenu, biMinimize, biMaximize})
        .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, BorderStyleNames, bsSizeable);
    PublishControlProps(p, {"Caption"});
    // The client size follows from Width and Height; a layout may give it instead.
    p.Prop("ClientHeight", [](TForm* f) { return f->ClientHeight(); }, [](TForm* f, int v) { f->SetClientHeight(v); })
        .Stored([](TForm*) { return false; })
        .Range(0, MaxLayoutCoord)
        .Prop("ClientWidth", [](TForm* f) { return f->ClientWidth(); }, [](TForm* f, int v) { f->SetClientWidth(v); })
        .Stored([](TForm*) { return false; })
        .Range(0, MaxLayoutCoord);
    PublishControlProps(p, {"Color", "Constraints", "Ctl3D", "UseDockManager", "DockSite", "DragKind", "DragMode",
                            "Enabled"});
    p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false);
    PublishControlProps(p, {"Font"});
    p.Object("Icon", [](TForm* f) { return f->FIconData.get(); })
        .Prop("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false)
        .Prop("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder);
    PublishControlProps(p, {"ParentBiDiMode"});
    p.Enum("Position", &TForm::Position, &TForm::SetPosition, PositionNames, poDesigned)
        .Prop("Scaled", &TForm::Scaled, &TForm::SetScaled, true);
    PublishControlProps(p, {"ShowHint"});
    // What the layout says, not whether the form happens to be on the screen now.
    p.Prop("Visible", [](TForm* f) { return f->FDesignedVisible; },
           [](TForm* f, bool v) {
               f->FDesignedVisible = v;
               f->SetVisible(v);
           },
           false)
        .Event("OnActivate", &TForm::OnActivate, &TForm::OnActivate);
    PublishControlProps(p, {"OnClick"});
    p.Event("OnClose", &TForm::OnClose, &TForm::OnClose).Event("OnCloseQuery", &TForm::OnCloseQuery, &TForm::OnCloseQuery).Event("OnCreate", &TForm::OnCreate, &TForm::OnCreate);
    PublishControlProps(p, {"OnDblClick"});
    p.Event("OnDestroy", &TForm::OnDestroy, &TForm::OnDestroy).Event("OnDeactivate", &TForm::OnDeactivate, &TForm::OnDeactivate).Event("OnHide", &TForm::OnHide, &TForm::OnHide);
    PublishControlProps(p, {"OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    p.Event("OnPaint", &TForm::OnPaint, &TForm::OnPaint);
    PublishControlProps(p, {"OnResize"});
    // Written last, as the layout's own record of the screen it was made on.
    p.Event("OnShow", &TForm::OnShow, &TForm::OnShow)
        .Prop("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
        .Prop("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight);
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

}  // namespace lumivane

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Form.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

std::unique_ptr<TForm> LoadForm(const std::string& text) {
    ValidateEdit::Register();
    auto form = std::make_unique<TForm>(nullptr);
    form->LoadFormText(text);
    return form;
}

TValidateEdit* Edit(TForm& form, const char* name) { return dynamic_cast<TValidateEdit*>(form.FindComponent(name)); }

}  // namespace

TEST(ValidateEditForm, StoredFormKeepsTheCustomSetAndTheColourSlots) {
    HeadlessSession session;
    auto form = LoadForm(R"(object Form1: TForm
  object Custom: TValidateEdit
    Left = 8
    Top = 8
    Width = 200
    Height = 30
    ValidateType = vtCustom
    ValidateString = 'a-f-'
    Colors.HotColor = clRed
    BorderStyle = ebsUltraFlat
    PasswordChar = '*'
    Text = 'zz'
  end
end
)");
    TValidateEdit* e = Edit(*form, "Custom");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->fGetVType(), vtCustom);
    EXPECT_EQ(e->fGetVString(), "a-f-");
    EXPECT_EQ(e->fGetColors()->HotColor(), clRed);
    EXPECT_EQ(e->fGetColors()->DefaultColor(), clDefault);
    EXPECT_EQ(e->fGetPasswordChar(), '*');
    EXPECT_EQ(e->Text(), "zz");  // stored text is not filtered
    // Loaded lays the inner edit out for the stored size and style.
    EXPECT_EQ(e->InnerEdit()->BoundsRect(), (TRect{3, 3, 197, 27}));
}

TEST(ValidateEditForm, RegisterPutsOnlyTheValidatingEditOnThePalette) {
    ValidateEdit::Register();
    EXPECT_NE(GetClass("TValidateEdit"), nullptr);
    int found = 0;
    ValidateEdit::Register();  // again: still once
    for (const TPalettePage& page : GetPalette()) {
        for (TClass c : page.Classes) {
            EXPECT_NE(c->Name(), "TCustomValidateEdit");
            EXPECT_NE(c->Name(), "TKdCustomInplaceEdit");
            found += c->Name() == "TValidateEdit";
        }
    }
    EXPECT_EQ(found, 1);
}

TEST(ValidateEditForm, PublishedPropertiesInTheirStoredOrder) {
    std::string names;
    for (const auto& prop : TValidateEdit::StaticClass()->Properties()) names += prop->Name + " ";
    EXPECT_EQ(names,
              "Tag Left Top Width Height ValidateType ValidateString Colors OnMouseEnter OnMouseLeave Anchors "
              "AutoSelect AutoSize BevelEdges BevelInner BevelKind BevelOuter BiDiMode BorderStyle CharCase Color "
              "Constraints Ctl3D DragCursor DragKind DragMode Enabled Font HideSelection ImeMode ImeName MaxLength "
              "OEMConvert ParentBiDiMode ParentColor ParentCtl3D ParentFont ParentShowHint PasswordChar PopupMenu "
              "ReadOnly ShowHint TabOrder TabStop Text Visible OnChange OnClick OnContextPopup OnDblClick OnDragDrop "
              "OnDragOver OnEndDock OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove "
              "OnMouseUp OnStartDock OnStartDrag ");
}

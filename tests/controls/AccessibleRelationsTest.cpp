// A label names the control its FocusControl is: "label for" from the label, "labelled by" from
// the control, read from a form layout the way a program's forms are.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/layout/FormReader.h"

using namespace lumivane;

namespace {

constexpr const char* kLayout = R"(object frmRelations: TForm
  Caption = 'Relations'
  object lblName: TLabel
    Caption = '&Name:'
    FocusControl = edName
  end
  object lblAlso: TLabel
    Caption = 'Your full name'
    FocusControl = edName
  end
  object lblCode: TLabel
    Caption = '&Code:'
    FocusControl = vdCode
  end
  object lblPlain: TLabel
    Caption = 'Nothing to name'
  end
  object edName: TEdit
    Left = 80
  end
  object vdCode: TValidateEdit
    Left = 80
    Top = 40
  end
  object edLoose: TEdit
    Top = 80
  end
end
)";

}  // namespace

TEST(AccessibleRelations, ALabelNamesItsFocusControlBothWays) {
    HeadlessSession session;
    Application->Initialize();
    ValidateEdit::Register();
    std::unique_ptr<TComponent> form(ReadRootComponent(kLayout, Application));
    auto get = [&](const char* name) { return static_cast<TControl*>(form->FindComponent(name)); };

    struct Case {
        const char* control;
        const char* labelFor;  // "" for none
        std::vector<std::string> labelledBy;
    };
    const Case cases[] = {
        {"lblName", "edName", {}},
        {"lblAlso", "edName", {}},
        {"lblCode", "vdCode", {}},
        {"lblPlain", "", {}},
        {"edName", "", {"lblName", "lblAlso"}},  // two labels, in the form's order
        {"vdCode", "", {"lblCode"}},
        {"edLoose", "", {}},
    };
    for (const Case& c : cases) {
        TControl* control = get(c.control);
        ASSERT_NE(control, nullptr) << c.control;
        TControl* target = AccessibleInfoOf(control).LabelFor;
        EXPECT_EQ(target ? target->Name() : "", c.labelFor) << c.control;
        std::vector<std::string> by;
        for (TControl* l : AccessibleLabelsOf(control)) by.push_back(l->Name());
        EXPECT_EQ(by, c.labelledBy) << c.control;
    }

    // The inner edit of a validating edit is part of it: a label naming the inner edit names
    // the host, which is what a screen reader sees.
    auto* inner = dynamic_cast<TWinControl*>(static_cast<TWinControl*>(get("vdCode"))->Controls(0));
    ASSERT_NE(inner, nullptr);
    static_cast<TCustomLabel*>(get("lblPlain"))->SetFocusControl(inner);
    std::vector<std::string> by;
    for (TControl* l : AccessibleLabelsOf(get("vdCode"))) by.push_back(l->Name());
    EXPECT_EQ(by, (std::vector<std::string>{"lblCode", "lblPlain"}));

    // The named control goes: the label names nothing, and nothing dangles.
    delete get("edName");
    EXPECT_EQ(AccessibleInfoOf(get("lblName")).LabelFor, nullptr);
    EXPECT_TRUE(AccessibleLabelsOf(nullptr).empty());
}

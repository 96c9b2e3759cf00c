#include "tools/formview/MenuEditor.h"

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Label.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/Designer.h"
#include "tools/formview/MenuEdits.h"

using namespace lumivane;

namespace {

// From the top: the commands, the name field, the tree (one row a line, indented by depth), the
// status line.
constexpr int kCommandTop = 8, kNameTop = 38, kRowsTop = 70, kRowHeight = 22, kIndent = 16;
constexpr int kStatusHeight = 32;

}  // namespace

TMenuEditor::TMenuEditor(TDesigner& designer) : FDesigner(designer) {
    FForm = Application->CreateForm(TForm::StaticClass());
    FForm->SetClientSize(Width, Height);
    FForm->Font()->SetHeight(-12);
    FForm->SetCaption("Menu items");
    FForm->OnCloseQuery = [](TObject*, bool& canClose) { canClose = true; };
    const struct {
        const char* Caption;
        int Left, Width;
        std::function<std::string()> Edit;
    } commands[] = {
        {"Add", 8, 44, [this] { return AddMenuItem(FDesigner.Model(), FMenu, Selected(), false); }},
        {"Add inside", 54, 74, [this] { return AddMenuItem(FDesigner.Model(), FMenu, Selected(), true); }},
        {"Delete", 130, 50,
         [this] {
             // The menu itself goes with Delete on the form, not from here.
             if (!SameText(Selected(), FMenu)) DeleteComponents(FDesigner.Model(), {Selected()});
             return FMenu;
         }},
        {"Up", 182, 44,
         [this] {
             MoveMenuItem(FDesigner.Model(), Selected(), -1);
             return Selected();
         }},
        {"Down", 228, 44,
         [this] {
             MoveMenuItem(FDesigner.Model(), Selected(), 1);
             return Selected();
         }},
    };
    for (const auto& c : commands) {
        auto* b = new TButton(FForm);
        b->SetParent(FForm);
        b->SetBounds(c.Left, kCommandTop, c.Width, 24);
        b->SetCaption(c.Caption);
        b->SetTabStop(false);
        b->OnClick = [this, edit = c.Edit](TObject*) { Change(edit); };
        FCommands.push_back(b);
    }
    auto* nameLabel = new TLabel(FForm);
    nameLabel->SetParent(FForm);
    nameLabel->SetBounds(8, kNameTop + 4, 44, 16);
    nameLabel->SetCaption("Name:");
    FName = new TEdit(FForm);
    FName->SetParent(FForm);
    FName->SetBounds(54, kNameTop, Width - 62, 22);
    FName->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        const std::string to = FName->Text();
        Change([this, to] {
            RenameComponent(FDesigner.Model(), Selected(), to);
            return to;
        });
    };
    FStatus = new TLabel(FForm);
    FStatus->SetParent(FForm);
    FStatus->SetAutoSize(false);
    FStatus->SetWordWrap(true);
    FStatus->SetBounds(8, Height - kStatusHeight - 4, Width - 16, kStatusHeight);
    FStatus->Font()->SetColor(clRed);
}

TMenuEditor::~TMenuEditor() {
    ClearRows();
    for (TButton* b : FCommands) b->OnClick = nullptr;
    FName->OnKeyDown = nullptr;
    FForm->OnCloseQuery = nullptr;
}

void TMenuEditor::ClearRows() {
    for (TButton* b : FRows) {
        b->OnClick = nullptr;
        delete b;
    }
    FRows.clear();
}

std::string TMenuEditor::Selected() const {
    const TDesignModel& m = FDesigner.Model();
    return m.Selection.empty() ? FMenu : m.Selection.front();
}

// The edit returns what to select afterwards; a refusal shows its message and changes nothing.
void TMenuEditor::Change(const std::function<std::string()>& edit) {
    if (FMenu.empty()) return;
    std::string select;
    try {
        select = edit();
    } catch (const Exception& e) {
        FStatus->SetCaption(e.Message());
        return;
    }
    FStatus->SetCaption("");
    FDesigner.Changed({select});
}

void TMenuEditor::Refresh() {
    const TDesignModel& m = FDesigner.Model();
    FMenu = m.Selection.empty() ? "" : MenuOf(m, m.Selection.front());
    ClearRows();
    if (FMenu.empty()) {
        FForm->Hide();
        return;
    }
    FForm->SetCaption("Menu items: " + FMenu);
    const std::string selected = Selected();
    FName->SetText(SameText(selected, FMenu) ? "" : selected);
    FName->SetEnabled(!SameText(selected, FMenu));
    const int rows = (Height - kStatusHeight - 8 - kRowsTop) / kRowHeight;
    for (const TMenuRow& r : MenuTree(m, FMenu)) {
        if (int(FRows.size()) == rows) break;
        auto* b = new TButton(FForm);
        b->SetParent(FForm);
        const int left = 8 + r.Depth * kIndent;
        b->SetBounds(left, kRowsTop + int(FRows.size()) * kRowHeight, Width - 8 - left, kRowHeight - 2);
        b->SetCaption((r.Caption.empty() ? std::string("(no caption)") : r.Caption) + "   " + r.Name);
        b->SetTabStop(false);
        if (SameText(r.Name, selected)) b->Font()->SetStyle({fsBold});
        b->OnClick = [this, name = r.Name](TObject*) { FDesigner.Changed({name}, false); };
        FRows.push_back(b);
    }
    FStatus->BringToFront();
    if (!FForm->Visible()) FForm->Show();
}

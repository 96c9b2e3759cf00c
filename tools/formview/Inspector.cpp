#include "tools/formview/Inspector.h"

#include <algorithm>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/PopupMenu.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/Designer.h"
#include "tools/formview/MemberBox.h"

using namespace lumivane;

namespace {

// From the top: the filter, the component's name, its properties in two columns, the palette and
// the status line, each at a place of its own (a script finds them there).
constexpr int kPaletteColumns = 4, kButtonWidth = 144, kButtonHeight = 24, kRowHeight = 24;
constexpr int kNameWidth = 130, kMaxNameWidth = 180, kColumnWidth = 292, kRowsPerColumn = 30;
constexpr int kDropWidth = 20, kMemberHeight = 20;
constexpr int kRowsTop = 64, kPaletteTop = kRowsTop + kRowsPerColumn * kRowHeight + 8, kHeight = 960;

bool HasList(const TPropertyRow& r) {
    switch (r.Prop->Kind) {
    case TPropKind::Enum:
    case TPropKind::Bool:
    case TPropKind::Set: return !r.Choices.empty();
    case TPropKind::Component: return true;  // none is a choice too
    default: return false;
    }
}

bool Matches(const std::string& path, const std::string& filter) {
    if (filter.empty()) return true;
    if (filter.size() > path.size()) return false;
    for (size_t i = 0; i + filter.size() <= path.size(); ++i)
        if (SameText(std::string_view(path).substr(i, filter.size()), filter)) return true;
    return false;
}

}  // namespace

TInspector::TInspector(TDesigner& designer) : FDesigner(designer), FNameWidth(kNameWidth) {
    FForm = Application->CreateForm(TForm::StaticClass());
    FForm->SetClientSize(Width, kHeight);
    FForm->Font()->SetHeight(-12);
    FForm->OnCloseQuery = [this](TObject*, bool& canClose) { canClose = FDesigner.MayDiscard("Quit"); };
    auto* filterLabel = new TLabel(FForm);
    filterLabel->SetParent(FForm);
    filterLabel->SetBounds(8, 12, 60, 16);
    filterLabel->SetCaption("Filter:");
    FFilter = new TEdit(FForm);
    FFilter->SetParent(FForm);
    FFilter->SetBounds(70, 8, 200, 22);
    FFilter->OnChange = [this](TObject*) {
        LayOutPalette();
        FDesigner.PostRefresh();
    };
    FHeading = new TLabel(FForm);
    FHeading->SetParent(FForm);
    FHeading->SetBounds(8, 40, Width - 16, 16);
    FHeading->Font()->SetStyle({fsBold});
    for (TClass cls : PaletteClasses()) {
        auto* b = new TButton(FForm);
        b->SetParent(FForm);
        b->SetCaption(cls->Name());
        b->SetTabStop(false);
        b->OnClick = [this, cls](TObject*) { FDesigner.Arm(cls); };
        FPalette.push_back(b);
    }
    LayOutPalette();
    FListMenu = new TPopupMenu(FForm);
    FMeasure = new TLabel(FForm);
    FMeasure->SetAutoSize(true);
    FMeasure->Font()->Assign(FForm->Font());
    FStatus = new TLabel(FForm);
    FStatus->SetParent(FForm);
    FStatus->SetAutoSize(false);
    FStatus->SetWordWrap(true);
    FStatus->SetBounds(8, kHeight - 36, Width - 16, 32);
}

TInspector::~TInspector() {
    ClearRows();
    FFilter->OnChange = nullptr;
    FForm->OnCloseQuery = nullptr;
    for (TButton* b : FPalette) b->OnClick = nullptr;
    FListMenu->Items()->Clear();
}

// The classes whose names hold the filter, in registration order, from the palette's first place.
void TInspector::LayOutPalette() {
    const std::string filter = FFilter->Text();
    int at = 0;
    for (TButton* b : FPalette) {
        const bool shown = Matches(b->Caption(), filter);
        b->SetVisible(shown);
        if (!shown) continue;
        b->SetBounds(8 + (at % kPaletteColumns) * (kButtonWidth + 2), kPaletteTop + (at / kPaletteColumns) * (kButtonHeight + 2),
                     kButtonWidth, kButtonHeight);
        ++at;
    }
}

void TInspector::SetStatus(const std::string& text, bool error) {
    FStatus->Font()->SetColor(error ? clRed : clWindowText);
    FStatus->SetCaption(text);
}

void TInspector::SetTitle(const std::string& title) { FForm->SetCaption(title); }

void TInspector::ClearRows() {
    // An edit that has the focus says it lost it while it goes: nothing may answer by then.
    for (TEdit* e : FEdits) {
        e->OnExit = nullptr;
        e->OnEnter = nullptr;
        e->OnKeyDown = nullptr;
    }
    for (TLabel* l : FNames) delete l;
    for (TEdit* e : FEdits) delete e;
    for (TButton* b : FDrops) delete b;
    FNames.clear();
    FEdits.clear();
    FDrops.clear();
}

void TInspector::Refresh() {
    const TDesignModel& model = FDesigner.Model();
    FComponent = model.Selection.empty() ? model.Root()->Name() : model.Selection.front();
    TComponent* c = model.Find(FComponent);
    FHeading->SetCaption(c ? FComponent + ": " + c->ClassName() : "");
    std::vector<TPropertyRow> all = PropertyRows(model, FComponent);
    const std::string filter = FFilter->Text();
    FRows.clear();
    for (TPropertyRow& r : all)
        if (Matches(r.Path, filter) && FRows.size() < 2 * size_t(kRowsPerColumn)) FRows.push_back(std::move(r));
    ClearRows();
    // The name column as wide as the longest name (Constraints.MaxHeight, Colors.DefaultColor),
    // the edits narrower for it: the window keeps its width and its place beside the form. It
    // does not narrow again, so the rows do not jump about from one component to the next.
    for (const TPropertyRow& r : FRows) {
        FMeasure->SetCaption(r.Path);
        FNameWidth = std::clamp(FMeasure->Width() + 8, FNameWidth, kMaxNameWidth);
    }
    const int editWidth = kColumnWidth - 2 - FNameWidth;
    for (size_t i = 0; i < FRows.size(); ++i) {
        const int x = 8 + int(i / kRowsPerColumn) * kColumnWidth, y = kRowsTop + int(i % kRowsPerColumn) * kRowHeight;
        auto* name = new TLabel(FForm);
        name->SetParent(FForm);
        name->SetAutoSize(false);
        name->SetBounds(x, y + 3, FNameWidth - 4, 16);
        name->SetCaption(FRows[i].Path);
        auto* edit = new TEdit(FForm);
        edit->SetParent(FForm);
        const bool list = HasList(FRows[i]);
        edit->SetBounds(x + FNameWidth, y, editWidth - 8 - (list ? kDropWidth : 0), 22);
        TButton* drop = nullptr;
        if (list) {
            drop = new TButton(FForm);
            drop->SetParent(FForm);
            drop->SetBounds(x + FNameWidth + editWidth - 8 - kDropWidth, y, kDropWidth, 22);
            drop->SetCaption("\u25BE");
            drop->SetTabStop(false);
            drop->OnClick = [this, i](TObject*) { Drop(i); };
        }
        edit->SetText(FRows[i].Value);
        edit->OnKeyDown = [this, i](TObject*, WORD& key, TShiftState) {
            if (key == VK_RETURN) {
                key = 0;
                Commit(i);
            } else if (key == VK_ESCAPE) {
                key = 0;
                FEdits[i]->SetText(FRows[i].Value);
            }
        };
        edit->OnExit = [this, i](TObject*) {
            if (i < FEdits.size() && FEdits[i]->Text() != FRows[i].Value) Commit(i);
        };
        edit->OnEnter = [this, i](TObject*) { Entered(i); };
        FNames.push_back(name);
        FEdits.push_back(edit);
        FDrops.push_back(drop);
    }
    ShowMembers();
}

void TInspector::Drop(size_t row) {
    if (row >= FRows.size()) return;
    const TPropertyRow& r = FRows[row];
    Entered(row);
    if (r.Prop->Kind == TPropKind::Set) {
        FOpenSet = FOpenSet == r.Path ? "" : r.Path;
        ShowMembers();
        return;
    }
    // The values as a menu under the button, the current one marked.
    FListMenu->Items()->Clear();
    std::vector<std::string> texts;
    if (r.Prop->Kind == TPropKind::Component) texts.push_back("");
    for (size_t i = 0; i < r.Choices.size(); ++i) texts.push_back(ChoiceText(r, i));
    for (const std::string& text : texts) {
        auto* item = new TMenuItem(FListMenu);
        item->SetCaption(text.empty() ? "(none)" : text);
        item->SetRadioItem(true);
        item->SetChecked(SameText(text, r.Value));
        item->OnClick = [this, row, text](TObject*) { Choose(row, text); };
        FListMenu->Items()->Add(item);
    }
    const TPoint at = FDrops[row]->ClientToScreen({0, FDrops[row]->Height()});
    FListMenu->Popup(at.x, at.y);
}

void TInspector::Choose(size_t row, const std::string& text) {
    if (row >= FEdits.size()) return;
    FEdits[row]->SetText(text);
    Commit(row);
}

// The open set's members as check boxes under its row, above the rows below; made anew with
// the rows (the value may have changed), gone when the row is.
void TInspector::ShowMembers() {
    for (TMemberBox* b : FMemberBoxes) b->OnClick = nullptr;
    FMemberBoxes.clear();
    delete FMembers;  // its boxes with it
    FMembers = nullptr;
    size_t row = 0;
    while (row < FRows.size() && FRows[row].Path != FOpenSet) ++row;
    if (FOpenSet.empty() || row == FRows.size() || !FDrops[row]) {
        FOpenSet.clear();
        return;
    }
    const TPropertyRow& r = FRows[row];
    const TRect edit = FEdits[row]->BoundsRect();
    FMembers = new TPanel(FForm);
    FMembers->SetParent(FForm);
    // As wide as the edit with its button: within the window in either column.
    const int width = FDrops[row]->BoundsRect().Right - edit.Left;
    FMembers->SetBounds(edit.Left, edit.Bottom, width, 4 + kMemberHeight * int(r.Choices.size()));
    const std::vector<bool> held = HeldMembers(r);
    for (size_t m = 0; m < r.Choices.size(); ++m) {
        auto* box = new TMemberBox(FMembers);
        box->SetParent(FMembers);
        box->SetBounds(4, 2 + kMemberHeight * int(m), width - 8, kMemberHeight);
        box->SetCaption(r.Choices[m]);
        box->SetChecked(held[m]);
        box->OnClick = [this, row, m](TObject*) {
            Choose(row, ToggledMemberText(FRows[row], m));
            // Taken or not, the boxes show the value the row holds now.
            const std::vector<bool> now = HeldMembers(FRows[row]);
            for (size_t k = 0; k < FMemberBoxes.size() && k < now.size(); ++k) FMemberBoxes[k]->SetChecked(now[k]);
        };
        FMemberBoxes.push_back(box);
    }
}

void TInspector::Entered(size_t row) {
    const TPropertyRow& r = FRows[row];
    std::string what;
    switch (r.Prop->Kind) {
    case TPropKind::Int32:
    case TPropKind::Int64: what = "a whole number from " + std::to_string(r.Min) + " to " + std::to_string(r.Max); break;
    case TPropKind::String: what = "text"; break;
    case TPropKind::Color: what = "a colour: a name such as clRed, or $00BBGGRR"; break;
    case TPropKind::Cursor: what = "a cursor: a name such as crHandPoint, or a number"; break;
    case TPropKind::Binary: what = "a picture: the path of a .bmp, .ico or .png file (empty: none)"; break;
    case TPropKind::Event: what = "the name of a method of the form (empty: none)"; break;
    case TPropKind::Set: what = "a set such as [a, b] of:"; break;
    default: what = "one of:"; break;
    }
    for (size_t i = 0; i < r.Choices.size(); ++i) what += (i ? ", " : " ") + r.Choices[i];
    if (r.Prop->Kind == TPropKind::Component) what = "a component" + (r.Choices.empty() ? std::string(" (none fits)") : ":" + what) + "; empty: none";
    SetStatus(r.Path + ": " + what);
}

void TInspector::Commit(size_t row) {
    if (row >= FEdits.size()) return;
    const std::string text = FEdits[row]->Text();
    if (text == FRows[row].Value) return;
    // The rows are made anew once the value is in: not while this edit's handler runs.
    std::string error = FDesigner.SetProperty(FComponent, FRows[row].Path, text);
    if (!error.empty()) {
        SetStatus(FRows[row].Path + ": " + error, true);
        return;
    }
    FRows[row].Value = text;
    SetStatus(FRows[row].Path + " set");
}

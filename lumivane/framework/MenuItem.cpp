#include "lumivane/framework/MenuItem.h"

#include "lumivane/framework/Menu.h"

#include <algorithm>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/gfx/text/Unicode.h"

namespace lumivane {

std::string ShortCutToText(TShortCut ShortCut) {
    const unsigned key = ShortCut & 0xFF;
    std::string name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        name = std::string(1, static_cast<char>(key));
    else if (key >= VK_F1 && key <= VK_F12)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else {
        switch (key) {
        case VK_BACK: name = "BkSp"; break;
        case VK_TAB: name = "Tab"; break;
        case VK_RETURN: name = "Enter"; break;
        case VK_ESCAPE: name = "Esc"; break;
        case VK_SPACE: name = "Space"; break;
        case VK_PRIOR: name = "PgUp"; break;
        case VK_NEXT: name = "PgDn"; break;
        case VK_END: name = "End"; break;
        case VK_HOME: name = "Home"; break;
        case VK_LEFT: name = "Left"; break;
        case VK_UP: name = "Up"; break;
        case VK_RIGHT: name = "Right"; break;
        case VK_DOWN: name = "Down"; break;
        case VK_INSERT: name = "Ins"; break;
        case VK_DELETE: name = "Del"; break;
        default: return {};
        }
    }
    std::string out;
    if (ShortCut & scShift) out += "Shift+";
    if (ShortCut & scCtrl) out += "Ctrl+";
    if (ShortCut & scAlt) out += "Alt+";
    return out + name;
}

char32_t AcceleratorOf(std::string_view Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;  // "&&" is a plain ampersand
            continue;
        }
        size_t next = i + 1;
        return LowerChar(NextChar(Caption, next));
    }
    return 0;
}

void TMenuItem::SetCaption(const std::string& Value) {
    FCaption = ValidUtf8(Value);
    Changed();
}
void TMenuItem::SetHint(const std::string& Value) { FHint = ValidUtf8(Value); }

LUMI_DEFINE_CLASS(TMenuItem) {
    p.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false)
        .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
        .Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
        .Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
        .Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
        .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
        .Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
        .Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, scNone)
        .Range(0, 0xFFFF)  // key and modifier bits; anything wider would be cut silently
        .Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
        .Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    MenuWindow::ItemGone(this);
    // Subitems may be owned by the form: each one leaves its owner's list as it goes.
    Clear();
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetChecked(bool Value) {
    FChecked = Value;
    Changed();
    if (!Value || !FRadioItem || !FParent) return;
    for (TMenuItem* sibling : FParent->FItems)
        if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
}

void TMenuItem::Changed() { MenuWindow::ItemChanged(this); }

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw Exception("Menu index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw Exception("Menu item " + Item->Name() + " is already in a menu");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw Exception("A menu item cannot hold itself");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
    Changed();
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

std::vector<TMenuItem*> TMenuItem::VisibleItems() const {
    std::vector<TMenuItem*> out;
    for (TMenuItem* i : FItems)
        if (i->FVisible) out.push_back(i);
    return out;
}

void TMenuItem::Click() {
    if (FAutoCheck) SetChecked(!FChecked);
    OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
    else if (Value)
        throw Exception("a menu item belongs in a menu or another menu item, not in " + Value->ClassName());
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

}  // namespace lumivane

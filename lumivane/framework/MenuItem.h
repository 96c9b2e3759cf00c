#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lumivane/framework/Component.h"
#include "lumivane/framework/Events.h"

namespace lumivane {

// Menus: TMenuItem (a caption with an '&' accelerator, or '-' for a separator line; nested items
// make a submenu), TMenu (the root of a tree of items) and TPopupMenu (a menu shown at a point
// in a window of its own, drawn by the framework; see framework/MenuWindow.h for how it tracks
// the pointer and the keys).
//
// In a layout the items are nested objects of their menu:
//
//     object PopupMenu1: TPopupMenu
//       object mnuOpen: TMenuItem
//         Caption = '&Open'
//         ShortCut = 16463
//         OnClick = mnuOpenClick
//       end
//     end

class TMenu;

// A key with its modifiers: the virtual key in the low byte, scShift, scCtrl, scAlt above.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
// "Ctrl+C", "Shift+Del", "F2"...; empty for scNone or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The accelerator of a caption: the character after a single '&', in lower case; 0 for none.
char32_t AcceleratorOf(std::string_view Caption);

class TMenuItem : public TComponent {
    LUMI_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees its subitems too.
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool IsLine() const { return FCaption == "-"; }
    // Setting a radio item checked unchecks the other radio items of its group among its siblings.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; Changed(); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; Changed(); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; Changed(); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; Changed(); }

    // Subitems.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    int IndexOf(const TMenuItem* Item) const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    // Removes and frees the subitem.
    void Delete(int Index);
    // Frees every subitem.
    void Clear();
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    // The menu whose tree holds the item (null for a loose item).
    TMenu* GetParentMenu() const;
    // Visible subitems, for the menu window.
    std::vector<TMenuItem*> VisibleItems() const;

    // Toggles Checked when AutoCheck is set, then fires OnClick.
    virtual void Click();

    // The layout: an item read inside a menu or another item becomes its last subitem.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    // What changes a row's look or size shows in an open menu.
    void Changed();
    std::string FCaption;
    bool FChecked = false;
    bool FAutoCheck = false;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    bool FDefault = false;
    bool FEnabled = true;
    bool FVisible = true;
    std::string FHint;
    TShortCut FShortCut = scNone;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item
};

}  // namespace lumivane

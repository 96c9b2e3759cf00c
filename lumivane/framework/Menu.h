#pragma once
#include "lumivane/framework/MenuItem.h"

namespace lumivane {

class TMenu : public TComponent {
    LUMI_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The root item; the menu's items are its subitems.
    TMenuItem* Items() const { return FItems; }
    // The first item of the tree with that shortcut, visible and enabled; null for none.
    TMenuItem* FindItemByShortCut(TShortCut ShortCut) const;

private:
    TMenuItem* FItems;
};

}  // namespace lumivane

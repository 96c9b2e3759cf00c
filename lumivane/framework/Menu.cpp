#include "lumivane/framework/Menu.h"

#include <algorithm>
#include <cctype>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TMenu) { PublishDesignPosition(p); }

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
    Destroying();
    delete FItems;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut ShortCut) const {
    if (ShortCut == scNone) return nullptr;
    std::vector<const TMenuItem*> stack{FItems};
    while (!stack.empty()) {
        const TMenuItem* item = stack.back();
        stack.pop_back();
        for (auto it = item->FItems.rbegin(); it != item->FItems.rend(); ++it) {
            TMenuItem* sub = *it;
            if (!sub->Visible() || !sub->Enabled()) continue;
            stack.push_back(sub);
        }
        if (item != FItems && item->ShortCut() == ShortCut) return const_cast<TMenuItem*>(item);
    }
    return nullptr;
}

}  // namespace lumivane

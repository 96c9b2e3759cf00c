// The edit's own context menu, offered when the edit has no PopupMenu. Each item acts by sending
// the edit its message (WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL) through the
// edit's message handling, so a class that filters a message (a paste) filters the menu's too.
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/windows/Services.h"

namespace lumivane {

namespace {

struct TEditCommand {
    const char* Caption;
    UINT Msg;
};

constexpr TEditCommand kCommands[] = {
    {"&Undo", WM_UNDO}, {"-", 0},         {"Cu&t", WM_CUT},         {"&Copy", WM_COPY},
    {"&Paste", WM_PASTE}, {"&Delete", WM_CLEAR}, {"-", 0}, {"Select &All", EM_SETSEL},
};

}  // namespace

TPopupMenu* TCustomEdit::EditMenu() {
    if (FEditMenu) return FEditMenu;
    FEditMenu = new TPopupMenu(this);
    for (const TEditCommand& c : kCommands) {
        auto* item = new TMenuItem(FEditMenu);
        item->SetCaption(c.Caption);
        if (c.Msg) {
            const UINT msg = c.Msg;
            item->OnClick = [this, msg](TObject*) { Perform(msg, 0, msg == EM_SETSEL ? -1 : 0); };
        }
        FEditMenu->Items()->Add(item);
    }
    return FEditMenu;
}

void TCustomEdit::UpdateEditMenu() {
    const int length = static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0));
    const int selLength = SelLength();
    const bool writable = !FReadOnly && Enabled();
    const bool hidden = FPasswordChar != 0;
    std::string clip;
    const bool canPaste = writable && GetClipboardText(&clip) && !clip.empty();
    const bool enabled[] = {writable && CanUndo(), true, writable && selLength > 0 && !hidden,
                            selLength > 0 && !hidden, canPaste, writable && selLength > 0, true,
                            length > 0 && selLength < length};
    TMenuItem* items = EditMenu()->Items();
    for (int i = 0; i < items->Count(); ++i) items->Items(i)->SetEnabled(enabled[i]);
}

bool TCustomEdit::DefaultContextPopup(TPoint ScreenPos) {
    if (CanFocus() && !Focused()) SetFocus();
    UpdateEditMenu();
    TPopupMenu* menu = EditMenu();
    menu->SetPopupComponent(this);
    menu->Popup(ScreenPos.x, ScreenPos.y);
    return true;
}

}  // namespace lumivane

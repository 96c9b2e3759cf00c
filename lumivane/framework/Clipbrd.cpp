#include "lumivane/framework/Clipbrd.h"

#include "lumivane/framework/Published.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TClipboard) {}

bool TClipboard::HasFormat(unsigned Format) const {
    std::string text;
    return Format == CF_TEXT && (FPrimary ? GetPrimarySelectionText(&text) : GetClipboardText(&text));
}

std::string TClipboard::AsText() const {
    std::string text;
    return (FPrimary ? GetPrimarySelectionText(&text) : GetClipboardText(&text)) ? text : std::string();
}

void TClipboard::SetAsText(const std::string& Value) {
    if (FPrimary)
        SetPrimarySelectionText(Value);
    else
        SetClipboardText(Value);
}

void TClipboard::Clear() { SetAsText(std::string()); }

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

TClipboard* PrimarySelection() {
    static TClipboard primary(true);
    return &primary;
}

}  // namespace lumivane

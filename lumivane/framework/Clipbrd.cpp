#include "lumivane/framework/Clipbrd.h"

#include "lumivane/framework/Published.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TClipboard) {}

bool TClipboard::HasFormat(unsigned Format) const {
    std::string text;
    return Format == CF_TEXT && GetClipboardText(&text);
}

std::string TClipboard::AsText() const {
    std::string text;
    return GetClipboardText(&text) ? text : std::string();
}

void TClipboard::SetAsText(const std::string& Value) { SetClipboardText(Value); }

void TClipboard::Clear() { SetClipboardText(std::string()); }

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

}  // namespace lumivane

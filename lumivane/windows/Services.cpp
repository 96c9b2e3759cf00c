#include <cstring>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

bool SetSelection(TSelection which, const std::string& text) {
    Driver* d = WS().driver;
    if (!d) return false;
    d->SetSelectionText(which, ValidUtf8(text));
    return true;
}

bool GetSelection(TSelection which, std::string* text) {
    Driver* d = WS().driver;
    if (!d || !text || !d->GetSelectionText(which, *text)) return false;
    if (!IsValidUtf8(*text)) *text = ValidUtf8(*text);
    return true;
}

} // namespace

bool SetClipboardText(const std::string& text) { return SetSelection(TSelection::Clipboard, text); }
bool GetClipboardText(std::string* text) { return GetSelection(TSelection::Clipboard, text); }
bool SetPrimarySelectionText(const std::string& text) { return SetSelection(TSelection::Primary, text); }
bool GetPrimarySelectionText(std::string* text) { return GetSelection(TSelection::Primary, text); }

HINSTANCE ShellExecuteA(HWND /*hwnd*/, const char* operation, const char* file, const char* /*params*/,
                        const char* /*dir*/, int /*show*/) {
    Driver* d = WS().driver;
    if (operation && *operation && std::strcmp(operation, "open") != 0) return SE_ERR_NOASSOC;
    // An address starting with '-' would reach the opener as an option.
    if (!d || !file || !*file || file[0] == '-') return SE_ERR_FNF;
    d->GetSystem().OpenAddress(file);
    return 42;
}

bool NotifyReadable(int fd, HWND hwnd, UINT message) {
    auto& ws = WS();
    if (!ws.driver || fd < 0) return false;
    if (!hwnd) {
        ws.readableNotify.erase(fd);
        ws.driver->WatchReadable(fd, false);
        return true;
    }
    if (!IsWindow(hwnd)) return false;
    ws.readableNotify[fd] = {hwnd, message};
    ws.driver->WatchReadable(fd, true);
    return true;
}

void ReadableEvent(int fd) {
    auto& ws = WS();
    auto it = ws.readableNotify.find(fd);
    if (it == ws.readableNotify.end()) return;
    auto [hwnd, message] = it->second;
    ws.readableNotify.erase(it);
    PostMessageA(hwnd, message, static_cast<WPARAM>(fd), 0);
}

}  // namespace lumivane

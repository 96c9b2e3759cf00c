#include <cstring>

#include "platform/WindowState.h"

bool SetClipboardText(const std::string& text) {
    Driver* d = WS().driver;
    if (!d) return false;
    d->SetClipboardText(text);
    return true;
}

bool GetClipboardText(std::string* text) {
    Driver* d = WS().driver;
    if (!d || !text) return false;
    return d->GetClipboardText(*text);
}

HINSTANCE ShellExecuteA(HWND /*hwnd*/, const char* operation, const char* file, const char* /*params*/,
                        const char* /*dir*/, int /*show*/) {
    Driver* d = WS().driver;
    if (operation && *operation && std::strcmp(operation, "open") != 0) return SE_ERR_NOASSOC;
    // An address starting with '-' would reach the opener as an option.
    if (!d || !file || !*file || file[0] == '-') return SE_ERR_FNF;
    d->OpenAddress(file);
    return 42;
}

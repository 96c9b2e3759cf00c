#pragma once
#include <string>

#include "lumivane/windows/Messages.h"

namespace lumivane {

using HINSTANCE = intptr_t;

// The clipboard holds UTF-8 text (stored as ValidUtf8 makes it).
bool SetClipboardText(const std::string& text);
// False when there is no text on the clipboard.
bool GetClipboardText(std::string* text);
// The primary selection: the text last selected, here or in another program, which a middle
// click pastes.
bool SetPrimarySelectionText(const std::string& text);
bool GetPrimarySelectionText(std::string* text);

// Posts `message` (wParam: the fd) to the window once `fd` has data to read, waking the message
// loop without polling. One request, one message: the handler reads what is there and asks
// again to hear of more. A null window forgets the fd (do so before closing it).
bool NotifyReadable(int fd, HWND hwnd, UINT message);

enum : int { SE_ERR_FNF = 2, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31 };
// Operation "open" (or nullptr) hands the address to the driver exactly as given, never to a
// shell. An empty address or one beginning with '-' (it would read as an option) is refused with
// SE_ERR_FNF; any other operation with SE_ERR_NOASSOC. Greater than 32 means success.
HINSTANCE ShellExecuteA(HWND hwnd, const char* operation, const char* file, const char* params,
                        const char* dir, int show);

}  // namespace lumivane

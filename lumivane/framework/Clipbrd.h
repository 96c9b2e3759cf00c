#pragma once
#include <string>

#include "lumivane/framework/Persistent.h"

namespace lumivane {

// The window system's clipboard, as the framework sees it: UTF-8 text (CF_TEXT names it).
enum : unsigned { CF_TEXT = 1 };

class TClipboard : public TPersistent {
    LUMI_CLASS(TClipboard, TPersistent)
public:
    TClipboard() = default;
    // primary: the X primary selection (the last text selected, pasted with the middle button)
    // instead of the clipboard.
    explicit TClipboard(bool primary) : FPrimary(primary) {}
    bool HasFormat(unsigned Format) const;
    // Empty when the clipboard holds no text.
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    void Clear();

private:
    bool FPrimary = false;
};

// The one clipboard object of the program, and the one primary selection.
TClipboard* Clipboard();
TClipboard* PrimarySelection();

}  // namespace lumivane

#pragma once
#include <string>

#include "lumivane/framework/Persistent.h"

namespace lumivane {

// The window system's clipboard, as the framework sees it: 8-bit text.
enum : unsigned { CF_TEXT = 1 };

class TClipboard : public TPersistent {
    LUMI_CLASS(TClipboard, TPersistent)
public:
    bool HasFormat(unsigned Format) const;
    // Empty when the clipboard holds no text.
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    void Clear();
};

// The one clipboard object of the program.
TClipboard* Clipboard();

}  // namespace lumivane

// Properties of the tree's objects, and the Action, Text and EditableText requests.
#include <algorithm>
#include <string>

#include "lumivane/accessibility/AtSpiBridge.h"
#include "lumivane/framework/Application.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Services.h"

namespace lumivane {

namespace {
constexpr const char* kIface = "org.a11y.atspi.";

// The characters from..to (to < 0: the end) of text, clamped.
std::string Slice(const std::string& text, int from, int to) {
    const int n = static_cast<int>(CountChars(text));
    from = std::clamp(from, 0, n);
    to = to < 0 ? n : std::clamp(to, from, n);
    const size_t a = CharToByte(text, static_cast<size_t>(from)), b = CharToByte(text, static_cast<size_t>(to));
    return text.substr(a, b - a);
}

bool IsWordChar(char32_t c) { return c > 0x20 && c != 0x7F; }

// The run around offset for a boundary kind: a character (0), a word with the spaces after or
// before it (1, 2), or else the whole single line.
std::pair<int, int> RunAt(const std::string& text, int offset, uint32_t boundary) {
    std::u32string chars;
    for (size_t pos = 0; pos < text.size();) chars.push_back(NextChar(text, pos));
    const int n = static_cast<int>(chars.size());
    if (offset < 0 || offset > n) return {0, 0};
    if (boundary == 0) return offset < n ? std::pair{offset, offset + 1} : std::pair{n, n};
    if (boundary == 1 || boundary == 2) {
        int a = offset, b = offset;
        while (a > 0 && IsWordChar(chars[static_cast<size_t>(a - 1)])) --a;
        while (b < n && IsWordChar(chars[static_cast<size_t>(b)])) ++b;
        if (boundary == 1)
            while (b < n && !IsWordChar(chars[static_cast<size_t>(b)])) ++b;
        else
            while (a > 0 && !IsWordChar(chars[static_cast<size_t>(a - 1)])) --a;
        return {a, b};
    }
    return {0, n};
}
}  // namespace

bool TAtSpiBridge::AppendProperty(sd_bus_message* r, const TNode& n, const std::string& iface, const std::string& name) {
    const auto has = [&](const std::string& i) {
        auto all = InterfacesOf(n);
        return std::find(all.begin(), all.end(), kIface + i) != all.end();
    };
    if (iface.rfind(kIface, 0) != 0 || !has(iface.substr(15))) return false;
    const std::string kind = iface.substr(15);
    const TAccessibleInfo info = InfoOf(n);
    const auto str = [&](const std::string& s) { return B.Append(r, "v", "s", s.c_str()) >= 0; };
    const auto num = [&](int32_t v) { return B.Append(r, "v", "i", v) >= 0; };
    const auto dbl = [&](double v) { return B.Append(r, "v", "d", v) >= 0; };
    if (kind == "Accessible") {
        if (name == "Name") return str(n.IsRoot() ? (Application ? Application->Title() : std::string()) : info.Name);
        if (name == "Description") return str(info.Description);
        if (name == "Locale") return str("C");
        if (name == "AccessibleId") return str(n.Control ? n.Control->Name() : std::string());
        if (name == "HelpText") return str(n.Control ? n.Control->Hint() : std::string());
        if (name == "ChildCount") return num(static_cast<int32_t>(ChildrenOf(n).size()));
        if (name == "Parent") {
            B.OpenContainer(r, 'v', "(so)");
            const TNode p = ParentOf(n);
            if (p.Valid)
                AppendRef(r, p);
            else
                B.Append(r, "(so)", FDesktopName.c_str(), FDesktopPath.c_str());
            B.CloseContainer(r);
            return true;
        }
    } else if (kind == "Application") {
        if (name == "ToolkitName") return str("Lumivane");
        if (name == "Version") return str("1");
        if (name == "AtspiVersion") return str("2.1");
        if (name == "Id") return num(FAppId);
        if (name == "InterfaceVersion") return B.Append(r, "v", "u", 1u) >= 0;
    } else if (kind == "Action") {
        if (name == "NActions") return num(static_cast<int32_t>(info.Actions.size()));
    } else if (kind == "Text") {
        if (name == "CharacterCount") return num(static_cast<int32_t>(CountChars(n.Control->AccessibleText())));
        if (name == "CaretOffset") return num(n.Control->AccessibleCaret());
    } else if (kind == "Value") {
        if (name == "MinimumValue") return dbl(info.Minimum);
        if (name == "MaximumValue") return dbl(info.Maximum);
        if (name == "MinimumIncrement") return dbl(info.Increment);
        if (name == "CurrentValue") return dbl(info.Current);
        // The exact value: a double holds integers exactly only up to 2^53.
        if (name == "Text") return str(n.Control->AccessibleText());
    }
    return false;
}

bool TAtSpiBridge::SetProperty(sd_bus_message* m, const TNode& n, const std::string& iface, const std::string& name) {
    if (iface == "org.a11y.atspi.Application" && name == "Id" && n.IsRoot())
        return B.Read(m, "v", "i", &FAppId) >= 0;
    if (iface == "org.a11y.atspi.Value" && name == "CurrentValue" && n.Control) {
        double v = 0;
        if (B.Read(m, "v", "d", &v) < 0) return false;
        n.Control->SetAccessibleValue(v);
        return true;
    }
    return false;
}

int TAtSpiBridge::ServeProperties(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    static const char* const kNames[][8] = {
        {"Accessible", "Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId", "HelpText"},
        {"Application", "ToolkitName", "Version", "AtspiVersion", "Id", "InterfaceVersion", nullptr, nullptr},
        {"Action", "NActions", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Text", "CharacterCount", "CaretOffset", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Value", "MinimumValue", "MaximumValue", "MinimumIncrement", "CurrentValue", "Text", nullptr, nullptr}};
    if (member == "Get") {
        const char *iface = nullptr, *name = nullptr;
        if (B.Read(m, "ss", &iface, &name) < 0 || !iface || !name) return 0;
        return AppendProperty(r, n, iface, name) ? 1 : 0;
    }
    if (member == "GetAll") {
        const char* iface = nullptr;
        if (B.Read(m, "s", &iface) < 0 || !iface) return 0;
        B.OpenContainer(r, 'a', "{sv}");
        for (auto& row : kNames) {
            if (std::string(kIface) + row[0] != iface) continue;
            for (int i = 1; i < 8 && row[i]; ++i) {
                B.OpenContainer(r, 'e', "sv");
                B.Append(r, "s", row[i]);
                if (!AppendProperty(r, n, iface, row[i])) B.Append(r, "v", "s", "");
                B.CloseContainer(r);
            }
        }
        B.CloseContainer(r);
        return 1;
    }
    if (member == "Set") {
        const char *iface = nullptr, *name = nullptr;
        if (B.Read(m, "ss", &iface, &name) < 0 || !iface || !name) return 0;
        return SetProperty(m, n, iface, name) ? 1 : 0;
    }
    return 0;
}

int TAtSpiBridge::ServeAction(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    const TAccessibleInfo info = InfoOf(n);
    const int count = static_cast<int>(info.Actions.size());
    if (member == "GetActions") {
        B.OpenContainer(r, 'a', "(sss)");
        for (auto& a : info.Actions) B.Append(r, "(sss)", a.Name.c_str(), "", a.KeyBinding.c_str());
        B.CloseContainer(r);
        return 1;
    }
    int32_t index = -1;
    if (B.Read(m, "i", &index) < 0) return 0;
    const bool valid = index >= 0 && index < count;
    const TAccAction none;
    const TAccAction& a = valid ? info.Actions[static_cast<size_t>(index)] : none;
    if (member == "GetName" || member == "GetLocalizedName") return B.Append(r, "s", a.Name.c_str()) >= 0;
    if (member == "GetDescription") return B.Append(r, "s", "") >= 0;
    if (member == "GetKeyBinding") return B.Append(r, "s", a.KeyBinding.c_str()) >= 0;
    if (member == "DoAction") {
        const bool ok = valid && info.States.Contains(asEnabled);
        if (ok) FPendingActions.emplace_back(FIds[n.Key()], index);
        return B.Append(r, "b", ok ? 1 : 0) >= 0;
    }
    return 0;
}

int TAtSpiBridge::ServeText(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    const std::string text = n.Control->AccessibleText();
    FTexts.try_emplace(n.Control, text);
    const int length = static_cast<int>(CountChars(text));
    if (member == "GetText") {
        int32_t from = 0, to = -1;
        if (B.Read(m, "ii", &from, &to) < 0) return 0;
        return B.Append(r, "s", Slice(text, from, to).c_str()) >= 0;
    }
    if (member == "GetCharacterAtOffset") {
        int32_t at = 0;
        if (B.Read(m, "i", &at) < 0) return 0;
        const std::string one = Slice(text, at, at + 1);
        size_t pos = 0;
        return B.Append(r, "i", one.empty() ? 0 : static_cast<int32_t>(NextChar(one, pos))) >= 0;
    }
    if (member == "GetTextAtOffset" || member == "GetTextBeforeOffset" || member == "GetTextAfterOffset" ||
        member == "GetStringAtOffset") {
        int32_t at = 0;
        uint32_t boundary = 0, granularity = 0;
        if (member == "GetStringAtOffset") {
            if (B.Read(m, "iu", &at, &granularity) < 0) return 0;
            // Granularities: character 0, word 1, sentence 2, line 3, paragraph 4.
            boundary = granularity == 0 ? 0 : granularity == 1 ? 1 : 5;
        } else if (B.Read(m, "iu", &at, &boundary) < 0) {
            return 0;
        }
        auto [a, b] = RunAt(text, at, boundary);
        if (member == "GetTextBeforeOffset") std::tie(a, b) = a > 0 ? RunAt(text, a - 1, boundary) : std::pair{0, 0};
        if (member == "GetTextAfterOffset") std::tie(a, b) = b < length ? RunAt(text, b, boundary) : std::pair{length, length};
        return B.Append(r, "sii", Slice(text, a, b).c_str(), a, b) >= 0;
    }
    if (member == "SetCaretOffset") {
        int32_t at = 0;
        if (B.Read(m, "i", &at) < 0) return 0;
        return B.Append(r, "b", n.Control->SetAccessibleCaret(std::clamp(at, 0, length)) ? 1 : 0) >= 0;
    }
    if (member == "GetNSelections") return B.Append(r, "i", 0) >= 0;
    if (member == "GetSelection") return B.Append(r, "ii", 0, 0) >= 0;
    // The whole text is one run in the control's font and colours.
    const auto attributes = [&](bool any) {
        B.OpenContainer(r, 'a', "{ss}");
        if (any)
            for (auto& [k, v] : AccessibleTextAttributes(n.Control)) B.Append(r, "{ss}", k.c_str(), v.c_str());
        B.CloseContainer(r);
    };
    if (member == "GetAttributes" || member == "GetAttributeRun") {
        int32_t at = 0;
        if (B.Read(m, "i", &at) < 0) return 0;
        const bool inside = at >= 0 && at <= length;
        attributes(inside);
        return B.Append(r, "ii", inside ? 0 : -1, inside ? length : -1) >= 0;
    }
    if (member == "GetDefaultAttributes" || member == "GetDefaultAttributeSet") {
        attributes(true);
        return 1;
    }
    if (member == "GetAttributeValue") {
        int32_t at = 0;
        const char* name = nullptr;
        if (B.Read(m, "is", &at, &name) < 0 || !name) return 0;
        std::string value;
        for (auto& [k, v] : AccessibleTextAttributes(n.Control))
            if (k == name) value = v;
        return B.Append(r, "s", value.c_str()) >= 0;
    }
    if (member == "GetCharacterExtents" || member == "GetRangeExtents") {
        int32_t from = 0, to = 0;
        uint32_t coord = 0;
        if (member == "GetCharacterExtents") {
            if (B.Read(m, "iu", &from, &coord) < 0) return 0;
            to = from + 1;
        } else if (B.Read(m, "iiu", &from, &to, &coord) < 0) {
            return 0;
        }
        const TRect box = TextBox(n, from, to, coord);
        return B.Append(r, "iiii", box.Left, box.Top, box.Width(), box.Height()) >= 0;
    }
    if (member == "GetOffsetAtPoint") {
        int32_t x = 0, y = 0;
        uint32_t coord = 0;
        if (B.Read(m, "iiu", &x, &y, &coord) < 0) return 0;
        return B.Append(r, "i", OffsetAtPoint(n, x, y, coord)) >= 0;
    }
    return 0;
}

// The characters from..to (to excluded; an empty range the box where `from` starts) in the
// display's pixels, relative to the coordinate kind's origin; zeros when none shows.
TRect TAtSpiBridge::TextBox(const TNode& n, int From, int To, uint32_t CoordType) {
    TRect box = n.Control->AccessibleCharRect(From);
    if (box == TRect{}) return {};
    // The text runs on one line: the first and the last character span the range.
    To = std::min(To, static_cast<int>(CountChars(n.Control->AccessibleText())));
    if (To - 1 > From) {
        const TRect last = n.Control->AccessibleCharRect(To - 1);
        box = {std::min(box.Left, last.Left), std::min(box.Top, last.Top), std::max(box.Right, last.Right),
               std::max(box.Bottom, last.Bottom)};
    }
    const TPoint o = n.Control->ClientToScreen({0, 0});
    const TPoint origin = CoordOrigin(n, CoordType);
    const int s = GetDisplayScale();
    return {(box.Left + o.x) * s - origin.x, (box.Top + o.y) * s - origin.y, (box.Right + o.x) * s - origin.x,
            (box.Bottom + o.y) * s - origin.y};
}

int TAtSpiBridge::OffsetAtPoint(const TNode& n, int X, int Y, uint32_t CoordType) {
    const TPoint origin = CoordOrigin(n, CoordType);
    const TPoint o = n.Control->ClientToScreen({0, 0});
    const int s = GetDisplayScale();
    // A display pixel to the window system's pixel it is part of (floor, also left of 0).
    const auto down = [s](int v) { return v >= 0 ? v / s : -((-v + s - 1) / s); };
    return n.Control->AccessibleOffsetAt({down(X + origin.x) - o.x, down(Y + origin.y) - o.y});
}

int TAtSpiBridge::ServeEditableText(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    TControl* c = n.Control;
    bool ok = false;
    if (member == "SetTextContents") {
        const char* s = nullptr;
        if (B.Read(m, "s", &s) < 0 || !s) return 0;
        ok = c->DeleteAccessibleText(0, -1) && c->InsertAccessibleText(0, ValidUtf8(s));
    } else if (member == "InsertText") {
        int32_t at = 0, count = 0;
        const char* s = nullptr;
        if (B.Read(m, "isi", &at, &s, &count) < 0 || !s) return 0;
        const std::string text = ValidUtf8(s);
        ok = c->InsertAccessibleText(at, count < 0 ? text : Slice(text, 0, count));
    } else if (member == "DeleteText" || member == "CutText" || member == "CopyText") {
        int32_t from = 0, to = 0;
        if (B.Read(m, "ii", &from, &to) < 0) return 0;
        if (member != "DeleteText") ok = SetClipboardText(Slice(c->AccessibleText(), from, to));
        if (member != "CopyText") ok = c->DeleteAccessibleText(from, to);
        if (member == "CopyText") return 1;  // no reply value
    } else if (member == "PasteText") {
        int32_t at = 0;
        std::string clip;
        if (B.Read(m, "i", &at) < 0) return 0;
        ok = GetClipboardText(&clip) && c->InsertAccessibleText(at, clip);
    } else {
        return 0;
    }
    return B.Append(r, "b", ok ? 1 : 0) >= 0;
}

}  // namespace lumivane

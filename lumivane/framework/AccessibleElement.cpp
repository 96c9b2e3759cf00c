#include "lumivane/framework/AccessibleElement.h"

#include <algorithm>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/windows/Messages.h"

namespace lumivane {

TAccessibleElement::~TAccessibleElement() {
    AccWindowHidden(this);
    if (TAccessibleListener* l = AccessibleListener()) l->AccElementDestroyed(this);
}

void AccWindowShown(TAccessibleElement* Window) {
    if (!Application || !Window || Window->FListed) return;
    Application->AccessibleWindows().push_back(Window);
    Window->FListed = true;
    if (TAccessibleListener* l = AccessibleListener()) l->AccWindowListChanged(Window, true);
}

void AccWindowHidden(TAccessibleElement* Window) {
    if (!Window || !Window->FListed) return;
    Window->FListed = false;
    if (!Application) return;
    auto& list = Application->AccessibleWindows();
    list.erase(std::remove(list.begin(), list.end(), Window), list.end());
    if (TAccessibleListener* l = AccessibleListener()) l->AccWindowListChanged(Window, false);
}

void AccNotifyElementFocus(TAccessibleElement* Element) {
    if (TAccessibleListener* l = AccessibleListener(); l && Element) l->AccElementFocused(Element);
}

TAccessibleInfo AccessibleInfoOf(TAccessibleElement* Element) {
    TAccessibleInfo info;
    if (Element) Element->GetAccessible(info);
    return info;
}

std::string ShortCutToKeyBinding(uint16_t ShortCut) {
    const unsigned key = ShortCut & 0xFF;
    std::string name;
    if (key >= 'A' && key <= 'Z')
        name = std::string(1, static_cast<char>(key - 'A' + 'a'));  // GTK names letter keys in lower case
    else if (key >= '0' && key <= '9')
        name = std::string(1, static_cast<char>(key));
    else if (key >= VK_F1 && key <= VK_F12)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else {
        static constexpr std::pair<unsigned, const char*> kNames[] = {
            {VK_BACK, "BackSpace"}, {VK_TAB, "Tab"},     {VK_RETURN, "Return"}, {VK_ESCAPE, "Escape"},
            {VK_SPACE, "space"},    {VK_PRIOR, "Page_Up"}, {VK_NEXT, "Page_Down"}, {VK_END, "End"},
            {VK_HOME, "Home"},      {VK_LEFT, "Left"},   {VK_UP, "Up"},         {VK_RIGHT, "Right"},
            {VK_DOWN, "Down"},      {VK_INSERT, "Insert"}, {VK_DELETE, "Delete"}};
        for (auto [vk, n] : kNames)
            if (vk == key) name = n;
        if (name.empty()) return {};
    }
    std::string out;
    if (ShortCut & scShift) out += "<Shift>";
    if (ShortCut & scCtrl) out += "<Control>";
    if (ShortCut & scAlt) out += "<Alt>";
    return out + name;
}

std::string StripAccelerator(const std::string& Caption) {
    std::string out;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&') {
            if (i + 1 >= Caption.size()) break;  // a trailing marker marks nothing
            ++i;
        }
        out += Caption[i];
    }
    return out;
}

}  // namespace lumivane

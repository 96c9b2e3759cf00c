// The tree's requests: which interface an object has, and Accessible, Application, Component,
// the properties and the cache. Every reply is built here and sent by Handle.
#include <atspi/atspi-constants.h>

#include <cstring>
#include <string>

#include "lumivane/accessibility/AtSpiBridge.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"

namespace lumivane {

namespace {

uint32_t RoleNumber(TAccRole role) {
    switch (role) {
    case TAccRole::Frame: return ATSPI_ROLE_FRAME;
    case TAccRole::Alert: return ATSPI_ROLE_ALERT;
    case TAccRole::ToolTip: return ATSPI_ROLE_TOOL_TIP;
    case TAccRole::PushButton: return ATSPI_ROLE_PUSH_BUTTON;
    case TAccRole::ToggleButton: return ATSPI_ROLE_TOGGLE_BUTTON;
    case TAccRole::RadioButton: return ATSPI_ROLE_RADIO_BUTTON;
    case TAccRole::Panel: return ATSPI_ROLE_PANEL;
    case TAccRole::Label: return ATSPI_ROLE_LABEL;
    case TAccRole::Link: return ATSPI_ROLE_LINK;
    case TAccRole::Entry: return ATSPI_ROLE_ENTRY;
    case TAccRole::SpinButton: return ATSPI_ROLE_SPIN_BUTTON;
    case TAccRole::PopupMenu: return ATSPI_ROLE_POPUP_MENU;
    case TAccRole::MenuItem: return ATSPI_ROLE_MENU_ITEM;
    case TAccRole::CheckMenuItem: return ATSPI_ROLE_CHECK_MENU_ITEM;
    case TAccRole::RadioMenuItem: return ATSPI_ROLE_RADIO_MENU_ITEM;
    case TAccRole::Separator: return ATSPI_ROLE_SEPARATOR;
    case TAccRole::Image: return ATSPI_ROLE_IMAGE;
    case TAccRole::Filler: return ATSPI_ROLE_FILLER;
    case TAccRole::None: break;
    }
    return ATSPI_ROLE_UNKNOWN;
}

const char* RoleName(uint32_t role) {
    switch (role) {
    case ATSPI_ROLE_APPLICATION: return "application";
    case ATSPI_ROLE_FRAME: return "frame";
    case ATSPI_ROLE_ALERT: return "alert";
    case ATSPI_ROLE_TOOL_TIP: return "tool tip";
    case ATSPI_ROLE_PUSH_BUTTON: return "push button";
    case ATSPI_ROLE_TOGGLE_BUTTON: return "toggle button";
    case ATSPI_ROLE_RADIO_BUTTON: return "radio button";
    case ATSPI_ROLE_PANEL: return "panel";
    case ATSPI_ROLE_LABEL: return "label";
    case ATSPI_ROLE_LINK: return "link";
    case ATSPI_ROLE_ENTRY: return "entry";
    case ATSPI_ROLE_SPIN_BUTTON: return "spin button";
    case ATSPI_ROLE_POPUP_MENU: return "popup menu";
    case ATSPI_ROLE_MENU_ITEM: return "menu item";
    case ATSPI_ROLE_CHECK_MENU_ITEM: return "check menu item";
    case ATSPI_ROLE_RADIO_MENU_ITEM: return "radio menu item";
    case ATSPI_ROLE_SEPARATOR: return "separator";
    case ATSPI_ROLE_IMAGE: return "image";
    case ATSPI_ROLE_FILLER: return "filler";
    default: return "unknown";
    }
}

constexpr std::pair<TAccState, AtspiStateType> kStates[] = {
    {asEnabled, ATSPI_STATE_ENABLED},     {asEnabled, ATSPI_STATE_SENSITIVE},   {asFocusable, ATSPI_STATE_FOCUSABLE},
    {asFocused, ATSPI_STATE_FOCUSED},     {asShowing, ATSPI_STATE_SHOWING},     {asVisible, ATSPI_STATE_VISIBLE},
    {asCheckable, ATSPI_STATE_CHECKABLE}, {asChecked, ATSPI_STATE_CHECKED},     {asSelectable, ATSPI_STATE_SELECTABLE},
    {asSelected, ATSPI_STATE_SELECTED},   {asEditable, ATSPI_STATE_EDITABLE},   {asActive, ATSPI_STATE_ACTIVE},
    {asDefault, ATSPI_STATE_IS_DEFAULT},  {asSingleLine, ATSPI_STATE_SINGLE_LINE}};

std::string ApplicationName() { return Application ? Application->Title() : std::string(); }

}  // namespace

int TAtSpiBridge::Handle(sd_bus_message* m) {
    uint8_t type = 0;
    if (B.GetType(m, &type) < 0 || type != SD_BUS_MESSAGE_METHOD_CALL) return 0;
    const char* path = B.GetPath(m);
    const char* iface = B.GetInterface(m);
    const char* member = B.GetMember(m);
    if (!path || !iface || !member) return 0;
    sd_bus_message* r = nullptr;
    // The reply goes whatever a control throws while it is asked about itself.
    struct Release {
        const TSdBus& b;
        sd_bus_message*& m;
        ~Release() {
            if (m) b.MessageUnref(m);
        }
    } release{B, r};
    int handled = 0;
    if (std::strcmp(path, "/org/a11y/atspi/cache") == 0) {
        if (std::strcmp(iface, "org.a11y.atspi.Cache") != 0) return 0;
        if (B.NewMethodReturn(m, &r) < 0) return 0;
        handled = ServeCache(r, member);
    } else {
        const TNode n = NodeAt(path);
        if (!n.Valid) {
            if (B.NewMethodErrorf(m, &r, "org.freedesktop.DBus.Error.UnknownObject", "No such object: %s", path) >= 0)
                B.Send(FBus, r, nullptr);
            return 1;
        }
        if (B.NewMethodReturn(m, &r) < 0) return 0;
        const std::string i = iface, mem = member;
        const std::string kind = i.rfind("org.a11y.atspi.", 0) == 0 ? i.substr(15) : std::string();
        const auto has = [&](const char* name) {
            for (auto& s : InterfacesOf(n))
                if (s == std::string("org.a11y.atspi.") + name) return true;
            return false;
        };
        if (i == "org.freedesktop.DBus.Properties")
            handled = ServeProperties(m, r, n, mem);
        else if (kind == "Accessible")
            handled = ServeAccessible(m, r, n, mem);
        else if (kind == "Application" && n.IsRoot())
            handled = ServeApplication(m, r, mem);
        else if (kind == "Component" && !n.IsRoot())
            handled = ServeComponent(m, r, n, mem);
        else if (kind == "Action" && has("Action"))
            handled = ServeAction(m, r, n, mem);
        else if (kind == "Text" && has("Text"))
            handled = ServeText(m, r, n, mem);
        else if (kind == "EditableText" && has("EditableText"))
            handled = ServeEditableText(m, r, n, mem);
    }
    if (handled > 0) B.Send(FBus, r, nullptr);
    // 0 leaves the call to sd-bus, which answers that there is no such method.
    return handled;
}

std::vector<std::string> TAtSpiBridge::InterfacesOf(const TNode& n) {
    std::vector<std::string> out{"org.a11y.atspi.Accessible"};
    if (n.IsRoot()) {
        out.push_back("org.a11y.atspi.Application");
        return out;
    }
    out.push_back("org.a11y.atspi.Component");
    TAccessibleInfo info = InfoOf(n);
    if (!info.Actions.empty()) out.push_back("org.a11y.atspi.Action");
    if (info.HasText) out.push_back("org.a11y.atspi.Text");
    if (info.HasText && info.States.Contains(asEditable)) out.push_back("org.a11y.atspi.EditableText");
    if (info.HasValue) out.push_back("org.a11y.atspi.Value");
    return out;
}

void TAtSpiBridge::AppendStates(sd_bus_message* r, const TNode& n) {
    uint32_t words[2] = {0, 0};
    if (!n.IsRoot()) {
        const TAccStates states = InfoOf(n).States;
        for (auto [ours, theirs] : kStates)
            if (states.Contains(ours)) words[theirs / 32] |= 1u << (theirs % 32);
    }
    B.OpenContainer(r, 'a', "u");
    B.Append(r, "u", words[0]);
    B.Append(r, "u", words[1]);
    B.CloseContainer(r);
}

int TAtSpiBridge::ServeAccessible(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    const uint32_t role =
        n.IsRoot() ? static_cast<uint32_t>(ATSPI_ROLE_APPLICATION) : RoleNumber(InfoOf(n).Role);
    if (member == "GetRole") return B.Append(r, "u", role) >= 0;
    if (member == "GetRoleName" || member == "GetLocalizedRoleName") return B.Append(r, "s", RoleName(role)) >= 0;
    if (member == "GetState") {
        AppendStates(r, n);
        return 1;
    }
    if (member == "GetChildren") {
        B.OpenContainer(r, 'a', "(so)");
        for (const TNode& c : ChildrenOf(n)) AppendRef(r, c);
        B.CloseContainer(r);
        return 1;
    }
    if (member == "GetChildAtIndex") {
        int32_t index = -1;
        if (B.Read(m, "i", &index) < 0) return 0;
        auto children = ChildrenOf(n);
        if (index >= 0 && index < static_cast<int32_t>(children.size()))
            AppendRef(r, children[static_cast<size_t>(index)]);
        else
            AppendNullRef(r);
        return 1;
    }
    if (member == "GetIndexInParent") {
        int32_t index = -1;
        if (!n.IsRoot()) {
            auto siblings = ChildrenOf(ParentOf(n));
            for (size_t i = 0; i < siblings.size(); ++i)
                if (siblings[i].Key() == n.Key()) index = static_cast<int32_t>(i);
        }
        return B.Append(r, "i", index) >= 0;
    }
    if (member == "GetRelationSet") {
        B.OpenContainer(r, 'a', "(ua(so))");
        if (n.Control) {
            // A label names its FocusControl; that control is labelled by every such label of its form.
            TAccessibleInfo info = AccessibleInfoOf(n.Control);
            auto relation = [&](uint32_t type, TControl* target) {
                B.OpenContainer(r, 'r', "ua(so)");
                B.Append(r, "u", type);
                B.OpenContainer(r, 'a', "(so)");
                AppendRef(r, NodeOf(target));
                B.CloseContainer(r);
                B.CloseContainer(r);
            };
            if (TControl* target = AccessibleOwner(info.LabelFor)) relation(ATSPI_RELATION_LABEL_FOR, target);
            for (TControl* label : AccessibleLabelsOf(n.Control)) relation(ATSPI_RELATION_LABELLED_BY, label);
        }
        B.CloseContainer(r);
        return 1;
    }
    if (member == "GetAttributes") {
        B.OpenContainer(r, 'a', "{ss}");
        B.Append(r, "{ss}", "toolkit", "Lumivane");
        B.CloseContainer(r);
        return 1;
    }
    if (member == "GetApplication") {
        AppendRef(r, {true, nullptr, nullptr});
        return 1;
    }
    if (member == "GetInterfaces") {
        B.OpenContainer(r, 'a', "s");
        for (auto& s : InterfacesOf(n)) B.Append(r, "s", s.c_str());
        B.CloseContainer(r);
        return 1;
    }
    return 0;
}

int TAtSpiBridge::ServeApplication(sd_bus_message* m, sd_bus_message* r, const std::string& member) {
    if (member == "GetLocale") {
        uint32_t kind = 0;
        B.Read(m, "u", &kind);
        return B.Append(r, "s", "C") >= 0;
    }
    // Who listens for which events: every event is sent anyway.
    if (member == "RegisterEventListener" || member == "DeregisterEventListener") return 1;
    if (member == "GetApplicationBusAddress") return B.Append(r, "s", "") >= 0;
    return 0;
}

// Screen readers work in the display's pixels: the window system's logical ones times the scale.
TRect TAtSpiBridge::ScreenRect(const TNode& n) {
    const int s = GetDisplayScale();
    if (n.Element) {
        const TRect b = n.Element->AccessibleBounds();
        return {b.Left * s, b.Top * s, b.Right * s, b.Bottom * s};
    }
    if (!n.Control) return {};
    const TPoint o = n.Control->ClientToScreen({0, 0});
    const bool form = dynamic_cast<TCustomForm*>(n.Control) != nullptr;
    const int w = form ? n.Control->ClientWidth() : n.Control->Width();
    const int h = form ? n.Control->ClientHeight() : n.Control->Height();
    return {o.x * s, o.y * s, (o.x + w) * s, (o.y + h) * s};
}

TPoint TAtSpiBridge::CoordOrigin(const TNode& n, uint32_t CoordType) {
    if (CoordType == ATSPI_COORD_TYPE_WINDOW && n.Element) {
        TNode top = n;
        while (top.Element && top.Element->AccessibleParent()) top = NodeOf(top.Element->AccessibleParent());
        const TRect wr = ScreenRect(top);
        return {wr.Left, wr.Top};
    }
    if (CoordType == ATSPI_COORD_TYPE_WINDOW && n.Control)
        if (TCustomForm* form = GetParentForm(n.Control)) {
            const TPoint o = form->ClientToScreen({0, 0});
            return {o.x * GetDisplayScale(), o.y * GetDisplayScale()};
        }
    if (CoordType == ATSPI_COORD_TYPE_PARENT) {
        const TNode p = ParentOf(n);
        if (!p.IsRoot()) {
            const TRect pr = ScreenRect(p);
            return {pr.Left, pr.Top};
        }
    }
    return {0, 0};
}

TAtSpiBridge::TNode TAtSpiBridge::ChildAtPoint(const TNode& n, int x, int y) {
    for (const TNode& c : ChildrenOf(n)) {
        const TRect rc = ScreenRect(c);
        const bool inside = x >= rc.Left && x < rc.Right && y >= rc.Top && y < rc.Bottom;
        if (inside && InfoOf(c).States.Contains(asVisible)) return c;
    }
    return {};
}

int TAtSpiBridge::ServeComponent(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member) {
    const TRect rc = ScreenRect(n);
    if (member == "GetExtents" || member == "GetPosition") {
        uint32_t coord = 0;
        if (B.Read(m, "u", &coord) < 0) return 0;
        const TPoint o = CoordOrigin(n, coord);
        if (member == "GetPosition") return B.Append(r, "ii", rc.Left - o.x, rc.Top - o.y) >= 0;
        return B.Append(r, "(iiii)", rc.Left - o.x, rc.Top - o.y, rc.Width(), rc.Height()) >= 0;
    }
    if (member == "GetSize") return B.Append(r, "ii", rc.Width(), rc.Height()) >= 0;
    if (member == "Contains" || member == "GetAccessibleAtPoint") {
        int32_t x = 0, y = 0;
        uint32_t coord = 0;
        if (B.Read(m, "iiu", &x, &y, &coord) < 0) return 0;
        const TPoint o = CoordOrigin(n, coord);
        x += o.x;
        y += o.y;
        if (member == "Contains")
            return B.Append(r, "b", x >= rc.Left && x < rc.Right && y >= rc.Top && y < rc.Bottom) >= 0;
        const TNode hit = ChildAtPoint(n, x, y);
        if (hit.Valid)
            AppendRef(r, hit);
        else
            AppendNullRef(r);
        return 1;
    }
    if (member == "GetLayer") {
        const TAccRole role = InfoOf(n).Role;
        const bool window =
            dynamic_cast<TCustomForm*>(n.Control) != nullptr || (n.Element && !n.Element->AccessibleParent());
        const uint32_t layer = role == TAccRole::PopupMenu || role == TAccRole::ToolTip ? ATSPI_LAYER_POPUP
                               : window                                                 ? ATSPI_LAYER_WINDOW
                                                                                        : ATSPI_LAYER_WIDGET;
        return B.Append(r, "u", layer) >= 0;
    }
    if (member == "GetMDIZOrder") return B.Append(r, "n", static_cast<int16_t>(0)) >= 0;
    if (member == "GetAlpha") return B.Append(r, "d", 1.0) >= 0;
    if (member == "GrabFocus") return B.Append(r, "b", n.Control && n.Control->GrabAccessibleFocus() ? 1 : 0) >= 0;
    return 0;
}

void TAtSpiBridge::AppendCacheItem(sd_bus_message* r, const TNode& n) {
    B.OpenContainer(r, 'r', "(so)(so)(so)iiassusau");
    AppendRef(r, n);
    AppendRef(r, {true, nullptr, nullptr});
    const TNode parent = ParentOf(n);
    if (parent.Valid)
        AppendRef(r, parent);
    else
        B.Append(r, "(so)", FDesktopName.c_str(), FDesktopPath.c_str());
    int32_t index = -1;
    if (!n.IsRoot()) {
        auto siblings = ChildrenOf(parent);
        for (size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i].Key() == n.Key()) index = static_cast<int32_t>(i);
    }
    B.Append(r, "ii", index, static_cast<int32_t>(ChildrenOf(n).size()));
    B.OpenContainer(r, 'a', "s");
    for (auto& s : InterfacesOf(n)) B.Append(r, "s", s.c_str());
    B.CloseContainer(r);
    const TAccessibleInfo info = InfoOf(n);
    const std::string name = n.IsRoot() ? ApplicationName() : info.Name;
    B.Append(r, "su", name.c_str(), n.IsRoot() ? static_cast<uint32_t>(ATSPI_ROLE_APPLICATION) : RoleNumber(info.Role));
    B.Append(r, "s", info.Description.c_str());
    AppendStates(r, n);
    B.CloseContainer(r);
}

int TAtSpiBridge::ServeCache(sd_bus_message* r, const std::string& member) {
    if (member != "GetItems") return 0;
    B.OpenContainer(r, 'a', "((so)(so)(so)iiassusau)");
    std::vector<TNode> todo{{true, nullptr, nullptr}};
    for (size_t i = 0; i < todo.size() && i < 100000; ++i) {
        AppendCacheItem(r, todo[i]);
        for (const TNode& c : ChildrenOf(todo[i])) todo.push_back(c);
    }
    B.CloseContainer(r);
    return 1;
}

}  // namespace lumivane

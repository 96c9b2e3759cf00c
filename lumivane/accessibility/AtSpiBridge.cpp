#include "lumivane/accessibility/AtSpiBridge.h"

#include <poll.h>

#include <algorithm>

#include "lumivane/accessibility/ObjectPath.h"
#include "lumivane/accessibility/TextChange.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Services.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

namespace {
constexpr const char* kPrefix = "/org/a11y/atspi";
constexpr const char* kWindowClass = "LumivaneAtSpi";
constexpr UINT WM_BUS_READABLE = WM_APP + 0x51;
constexpr UINT WM_RUN_ACTIONS = WM_APP + 0x52;
}  // namespace

TAtSpiBridge::TAtSpiBridge(const TSdBus& Bus, sd_bus* Connection) : B(Bus), FBus(Connection) {}

TAtSpiBridge::~TAtSpiBridge() {
    if (Application && Application->AccessibleListener() == this) Application->SetAccessibleListener(nullptr);
    if (FWindow) {
        NotifyReadable(B.GetFd(FBus), nullptr, 0);
        if (IsWindow(FWindow)) DestroyWindow(FWindow);
    }
    B.FlushCloseUnref(FBus);
}

bool TAtSpiBridge::Register() {
    const char* unique = nullptr;
    if (B.GetUniqueName(FBus, &unique) < 0 || !unique) return false;
    FUniqueName = unique;
    if (B.AddFallback(FBus, &FSlot, kPrefix, &TAtSpiBridge::OnMessage, this) < 0) return false;
    // The registry answers with the desktop, which becomes the application's parent.
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int r = B.CallMethod(FBus, "org.a11y.atspi.Registry", kRootObjectPath, "org.a11y.atspi.Socket", "Embed", &error,
                               &reply, "(so)", FUniqueName.c_str(), kRootObjectPath);
    B.ErrorFree(&error);
    if (r < 0) return false;
    const char *name = nullptr, *path = nullptr;
    if (B.Read(reply, "(so)", &name, &path) >= 0 && name && path) {
        FDesktopName = name;
        FDesktopPath = path;
    }
    B.MessageUnref(reply);

    WNDCLASS wc;
    if (!GetClassInfoA(kWindowClass, &wc)) {
        wc = WNDCLASS{};
        wc.lpszClassName = kWindowClass;
        wc.lpfnWndProc = &TAtSpiBridge::WindowProc;
        RegisterClassA(wc);
    }
    // A hidden window of our own receives the socket's notifications and the deferred actions.
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kWindowClass, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                              0, nullptr);
    if (!FWindow) return false;
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (Application) Application->SetAccessibleListener(this);
    AnnounceActive();
    // What came during the calls above waits in sd-bus's buffer, where no poll would see it.
    Pump();
    return true;
}

// The window was activated, and its control focused, before the bridge came: a screen reader
// hears of them now, as if they had just happened.
void TAtSpiBridge::AnnounceActive() {
    for (const TNode& n : ChildrenOf({true, nullptr, nullptr})) {
        auto* form = dynamic_cast<TCustomForm*>(n.Control);
        if (!form) continue;
        if (!AccessibleInfoOf(form).States.Contains(asActive)) continue;
        AccWindowActivated(form, true);
        if (TControl* focused = AccessibleOwner(form->FocusedControl())) AccFocusChanged(focused);
    }
}

LRESULT TAtSpiBridge::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TAtSpiBridge*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message == WM_BUS_READABLE) {
        self->Pump();
        return 0;
    }
    if (self && message == WM_RUN_ACTIONS) {
        auto actions = std::move(self->FPendingActions);
        self->FPendingActions.clear();
        for (auto [id, index] : actions) {
            // Looked up each time: an earlier action may have destroyed the control.
            auto it = self->FNodes.find(id);
            if (it == self->FNodes.end()) continue;
            const TNode n = it->second;
            try {
                if (n.Control)
                    n.Control->DoAccessibleAction(index);
                else if (n.Element)
                    n.Element->DoAccessibleAction(index);
            } catch (...) {
                if (Application) Application->HandleCurrentException(n.Control);
            }
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TAtSpiBridge::Pump() {
    // A message at a time until sd-bus has nothing more; a broken connection ends the bridge's
    // work quietly (the program goes on without it).
    bool more = false;
    for (int i = 0; i < 200; ++i) {
        const int r = B.Process(FBus, nullptr);
        if (r < 0) return;
        more = r > 0;
        if (!more) break;
    }
    FlushIfBlocked();
    // A long batch gives the program's own messages a turn; what sd-bus has already read is in
    // its buffer, where the socket would not tell of it.
    if (more)
        PostMessageA(FWindow, WM_BUS_READABLE, 0, 0);
    else
        NotifyReadable(B.GetFd(FBus), FWindow, WM_BUS_READABLE);
    if (!FPendingActions.empty()) PostMessageA(FWindow, WM_RUN_ACTIONS, 0, 0);
}

// Only the socket's readability wakes the loop: a reply or an event the socket did not take
// whole (a large GetItems) is written out now rather than when the next request comes.
void TAtSpiBridge::FlushIfBlocked() {
    const int events = B.GetEvents(FBus);
    if (events > 0 && (events & POLLOUT)) B.Flush(FBus);
}

int TAtSpiBridge::OnMessage(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* self = static_cast<TAtSpiBridge*>(userdata);
    try {
        return self->Handle(m);
    } catch (...) {
        // A control that throws while asked about itself must not take the bus's dispatch down.
        return 0;
    }
}

// ---- Objects ----

std::string TAtSpiBridge::PathOf(const TNode& Node) {
    if (!Node.Valid) return "/org/a11y/atspi/null";
    if (Node.IsRoot()) return kRootObjectPath;
    auto [it, added] = FIds.try_emplace(Node.Key(), FNextId);
    if (added) FNodes[FNextId++] = Node;
    return ControlObjectPath(it->second);
}

TAtSpiBridge::TNode TAtSpiBridge::NodeAt(const char* Path) const {
    if (!Path) return {};
    const TObjectPath p = ParseObjectPath(Path);
    if (p.Kind == TObjectPath::Root) return {true, nullptr, nullptr};
    if (p.Kind == TObjectPath::Nothing) return {};
    auto it = FNodes.find(p.Id);
    if (it == FNodes.end()) return {};
    return it->second;
}

TAccessibleInfo TAtSpiBridge::InfoOf(const TNode& Node) {
    if (Node.Control) return AccessibleInfoOf(Node.Control);
    if (Node.Element) return AccessibleInfoOf(Node.Element);
    return {};
}

TAtSpiBridge::TNode TAtSpiBridge::ParentOf(const TNode& Node) {
    if (!Node.Valid || Node.IsRoot()) return {};
    if (Node.Element) {
        TAccessibleElement* p = Node.Element->AccessibleParent();
        return p ? NodeOf(p) : TNode{true, nullptr, nullptr};
    }
    for (TControl* p = Node.Control->Parent(); p; p = p->Parent())
        if (AccessibleInfoOf(p).Role != TAccRole::None) return NodeOf(p);
    return {true, nullptr, nullptr};  // a form: the application's child
}

std::vector<TAtSpiBridge::TNode> TAtSpiBridge::ChildrenOf(const TNode& Node) {
    std::vector<TNode> out;
    if (!Node.Valid) return out;
    if (Node.IsRoot()) {
        // The application's forms, shown or not, then the framework's own windows that show.
        if (!Application) return out;
        for (int i = 0; i < Application->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<TCustomForm*>(Application->Components(i))) out.push_back(NodeOf(f));
        for (TAccessibleElement* w : Application->AccessibleWindows()) out.push_back(NodeOf(w));
        return out;
    }
    if (Node.Element) {
        std::vector<TAccessibleElement*> list;
        Node.Element->GetAccessibleChildren(list);
        for (TAccessibleElement* e : list) out.push_back(NodeOf(e));
        return out;
    }
    std::vector<TControl*> list;
    Node.Control->GetAccessibleChildren(list);
    for (TControl* c : list) out.push_back(NodeOf(c));
    return out;
}

void TAtSpiBridge::AppendRef(sd_bus_message* m, const TNode& Node) {
    const std::string path = PathOf(Node);
    B.Append(m, "(so)", FUniqueName.c_str(), path.c_str());
}

void TAtSpiBridge::AppendNullRef(sd_bus_message* m) { B.Append(m, "(so)", "", "/org/a11y/atspi/null"); }

// ---- Events ----

void TAtSpiBridge::Emit(const TNode& Node, const char* Interface, const char* Member, const char* Detail, int Detail1,
                        int Detail2, char DataType, const void* Data) {
    const std::string path = PathOf(Node);
    sd_bus_message* m = nullptr;
    if (B.NewSignal(FBus, &m, path.c_str(), Interface, Member) < 0) return;
    B.Append(m, "sii", Detail, Detail1, Detail2);
    if (DataType == 'i') {
        B.Append(m, "v", "i", *static_cast<const int*>(Data));
    } else if (DataType == 's') {
        B.Append(m, "v", "s", static_cast<const std::string*>(Data)->c_str());
    } else {
        B.OpenContainer(m, 'v', "(so)");
        AppendRef(m, *static_cast<const TNode*>(Data));
        B.CloseContainer(m);
    }
    B.OpenContainer(m, 'a', "{sv}");
    B.CloseContainer(m);
    B.Send(FBus, m, nullptr);
    B.MessageUnref(m);
    FlushIfBlocked();
}

void TAtSpiBridge::EmitState(const TNode& Node, const char* State, bool Value) {
    const int zero = 0;
    Emit(Node, "org.a11y.atspi.Event.Object", "StateChanged", State, Value ? 1 : 0, 0, 'i', &zero);
}

void TAtSpiBridge::AccFocusChanged(TControl* Control) {
    EmitState(NodeOf(Control), "focused", true);
    TAccessibleInfo info = AccessibleInfoOf(Control);
    if (info.HasText) {
        // What it holds now is where its next change starts from.
        FTexts.try_emplace(Control, Control->AccessibleText());
        const int zero = 0;
        Emit(NodeOf(Control), "org.a11y.atspi.Event.Object", "TextCaretMoved", "", Control->AccessibleCaret(), 0, 'i',
             &zero);
    }
}

void TAtSpiBridge::AccStateChanged(TControl* Control, TAccState State, bool Value) {
    static constexpr std::pair<TAccState, const char*> kNames[] = {
        {asChecked, "checked"}, {asSelected, "selected"}, {asEnabled, "enabled"},
        {asVisible, "visible"}, {asShowing, "showing"},   {asFocused, "focused"}};
    for (auto [s, name] : kNames)
        if (s == State) EmitState(NodeOf(Control), name, Value);
}

void TAtSpiBridge::AccTextChanged(TControl* Control) {
    const std::string now = Control->AccessibleText();
    std::string& was = FTexts[Control];
    if (now == was) return;
    const TTextChange change = DiffText(was, now);
    const char* iface = "org.a11y.atspi.Event.Object";
    if (!change.Removed.empty())
        Emit(NodeOf(Control), iface, "TextChanged", "delete", change.At, static_cast<int>(CountChars(change.Removed)),
             's', &change.Removed);
    if (!change.Inserted.empty())
        Emit(NodeOf(Control), iface, "TextChanged", "insert", change.At, static_cast<int>(CountChars(change.Inserted)),
             's', &change.Inserted);
    was = now;
    const int zero = 0;
    Emit(NodeOf(Control), iface, "TextCaretMoved", "", Control->AccessibleCaret(), 0, 'i', &zero);
}

void TAtSpiBridge::AccNameChanged(TControl* Control) {
    TAccessibleInfo info = AccessibleInfoOf(Control);
    // An entry's text is not its name: its changes are text events.
    if (info.HasText && info.Role != TAccRole::Label && info.Role != TAccRole::Link) return;
    Emit(NodeOf(Control), "org.a11y.atspi.Event.Object", "PropertyChange", "accessible-name", 0, 0, 's', &info.Name);
}

void TAtSpiBridge::AccChildrenChanged(TWinControl* Parent) {
    TControl* owner = AccessibleOwner(Parent);
    if (!owner) return;
    // Which child came or went is not told: a screen reader reads the children again.
    const TNode none{};
    Emit(NodeOf(owner), "org.a11y.atspi.Event.Object", "ChildrenChanged", "add", -1, 0, 'r', &none);
}

void TAtSpiBridge::AccWindowActivated(TCustomForm* Form, bool Active) {
    TAccessibleInfo info = AccessibleInfoOf(Form);
    Emit(NodeOf(Form), "org.a11y.atspi.Event.Window", Active ? "Activate" : "Deactivate", "", 0, 0, 's', &info.Name);
    EmitState(NodeOf(Form), "active", Active);
}

void TAtSpiBridge::AccControlDestroyed(TControl* Control) {
    FTexts.erase(Control);
    Forget(Control);
}

void TAtSpiBridge::Forget(const void* Key) {
    auto it = FIds.find(Key);
    if (it == FIds.end()) return;
    FNodes.erase(it->second);
    FIds.erase(it);
}

// A window that is no form came or went: the application's children changed, by that one.
void TAtSpiBridge::AccWindowListChanged(TAccessibleElement* Window, bool Shown) {
    const TNode node = NodeOf(Window);
    int index = -1;
    if (Shown) {
        const auto children = ChildrenOf({true, nullptr, nullptr});
        for (size_t i = 0; i < children.size(); ++i)
            if (children[i].Element == Window) index = static_cast<int>(i);
    }
    Emit({true, nullptr, nullptr}, "org.a11y.atspi.Event.Object", "ChildrenChanged", Shown ? "add" : "remove", index, 0,
         'r', &node);
    // A message box is a window a screen reader reads out when it comes.
    if (!Shown) return;
    if (const TAccessibleInfo info = InfoOf(node); info.Role == TAccRole::Alert)
        Emit(node, "org.a11y.atspi.Event.Window", "Activate", "", 0, 0, 's', &info.Name);
}

void TAtSpiBridge::AccElementFocused(TAccessibleElement* Element) { EmitState(NodeOf(Element), "focused", true); }

void TAtSpiBridge::AccElementDestroyed(TAccessibleElement* Element) { Forget(Element); }

}  // namespace lumivane

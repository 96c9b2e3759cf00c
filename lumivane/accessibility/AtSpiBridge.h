#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "lumivane/accessibility/SdBus.h"
#include "lumivane/framework/Accessible.h"
#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/windows/Messages.h"

namespace lumivane {

// The connected bridge: the objects it hands out, the requests it answers and the events it
// sends. The application object is ".../accessible/root"; each exposed control gets a number
// for its life (".../accessible/N"); ".../cache" answers GetItems with every object at once.
//
// The bus connection's socket is watched by the message loop (NotifyReadable): a message that
// arrives wakes it, nothing else does. Requests are answered in the loop, one batch at a time;
// an action runs after its reply went, from a posted message, so that what it opens (a message
// box and its loop) never runs inside the bus's own dispatching.
class TAtSpiBridge : public TAccessibleListener {
public:
    // Takes over an open, started connection to the accessibility bus.
    TAtSpiBridge(const TSdBus& Bus, sd_bus* Connection);
    ~TAtSpiBridge() override;
    TAtSpiBridge(const TAtSpiBridge&) = delete;
    TAtSpiBridge& operator=(const TAtSpiBridge&) = delete;

    // Embeds the application in the registry's desktop and starts answering; false on failure.
    bool Register();

    void AccFocusChanged(TControl* Control) override;
    void AccStateChanged(TControl* Control, TAccState State, bool Value) override;
    void AccTextChanged(TControl* Control) override;
    void AccNameChanged(TControl* Control) override;
    void AccChildrenChanged(TWinControl* Parent) override;
    void AccWindowActivated(TCustomForm* Form, bool Active) override;
    void AccControlDestroyed(TControl* Control) override;
    void AccWindowListChanged(TAccessibleElement* Window, bool Shown) override;
    void AccElementFocused(TAccessibleElement* Element) override;
    void AccElementDestroyed(TAccessibleElement* Element) override;

    // An object of the tree: the application (both null), an exposed control or an element of
    // the framework's own windows.
    struct TNode {
        bool Valid = false;
        TControl* Control = nullptr;
        TAccessibleElement* Element = nullptr;
        bool IsRoot() const { return Valid && !Control && !Element; }
        const void* Key() const { return Control ? static_cast<const void*>(Control) : Element; }
    };

private:
    static int OnMessage(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Answers everything that came, then asks to hear of the socket again.
    void Pump();
    void AnnounceActive();
    void FlushIfBlocked();
    int Handle(sd_bus_message* m);

    // ---- Objects (AtSpiBridge.cpp) ----
    std::string PathOf(const TNode& Node);
    TNode NodeAt(const char* Path) const;
    TNode NodeOf(TControl* Control) { return {true, Control, nullptr}; }
    TNode NodeOf(TAccessibleElement* Element) { return {true, nullptr, Element}; }
    static TAccessibleInfo InfoOf(const TNode& Node);
    void Forget(const void* Key);
    TNode ParentOf(const TNode& Node);
    std::vector<TNode> ChildrenOf(const TNode& Node);
    // The references D-Bus passes around: (bus name, path).
    void AppendRef(sd_bus_message* m, const TNode& Node);
    void AppendNullRef(sd_bus_message* m);

    // ---- Events (AtSpiBridge.cpp) ----
    // detail, detail1, detail2, any_data (of the given D-Bus type: 'i', 's' or a reference),
    // properties (none).
    void Emit(const TNode& Node, const char* Interface, const char* Member, const char* Detail, int Detail1,
              int Detail2, char DataType, const void* Data);
    void EmitState(const TNode& Node, const char* State, bool Value);

    // ---- Requests, by interface (AtSpiObjects.cpp, AtSpiText.cpp) ----
    int ServeAccessible(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    int ServeApplication(sd_bus_message* m, sd_bus_message* r, const std::string& member);
    int ServeComponent(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    int ServeAction(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    int ServeText(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    int ServeEditableText(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    int ServeCache(sd_bus_message* r, const std::string& member);
    int ServeProperties(sd_bus_message* m, sd_bus_message* r, const TNode& n, const std::string& member);
    // One property as a variant; false when the object has no such property.
    bool AppendProperty(sd_bus_message* r, const TNode& n, const std::string& iface, const std::string& name);
    bool SetProperty(sd_bus_message* m, const TNode& n, const std::string& iface, const std::string& name);
    void AppendStates(sd_bus_message* r, const TNode& n);
    std::vector<std::string> InterfacesOf(const TNode& n);
    void AppendCacheItem(sd_bus_message* r, const TNode& n);
    TNode ChildAtPoint(const TNode& n, int x, int y);
    // The screen rectangle of an object, and its origin in the given coordinate kind.
    TRect ScreenRect(const TNode& n);
    TPoint CoordOrigin(const TNode& n, uint32_t CoordType);
    // Text geometry of a control with text, in a coordinate kind (AtSpiProperties.cpp).
    TRect TextBox(const TNode& n, int From, int To, uint32_t CoordType);
    int OffsetAtPoint(const TNode& n, int X, int Y, uint32_t CoordType);

    TSdBus B;
    sd_bus* FBus;
    sd_bus_slot* FSlot = nullptr;
    HWND FWindow = nullptr;
    std::string FUniqueName;
    std::string FDesktopName, FDesktopPath;  // the registry's desktop: the application's parent
    int32_t FAppId = 0;
    std::unordered_map<const void*, uint32_t> FIds;
    std::unordered_map<uint32_t, TNode> FNodes;
    uint32_t FNextId = 1;
    // The text each entry had when last told, for the inserted or deleted part of a change.
    std::unordered_map<TControl*, std::string> FTexts;
    // Actions to run once their replies went: (control id, action).
    std::vector<std::pair<uint32_t, int>> FPendingActions;
};

}  // namespace lumivane

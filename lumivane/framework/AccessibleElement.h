#pragma once
#include <string>
#include <vector>

#include "lumivane/framework/Accessible.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// An entry of the accessibility tree that is no control: a window the framework draws by itself
// (a message box, a hint, an open popup menu) and its parts (the box's text and buttons, the
// menu's items). The framework makes one while the thing shows; a top-level one is listed among
// the application's children (AccWindowShown) until it hides or goes.
class TAccessibleElement {
public:
    TAccessibleElement() = default;
    // Tells the listener, which forgets it. A top-level one hides in its own destructor (while
    // a listener can still ask it things); this one only makes sure it left the list.
    virtual ~TAccessibleElement();
    TAccessibleElement(const TAccessibleElement&) = delete;
    TAccessibleElement& operator=(const TAccessibleElement&) = delete;

    virtual void GetAccessible(TAccessibleInfo& Info) = 0;
    virtual void GetAccessibleChildren(std::vector<TAccessibleElement*>&) {}
    // The element it is part of; null for a window (the application's child).
    virtual TAccessibleElement* AccessibleParent() { return nullptr; }
    // Where it shows on the screen, in the window system's pixels; empty while it does not show.
    virtual TRect AccessibleBounds() = 0;
    // Runs action Index of GetAccessible's Actions; false when there is none such or it is disabled.
    virtual bool DoAccessibleAction(int) { return false; }

    bool Listed() const { return FListed; }

private:
    friend void AccWindowShown(TAccessibleElement*);
    friend void AccWindowHidden(TAccessibleElement*);
    bool FListed = false;
};

// A top-level element shows (it joins the application's children) or hides; each tells the
// listener, and does nothing without an application.
void AccWindowShown(TAccessibleElement* Window);
void AccWindowHidden(TAccessibleElement* Window);
// An element took the keyboard (a message box's button, a menu's selected item).
void AccNotifyElementFocus(TAccessibleElement* Element);

// The same as AccessibleInfoOf for an element.
TAccessibleInfo AccessibleInfoOf(TAccessibleElement* Element);

// A menu item's accelerator as a key binding in the form GTK gives it ("<Control>c",
// "<Shift><Alt>F4", "Delete"); empty for none or a key without a name.
std::string ShortCutToKeyBinding(uint16_t ShortCut);

// A caption without its accelerator marker: "&Open" is "Open", "&&" a plain "&".
std::string StripAccelerator(const std::string& Caption);

}  // namespace lumivane

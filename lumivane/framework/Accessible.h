#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lumivane/framework/Forward.h"
#include "lumivane/framework/Set.h"

namespace lumivane {

class TAccessibleElement;

// What a control is to assistive technology (a screen reader). Each control class says its own
// role, name, states, actions, text and value (TControl::GetAccessible and the operations beside
// it); a bridge to the desktop's accessibility bus reads them, calls the operations back, and
// hears of changes through the TAccessibleListener the application holds.

enum class TAccRole : uint8_t {
    None,  // not exposed: part of its parent or of the background
    Filler,
    Frame,
    Alert,
    ToolTip,
    PushButton,
    ToggleButton,
    RadioButton,
    Panel,
    Label,
    Link,
    Entry,
    SpinButton,
    PopupMenu,
    MenuItem,
    CheckMenuItem,
    RadioMenuItem,
    Separator,
    Image
};

enum TAccState : uint8_t {
    asEnabled,    // also "sensitive": it takes input
    asFocusable,
    asFocused,
    asShowing,    // visible with every parent, in a shown window
    asVisible,    // its own Visible
    asCheckable,
    asChecked,
    asSelectable,
    asSelected,
    asEditable,
    asActive,     // the window that has the keyboard
    asDefault,    // the button Enter presses
    asSingleLine
};
using TAccStates = TSet<TAccState>;

struct TAccAction {
    std::string Name;        // "click"
    std::string KeyBinding;  // "space", "Return", "<Control>c"; empty when none
};

struct TAccessibleInfo {
    TAccRole Role = TAccRole::None;
    std::string Name;
    std::string Description;
    TAccStates States;
    std::vector<TAccAction> Actions;
    bool HasText = false;   // the text operations answer (editable with asEditable)
    bool HasValue = false;  // a number with limits
    double Minimum = 0, Maximum = 0, Current = 0, Increment = 0;
    TControl* LabelFor = nullptr;  // the control a label names
};

// Told of the changes a screen reader follows. Controls passed are the exposed ones
// (AccessibleOwner of the one that changed).
class TAccessibleListener {
public:
    virtual ~TAccessibleListener() = default;
    virtual void AccFocusChanged(TControl* Control) = 0;
    virtual void AccStateChanged(TControl* Control, TAccState State, bool Value) = 0;
    // The text (and with it the caret) may have changed.
    virtual void AccTextChanged(TControl* Control) = 0;
    virtual void AccNameChanged(TControl* Control) = 0;
    virtual void AccChildrenChanged(TWinControl* Parent) = 0;
    virtual void AccWindowActivated(TCustomForm* Form, bool Active) = 0;
    // The control is being destroyed: forget it (not an exposed one necessarily).
    virtual void AccControlDestroyed(TControl* Control) = 0;
    // The framework's own windows and their parts (AccessibleElement.h): a window that is no
    // form showed or hid, a part took the keyboard, an element goes.
    virtual void AccWindowListChanged(TAccessibleElement*, bool /*Shown*/) {}
    virtual void AccElementFocused(TAccessibleElement*) {}
    virtual void AccElementDestroyed(TAccessibleElement*) {}
};

// The control an event of Control belongs to: itself when exposed, else its nearest exposed
// parent (the host of an inner edit); null when none is.
TControl* AccessibleOwner(TControl* Control);
// The listener installed on the application, or null.
TAccessibleListener* AccessibleListener();

// Notifications, each a no-op without a listener.
void AccNotifyFocus(TControl* Control);
void AccNotifyState(TControl* Control, TAccState State, bool Value);
void AccNotifyText(TControl* Control);
void AccNotifyName(TControl* Control);
void AccNotifyChildren(TWinControl* Parent);
void AccNotifyWindow(TCustomForm* Form, bool Active);

// The Info of a control, filled by its class.
TAccessibleInfo AccessibleInfoOf(TControl* Control);

// How a control's text looks, named as screen readers know it: "family-name", "size" (points),
// "weight" (400, 700 bold), "style" (normal, italic), "fg-color" and "bg-color" ("r,g,b", 0-255).
using TAccTextAttributes = std::vector<std::pair<std::string, std::string>>;
TAccTextAttributes AccessibleTextAttributes(TControl* Control);

// The labels of Control's form that name it (their FocusControl is it, or a part of it): what a
// screen reader gives as "labelled by".
std::vector<TControl*> AccessibleLabelsOf(TControl* Control);

}  // namespace lumivane

#pragma once
#include "lumivane/framework/Events.h"
#include "lumivane/framework/Object.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// Dragging between the controls of the application.
//
// A drag begins with TControl::BeginDrag (a control with DragMode dmAutomatic calls it when the
// left button goes down on it). Until the pointer has moved Threshold pixels from where the drag
// began (unless it began Immediate) nothing is dragged, and releasing the button there is an
// ordinary click. Then the source's OnStartDrag runs, and while the pointer moves, the control
// under it is asked with OnDragOver whether it accepts the source (dsDragEnter when the pointer
// comes to it, dsDragMove while it stays, dsDragLeave when it goes); a control without OnDragOver
// refuses. The pointer shows the source's DragCursor over a control that accepts, crNoDrop
// elsewhere. Releasing the button over a control that accepts runs its OnDragDrop; then the
// source's OnEndDrag runs with that control as Target (null when nothing accepted the drop).
// Escape, or losing the mouse capture, cancels: the control under the pointer is left and the
// source's OnEndDrag runs with a null Target.
//
// A control with DragKind dkDock drags the same way; the framework does not dock.

class TControl;
class TWinControl;

// What OnStartDrag may hand out instead of the control: OnDragOver and OnDragDrop then get it
// as Source. The framework never frees it.
class TDragObject : public TObject {
public:
    TControl* Control = nullptr;  // the control being dragged
};
class TDragDockObject : public TDragObject {};

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

struct TContextPopupEvent : TEvent<TObject*, TPoint, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, MousePos, Handled";
};
struct TDragOverEvent : TEvent<TObject*, TObject*, int, int, TDragState, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Source, X, Y, State, Accept";
};
struct TDragDropEvent : TEvent<TObject*, TObject*, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Source, X, Y";
};
struct TStartDragEvent : TEvent<TObject*, TDragObject*&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, DragObject";
};
struct TEndDragEvent : TEvent<TObject*, TObject*, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Target, X, Y";
};
struct TStartDockEvent : TEvent<TObject*, TDragDockObject*&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, DragObject";
};
// Docking events of dock sites: stored and published, never fired (there is no docking).
struct TDockDropEvent : TEvent<TObject*, TDragDockObject*, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Source, X, Y";
};
struct TDockOverEvent : TEvent<TObject*, TDragDockObject*, int, int, TDragState, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Source, X, Y, State, Accept";
};
struct TUnDockEvent : TEvent<TObject*, TControl*, TWinControl*, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Client, NewTarget, Allow";
};
struct TGetSiteInfoEvent : TEvent<TObject*, TControl*, TRect&, TPoint, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, DockClient, InfluenceRect, MousePos, CanDock";
};

// Pixels the pointer moves before a drag that is not immediate starts (DragMode dmAutomatic,
// BeginDrag with a negative threshold).
constexpr int DefaultDragThreshold = 5;

namespace DragDrop {
// Begins a drag of Source (TControl::BeginDrag): pending until the pointer moves Threshold pixels,
// unless Immediate. Nothing happens while another drag is under way.
void Begin(TControl* Source, bool Immediate, int Threshold);
// Ends Source's drag: dropped where the pointer is (if accepted) or cancelled.
void End(TControl* Source, bool Drop);
// The drag under way (pending or started), if any.
TControl* DragSource();
bool DragStarted();
// Mouse and key messages reaching a windowed control while a drag holds the capture; true when
// the drag took the message.
bool InterceptMessage(TWinControl* Receiver, TMessage& Message);
}  // namespace DragDrop

}  // namespace lumivane

#include "lumivane/framework/DragDrop.h"

#include <cstdlib>
#include <optional>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/windows/Input.h"

namespace lumivane {

namespace {

struct TDrag {
    TDrag(TControl* source, HWND capture, TPoint start, int threshold)
        : Source(source), SourceWatch(source), Capture(capture), Start(start), Threshold(threshold) {}
    TControl* Source;
    TControl::TWatch SourceWatch;
    HWND Capture;          // the window holding the pointer for the drag
    TPoint Start;          // screen
    int Threshold;
    bool Started = false;
    TObject* DragObject = nullptr;  // from OnStartDrag; the source otherwise
    TControl* Target = nullptr;
    std::optional<TControl::TWatch> TargetWatch;
    bool Accepted = false;
    TPoint TargetPos{0, 0};      // the pointer in the target's client coordinates
};

std::optional<TDrag> gDrag;
bool gEatEscapeChar = false;

TObject* SourceObject() { return gDrag->DragObject ? gDrag->DragObject : gDrag->Source; }

TControl* LiveTarget() { return gDrag->TargetWatch && gDrag->TargetWatch->Alive() ? gDrag->Target : nullptr; }

HWND CaptureWindowOf(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) return w->Handle();
    return c->Parent() ? c->Parent()->Handle() : nullptr;
}

// Moves the drag to a screen point: leaves the old target, enters or moves over the new one.
void DragTo(TPoint screen) {
    TControl* target = FindDragTarget(screen, false);
    TControl* old = LiveTarget();
    if (target != old) {
        if (old) {
            bool accept = false;
            TPoint p = old->ScreenToClient(screen);
            old->DragOver(SourceObject(), p.x, p.y, dsDragLeave, accept);
            if (!gDrag) return;
        }
        gDrag->Target = target;
        if (target) gDrag->TargetWatch.emplace(target); else gDrag->TargetWatch.reset();
        gDrag->Accepted = false;
    }
    if (target && gDrag->TargetWatch->Alive()) {
        bool accept = false;
        TPoint p = target->ScreenToClient(screen);
        gDrag->TargetPos = p;
        TControl::TWatch tw(target);
        target->DragOver(SourceObject(), p.x, p.y, target == old ? dsDragMove : dsDragEnter, accept);
        if (!gDrag) return;
        gDrag->Accepted = accept && tw.Alive();
    }
    if (gDrag->SourceWatch.Alive()) SetCursorShape(CursorKindOf(gDrag->Accepted ? gDrag->Source->DragCursor() : crNoDrop));
}

void Start() {
    gDrag->Started = true;
    TDragObject* object = nullptr;
    gDrag->Source->DoStartDrag(object);
    if (!gDrag || !gDrag->SourceWatch.Alive()) return;
    gDrag->DragObject = object;
    POINT p;
    if (GetCursorPos(&p)) DragTo({p.x, p.y});
}

// Ends the drag: drops on an accepting target when drop is set, else cancels; then OnEndDrag.
// The source never sees the button go up: its press state and the capture end here.
void Finish(bool drop) {
    if (!gDrag) return;
    TControl* source = gDrag->SourceWatch.Alive() ? gDrag->Source : nullptr;
    TControl* target = LiveTarget();
    TObject* object = gDrag->DragObject ? gDrag->DragObject : source;
    const bool started = gDrag->Started, accepted = gDrag->Accepted;
    const TPoint pos = gDrag->TargetPos;
    const HWND capture = gDrag->Capture;
    gDrag.reset();
    if (source) {
        TControlState state = source->ControlState();
        state.Exclude(csLButtonDown);
        state.Exclude(csClicked);
        source->SetControlState(state);
    }
    if (GetCapture() == capture) ReleaseCapture();
    if (!started) return;
    std::optional<TControl::TWatch> sourceWatch;
    if (source) sourceWatch.emplace(source);
    TObject* endTarget = nullptr;
    if (target) {
        if (drop && accepted) {
            target->DragDrop(object, pos.x, pos.y);
            endTarget = target;
        } else {
            bool accept = false;
            target->DragOver(object, pos.x, pos.y, dsDragLeave, accept);
        }
    }
    if (source && sourceWatch->Alive()) {
        SetCursorShape(CursorKindOf(source->Cursor()));
        source->DoEndDrag(endTarget, endTarget ? pos.x : 0, endTarget ? pos.y : 0);
    }
}

TPoint ScreenPoint(TWinControl* receiver, LPARAM lp) {
    return receiver->ClientToScreen({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
}

}  // namespace

namespace DragDrop {

TControl* DragSource() { return gDrag ? gDrag->Source : nullptr; }
bool DragStarted() { return gDrag && gDrag->Started; }

void Begin(TControl* Source, bool Immediate, int Threshold) {
    if (gDrag) return;
    HWND capture = CaptureWindowOf(Source);
    POINT p{0, 0};
    if (!capture || !GetCursorPos(&p)) return;
    gDrag.emplace(Source, capture, TPoint{p.x, p.y}, Threshold < 0 ? DefaultDragThreshold : Threshold);
    if (GetCapture() != capture) SetCapture(capture);
    if (Immediate) Start();
}

void End(TControl* Source, bool Drop) {
    if (gDrag && gDrag->Source == Source) Finish(Drop);
}

bool InterceptMessage(TWinControl* Receiver, TMessage& Message) {
    if (!gDrag) {
        if (gEatEscapeChar && Message.Msg == WM_CHAR) {
            gEatEscapeChar = false;
            return Message.WParam == VK_ESCAPE;  // the Escape character
        }
        return false;
    }
    if (!gDrag->SourceWatch.Alive()) {
        gDrag.reset();
        return false;
    }
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        const TPoint p = ScreenPoint(Receiver, Message.LParam);
        if (!gDrag->Started) {
            if (std::abs(p.x - gDrag->Start.x) <= gDrag->Threshold && std::abs(p.y - gDrag->Start.y) <= gDrag->Threshold)
                return true;
            Start();
            return true;
        }
        DragTo(p);
        return true;
    }
    case WM_LBUTTONUP:
        if (!gDrag->Started) {
            // Released before the drag started: an ordinary click.
            gDrag.reset();
            return false;
        }
        DragTo(ScreenPoint(Receiver, Message.LParam));
        Finish(true);
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        return gDrag->Started;
    case WM_KEYDOWN:
        if (Message.WParam == VK_ESCAPE) {
            gEatEscapeChar = true;
            Finish(false);
            return true;
        }
        return gDrag->Started;
    case WM_CAPTURECHANGED:
        // The pointer went elsewhere: the drag cannot go on.
        if (reinterpret_cast<HWND>(Message.LParam) != gDrag->Capture) Finish(false);
        return false;
    default:
        return false;
    }
}

}  // namespace DragDrop

}  // namespace lumivane

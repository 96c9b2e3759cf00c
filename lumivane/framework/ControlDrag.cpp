// TControl's part in drag and drop: starting and ending its drag, and the steps that fire its
// drag events. The drag under way is tracked in DragDrop.cpp.
#include "lumivane/framework/Control.h"

#include "lumivane/framework/DragDrop.h"

namespace lumivane {

void TControl::BeginDrag(bool Immediate, int Threshold) { DragDrop::Begin(this, Immediate, Threshold); }

void TControl::EndDrag(bool Drop) { DragDrop::End(this, Drop); }

bool TControl::Dragging() const { return DragDrop::DragSource() == this && DragDrop::DragStarted(); }

void TControl::DoStartDrag(TDragObject*& DragObject) { OnStartDrag(this, DragObject); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = OnDragOver.Assigned();
    if (Accept) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) { OnDragDrop(this, Source, X, Y); }

void TControl::DoEndDrag(TObject* Target, int X, int Y) { OnEndDrag(this, Target, X, Y); }

}  // namespace lumivane

#pragma once
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/Accessible.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/ControlEvents.h"
#include "lumivane/framework/ControlTypes.h"
#include "lumivane/framework/Cursors.h"
#include "lumivane/framework/DragDrop.h"
#include "lumivane/framework/Forward.h"
#include "lumivane/framework/SizeConstraints.h"
#include "lumivane/windows/Forward.h"
#include "lumivane/windows/Messages.h"

namespace lumivane {

// Controls: TControl (a rectangle on a parent, with font, colour, text, mouse and events),
// TWinControl (a control with a window of the window system, created on demand, that subclasses
// the window's native procedure), TGraphicControl (no window: painted by its parent) and
// TCustomControl (a window painted by the framework through a canvas).
//
// Message path of a windowed control: the window procedure finds the control (FindControl) and
// calls its WndProc (virtual: every message passes here first), which calls Dispatch (the
// per-class switch; unhandled numbers go to inherited::Dispatch), whose chain ends in
// DefaultHandler: the native procedure of the window's class. Perform sends a message to a
// control directly (also to graphic controls, whose DefaultHandler keeps the text).

class TControl : public TComponent {
    LUMI_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Parent. Setting it moves the control into the new parent's control list (at the end:
    // graphic controls paint and hit-test in list order, last on top).
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    // Bounds, in the parent's client coordinates.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetWidth(int Value);
    void SetHeight(int Value);
    // Moves and sizes the control: the window of a windowed control follows; a graphic control
    // invalidates its old and new area. A size change runs Resize (OnResize) and realigns the
    // children of a windowed control; any change realigns the siblings if the control is aligned.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // Client area in the control's own coordinates (for a form: without its frame).
    virtual TRect GetClientRect() const;
    TRect ClientRect() const { return GetClientRect(); }
    int ClientWidth() const { return GetClientRect().Width(); }
    int ClientHeight() const { return GetClientRect().Height(); }
    virtual void SetClientSize(int AWidth, int AHeight);
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    // Screen position of the client area's top-left pixel.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    // The sides of the parent's client area whose distances the control keeps as the parent is
    // resized: the distances it has when placed (its bounds set, its anchors or parent changed,
    // or loaded). Left and right anchored, it stretches; neither, its centre keeps its share of
    // the width (the same for top and bottom). Constraints limit the size; an aligned control
    // follows its Align instead.
    void SetAnchors(TAnchors Value);
    // The flag a control uses to size itself to its contents (labels, images).
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible with every parent, and the top parent's window shown.
    virtual bool Showing() const;

    bool Enabled() const { return FEnabled; }
    // Stores the value and performs CM_ENABLEDCHANGED on the control.
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    // Stores, clears ParentColor, performs CM_COLORCHANGED.
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    // The control's own font; changing it clears ParentFont and performs CM_FONTCHANGED.
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    // Text (Caption): read through WM_GETTEXT and written through WM_SETTEXT, so a class that
    // answers those messages owns its text. Writing the text it already has does nothing;
    // otherwise CM_TEXTCHANGED follows.
    std::string GetText();
    void SetText(const std::string& Value);
    std::string Text() { return GetText(); }
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }

    // Stored only.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Builds a TMessage, runs it through WndProc and returns its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    // Every message to the control passes here first; the base calls Dispatch.
    virtual void WndProc(TMessage& Message);
    void Dispatch(TMessage& Message) override;
    // Graphic controls keep their text here (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH).
    void DefaultHandler(TMessage& Message) override;

    // Repaint requests: Invalidate marks the area for the next paint; Update paints what is
    // marked now; Repaint and Refresh do both.
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    // The mouse capture for this control (a graphic control captures through its parent).
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Realigns, then takes the parent's font and colour where ParentFont/ParentColor hold.
    void Loaded() override;

    // Run when the left button is released over the control after a press on it
    // (csClickEvents); the base fires OnClick.
    virtual void Click();
    virtual void DblClick();

    // What the control is to a screen reader (framework/Accessible.h). The base fills the name
    // (the caption, else Hint, else the component's name), Hint as the description when the name
    // is not it, and the states every control has; a class sets its role and adds its own.
    virtual void GetAccessible(TAccessibleInfo& Info);
    // The exposed controls below this one, in reading order; the base has none.
    virtual void GetAccessibleChildren(std::vector<TControl*>& List);
    // Runs action Index of GetAccessible's Actions; false when there is no such action or the
    // control is disabled. The base's one action is Click.
    virtual bool DoAccessibleAction(int Index);
    // The text operations of a control with HasText: offsets count characters (code points).
    virtual std::string AccessibleText() { return GetText(); }
    virtual int AccessibleCaret() { return -1; }
    virtual bool SetAccessibleCaret(int) { return false; }
    // Inserts as if typed: characters the control refuses are left out. False when read-only.
    virtual bool InsertAccessibleText(int, const std::string&) { return false; }
    virtual bool DeleteAccessibleText(int, int) { return false; }
    // Where character Offset of AccessibleText shows, in client pixels: from its start to the
    // next one's, the text line's height. Offset == the length gives the empty box after the
    // last character (where the caret stands there); any other offset an empty TRect{}.
    virtual TRect AccessibleCharRect(int) { return {}; }
    // The character whose box holds the client point; -1 for a point on none (outside the
    // client area, left of the first or right of the last).
    virtual int AccessibleOffsetAt(TPoint) { return -1; }
    // Sets the value of a control with HasValue; false when it has none.
    virtual bool SetAccessibleValue(double) { return false; }
    // Gives the control the keyboard focus if it can take it.
    virtual bool GrabAccessibleFocus() { return false; }

    // Watches the control's life: Alive() turns false once the destructor has begun. Code that
    // calls user handlers checks it before touching the control again.
    class TWatch {
    public:
        explicit TWatch(const TControl* c) : FToken(c->FAlive) {}
        bool Alive() const { return !FToken.expired(); }

    private:
        std::weak_ptr<const int> FToken;
    };

    // The menu a right click, the Menu key or Shift+F10 opens (after OnContextPopup, which may
    // handle the request). A control without one offers its own menu if it has one (an edit's),
    // else passes the request to its parent. The reference clears itself when the menu is freed.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    // Dragging (see framework/DragDrop.h). Threshold < 0 takes DefaultDragThreshold.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends the drag of this control: dropped where the pointer is (if accepted) or cancelled.
    void EndDrag(bool Drop);
    bool Dragging() const;

    TContextPopupEvent OnContextPopup;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

    // Drag and drop steps, each firing its event (OnStartDrag, OnDragOver, OnDragDrop,
    // OnEndDrag). DragOver starts with Accept true when OnDragOver is assigned, else false.
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);

protected:
    // Fires OnContextPopup; MousePos is (-1, -1) when the request came from the keyboard.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // The control's own context menu at a screen point, used when it has no PopupMenu; false
    // when it has none (the request then goes to the parent).
    virtual bool DefaultContextPopup(TPoint ScreenPos);
    // WM_CONTEXTMENU: LParam is the screen point, or -1 from the keyboard.
    void WMContextMenu(TMessage& Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Fire OnMouseDown / OnMouseMove / OnMouseUp; X and Y are client coordinates.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // After a size change; fires OnResize.
    virtual void Resize();
    virtual void SetZOrder(bool TopMost);
    // Takes the parent's font (ParentFont) and colour (ParentColor).
    void ApplyParentFont();
    void ApplyParentColor();
    // Font OnChange: clears ParentFont (unless the parent's font is being copied in) and
    // performs CM_FONTCHANGED.
    virtual void FontChanged(TObject* Sender);
    // Asks the parent to realign its children (for aligned controls).
    void RequestAlign();
    // Marks the control's area on the parent for repainting, visible or not.
    void InvalidateControl(bool Erase);
    // Applies Constraints to a proposed size.
    void ApplyConstraints(int& AWidth, int& AHeight) const;
    // Takes the anchor distances: the bounds now and the parent's client size now.
    void UpdateAnchorRules();
    // Places the control by its anchors in its parent's client area of the given size.
    void AnchorToParent(int ParentWidth, int ParentHeight);
    bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
    bool IsLoading() const { return ComponentState().Contains(csLoading); }

    // Message handlers of the base class, for classes that extend their behaviour.
    void WMMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra);
    void WMMouseUp(TMessage& Message, TMouseButton Button);
    void WMMouseMove(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TRect FAnchorBounds;             // the bounds when the anchor distances were taken,
    TSize FAnchorParentSize{0, 0};   // and the parent's client size then (0 x 0: not taken)
    bool FAnchoring = false;         // the bounds are being set by the anchors
    bool FAutoSize = false;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor;  // clWindow until set
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FApplyingParentFont = false;
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    std::string FText;  // the text of a control without a window
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = dkDrag;
    TDragMode FDragMode = dmManual;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    std::unique_ptr<TSizeConstraints> FConstraints;
    TPopupMenu* FPopupMenu = nullptr;

private:
    friend class TWinControl;
    friend class TSizeConstraints;
    std::shared_ptr<const int> FAlive = std::make_shared<const int>(0);
};

// The control under a screen point: the window there, its control, then the topmost visible
// graphic child at that point, recursively; null outside our windows.
TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled);
// The control holding the mouse capture (a graphic control while its parent holds the capture
// for it), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Mouse-message key state (MK_*) and the keyboard's modifier state, as shift states.
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyboardShiftState();

}  // namespace lumivane

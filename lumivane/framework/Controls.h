#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "lumivane/framework/Component.h"
#include "lumivane/framework/Cursors.h"
#include "lumivane/framework/DragDrop.h"
#include "lumivane/framework/Events.h"
#include "lumivane/framework/Forward.h"
#include "lumivane/framework/Set.h"
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

using WORD = uint16_t;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;
enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;

// One enumeration for every border style: edits and panels use bsNone and bsSingle, forms all.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
// Accepted and stored; the framework draws left to right, has no docking, dragging or IME.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };
enum TImeMode {
    imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
    imSHanguel, imHanguel
};

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9,
                       mrYesToAll = 10;

// Member names as the layout spells them, in enumeration order.
inline constexpr std::string_view AlignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
inline constexpr std::string_view AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
inline constexpr std::string_view AnchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
inline constexpr std::string_view BorderStyleNames[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
inline constexpr std::string_view BevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
inline constexpr std::string_view BevelEdgeNames[] = {"beLeft", "beTop", "beRight", "beBottom"};
inline constexpr std::string_view BevelKindNames[] = {"bkNone", "bkTile", "bkSoft", "bkFlat"};
inline constexpr std::string_view BiDiModeNames[] = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"};
inline constexpr std::string_view DragKindNames[] = {"dkDrag", "dkDock"};
inline constexpr std::string_view DragModeNames[] = {"dmManual", "dmAutomatic"};
inline constexpr std::string_view ImeModeNames[] = {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"};

// Events of controls.
struct TMouseEvent : TEvent<TObject*, TMouseButton, TShiftState, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Button, Shift, X, Y";
};
struct TMouseMoveEvent : TEvent<TObject*, TShiftState, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Shift, X, Y";
};
struct TKeyEvent : TEvent<TObject*, WORD&, TShiftState> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Key, Shift";
};
struct TKeyPressEvent : TEvent<TObject*, char&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Key";
};

// What CreateWnd passes to CreateWindowExA. A WinClassName that is not registered yet is
// registered by the framework with DefWindowProcA and WindowClassStyle.
struct TCreateParams {
    std::string Caption;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;
    uint32_t WindowClassStyle = CS_DBLCLKS;
    int WindowClassCursor = crDefault;
};

// Size limits of a control (0 = none), applied by SetBounds.
class TSizeConstraints : public TPersistent {
    LUMI_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    void Changed();
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

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
    void SetAnchors(TAnchors Value) { FAnchors = Value; }
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
    void SetHint(const std::string& Value) { FHint = Value; }
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

class TWinControl : public TControl {
    LUMI_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, created (with its parents' windows first) when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();

    // Child controls in list order (graphic and windowed alike).
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The topmost child at a client point: visible, enabled unless AllowDisabled; windowed children
    // only with AllowWinControls (they are above every graphic child).
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    // Sends the message to every child control (stops early when one sets Result).
    void Broadcast(TMessage& Message);
    // Paints the visible graphic children on DC (the window's client context), in list order,
    // each with its origin at its top-left and its clip narrowed to its bounds. First: start at
    // this child (nullptr: all).
    void PaintControls(HDC DC, TControl* First);

    // Keyboard focus.
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    virtual bool CanFocus() const;
    virtual bool Focused() const;
    virtual void SetFocus();
    // Windowed descendants in tab order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // Focus tracking of a top-level control (the form). WM_SETFOCUS of any windowed control
    // calls it on the control's top parent. It sends CM_EXIT to the controls the focus leaves
    // (innermost first) and CM_ENTER to those it enters (outermost first), then performs
    // CM_FOCUSCHANGED (LParam = Control) on itself, which broadcasts it to all its controls.
    // A form overrides it to keep its ActiveControl and calls the base.
    virtual bool SetFocusedControl(TWinControl* Control);
    TWinControl* FocusedControl() const { return FFocusedControl; }
    // The top of the parent chain (the control itself when it has no parent).
    TWinControl* TopParent();
    // A button with a ModalResult asks its top parent to take it when clicked: a modal form
    // stores it (which ends its modal loop); the base ignores it.
    virtual void RequestModalResult(TModalResult) {}

    // Alignment of the children within the client area.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    // Runs the alignment that children asked for while the layout was read.
    void Loaded() override;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TPoint ClientOrigin() const override;
    TRect GetClientRect() const override;
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetParent(TWinControl* AParent) override;

    // Stored only.
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value) { FBevelEdges = Value; }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { FBevelInner = Value; }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; }
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value) { FBevelKind = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { FImeMode = Value; }
    const std::string& ImeName() const { return FImeName; }
    void SetImeName(const std::string& Value) { FImeName = Value; }
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value) { FUseDockManager = Value; }

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    // The native procedure of the window's class; nothing before the window exists.
    void DefaultHandler(TMessage& Message) override;

    // Docking events: stored and published for dock sites, never fired.
    TDockDropEvent OnDockDrop;
    TDockOverEvent OnDockOver;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    // Window creation: CreateHandle -> CreateWnd -> CreateParams, then CreateWindowHandle
    // (CreateWindowExA) and the subclassing of the native procedure.
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateHandle();
    virtual void DestroyWnd();
    void DestroyHandle();
    // For a class over a native window class ("BUTTON", "EDIT"): the class name to create.
    void CreateSubClass(TCreateParams& Params, const char* ClassName);

    // Focus notifications (from CM_ENTER / CM_EXIT): fire OnEnter / OnExit.
    virtual void DoEnter();
    virtual void DoExit();
    // Keys: KeyDown fires OnKeyDown (Key set to 0 stops the key), KeyPress fires OnKeyPress
    // (Key set to 0 drops the character before the native control sees it), KeyUp fires OnKeyUp.
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    // Places aligned children inside Rect (the client area), taking what each one uses.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The window's own painting for WM_PAINT with a context; the base fills with Color.
    virtual void PaintWindow(HDC DC);
    void SetZOrder(bool TopMost) override;
    void Resize() override;
    // Applies the font to the native window (WM_SETFONT).
    void UpdateWindowFont();
    // Sends the message to every direct child control.
    void NotifyControls(UINT Msg);
    // Where the window goes for the given bounds (for a top-level window: its client area in
    // screen coordinates). A form with a frame overrides both to add and remove it.
    virtual TRect BoundsToWindowRect(const TRect& Bounds) const { return Bounds; }
    // Reads Left/Top/Width/Height back from the window after the window system moved or sized it.
    virtual void UpdateBoundsFromWindow();

    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    // Reflection of WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* to the child
    // concerned, as CN_BASE + msg; returns false when no child control was found.
    bool ReflectToChild(TMessage& Message);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FDestroyingHandle = false;
    bool FSettingBounds = false;
    // The window's class is the framework's own (painted here), not a native one.
    bool FOwnClass = false;
    TWinControl* FFocusedControl = nullptr;
    UINT FCtlId = 0;
    TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelKind FBevelKind = bkNone;
    int FBevelWidth = 1;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TImeMode FImeMode = imDontCare;
    std::string FImeName;
    bool FDockSite = false;
    bool FUseDockManager = false;

private:
    friend LRESULT ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend class TControl;
    void AlignNow();
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// A control without a window, painted by its parent through Canvas (origin at the control's
// top-left, clipped to its bounds).
class TGraphicControl : public TControl {
    LUMI_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Dispatch(TMessage& Message) override;

protected:
    // WM_PAINT from the parent (WParam = the parent's context, already moved and clipped).
    virtual void Paint();
    std::unique_ptr<TCanvas> FCanvas;
};

// A window painted by the framework: WM_PAINT binds Canvas to the paint context and runs Paint,
// then paints the graphic children.
class TCustomControl : public TWinControl {
    LUMI_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    std::unique_ptr<TCanvas> FCanvas;
};

// The windowed control behind a window handle (its own window, or a native window it
// subclassed); null for any other window.
TWinControl* FindControl(HWND Handle);
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

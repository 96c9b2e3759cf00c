#pragma once
#include <string>
#include <vector>

#include "lumivane/framework/Control.h"

namespace lumivane {

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
    void GetAccessible(TAccessibleInfo& Info) override;
    void GetAccessibleChildren(std::vector<TControl*>& List) override;
    bool GrabAccessibleFocus() override;
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
    virtual void KeyPress(char32_t& Key);
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
    // A key that is the ShortCut of an enabled, visible item of the PopupMenu of this control or
    // of a parent (nearest first) runs that item, before the control sees the key; true if one ran.
    bool IsMenuKey(WORD Key);
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

// The windowed control behind a window handle (its own window, or a native window it
// subclassed); null for any other window.
TWinControl* FindControl(HWND Handle);

}  // namespace lumivane

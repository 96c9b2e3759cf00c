#pragma once
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/Icon.h"

namespace lumivane {

// Forms: top-level windows holding controls (the application object is in Application.h).

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
inline constexpr std::string_view BorderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
inline constexpr std::string_view PositionNames[] = {"poDesigned", "poDefault", "poDefaultPosOnly",
                                                     "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
                                                     "poMainFormCenter", "poOwnerFormCenter"};

struct TCloseEvent : TEvent<TObject*, TCloseAction&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Action";
};
struct TCloseQueryEvent : TEvent<TObject*, bool&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, CanClose";
};

// The window frame a border style draws around the client area. Our windows are their client
// areas; the frame is accounted for so that Width and Height are the outer size (a sizeable
// window with a caption: 8 more than the client width and 27 more than its height).
struct TFormFrame {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Horizontal() const { return Left + Right; }
    int Vertical() const { return Top + Bottom; }
};
TFormFrame FormFrame(TFormBorderStyle Style);

// A top-level window with controls. A form class loads its layout in its constructor:
//
//     TMain::TMain(TComponent* Owner) : TForm(Owner) { LoadForm(); }   // resource "TMAIN"
//
// which reads the layout into the form and then fires OnCreate (every control is loaded by then).
// The form keeps the focus: the control focused last is its ActiveControl; when the form is
// shown, ActiveControl (or else the first tab stop) takes the focus. Enter and Escape reach the
// default and cancel buttons through CM_DIALOGKEY. Closing the main form ends the application.
class TCustomForm : public TWinControl {
    LUMI_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Reads the layout resource (by default named after the class in upper case, "TMAIN" for
    // TMain) into the form, then fires OnCreate. Does nothing while layouts are suppressed.
    void LoadForm(std::string_view ResourceName = {});
    // Reads a layout text into the form, then fires OnCreate.
    void LoadFormText(std::string_view Text);
    // As LoadFormText, for a layout written for a form class this program does not have (a form
    // tool's preview): the events keep their methods' names and call nothing (ReadFormAsPlainForm).
    void LoadForeignFormText(std::string_view Text);
    // A size the window system cannot give a window (negative, or a client area beyond
    // MaxWindowSide) raises an Exception and leaves the form as it was.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // While set, LoadForm does nothing: a tool creates a form class by name and reads another
    // layout into it with LoadFormText.
    static void SuppressResourceLayouts(bool Value);

    void Show();
    void Hide();
    // Asks the form to close: OnCloseQuery, then OnClose with caHide (caFree... as the handler
    // says); the main form ends the application. A modal form just sets ModalResult mrCancel.
    void Close();
    // Shows the form and runs the window system's modal loop until ModalResult is set.
    int ShowModal();
    // Frees the form once the messages being handled now are done.
    void Release();
    bool CloseQuery();

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }

    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    TCanvas* Canvas() const { return FCanvas.get(); }

    // The control that has (or gets, when the form is shown) the focus.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    bool SetFocusedControl(TWinControl* Control) override;
    // A button's ModalResult, when clicked: a modal form's loop ends on it.
    void RequestModalResult(TModalResult Value) override;

    TFormFrame Frame() const { return FormFrame(FBorderStyle); }
    TRect GetClientRect() const override;
    TPoint ClientOrigin() const override;
    bool Showing() const override;
    void GetAccessible(TAccessibleInfo& Info) override;

    void Dispatch(TMessage& Message) override;
    void Loaded() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void PaintWindow(HDC DC) override;
    TRect BoundsToWindowRect(const TRect& Bounds) const override;
    void UpdateBoundsFromWindow() override;
    // After a layout is read: OnCreate, then the form shown if the layout said Visible.
    void LayoutLoaded();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

    std::unique_ptr<TPersistent> FIconData;  // the layout's view of Icon ("Icon.Data")
    bool FShowAfterLoad = false;
    bool FDesignedVisible = false;

private:
    void ApplyPosition();
    void RememberActive(TWinControl* Control);
    void IconChanged(TObject* Sender);
    void UpdateWindowStyle();
    void SetWindowFocus();
    void CMVisibleChanged(TMessage& Message);
    void WMSetCursor(TMessage& Message);

    friend class TFormIconData;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TCanvas> FCanvas;
    TWinControl* FActiveControl = nullptr;
    std::optional<TWatch> FActiveWatch;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FKeyPreview = false;
    bool FOldCreateOrder = false;
    bool FScaled = true;
    bool FPositioned = false;
    bool FReleasing = false;
    int FPixelsPerInch = 96;
    int FTextHeight = 13;
};

class TForm : public TCustomForm {
    LUMI_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The form a control sits on (the top of its parent chain), or null.
TCustomForm* GetParentForm(TControl* Control);

}  // namespace lumivane

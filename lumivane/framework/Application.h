#pragma once
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/HintWindow.h"

namespace lumivane {

class TCustomForm;

struct TExceptionEvent : TEvent<TObject*, Exception&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, E";
};

// The application object: start-up, the forms it owns, the message loop, exceptions, message
// boxes, hints and the idle processing (mouse enter/leave notifications, cursor, hints).
class TApplication : public TComponent {
    LUMI_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Registers the framework's standard classes with the class registry.
    void Initialize();

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);

    // Creates a form of class T owned by the application and stores it in Reference (already
    // while its constructor runs, so the form's own code can use the reference). The first form
    // created this way becomes the main form.
    template <class T>
    void CreateForm(T*& Reference) {
        static_assert(std::is_base_of_v<TCustomForm, T>);
        void* memory = ::operator new(sizeof(T));
        Reference = static_cast<T*>(memory);
        try {
            new (memory) T(this);
        } catch (...) {
            Reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        if (!FMainForm) FMainForm = Reference;
    }
    // Creates a form of a registered class by name (a TCustomForm descendant).
    TCustomForm* CreateForm(TClass FormClass);

    TCustomForm* MainForm() const { return FMainForm; }
    // Shows the main form and handles messages until Terminate. What escapes a message handler
    // goes to HandleCurrentException and the loop goes on.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the messages waiting now, without waiting for more.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    // OnException when assigned, else ShowException.
    void HandleException(TObject* Sender, Exception& E);
    // The one end of every exception that escapes an event handler or a message handler, under
    // every driver: called from a catch block (the framework's windows, timers, idle processing
    // and loops call it), it hands an Exception, or any other std::exception as an Exception with
    // the same message, to HandleException, and the loop goes on. Out of memory and throws of other
    // types are no failure a program can go on from: they end it with a message on stderr.
    void HandleCurrentException(TObject* Sender);
    // A message box with the exception's message, captioned with Title, MB_OK | MB_ICONERROR.
    void ShowException(Exception& E);
    // The framework's modal message box (or OnMessageBox's answer when a hook is set).
    int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);

    // A hidden top-level window of the application (the owner window for shell requests).
    HWND Handle();

    // Hints.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    void CancelHint();
    void HideHint();
    THintWindow& HintWindow() { return FHintWindow; }

    // The idle processing, run each time the message queue runs empty: finds the control under
    // the pointer, tells the old one CM_MOUSELEAVE and then the new one CM_MOUSEENTER, sets the
    // cursor and times the hint. Forms install it when their window is created.
    void Idle();
    void DoMouseIdle();
    // The same for a pointer message about to be handled (a client point of hwnd in lp), so that
    // the control left hears its leave, and the one entered its enter, before the message. While
    // a control holds the mouse capture only it hears enter and leave; the control under the
    // pointer when the capture ends hears its enter then. Only while the idle handler is installed.
    void PointerMessageArrives(HWND hwnd, LPARAM lp);
    void InstallIdleHandler();
    // Runs Job once, the next time the message queue runs empty: after what was waiting, the
    // first frame of a window included, has been painted and shown.
    void RunWhenIdle(std::function<void()> Job) { FIdleJobs.push_back(std::move(Job)); }
    // The control the pointer was last found over.
    TControl* MouseControl() const { return FMouseWatch && FMouseWatch->Alive() ? FMouseControl : nullptr; }

    // Who is told of the changes a screen reader follows (framework/Accessible.h); null: nobody.
    // The listener must outlive the application or be taken away first.
    TAccessibleListener* AccessibleListener() const { return FAccessibleListener; }
    void SetAccessibleListener(TAccessibleListener* Value) { FAccessibleListener = Value; }
    // The framework's own windows shown now (message boxes, hints, popup menus), which a screen
    // reader lists beside the forms; kept by AccWindowShown and AccWindowHidden.
    std::vector<TAccessibleElement*>& AccessibleWindows() { return FAccessibleWindows; }

    // A hook for tests and tools: when set, message boxes are not shown; the hook answers them.
    std::function<int(const std::string& Text, const std::string& Caption, unsigned Flags)> OnMessageBox;
    TExceptionEvent OnException;
    TNotifyEvent OnIdle;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend LRESULT ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);
    // One message taken from the queue: hides the hint on input, translates and dispatches it;
    // what its handler throws goes to HandleCurrentException.
    void Deliver(const MSG& m);
    // Brings enter, leave, cursor and hint up to date for the control under the pointer.
    void TrackPointer(TControl* Target, TPoint ScreenPos);
    TControl* EnteredControl() const { return FEnteredWatch && FEnteredWatch->Alive() ? FEnteredControl : nullptr; }
    void HintTimerExpired(uintptr_t Id);
    void StartHintTimer(uintptr_t Id, int Ms);
    void KillHintTimers();
    bool HintTarget(TControl* Control) const;

    std::string FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    HWND FHandle = nullptr;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    THintWindow FHintWindow;
    TControl* FMouseControl = nullptr;
    std::optional<TControl::TWatch> FMouseWatch;
    TControl* FEnteredControl = nullptr;  // the control told CM_MOUSEENTER last, and no leave since
    std::optional<TControl::TWatch> FEnteredWatch;
    bool FTrackingPointer = false;
    TControl* FHintControl = nullptr;
    std::optional<TControl::TWatch> FHintWatch;
    TAccessibleListener* FAccessibleListener = nullptr;
    std::vector<TAccessibleElement*> FAccessibleWindows;
    std::vector<std::function<void()>> FIdleJobs;
    bool FHintDone = false;  // shown and hidden again for the control under the pointer
};

// The one application object of the program.
extern TApplication* Application;

}  // namespace lumivane

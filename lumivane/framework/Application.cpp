#include "lumivane/framework/Application.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/StandardControls.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/StandardControls.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

constexpr const char* kApplicationClass = "TApplication";
constexpr uintptr_t kHintShowTimer = 1;
constexpr uintptr_t kHintHideTimer = 2;
// The hint appears this far below the pointer's hot spot, clear of the arrow.
constexpr int kHintOffsetY = 20;

bool IsInputStart(UINT msg) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

// The cursor the window system would show over the window: its class cursor.
CursorKind ClassCursorOf(HWND hwnd) {
    char name[128];
    WNDCLASS wc;
    if (hwnd && GetClassNameA(hwnd, name, sizeof name) > 0 && GetClassInfoA(name, &wc)) return wc.cursor;
    return CursorKind::Default;
}

} // namespace

TApplication* Application = new TApplication(nullptr);

LRESULT ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && Application && hwnd == Application->FHandle) {
        Application->HintTimerExpired(wp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LUMI_DEFINE_CLASS(TApplication) {}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    Destroying();
    FHintWindow.ReleaseHandle();
    DestroyComponents();
    if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    RegisterStandardControls();
    RegisterExtControls();
    RegisterClasses({TCustomForm::StaticClass(), TForm::StaticClass()});
}

void TApplication::SetTitle(const std::string& Value) {
    FTitle = ValidUtf8(Value);
    if (FHandle && IsWindow(FHandle)) SetWindowTextA(FHandle, Value.c_str());
}

TCustomForm* TApplication::CreateForm(TClass FormClass) {
    if (!FormClass || !FormClass->InheritsFrom(TCustomForm::StaticClass()) || !FormClass->Creator())
        throw Exception("Cannot create a form of class " + (FormClass ? FormClass->Name() : std::string("(none)")));
    TObject* o = FormClass->Creator()(this);
    auto* form = dynamic_cast<TCustomForm*>(o);
    if (!form) {
        delete o;
        throw Exception("Class " + FormClass->Name() + " is not a form");
    }
    if (!FMainForm) FMainForm = form;
    return form;
}

HWND TApplication::Handle() {
    if (FHandle && IsWindow(FHandle)) return FHandle;
    WNDCLASS wc;
    if (!GetClassInfoA(kApplicationClass, &wc)) {
        wc = WNDCLASS{};
        wc.lpszClassName = kApplicationClass;
        wc.lpfnWndProc = ApplicationWndProc;
        RegisterClassA(wc);
    }
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kApplicationClass, FTitle.c_str(), WS_POPUP, 0, 0,
                              1, 1, nullptr, 0, nullptr);
    return FHandle;
}

void TApplication::Run() {
    FTerminated = false;
    InstallIdleHandler();
    if (!FMainForm) return;
    try {
        FMainForm->Show();
    } catch (...) {
        HandleCurrentException(this);
    }
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::HandleMessage() {
    MSG m;
    // Outside the guard: a failing wait is not a handler's exception and must not loop.
    if (!GetMessageA(&m, nullptr, 0, 0)) {
        FTerminated = true;
        return;
    }
    Deliver(m);
}

void TApplication::ProcessMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            FTerminated = true;
            return;
        }
        Deliver(m);
    }
}

void TApplication::Deliver(const MSG& m) {
    if (IsInputStart(m.message)) HideHint();
    TranslateMessage(&m);
    try {
        DispatchMessageA(&m);
    } catch (...) {
        HandleCurrentException(this);
    }
}

void TApplication::HandleException(TObject* Sender, Exception& E) {
    if (OnException.Assigned())
        OnException(Sender, E);
    else
        ShowException(E);
}

namespace {
// What no handler can go on from: the program ends here, saying why.
[[noreturn]] void EndProgram(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s; the program ends\n", program_invocation_short_name, why.c_str());
    std::_Exit(EXIT_FAILURE);
}
}  // namespace

void TApplication::HandleCurrentException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        try {
            std::rethrow_exception(current);
        } catch (Exception& e) {
            HandleException(Sender, e);
        } catch (const std::bad_alloc&) {
            EndProgram("out of memory");
        } catch (const std::exception& e) {
            Exception wrapped(e.what());
            HandleException(Sender, wrapped);
        } catch (...) {
            EndProgram("an event handler threw something that is not an exception");
        }
    } catch (const std::bad_alloc&) {
        EndProgram("out of memory");
    } catch (const std::exception& e) {
        // OnException (or the message box) failed in turn: said on stderr, and the loop goes on.
        std::fprintf(stderr, "%s: while handling an exception: %s\n", program_invocation_short_name, e.what());
    } catch (...) {
        EndProgram("an exception handler threw something that is not an exception");
    }
}

void TApplication::ShowException(Exception& E) { MessageBox(E.Message(), FTitle, MB_OK | MB_ICONERROR); }

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    CancelHint();
    if (OnMessageBox) return OnMessageBox(Text, Caption, Flags);
    return ShowMessageBox(GetActiveWindow(), Text, Caption, Flags);
}

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

void TApplication::InstallIdleHandler() {
    SetIdleHandler([] {
        if (Application) Application->Idle();
    });
    // Asked to end (logout, kill): the main window closes as a close request closes it, through
    // its OnCloseQuery.
    SetTerminateHandler([] {
        if (!Application) return;
        if (TCustomForm* main = Application->MainForm(); main && main->HandleAllocated())
            PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
        else
            Application->Terminate();
    });
}

void TApplication::Idle() {
    // A message box shown from here runs a loop that comes back here: once is enough.
    static bool running = false;
    if (running) return;
    running = true;
    try {
        DoMouseIdle();
        OnIdle(this);
        std::vector<std::function<void()>> jobs;
        jobs.swap(FIdleJobs);
        for (auto& job : jobs) job();
    } catch (...) {
        HandleCurrentException(this);
    }
    running = false;
}

void TApplication::DoMouseIdle() {
    POINT p;
    const bool known = GetCursorPos(&p);
    if (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0) HideHint();
    TrackPointer(known ? FindDragTarget(p, true) : nullptr, p);
}

void TApplication::PointerMessageArrives(HWND hwnd, LPARAM lp) {
    // The notifications come with the idle processing: a program without it (a bare control in
    // a test) has none.
    if (!HasIdleHandler()) return;
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (!ClientToScreen(hwnd, &p)) return;
    TrackPointer(FindDragTarget(p, true), p);
}

void TApplication::TrackPointer(TControl* Target, TPoint ScreenPos) {
    // A handler run from here may run a loop of its own (a message box): the pointer messages
    // that loop handles leave the tracking to the next round.
    if (FTrackingPointer) return;
    FTrackingPointer = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FTrackingPointer};

    // While a control holds the capture (a button held down), only it hears enter and leave.
    TControl* capture = GetCaptureControl();
    TControl* hears = capture && Target != capture ? nullptr : Target;
    TControl* entered = EnteredControl();
    if (hears != entered) {
        FEnteredControl = hears;
        if (hears)
            FEnteredWatch.emplace(hears);
        else
            FEnteredWatch.reset();
        // The control left hears it before the one entered.
        if (entered) entered->Perform(CM_MOUSELEAVE, 0, 0);
        if (hears && hears == EnteredControl()) hears->Perform(CM_MOUSEENTER, 0, 0);
    }

    if (Target == MouseControl()) return;
    FMouseControl = Target;
    if (Target)
        FMouseWatch.emplace(Target);
    else
        FMouseWatch.reset();
    CancelHint();
    TControl* now = MouseControl();
    if (!now) return;
    // A drag shows its own cursor.
    if (!DragDrop::DragStarted())
        SetCursorShape(now->Cursor() != crDefault ? CursorKindOf(now->Cursor())
                                                  : ClassCursorOf(WindowFromPoint(ScreenPos)));
    if (HintTarget(now)) {
        FHintControl = now;
        FHintWatch.emplace(now);
        StartHintTimer(kHintShowTimer, FHintPause);
    }
}

bool TApplication::HintTarget(TControl* Control) const {
    return FShowHint && Control && Control->ShowHint() && !Control->Hint().empty();
}

void TApplication::StartHintTimer(uintptr_t Id, int Ms) { SetTimer(Handle(), Id, static_cast<UINT>(std::max(Ms, 1)), nullptr); }

void TApplication::KillHintTimers() {
    if (!FHandle || !IsWindow(FHandle)) return;
    KillTimer(FHandle, kHintShowTimer);
    KillTimer(FHandle, kHintHideTimer);
}

void TApplication::HideHint() {
    KillHintTimers();
    if (FHintControl) FHintDone = true;
    FHintWindow.ReleaseHandle();
}

void TApplication::CancelHint() {
    HideHint();
    FHintControl = nullptr;
    FHintWatch.reset();
    FHintDone = false;
}

void TApplication::HintTimerExpired(uintptr_t Id) {
    KillTimer(Handle(), Id);
    if (Id == kHintHideTimer) {
        HideHint();
        return;
    }
    if (Id != kHintShowTimer || FHintDone) return;
    TControl* c = FHintWatch && FHintWatch->Alive() ? FHintControl : nullptr;
    POINT p;
    if (!c || c != MouseControl() || !HintTarget(c) || !GetCursorPos(&p)) return;
    FHintWindow.ActivateHint({p.x, p.y + kHintOffsetY}, c->Hint());
    StartHintTimer(kHintHideTimer, FHintHidePause);
}

}  // namespace lumivane

#pragma once
// The X11 driver's class and the X state its units share; only the driver's own sources include
// this (it brings in Xlib, whose macros would break other code).

#include "lumivane/windows/Driver.h"

// Xlib defines Expose, FocusIn and FocusOut as macros: name our events before it does.
namespace lumivane::x11 {
constexpr DriverEvent::Type kEvExpose = DriverEvent::Expose;
constexpr DriverEvent::Type kEvFocusIn = DriverEvent::FocusIn;
constexpr DriverEvent::Type kEvFocusOut = DriverEvent::FocusOut;
}  // namespace lumivane::x11

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <bitset>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "lumivane/drivers/posix/PosixSystem.h"
#include "lumivane/drivers/x11/IncomingText.h"

namespace lumivane {

namespace x11 {

// Atoms the driver uses, interned in one round trip.
enum AtomIndex {
    A_WM_PROTOCOLS, A_WM_DELETE_WINDOW, A_NET_WM_PING, A_NET_WM_NAME, A_NET_WM_ICON_NAME,
    A_NET_WM_ICON, A_NET_WM_PID, A_NET_WM_WINDOW_TYPE, A_NET_WM_WINDOW_TYPE_NORMAL,
    A_NET_WM_WINDOW_TYPE_DIALOG, A_NET_WM_WINDOW_TYPE_TOOLTIP, A_MOTIF_WM_HINTS, A_UTF8_STRING,
    A_CLIPBOARD, A_TARGETS, A_TEXT, A_TIMESTAMP, A_INCR, A_LUMI_CLIP, A_LUMI_TIME, A_WM_LOCALE_NAME,
    A_COUNT
};
extern const char* const kAtomNames[A_COUNT];

// Errors the driver provokes knowingly (probing shared memory, answering a requestor that may be
// gone) are caught by an ErrorTrap instead of being logged.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d);
    ~ErrorTrap();
    // Waits for the server to process everything so far; true when none of it failed.
    bool Ok();

private:
    Display* FDisplay;
};

// Logs X protocol errors and ends the process when the connection is lost (status 3).
void InstallErrorHandlers();
[[noreturn]] void ConnectionLost();

// Xlib's input methods and its COMPOUND_TEXT conversions work only under a locale it supports:
// when LC_CTYPE is still "C", take it from the environment. Only done when one of them is needed
// (loading the locale costs memory and time a window of buttons does without).
void EnsureCtypeLocale();
// The character-type locale the program runs in: the one set, or else the one EnsureCtypeLocale
// would set (the first of LC_ALL, LC_CTYPE and LANG that is not empty), without loading it.
std::string CtypeLocaleName();

// The modifiers of an X event's state as input events carry them (MK_SHIFT, MK_CONTROL, DRIVER_ALT).
unsigned ShiftState(unsigned state);

struct TopLevel {
    Window xid = 0;
    TopLevelKind kind = TopLevelKind::Normal;
    bool sizeable = true;
    XIC ic = nullptr;          // while the window's focus takes typed text
    long eventMask = 0;        // what the window selected, before the input method adds its own
    bool focused = false;      // has the keyboard focus (as its last FocusIn/FocusOut said)
    int width = 0, height = 0; // last known client size
    int x = 0, y = 0;          // last known screen position of the client area
    bool reparented = false;   // inside a window manager's frame
    XImage* image = nullptr;   // the pixels last presented, window-sized
    XShmSegmentInfo shm{};
    bool shmImage = false;
    bool shmBusy = false;      // the server may still be reading the shared image
    bool hasPixels = false;
    bool shownWhole = false;   // a frame of the whole window went down the socket
    std::optional<CursorKind> cursor; // none defined yet
};

// The driver's units, by concern: X11Driver.cpp (the connection), X11Windows.cpp (windows and
// their window-manager hints), X11Present.cpp (pixels: MIT-SHM and XPutImage), X11Events.cpp
// (the wait and event translation), X11Input.cpp (keys and the input method), X11Cursors.cpp,
// X11Clipboard.cpp (the CLIPBOARD and PRIMARY selections, INCR transfers included). Programs and signals are
// the POSIX system's.
class X11Driver final : public Driver {
public:
    explicit X11Driver(Display* display);
    ~X11Driver() override;

    DriverWindowId CreateTopLevel(const TopLevelSpec& request) override;
    void DestroyTopLevel(DriverWindowId id) override;
    void ShowTopLevel(DriverWindowId id, bool visible) override;
    void SetTitle(DriverWindowId id, const std::string& utf8) override;
    void SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) override;
    void SetBounds(DriverWindowId id, const TRect& bounds) override;
    TPoint ClientOrigin(DriverWindowId id) override;
    TSize ScreenSize() override;
    void Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) override;
    int64_t Now() override;
    void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) override;
    bool GetCursorPos(TPoint& p) override;
    void SetCursor(DriverWindowId id, CursorKind cursor) override;
    void SetSelectionText(TSelection which, const std::string& utf8) override;
    bool GetSelectionText(TSelection which, std::string& utf8) override;
    System& GetSystem() override { return FSystem; }
    int DeviceScale() override { return FScale; }
    void SetTextInput(DriverWindowId id, bool on) override;
    void WatchReadable(int fd, bool watch) override;

    int64_t WaitCount() const { return FWaitCount; }
    bool InputMethodOpened() const { return FIMOpened; }
    std::string RootWindowString(const char* property);

private:
    TopLevel* Find(DriverWindowId id);

    // The desktop's resources changed: the scale follows a new Xft.dpi (unless LUMIVANE_SCALE
    // fixed it), and a change is reported as ScaleChanged.
    void ResourcesChanged(std::vector<DriverEvent>& out);

    // Windows.
    void SetSizeHints(TopLevel& w, int x, int y, int width, int height, bool minFromSize);
    void SetWindowType(TopLevel& w, Atom type);
    void SetMotifHints(TopLevel& w, const TopLevelSpec& request);

    // Pixels.
    void ProbePixelFormat();
    bool EnsureImage(TopLevel& w, int width, int height);
    XImage* CreateShmImage(TopLevel& w, int width, int height);
    void FreeImage(TopLevel& w);
    void CopyToImage(TopLevel& w, const Surface& s, const TRect& r);
    void PutImage(TopLevel& w, const TRect& r, bool last);
    void PutSurface(TopLevel& w, const Surface& s, const std::vector<TRect>& rects);

    // Events.
    void Drain(std::vector<DriverEvent>& out);
    void Translate(XEvent& ev, std::vector<DriverEvent>& out);
    void TranslateExpose(TopLevel& w, const XExposeEvent& ev, std::vector<DriverEvent>& out);
    void TranslateConfigure(TopLevel& w, const XConfigureEvent& ev, std::vector<DriverEvent>& out);
    // Waits for an event `match` accepts, queueing every other event for the next WaitEvents.
    bool WaitForEvent(XEvent& found, const std::function<bool(const XEvent&)>& match, int64_t deadline);
    void PollDisplay(int timeoutMs);

    // Keys and the input method.
    void TranslateKey(TopLevel& w, XKeyEvent& ev, std::vector<DriverEvent>& out);
    void TranslateFocus(TopLevel& w, const XFocusChangeEvent& ev);
    void CreateInputContext(TopLevel& w);
    void OpenInputMethod();

    // Selections.
    struct OwnedSelection {
        bool own = false;
        std::string text; // UTF-8
        Time time = CurrentTime;
    };
    // A text going out by INCR to another program, a piece each time it deletes the property.
    struct OutgoingTransfer {
        Window requestor;
        Atom property;
        Atom type;
        std::string data;
        size_t sent;
        size_t piece;
        int64_t lastStep;
    };
    Atom SelectionAtom(TSelection which) const;
    Time ServerTime();
    void AnswerSelectionRequest(const XSelectionRequestEvent& req);
    // Puts the text on the requestor's property, or starts an INCR transfer for a large one.
    bool SendText(Window requestor, Atom prop, Atom type, const std::string& data);
    void ContinueTransfer(const XPropertyEvent& ev);
    void SelectionCleared(const XSelectionClearEvent& ev);
    // Asks the owner for the selection as `target` and waits for it (running the wait pump):
    // the text, the owner's refusal, or nothing in time (or the program is ending).
    enum class TConversion { Got, Refused, GaveUp };
    TConversion ConvertSelection(Atom selection, Atom target, std::string& bytes, Atom& type);
    void IncomingAnswered(const XSelectionEvent& ev);
    void IncomingPiece(const XPropertyEvent& ev);
    bool ReadProperty(Atom prop, std::string& bytes, Atom& type, int& format);

    Display* FDisplay;
    int FScreen;
    Window FRoot;
    Visual* FVisual;
    int FDepth;
    GC FGC;
    Atom FAtoms[A_COUNT] = {};
    Window FHelper; // unmapped: owns the clipboard and receives conversions
    bool FShm = false;
    int FShmCompletion = -1;
    bool FFastPixels = false; // the visual takes 0x00RRGGBB words as they are
    int FShift[3] = {}, FBits[3] = {};
    XIM FIM = nullptr;
    bool FIMOpened = false; // the input method is opened when an edit first gets the focus
    bool FDetectableRepeat = false;
    // The keyboard map is fetched once a window of ours has the focus and the loop is about to
    // sleep, so that the first key (often the Return that closes a window) finds it there.
    enum class Keymap { NotWanted, Wanted, Fetched } FKeymap = Keymap::NotWanted;
    std::bitset<256> FKeysDown;
    std::unordered_map<Window, TopLevel> FWindows;
    std::map<CursorKind, Cursor> FCursors;
    std::vector<DriverEvent> FQueued; // events read while the clipboard waited
    Time FLastTime = CurrentTime;
    OwnedSelection FSelections[2]; // by TSelection
    std::vector<OutgoingTransfer> FTransfers;
    // The text being read from another program (one read at a time).
    struct Incoming {
        Atom target;
        Atom type;      // of the pieces that came
        bool answered;  // the owner's SelectionNotify came
        bool refused;   // with no text, or none we read
        IncomingText text;
    };
    std::optional<Incoming> FIncoming;
    PosixSystem FSystem;         // programs started for OpenAddress, termination signals
    std::vector<int> FWatched;   // fds whose data ends a wait
    std::vector<int> FReadable;  // of those, the ones found readable, to report
    int64_t FWaitCount = 0;
    int FScale = 1;
    bool FScaleFixed = false; // by LUMIVANE_SCALE: Xft.dpi is not followed
};

} // namespace x11

}  // namespace lumivane

#pragma once
#include <string>
#include <vector>

#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/HeadlessDriver.h"

namespace lumivane {

// A test's view of a running window system on the headless driver. The constructor starts the
// window system, the destructor shuts it down (one session at a time). Every input call pumps
// until the system is quiet, so its effects are visible when it returns.
class HeadlessSession {
public:
    // `scale`: the display's scale (see HeadlessDriver::SetDeviceScale). Every coordinate and
    // size a session takes is logical; Presented and Save give device pixels.
    explicit HeadlessSession(int scale = 1);
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    // Pointer, screen coordinates. Moving reports leave/enter of top-level windows; while a button
    // is held the pointer stays with the window that was pressed, as a display's grab does.
    void Move(int x, int y);
    // The pointer at a device pixel of the display (at scale 1 the same as Move).
    void MoveOnDisplay(int x, int y);
    // Client coordinates of a window (any window, child or top-level).
    void MoveTo(HWND hwnd, int x, int y);
    void Press(int button = 1);
    void Release(int button = 1);
    void Click(int x, int y, int button = 1);
    void ClickAt(HWND hwnd, int x, int y, int button = 1);
    // Two clicks with no time between them.
    void DoubleClick(int x, int y);
    void Wheel(int delta);

    // Keys. `shift` is MK_SHIFT | MK_CONTROL and DRIVER_ALT, held for this key only (modifier keys
    // pressed with KeyDown stay held until KeyUp). A key that types a character also delivers it,
    // as a keyboard does (Ctrl+letter gives the control character).
    void KeyDown(unsigned vk, unsigned shift = 0, bool repeat = false);
    void KeyUp(unsigned vk, unsigned shift = 0);
    void Key(unsigned vk, unsigned shift = 0);
    // One WM_CHAR per character of the UTF-8 text, without key presses.
    void Type(const std::string& text);
    // Puts the text on the clipboard and presses Ctrl+V.
    void Paste(const std::string& text);
    void SetClipboard(const std::string& text);
    std::string Clipboard();
    // What another program selected (what a middle click pastes), and what is selected now.
    void SetPrimarySelection(const std::string& text);
    std::string PrimarySelection();

    // Window manager requests and display changes for a top-level window.
    void Close(HWND toplevel);
    void Resize(HWND toplevel, int width, int height);
    void Activate(HWND toplevel);
    void Deactivate(HWND toplevel);

    // Advances the virtual clock by ms, stopping at every timer deadline on the way and pumping
    // there, so timers fire exactly on time.
    void Wait(int64_t ms);
    // Processes everything pending (messages, idle handler, timers already due, paints) without
    // moving the clock.
    void Pump();
    int64_t Now() const;

    // Presented pixels of a top-level window, client coordinates (logical: the top-left device
    // pixel of the logical pixel's block).
    TColor Pixel(HWND toplevel, int x, int y);
    const Surface& Presented(HWND toplevel);
    // Rectangles of every Present call for the window since the last ClearPresents.
    std::vector<std::vector<TRect>> Presents(HWND toplevel);
    void ClearPresents();
    void Save(HWND toplevel, const std::string& path);

    std::vector<HWND> TopLevelWindows();
    const std::vector<std::string>& OpenedAddresses() const;
    bool QuitReceived() const { return FQuit; }
    int QuitCode() const { return FQuitCode; }
    HeadlessDriver& Driver() { return FDriver; }

private:
    void PushPointer(DriverEvent::Type type, int button);
    // Hands the window an event of the given type with no further data, then pumps.
    void SendWindowEvent(HWND toplevel, DriverEvent::Type type);
    unsigned Modifiers() const;
    DriverWindowId KeyWindow();

    HeadlessDriver FDriver;
    DriverWindowId FPointerWindow = 0; // top-level the pointer is in
    DriverWindowId FGrabWindow = 0;    // top-level that got the press, while buttons are held
    unsigned FButtons = 0;             // bit per held button
    unsigned FHeldModifiers = 0;       // MK_SHIFT, MK_CONTROL, DRIVER_ALT of keys held down
    bool FQuit = false;
    int FQuitCode = 0;
};

}  // namespace lumivane

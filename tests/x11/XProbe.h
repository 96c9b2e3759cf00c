#pragma once
#include <cstdint>
#include <string>
#include <vector>


// A second client on the test display: looks at our windows from outside and plays the user
// (XTest) or the window manager. No Xlib types here, so tests need not include Xlib.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool Ok() const { return FDisplay != nullptr; }
    // Waits until the server has done everything asked of it so far.
    void Sync();

    // 0x00RRGGBB of the window's pixels, row by row.
    std::vector<uint32_t> Pixels(uint64_t window, int x, int y, int width, int height);
    uint32_t Pixel(uint64_t window, int x, int y) { return Pixels(window, x, y, 1, 1).at(0); }

    // A format-8 property's bytes; `type` receives its type's name. Empty when absent.
    std::string Text(uint64_t window, const char* property, std::string* type = nullptr);
    // A format-32 property's values (CARDINAL, WINDOW, ATOM as numbers).
    std::vector<unsigned long> Longs(uint64_t window, const char* property);
    // Sets an 8-bit STRING property of the root window, as xrdb does; null deletes it.
    void SetRootText(const char* property, const char* text);
    std::string AtomName(unsigned long atom);
    unsigned long Atom(const char* name);
    bool OverrideRedirect(uint64_t window);
    bool Viewable(uint64_t window);
    uint64_t SelectionOwner(const char* selection);

    // As a user would.
    void MovePointer(int x, int y);
    void Button(int button, bool down);
    // Presses or releases the key that produces `keysym` (an X keysym name such as "a", "Return").
    void Key(const char* keysym, bool down);
    void Tap(const char* keysym) { Key(keysym, true); Key(keysym, false); }
    // Puts `keysym` on a spare key so that a US keymap can type it; returns its keysym name.
    void MapSpareKey(const char* keysym);
    void Focus(uint64_t window);

    // As a window manager would.
    void MoveResize(uint64_t window, int x, int y, int width, int height);
    void Remap(uint64_t window); // unmaps and maps again: the contents are lost

private:
    void* FDisplay = nullptr;
};

#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "lumivane/windows/Driver.h"

namespace lumivane {

// The real-display driver: one X window per top-level window, drawn from surface pixels (large
// windows through an MIT-SHM image where the server offers it, others with XPutImage straight from
// the surface).
//
// Choices others may rely on:
// - A DriverWindowId is the X window's id, so tests and tools can address the window directly.
// - A window presented through shared memory (or through a converted image, on visuals that do
//   not take surface pixels as they are) keeps the pixels it was last given, and the driver
//   repaints its exposed parts itself; for other windows, and for parts never given pixels, it
//   reports Expose and the window system presents them again.
// - Losing the display connection prints a message on standard error and ends the process at
//   once with status 3 (Xlib cannot continue after it; nothing is left to save).
// - X protocol errors are logged on standard error and otherwise ignored.
// - The environment variable LUMI_X11_NO_SHM=1 turns shared memory off (tests use it to check
//   the XPutImage path).
// - The display's scale (DeviceScale) comes from LUMIVANE_SCALE (1 to 4; any other value is
//   ignored with a line on standard error), else from the Xft.dpi resource, else 1.
// - Input methods and titles beyond Latin-1 need a locale: when LC_CTYPE is still "C", the driver
//   sets it from the environment (setlocale(LC_CTYPE, "")) the first time it needs one; until
//   then WM_LOCALE_NAME names the locale the environment asks for.
// - The input method is opened when a window first says that its focus takes typed text
//   (SetTextInput), and only such windows have an input context: keys elsewhere give their
//   characters from the keysym without composing, and a window of buttons never loads a compose
//   table or Xlib's locale tables.

// Opens the display (null: $DISPLAY). Throws Exception("cannot open display ...") when it can't.
std::unique_ptr<Driver> CreateX11Driver(const char* displayName);

// How many times the driver's wait has slept in poll(); a driver not made here gives -1. Lets a
// test check that waiting for a deadline sleeps instead of spinning.
int64_t X11DriverWaitCount(Driver& driver);
// A text property of the display's root window (as a desktop session leaves AT_SPI_BUS there);
// "" when it is missing, not text, or the driver is not made here.
std::string X11RootWindowString(Driver& driver, const char* property);
// Whether the driver has opened (or tried to open) its input method.
bool X11DriverInputMethodOpened(Driver& driver);

}  // namespace lumivane

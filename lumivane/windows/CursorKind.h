#pragma once
#include <cstdint>

namespace lumivane {

// The pointer shapes the window system can show; each driver draws them in its display's own way
// (a shape it lacks falls back to the arrow). The framework maps its cursor numbers here.
// Hidden shows no pointer at all (not "None": Xlib defines that as a macro).
enum class CursorKind : uint8_t {
    Default, Hidden, Arrow, Cross, IBeam, SizeNESW, SizeNS, SizeNWSE, SizeWE, UpArrow, HourGlass,
    Drag, NoDrop, HSplit, VSplit, MultiDrag, SQLWait, No, AppStart, Help, HandPoint, SizeAll,
};

}  // namespace lumivane

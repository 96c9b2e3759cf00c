#pragma once
// How the framework's cursor numbers map to the window system's cursor shapes; only the units
// that set a shape need it, so control headers stay free of the window system's enumeration.
#include "lumivane/framework/Cursors.h"
#include "lumivane/windows/CursorKind.h"

namespace lumivane {

// The window system's shape for a cursor number; numbers it has no shape for show the default.
constexpr CursorKind CursorKindOf(TCursor cursor) {
    switch (cursor) {
    case crNone: return CursorKind::Hidden;
    case crArrow: return CursorKind::Arrow;
    case crCross: return CursorKind::Cross;
    case crIBeam: return CursorKind::IBeam;
    case crSizeNESW: return CursorKind::SizeNESW;
    case crSizeNS: return CursorKind::SizeNS;
    case crSizeNWSE: return CursorKind::SizeNWSE;
    case crSizeWE: return CursorKind::SizeWE;
    case crUpArrow: return CursorKind::UpArrow;
    case crHourGlass: return CursorKind::HourGlass;
    case crDrag: return CursorKind::Drag;
    case crNoDrop: return CursorKind::NoDrop;
    case crHSplit: return CursorKind::HSplit;
    case crVSplit: return CursorKind::VSplit;
    case crMultiDrag: return CursorKind::MultiDrag;
    case crSQLWait: return CursorKind::SQLWait;
    case crNo: return CursorKind::No;
    case crAppStart: return CursorKind::AppStart;
    case crHelp: return CursorKind::Help;
    case crHandPoint: return CursorKind::HandPoint;
    case crSizeAll: return CursorKind::SizeAll;
    default: return CursorKind::Default;
    }
}

}  // namespace lumivane

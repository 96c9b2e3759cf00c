#pragma once
#include "lumivane/platform/CursorKind.h"

// The framework's cursor numbers, as controls store them and the layout names them.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22, crSize = -22;

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

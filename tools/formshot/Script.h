#pragma once
#include <string>
#include <string_view>
#include <vector>

// The event script of formshot: one command a line, checked completely before anything runs.
//
//   move X Y | click X Y [left|right]         pointer, in the form's client coordinates
//   dblclick X Y
//   down [left|right] | up [left|right]       a button, where the pointer is
//   key NAME | keydown NAME | keyup NAME      NAME: Return, Space, Tab, F1..F12, a letter or digit...,
//                                             with ctrl+, shift+ and alt+ prefixes
//   type TEXT | clipboard TEXT                the rest of the line, UTF-8
//   wait MS                                   moves the virtual clock
//   resize W H                                the client area, as a window manager resizes it
//   shot OUT.png                              the client area as it is now, with the popup
//                                             windows over it (menus, hints)
//
// Blank lines and lines starting with # are skipped.
struct ScriptCommand {
    enum Kind { Move, Click, DblClick, Down, Up, Key, KeyDown, KeyUp, Type, Clipboard, Wait, Resize, Shot };
    Kind kind = Move;
    int line = 0;
    int x = 0, y = 0;
    int button = 1;         // 1 left, 3 right (the driver's numbering)
    unsigned vk = 0;
    unsigned shift = 0;     // MK_SHIFT | MK_CONTROL | DRIVER_ALT
    int ms = 0;
    std::string text;       // Windows-1252 for type and clipboard; a path for shot
};

// Throws Exception "line N: ..." for the first bad line.
std::vector<ScriptCommand> ParseScript(std::string_view script);
// The virtual key of a key name (case ignored), or 0.
unsigned KeyNameToVk(std::string_view name);

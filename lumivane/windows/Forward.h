#pragma once
#include "lumivane/gfx/Forward.h"

// The window system's type names, for headers that only hold, pass or return them (the drawing
// layer's come with them).

namespace lumivane {

typedef struct HWND__* HWND;
class EditEngine;
class Driver;

}  // namespace lumivane

#pragma once
#include "lumivane/framework/ControlTypes.h"
#include "lumivane/framework/Events.h"
#include "lumivane/framework/Object.h"

namespace lumivane {

// Mouse and key events of controls.
struct TMouseEvent : TEvent<TObject*, TMouseButton, TShiftState, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Button, Shift, X, Y";
};
struct TMouseMoveEvent : TEvent<TObject*, TShiftState, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Shift, X, Y";
};
struct TKeyEvent : TEvent<TObject*, WORD&, TShiftState> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Key, Shift";
};
// Key: the typed character, a Unicode code point.
struct TKeyPressEvent : TEvent<TObject*, char32_t&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Key";
};

}  // namespace lumivane

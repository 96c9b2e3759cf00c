#pragma once
#include <exception>
#include <new>
#include <utility>

#include "lumivane/framework/Control.h"

// Calling a user's event handler from a control, and what becomes of what it throws.
//
// An Exception, or any other std::exception, thrown by a handler is the handler's failure. A
// control may show it (the tri-state image), drop it (the image button drops an Exception; the
// image panel drops each child's), or pass it on after its own handling (the edits); whatever a
// control passes on reaches TApplication::HandleException, which shows it and lets the loop go
// on. Running out of memory (std::bad_alloc) and throws of other types are not failures a
// program can go on from: no control drops them.

namespace lumivane {

// Runs `handler`; then, whether or not it threw, runs `finish` if `control` still lives (the
// handler may have freed it); then passes on what the handler threw.
template <class Handler, class Finish>
void CallHandlerThen(const TControl* control, Handler&& handler, Finish&& finish) {
    TControl::TWatch alive(control);
    std::exception_ptr raised;
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        raised = std::current_exception();
    }
    if (alive.Alive()) std::forward<Finish>(finish)();
    if (raised) std::rethrow_exception(raised);
}

// Runs `handler` and drops the Exception or std::exception it throws; false when it threw one.
// Out of memory and throws of other types pass on.
template <class Handler>
bool CallHandlerDropping(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace lumivane

// The wait (the display, watched descriptors and the system's news, no polling) and the
// translation of X events into the window system's input.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <climits>

#include "lumivane/windows/Messages.h"

namespace lumivane {

namespace x11 {

unsigned ShiftState(unsigned state) {
    unsigned s = 0;
    if (state & ShiftMask) s |= MK_SHIFT;
    if (state & ControlMask) s |= MK_CONTROL;
    if (state & Mod1Mask) s |= DRIVER_ALT;
    return s;
}

void X11Driver::WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) {
    const size_t before = out.size();
    for (;;) {
        FSystem.ReapChildren();
        if (!FQueued.empty()) {
            out.insert(out.end(), FQueued.begin(), FQueued.end());
            FQueued.clear();
        }
        Drain(out);
        for (int fd : FReadable) {
            DriverEvent e;
            e.type = DriverEvent::Readable;
            e.x = fd;
            out.push_back(e);
        }
        FReadable.clear();
        if (FSystem.TakeTerminateRequest()) {
            DriverEvent e;
            e.type = DriverEvent::Terminate;
            out.push_back(e);
        }
        if (out.size() > before) return;
        if (FKeymap == Keymap::Wanted) {
            // Nothing else to do: fetch the keyboard map now (one round trip), then look again.
            FKeymap = Keymap::Fetched;
            int minCode = 8, maxCode = 255;
            XDisplayKeycodes(FDisplay, &minCode, &maxCode);
            XkbKeycodeToKeysym(FDisplay, static_cast<KeyCode>(minCode), 0, 0);
            continue;
        }
        int timeout = -1;
        if (deadline >= 0) {
            const int64_t left = deadline - Now();
            if (left <= 0) return;
            timeout = static_cast<int>(std::min<int64_t>(left, INT_MAX));
        }
        PollDisplay(timeout);
        if (deadline >= 0 && Now() >= deadline && XPending(FDisplay) == 0) {
            FSystem.ReapChildren();
            return;
        }
    }
}

// Sleeps until the display has data, a child we started ends, or the timeout (ms, -1: none).
void X11Driver::PollDisplay(int timeoutMs) {
    XFlush(FDisplay);
    FSystem.WaitingForInput();
    std::vector<pollfd> fds;
    fds.push_back({ConnectionNumber(FDisplay), POLLIN, 0});
    FSystem.AppendWakeFds(fds);
    const size_t watchedFrom = fds.size();
    for (int fd : FWatched) fds.push_back({fd, POLLIN, 0});
    ++FWaitCount;
    const int r = poll(fds.data(), fds.size(), timeoutMs);
    if (r < 0) return; // EINTR: the caller looks again
    const short bad = POLLHUP | POLLERR | POLLNVAL;
    if ((fds[0].revents & bad) && !(fds[0].revents & POLLIN)) ConnectionLost();
    // A watched fd is reported once (at its end or on an error too) and left alone until asked
    // for again: the loop would otherwise spin on data nobody has read yet.
    for (size_t i = watchedFrom; i < fds.size(); ++i)
        if (fds[i].revents) {
            FReadable.push_back(fds[i].fd);
            std::erase(FWatched, fds[i].fd);
        }
}

void X11Driver::Drain(std::vector<DriverEvent>& out) {
    while (XPending(FDisplay) > 0) {
        XEvent ev;
        XNextEvent(FDisplay, &ev);
        if (FIM && XFilterEvent(&ev, None)) continue; // the input method's
        Translate(ev, out);
    }
}

bool X11Driver::WaitForEvent(XEvent& found, const std::function<bool(const XEvent&)>& match,
                             int64_t deadline) {
    for (;;) {
        while (XPending(FDisplay) > 0) {
            XEvent ev;
            XNextEvent(FDisplay, &ev);
            if (match(ev)) {
                found = ev;
                return true;
            }
            if (FIM && XFilterEvent(&ev, None)) continue;
            Translate(ev, FQueued); // input arriving meanwhile is kept, in order
        }
        const int64_t left = deadline - Now();
        if (left <= 0) return false;
        PollDisplay(static_cast<int>(left));
        FSystem.ReapChildren();
    }
}

void X11Driver::Translate(XEvent& ev, std::vector<DriverEvent>& out) {
    switch (ev.type) {
    case SelectionRequest: AnswerSelectionRequest(ev.xselectionrequest); return;
    case SelectionClear: SelectionCleared(ev.xselectionclear); return;
    case MappingNotify:
        if (ev.xmapping.request == MappingKeyboard || ev.xmapping.request == MappingModifier)
            XRefreshKeyboardMapping(&ev.xmapping);
        return;
    case SelectionNotify: IncomingAnswered(ev.xselection); return;
    case PropertyNotify:
        FLastTime = ev.xproperty.time;
        if (ev.xproperty.window == FRoot) {
            if (ev.xproperty.atom == XA_RESOURCE_MANAGER) ResourcesChanged(out);
        } else if (ev.xproperty.window != FHelper)
            ContinueTransfer(ev.xproperty);
        else
            IncomingPiece(ev.xproperty);
        return;
    default: break;
    }
    if (ev.type == FShmCompletion) {
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(ev);
        if (TopLevel* w = Find(done.drawable)) w->shmBusy = false;
        return;
    }
    TopLevel* w = Find(ev.xany.window);
    if (!w) return;
    DriverEvent e;
    e.window = w->xid;
    switch (ev.type) {
    case MotionNotify:
        FLastTime = ev.xmotion.time;
        e.type = DriverEvent::PointerMove;
        e.x = ev.xmotion.x;
        e.y = ev.xmotion.y;
        e.shift = ShiftState(ev.xmotion.state);
        // Only the latest position of a run of moves matters.
        if (!out.empty() && out.back().type == DriverEvent::PointerMove && out.back().window == e.window) {
            out.back() = e;
            return;
        }
        break;
    case ButtonPress:
    case ButtonRelease: {
        FLastTime = ev.xbutton.time;
        const unsigned b = ev.xbutton.button;
        e.x = ev.xbutton.x;
        e.y = ev.xbutton.y;
        e.shift = ShiftState(ev.xbutton.state);
        if (b == Button4 || b == Button5) {
            if (ev.type == ButtonRelease) return; // a wheel step is one press
            e.type = DriverEvent::Wheel;
            e.delta = b == Button4 ? 1 : -1;
        } else if (b >= Button1 && b <= Button3) {
            e.type = ev.type == ButtonPress ? DriverEvent::ButtonDown : DriverEvent::ButtonUp;
            e.button = static_cast<int>(b);
        } else {
            return;
        }
        break;
    }
    case EnterNotify:
    case LeaveNotify:
        FLastTime = ev.xcrossing.time;
        if (ev.xcrossing.detail == NotifyInferior) return;
        e.type = ev.type == EnterNotify ? DriverEvent::PointerEnter : DriverEvent::PointerLeave;
        e.x = ev.xcrossing.x;
        e.y = ev.xcrossing.y;
        e.shift = ShiftState(ev.xcrossing.state);
        break;
    case KeyPress:
    case KeyRelease: TranslateKey(*w, ev.xkey, out); return;
    case FocusIn:
    case FocusOut:
        // Grabs by the window manager (a move, a key binding) are not focus changes.
        if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) return;
        if (ev.xfocus.detail == NotifyPointer) return;
        TranslateFocus(*w, ev.xfocus);
        e.type = ev.type == FocusIn ? kEvFocusIn : kEvFocusOut;
        break;
    case Expose: TranslateExpose(*w, ev.xexpose, out); return;
    case ConfigureNotify: TranslateConfigure(*w, ev.xconfigure, out); return;
    case ReparentNotify: w->reparented = ev.xreparent.parent != FRoot; return;
    case ClientMessage:
        if (ev.xclient.message_type != FAtoms[A_WM_PROTOCOLS] || ev.xclient.format != 32) return;
        if (static_cast<Atom>(ev.xclient.data.l[0]) == FAtoms[A_WM_DELETE_WINDOW]) {
            e.type = DriverEvent::CloseRequest;
            break;
        }
        if (static_cast<Atom>(ev.xclient.data.l[0]) == FAtoms[A_NET_WM_PING]) {
            // "Still alive": the window manager's ping goes back to the root.
            XEvent reply = ev;
            reply.xclient.window = FRoot;
            XSendEvent(FDisplay, FRoot, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
        }
        return;
    default: return;
    }
    out.push_back(e);
}

void X11Driver::TranslateExpose(TopLevel& w, const XExposeEvent& ev, std::vector<DriverEvent>& out) {
    const TRect exposed{ev.x, ev.y, ev.x + ev.width, ev.y + ev.height};
    TRect kept;
    if (w.hasPixels && w.image) {
        kept = exposed.Intersect({0, 0, w.image->width, w.image->height});
        if (!kept.IsEmpty()) {
            if (w.shmBusy) {
                XSync(FDisplay, False);
                w.shmBusy = false;
            }
            PutImage(w, kept, true);
        }
    }
    if (kept == exposed) return;
    // Parts we hold no pixels for: the window system presents them. One band per side of the
    // part we repainted, or the whole rectangle when we had nothing.
    auto report = [&](const TRect& r) {
        if (r.IsEmpty()) return;
        DriverEvent e;
        e.type = kEvExpose;
        e.window = w.xid;
        e.rect = r;
        out.push_back(e);
    };
    if (kept.IsEmpty()) {
        report(exposed);
        return;
    }
    report({exposed.Left, exposed.Top, exposed.Right, kept.Top});
    report({exposed.Left, kept.Bottom, exposed.Right, exposed.Bottom});
    report({exposed.Left, kept.Top, kept.Left, kept.Bottom});
    report({kept.Right, kept.Top, exposed.Right, kept.Bottom});
}

void X11Driver::TranslateConfigure(TopLevel& w, const XConfigureEvent& ev, std::vector<DriverEvent>& out) {
    if (ev.window != w.xid) return;
    if (ev.width != w.width || ev.height != w.height) {
        w.width = ev.width;
        w.height = ev.height;
        DriverEvent e;
        e.type = DriverEvent::Resize;
        e.window = w.xid;
        e.width = ev.width;
        e.height = ev.height;
        out.push_back(e);
    }
    // A real event's place is relative to the parent. In a window manager's frame that is the
    // frame, which may still be on its way (a new window's frame starts at 0, 0); the manager
    // reports the window's place on the screen with a synthetic event whenever it moves the frame.
    if (!ev.send_event && w.reparented) return;
    const TPoint origin{ev.x, ev.y};
    if (origin.x != w.x || origin.y != w.y) {
        w.x = origin.x;
        w.y = origin.y;
        DriverEvent e;
        e.type = DriverEvent::Move;
        e.window = w.xid;
        e.x = origin.x;
        e.y = origin.y;
        out.push_back(e);
    }
}

void X11Driver::WatchReadable(int fd, bool watch) {
    std::erase(FWatched, fd);
    std::erase(FReadable, fd);
    if (watch) FWatched.push_back(fd);
}

} // namespace x11

}  // namespace lumivane

// Keys and the input method: key codes, auto-repeat, characters composed by the input method
// where the focus takes typed text and straight from the keysym elsewhere.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <algorithm>

#include "lumivane/drivers/x11/X11Keys.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

// Opening an input method loads Xlib's locale support and reads the locale's whole compose table
// (most of a megabyte, several milliseconds): a window whose focus never takes typed text does
// without, and keys there give Latin-1 characters straight from their keysyms. The first edit to
// get the focus opens it, before any key is typed there.
void X11Driver::OpenInputMethod() {
    if (FIMOpened) return;
    FIMOpened = true;
    EnsureCtypeLocale();
    if (!XSupportsLocale()) return;
    XSetLocaleModifiers("");
    FIM = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    if (!FIM) {
        // XMODIFIERS names a server that is not running: use Xlib's own.
        XSetLocaleModifiers("@im=none");
        FIM = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    }
}

void X11Driver::SetTextInput(DriverWindowId id, bool on) {
    TopLevel* w = Find(id);
    if (!w || w->kind == TopLevelKind::Popup) return;
    if (on) {
        OpenInputMethod();
        CreateInputContext(*w);
        return;
    }
    if (!w->ic) return;
    // A compose sequence left half typed is dropped with the context.
    XDestroyIC(w->ic);
    w->ic = nullptr;
    XSelectInput(FDisplay, w->xid, w->eventMask);
}

void X11Driver::CreateInputContext(TopLevel& w) {
    if (!FIM || w.ic) return;
    w.ic = XCreateIC(FIM, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                     w.xid, XNFocusWindow, w.xid, nullptr);
    if (!w.ic) return;
    // The input method may need events of its own on our window.
    long imMask = 0;
    if (!XGetICValues(w.ic, XNFilterEvents, &imMask, nullptr) && (imMask & ~w.eventMask))
        XSelectInput(FDisplay, w.xid, w.eventMask | imMask);
    if (w.focused) XSetICFocus(w.ic);
}

void X11Driver::TranslateFocus(TopLevel& w, const XFocusChangeEvent& ev) {
    w.focused = ev.type == FocusIn;
    if (ev.type == FocusIn) {
        if (w.ic) XSetICFocus(w.ic);
        if (FKeymap == Keymap::NotWanted) FKeymap = Keymap::Wanted;
    } else {
        if (w.ic) XUnsetICFocus(w.ic);
        FKeysDown.reset(); // their releases go elsewhere now
    }
}

void X11Driver::TranslateKey(TopLevel& w, XKeyEvent& ev, std::vector<DriverEvent>& out) {
    FLastTime = ev.time;
    const unsigned code = ev.keycode & 0xFF;
    // The key's code does not depend on Shift: level 0, except the keypad under Num Lock.
    KeySym sym = XLookupKeysym(&ev, 0);
    if (IsKeypadKey(sym)) {
        const KeySym shifted = XLookupKeysym(&ev, 1);
        if ((ev.state & Mod2Mask) && IsKeypadKey(shifted)) sym = shifted;
    }
    DriverEvent e;
    e.window = w.xid;
    e.vk = KeysymToVk(sym);
    e.shift = ShiftState(ev.state);
    if (ev.type == KeyRelease) {
        // Without detectable auto-repeat a held key sends release/press pairs with one time.
        if (!FDetectableRepeat && XEventsQueued(FDisplay, QueuedAfterReading)) {
            XEvent next;
            XPeekEvent(FDisplay, &next);
            if (next.type == KeyPress && next.xkey.keycode == ev.keycode && next.xkey.time == ev.time)
                return;
        }
        FKeysDown.reset(code);
        e.type = DriverEvent::KeyUp;
        if (e.vk) out.push_back(e);
        return;
    }
    e.type = DriverEvent::KeyDown;
    e.repeat = FKeysDown.test(code);
    FKeysDown.set(code);
    if (e.vk) out.push_back(e);

    std::u32string chars;
    KeySym charSym = NoSymbol;
    if (w.ic) {
        // UTF-8 from the input method: composed characters, and whole strings it commits.
        char buf[64];
        Status status = 0;
        std::string utf8;
        int n = Xutf8LookupString(w.ic, &ev, buf, sizeof buf, &charSym, &status);
        if (status == XBufferOverflow && n > 0 && n <= 4096) {
            std::string big(static_cast<size_t>(n), '\0');
            n = Xutf8LookupString(w.ic, &ev, big.data(), n, &charSym, &status);
            if (status == XLookupChars || status == XLookupBoth) utf8 = big.substr(0, static_cast<size_t>(std::max(n, 0)));
        } else if ((status == XLookupChars || status == XLookupBoth) && n > 0) {
            utf8.assign(buf, std::min<size_t>(static_cast<size_t>(n), sizeof buf));
        }
        for (size_t i = 0; i < utf8.size();) chars += NextChar(utf8, i);
    } else {
        // Not XLookupString: it loads Xlib's locale support (its alias and locale tables) at the
        // first key, which a window of buttons pays for on the Return that closes it.
        unsigned mods = 0;
        if (XkbLookupKeySym(FDisplay, static_cast<KeyCode>(ev.keycode), ev.state, &mods, &charSym)) {
            const char32_t c = KeysymToChar(charSym, ev.state & ControlMask);
            if (c) chars += c;
        }
    }
    for (char32_t c : chars) {
        // Delete produces DEL (0x7F) in X but no character for the window system; NUL is none.
        if (c == 0 || (c == 0x7F && (charSym == XK_Delete || charSym == XK_KP_Delete))) continue;
        DriverEvent ch = e;
        ch.type = DriverEvent::Char;
        ch.vk = 0;
        ch.ch = c;
        out.push_back(ch);
    }
}

} // namespace x11

}  // namespace lumivane

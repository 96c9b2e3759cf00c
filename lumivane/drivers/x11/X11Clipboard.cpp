// The CLIPBOARD selection: owning it and answering requests for our text, and reading another
// program's text, in one piece or by incremental (INCR) transfer.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/Xatom.h>

#include <algorithm>

#include "lumivane/drivers/x11/X11Text.h"

namespace lumivane {

namespace x11 {

namespace {
// Clipboard text we accept from other programs; more is cut off.
constexpr size_t kClipboardCap = 1 << 20;
constexpr int kClipboardTimeoutMs = 1000;
} // namespace

Time X11Driver::ServerTime() {
    if (FLastTime != CurrentTime) return FLastTime;
    // No event has told us the time yet: an empty append makes the server stamp one.
    XChangeProperty(FDisplay, FHelper, FAtoms[A_LUMI_TIME], XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent ev;
    const Atom prop = FAtoms[A_LUMI_TIME];
    const Window helper = FHelper;
    if (WaitForEvent(ev, [&](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == helper && e.xproperty.atom == prop;
        }, Now() + kClipboardTimeoutMs))
        FLastTime = ev.xproperty.time;
    return FLastTime;
}

void X11Driver::SetClipboardText(const std::string& cp1252) {
    FClipText = cp1252;
    FClipTime = ServerTime();
    XSetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD], FHelper, FClipTime);
    FOwnClipboard = XGetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD]) == FHelper;
    if (!FOwnClipboard) FClipText.clear();
}

void X11Driver::AnswerSelectionRequest(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = FDisplay;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    reply.property = None;
    // Old clients leave the property out: the target's name is used then.
    const Atom prop = req.property != None ? req.property : req.target;
    const bool ours = req.selection == FAtoms[A_CLIPBOARD] && req.owner == FHelper && FOwnClipboard &&
                      (req.time == CurrentTime || FClipTime == CurrentTime || req.time >= FClipTime);
    ErrorTrap trap(FDisplay); // the requestor may be gone already
    if (ours) {
        const Atom target = req.target;
        const long maxBytes = (XExtendedMaxRequestSize(FDisplay) ? XExtendedMaxRequestSize(FDisplay)
                                                                : XMaxRequestSize(FDisplay)) * 4 - 256;
        if (target == FAtoms[A_TARGETS]) {
            const Atom targets[] = {FAtoms[A_TARGETS], FAtoms[A_TIMESTAMP], FAtoms[A_UTF8_STRING],
                                    XA_STRING, FAtoms[A_TEXT]};
            XChangeProperty(FDisplay, req.requestor, prop, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 5);
            reply.property = prop;
        } else if (target == FAtoms[A_TIMESTAMP]) {
            const long t = static_cast<long>(FClipTime);
            XChangeProperty(FDisplay, req.requestor, prop, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&t), 1);
            reply.property = prop;
        } else if (target == FAtoms[A_UTF8_STRING] || target == FAtoms[A_TEXT] || target == XA_STRING) {
            const bool latin1 = target == XA_STRING;
            const std::string data = latin1 ? Cp1252ToLatin1(FClipText) : Cp1252ToUtf8(FClipText);
            // Texts beyond one request would need the incremental protocol; ours never get there.
            if (static_cast<long>(data.size()) <= maxBytes) {
                XChangeProperty(FDisplay, req.requestor, prop, latin1 ? XA_STRING : FAtoms[A_UTF8_STRING],
                                8, PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<int>(data.size()));
                reply.property = prop;
            }
        }
    }
    XSendEvent(FDisplay, req.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    trap.Ok();
}

void X11Driver::SelectionCleared(const XSelectionClearEvent& ev) {
    if (ev.selection == FAtoms[A_CLIPBOARD] && ev.window == FHelper) {
        FOwnClipboard = false;
        FClipText.clear();
    }
}

bool X11Driver::ReadProperty(Atom prop, std::string& bytes, Atom& type, int& format) {
    bytes.clear();
    unsigned char* data = nullptr;
    unsigned long items = 0, after = 0;
    // Ask for at most the cap (in 32-bit units); anything beyond is cut off.
    const long units = static_cast<long>(kClipboardCap / 4 + 1);
    if (XGetWindowProperty(FDisplay, FHelper, prop, 0, units, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        type = None;
        return false;
    }
    if (format == 8 && data) bytes.assign(reinterpret_cast<char*>(data), std::min<size_t>(items, kClipboardCap));
    if (data) XFree(data);
    if (after) XDeleteProperty(FDisplay, FHelper, prop); // the owner waits for the deletion
    return type != None;
}

bool X11Driver::ConvertClipboard(Atom target, std::string& bytes, Atom& type) {
    const Atom prop = FAtoms[A_LUMI_CLIP];
    const Window helper = FHelper;
    XDeleteProperty(FDisplay, helper, prop);
    XConvertSelection(FDisplay, FAtoms[A_CLIPBOARD], target, prop, helper, ServerTime());
    XEvent ev;
    if (!WaitForEvent(ev, [&](const XEvent& e) {
            return e.type == SelectionNotify && e.xselection.requestor == helper;
        }, Now() + kClipboardTimeoutMs))
        return false;
    if (ev.xselection.property == None) return false;
    int format = 0;
    if (!ReadProperty(prop, bytes, type, format)) return false;
    if (type != FAtoms[A_INCR]) return format == 8;

    // Incremental transfer: deleting the INCR property (done by the read) asks for the first
    // piece; each piece arrives as a new value; an empty one ends it.
    std::string piece;
    bytes.clear();
    Atom pieceType = None;
    for (;;) {
        if (!WaitForEvent(ev, [&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == helper &&
                       e.xproperty.atom == prop && e.xproperty.state == PropertyNewValue;
            }, Now() + kClipboardTimeoutMs))
            return false;
        if (!ReadProperty(prop, piece, pieceType, format)) return false;
        if (piece.empty()) break;
        type = pieceType;
        if (bytes.size() < kClipboardCap) bytes.append(piece, 0, kClipboardCap - bytes.size());
    }
    return true;
}

bool X11Driver::GetClipboardText(std::string& cp1252) {
    // Asked directly: a SelectionClear may still be waiting in the queue.
    const Window owner = XGetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD]);
    if (FOwnClipboard && owner == FHelper) {
        cp1252 = FClipText;
        return true;
    }
    FOwnClipboard = false;
    FClipText.clear();
    if (owner == None) return false;
    std::string bytes;
    Atom type = None;
    if (ConvertClipboard(FAtoms[A_UTF8_STRING], bytes, type) && type == FAtoms[A_UTF8_STRING]) {
        cp1252 = Utf8ToCp1252(bytes);
        return true;
    }
    if (ConvertClipboard(XA_STRING, bytes, type) && type == XA_STRING) {
        cp1252 = Latin1ToCp1252(bytes);
        return true;
    }
    return false;
}

} // namespace x11

}  // namespace lumivane

// The CLIPBOARD and PRIMARY selections: owning them and answering requests for our text (large
// texts by incremental, INCR, transfer, carried along by the event loop), and reading another
// program's text, in one piece or by INCR. Text is UTF-8; STRING (Latin-1) is offered only for
// text that Latin-1 holds. While another program's text comes, the window system keeps handling
// input and painting (the wait pump); a transfer that stalls or runs too long is given up.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <optional>

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

namespace {
// Text we accept from other programs; more is cut off (at a character boundary).
constexpr size_t kSelectionCap = 4u << 20;
constexpr int kSelectionTimeoutMs = 1000;
// Reading another program's text: given up when no piece came for this long, or when the whole
// took longer than this, however steadily it came.
constexpr int64_t kIncomingStallMs = 2000;
constexpr int64_t kIncomingOverallMs = 10000;
// How long one look at the display sleeps while the pump has nothing to do (timers stay close).
constexpr int kIncomingPollMs = 50;
// Texts above this go by INCR, in pieces of this size (well under any server's request limit).
constexpr size_t kIncrPiece = 256u << 10;
// An outgoing INCR transfer whose requestor took no piece for this long is dropped.
constexpr int64_t kIncrStaleMs = 10000;
} // namespace

Atom X11Driver::SelectionAtom(TSelection which) const {
    return which == TSelection::Primary ? XA_PRIMARY : FAtoms[A_CLIPBOARD];
}

Time X11Driver::ServerTime() {
    if (FLastTime != CurrentTime) return FLastTime;
    // No event has told us the time yet: an empty append makes the server stamp one.
    XChangeProperty(FDisplay, FHelper, FAtoms[A_LUMI_TIME], XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent ev;
    const Atom prop = FAtoms[A_LUMI_TIME];
    const Window helper = FHelper;
    if (WaitForEvent(ev, [&](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == helper && e.xproperty.atom == prop;
        }, Now() + kSelectionTimeoutMs))
        FLastTime = ev.xproperty.time;
    return FLastTime;
}

void X11Driver::SetSelectionText(TSelection which, const std::string& utf8) {
    OwnedSelection& s = FSelections[static_cast<int>(which)];
    s.text = ValidUtf8(utf8);
    // The primary selection changes with every drag of a selection: while it is still ours
    // (no SelectionClear came), only the text changes.
    if (which == TSelection::Primary && s.own) return;
    s.time = ServerTime();
    const Atom atom = SelectionAtom(which);
    XSetSelectionOwner(FDisplay, atom, FHelper, s.time);
    s.own = XGetSelectionOwner(FDisplay, atom) == FHelper;
    if (!s.own) s.text.clear();
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
    const OwnedSelection* sel = nullptr;
    if (req.selection == FAtoms[A_CLIPBOARD]) sel = &FSelections[static_cast<int>(TSelection::Clipboard)];
    if (req.selection == XA_PRIMARY) sel = &FSelections[static_cast<int>(TSelection::Primary)];
    const bool ours = sel && req.owner == FHelper && sel->own &&
                      (req.time == CurrentTime || sel->time == CurrentTime || req.time >= sel->time);
    ErrorTrap trap(FDisplay); // the requestor may be gone already
    if (ours) {
        const Atom target = req.target;
        std::string latin1;
        const bool fitsLatin1 = Utf8ToLatin1(sel->text, latin1);
        if (target == FAtoms[A_TARGETS]) {
            const Atom targets[] = {FAtoms[A_TARGETS], FAtoms[A_TIMESTAMP], FAtoms[A_UTF8_STRING], FAtoms[A_TEXT],
                                    XA_STRING};
            XChangeProperty(FDisplay, req.requestor, prop, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), fitsLatin1 ? 5 : 4);
            reply.property = prop;
        } else if (target == FAtoms[A_TIMESTAMP]) {
            const long t = static_cast<long>(sel->time);
            XChangeProperty(FDisplay, req.requestor, prop, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&t), 1);
            reply.property = prop;
        } else if (target == FAtoms[A_UTF8_STRING] || target == FAtoms[A_TEXT]) {
            if (SendText(req.requestor, prop, FAtoms[A_UTF8_STRING], sel->text)) reply.property = prop;
        } else if (target == XA_STRING && fitsLatin1) {
            if (SendText(req.requestor, prop, XA_STRING, latin1)) reply.property = prop;
        }
    }
    XSendEvent(FDisplay, req.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    trap.Ok();
}

bool X11Driver::SendText(Window requestor, Atom prop, Atom type, const std::string& data) {
    const long maxRequest = XExtendedMaxRequestSize(FDisplay) ? XExtendedMaxRequestSize(FDisplay) : XMaxRequestSize(FDisplay);
    const size_t piece = std::min(kIncrPiece, static_cast<size_t>(maxRequest) * 4 - 256);
    if (data.size() <= piece) {
        XChangeProperty(FDisplay, requestor, prop, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
        return true;
    }
    // INCR: the size goes first; each time the requestor deletes the property the next piece
    // follows (ContinueTransfer), and an empty piece ends it. The loop carries it along.
    const int64_t now = Now();
    std::erase_if(FTransfers, [&](const OutgoingTransfer& t) {
        return (t.requestor == requestor && t.property == prop) || now - t.lastStep > kIncrStaleMs;
    });
    XSelectInput(FDisplay, requestor, PropertyChangeMask);
    const long size = static_cast<long>(data.size());
    XChangeProperty(FDisplay, requestor, prop, FAtoms[A_INCR], 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    FTransfers.push_back({requestor, prop, type, data, 0, piece, now});
    return true;
}

void X11Driver::ContinueTransfer(const XPropertyEvent& ev) {
    if (ev.state != PropertyDelete) return;
    auto it = std::find_if(FTransfers.begin(), FTransfers.end(), [&](const OutgoingTransfer& t) {
        return t.requestor == ev.window && t.property == ev.atom;
    });
    if (it == FTransfers.end()) return;
    OutgoingTransfer& t = *it;
    const size_t n = std::min(t.piece, t.data.size() - t.sent);
    ErrorTrap trap(FDisplay); // the requestor may have gone
    XChangeProperty(FDisplay, t.requestor, t.property, t.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(t.data.data() + t.sent), static_cast<int>(n));
    t.sent += n;
    t.lastStep = Now();
    const bool done = n == 0; // the empty piece that ends the transfer has just gone out
    if (done) XSelectInput(FDisplay, t.requestor, NoEventMask);
    if (!trap.Ok() || done) FTransfers.erase(it);
}

void X11Driver::SelectionCleared(const XSelectionClearEvent& ev) {
    if (ev.window != FHelper) return;
    for (TSelection which : {TSelection::Clipboard, TSelection::Primary}) {
        if (ev.selection != SelectionAtom(which)) continue;
        OwnedSelection& s = FSelections[static_cast<int>(which)];
        s.own = false;
        s.text.clear();
    }
}

bool X11Driver::ReadProperty(Atom prop, std::string& bytes, Atom& type, int& format) {
    bytes.clear();
    unsigned char* data = nullptr;
    unsigned long items = 0, after = 0;
    // Ask for at most the cap (in 32-bit units) and keep one byte more, which tells a text
    // longer than the cap; anything beyond is cut off.
    const long units = static_cast<long>(kSelectionCap / 4 + 1);
    if (XGetWindowProperty(FDisplay, FHelper, prop, 0, units, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        type = None;
        return false;
    }
    if (format == 8 && data) bytes.assign(reinterpret_cast<char*>(data), std::min<size_t>(items, kSelectionCap + 1));
    if (data) XFree(data);
    if (after) XDeleteProperty(FDisplay, FHelper, prop); // the owner waits for the deletion
    return type != None;
}

// At most 4 KB: an address, not a document.
std::string X11Driver::RootWindowString(const char* property) {
    const Atom prop = XInternAtom(FDisplay, property, True);
    if (prop == None) return {};
    unsigned char* data = nullptr;
    unsigned long items = 0, after = 0;
    Atom type = None;
    int format = 0;
    std::string out;
    if (XGetWindowProperty(FDisplay, FRoot, prop, 0, 1024, False, AnyPropertyType, &type, &format, &items, &after,
                           &data) == Success &&
        format == 8 && data && (type == XA_STRING || type == FAtoms[A_UTF8_STRING]))
        out.assign(reinterpret_cast<char*>(data), items);
    if (data) XFree(data);
    return out;
}

X11Driver::TConversion X11Driver::ConvertSelection(Atom selection, Atom target, std::string& bytes, Atom& type) {
    const Atom prop = FAtoms[A_LUMI_CLIP];
    XDeleteProperty(FDisplay, FHelper, prop);
    XConvertSelection(FDisplay, selection, target, prop, FHelper, ServerTime());
    const int64_t start = Now();
    FIncoming.emplace(Incoming{target, None, false, false,
                               IncomingText(kSelectionCap, start, kIncomingStallMs, kIncomingOverallMs)});
    // Whatever happens during the wait (a handler that throws included), the next read starts
    // afresh.
    struct Forget {
        std::optional<Incoming>& incoming;
        ~Forget() { incoming.reset(); }
    } forget{FIncoming};
    // The owner's first answer is waited for as long as any other request's.
    const int64_t answerBy = start + kSelectionTimeoutMs;
    for (;;) {
        Incoming& in = *FIncoming;
        const int64_t now = Now();
        if (!in.answered && now >= answerBy) return TConversion::GaveUp;
        if (!in.text.StillWaiting(now)) break;
        // What the display has already sent, then what the window system has queued (which
        // looks at the display again); then sleep until more comes.
        while (XPending(FDisplay) > 0 && in.text.State() == IncomingText::TState::Waiting) {
            XEvent ev;
            XNextEvent(FDisplay, &ev);
            if (FIM && XFilterEvent(&ev, None)) continue;
            Translate(ev, FQueued);
        }
        if (in.text.State() != IncomingText::TState::Waiting) break;
        if (!PumpWhileWaiting()) return TConversion::GaveUp;
        if (in.text.State() != IncomingText::TState::Waiting) break;
        const int64_t until = std::min(in.answered ? in.text.Deadline() : answerBy, Now() + kIncomingPollMs);
        PollDisplay(static_cast<int>(std::max<int64_t>(0, until - Now())));
        FSystem.ReapChildren();
    }
    const Incoming& in = *FIncoming;
    if (in.text.State() != IncomingText::TState::Done) return in.refused ? TConversion::Refused : TConversion::GaveUp;
    bytes = in.text.Text();
    type = in.type;
    return TConversion::Got;
}

// The owner's answer to our conversion: the text itself, or the start of an INCR transfer.
void X11Driver::IncomingAnswered(const XSelectionEvent& ev) {
    if (!FIncoming || FIncoming->answered || ev.requestor != FHelper || ev.target != FIncoming->target) return;
    Incoming& in = *FIncoming;
    in.answered = true;
    int format = 0;
    std::string data;
    if (ev.property == None || !ReadProperty(FAtoms[A_LUMI_CLIP], data, in.type, format)) {
        in.refused = true;
        in.text.Fail();
        return;
    }
    // Deleting the INCR property (done by the read) asks for the first piece.
    if (in.type == FAtoms[A_INCR]) {
        in.type = None;
        return;
    }
    if (format != 8) {
        in.refused = true;
        in.text.Fail();
        return;
    }
    in.text.Add(data, Now());
    in.text.Add({}, Now());
}

// A piece of an INCR transfer: each arrives as a new value of the property; an empty one ends it.
void X11Driver::IncomingPiece(const XPropertyEvent& ev) {
    if (!FIncoming || !FIncoming->answered || ev.atom != FAtoms[A_LUMI_CLIP] || ev.state != PropertyNewValue) return;
    Incoming& in = *FIncoming;
    if (in.text.State() != IncomingText::TState::Waiting) return;
    std::string piece;
    Atom pieceType = None;
    int format = 0;
    if (!ReadProperty(FAtoms[A_LUMI_CLIP], piece, pieceType, format)) {
        in.text.Fail();
        return;
    }
    if (!piece.empty()) in.type = pieceType;
    in.text.Add(piece, Now());
}

bool X11Driver::GetSelectionText(TSelection which, std::string& utf8) {
    OwnedSelection& s = FSelections[static_cast<int>(which)];
    const Atom atom = SelectionAtom(which);
    // Asked directly: a SelectionClear may still be waiting in the queue.
    const Window owner = XGetSelectionOwner(FDisplay, atom);
    if (s.own && owner == FHelper) {
        utf8 = s.text;
        return true;
    }
    s.own = false;
    s.text.clear();
    if (owner == None) return false;
    // One read at a time: a paste asked for while another is waited for (from a handler the
    // wait pump ran) gets nothing.
    if (FIncoming) return false;
    std::string bytes;
    Atom type = None;
    const TConversion asUtf8 = ConvertSelection(atom, FAtoms[A_UTF8_STRING], bytes, type);
    if (asUtf8 == TConversion::Got && type == FAtoms[A_UTF8_STRING]) {
        utf8 = ValidUtf8(bytes);
        return true;
    }
    // An owner that did not send in time is not asked again for another form.
    if (asUtf8 == TConversion::GaveUp) return false;
    if (ConvertSelection(atom, XA_STRING, bytes, type) == TConversion::Got && type == XA_STRING) {
        utf8 = Latin1ToUtf8(bytes);
        return true;
    }
    return false;
}

} // namespace x11

}  // namespace lumivane

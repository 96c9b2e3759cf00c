// Following the desktop's DPI while running: the root window's resources are read again when
// they change, and the windows' size hints are carried to the new scale.
#include <X11/Xatom.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "lumivane/drivers/x11/X11DriverImpl.h"
#include "lumivane/windows/DisplayScale.h"

namespace lumivane {

namespace x11 {

namespace {

// More than any desktop's resources; a property beyond it is read only this far.
constexpr long kMaxResourceBytes = 1 << 20;

std::string RootResources(Display* display, Window root) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, root, XA_RESOURCE_MANAGER, 0, kMaxResourceBytes / 4, False, XA_STRING, &type,
                           &format, &count, &after, &data) == Success &&
        data && type == XA_STRING && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return text;
}

} // namespace

void X11Driver::ResourcesChanged(std::vector<DriverEvent>& out) {
    if (FScaleFixed) return;
    const int scale = ChooseDisplayScale(nullptr, RootResources(FDisplay, FRoot)).scale;
    if (scale == FScale) return;
    // A sizeable window's smallest size was given at the old scale.
    for (auto& [xid, w] : FWindows) {
        if (!w.sizeable || w.kind == TopLevelKind::Popup) continue;
        XSizeHints hints{};
        long supplied = 0;
        if (!XGetWMNormalHints(FDisplay, xid, &hints, &supplied) || !(hints.flags & PMinSize)) continue;
        hints.min_width = std::max(1, hints.min_width * scale / FScale);
        hints.min_height = std::max(1, hints.min_height * scale / FScale);
        XSetWMNormalHints(FDisplay, xid, &hints);
    }
    FScale = scale;
    DriverEvent e;
    e.type = DriverEvent::ScaleChanged;
    out.push_back(e);
}

} // namespace x11

}  // namespace lumivane

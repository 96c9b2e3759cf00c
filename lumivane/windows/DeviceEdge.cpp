#include "lumivane/windows/DeviceEdge.h"

#include <algorithm>
#include <cstdint>

#include "lumivane/base/IntegerDivision.h"
#include "lumivane/windows/DisplayScale.h"

namespace lumivane {

namespace {

constexpr int kMaxIconSide = 1024;

// Device coordinates far out stay ints: the window system keeps sides within MaxWindowSide.
int Times(int v, int n) {
    const int64_t r = int64_t{v} * n;
    return static_cast<int>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

TRect ToDevice(const TRect& r, int n) { return {Times(r.Left, n), Times(r.Top, n), Times(r.Right, n), Times(r.Bottom, n)}; }

TRect ToLogicalOutward(const TRect& r, int n) {
    return {FloorDiv(r.Left, n), FloorDiv(r.Top, n), CeilDiv(r.Right, n), CeilDiv(r.Bottom, n)};
}

int ValidScale(int n) { return std::clamp(n, kMinDisplayScale, kMaxDisplayScale); }

} // namespace

DeviceEdge::DeviceEdge(Driver& device) : FDevice(device), FScale(ValidScale(device.DeviceScale())) {}

DriverWindowId DeviceEdge::CreateTopLevel(const TopLevelSpec& request) {
    TopLevelSpec device = request;
    device.bounds = ToDevice(request.bounds, FScale);
    return FDevice.CreateTopLevel(device);
}

void DeviceEdge::DestroyTopLevel(DriverWindowId id) {
    FIcons.erase(id);
    FDevice.DestroyTopLevel(id);
}

void DeviceEdge::SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) {
    FIcons[id] = Icon{width, height, argb};
    SendIcon(id);
}

void DeviceEdge::SendIcon(DriverWindowId id) {
    auto it = FIcons.find(id);
    if (it == FIcons.end()) return;
    if (FScale == 1) return FDevice.SetIcon(id, it->second.width, it->second.height, it->second.argb);
    const Icon big = ScaledIcon(it->second, FScale);
    FDevice.SetIcon(id, big.width, big.height, big.argb);
}

DeviceEdge::Icon DeviceEdge::ScaledIcon(const Icon& icon, int n) {
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.argb.size() != static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height))
        return icon;
    n = std::clamp(std::min(n, kMaxIconSide / std::max(icon.width, icon.height)), 1, kMaxDisplayScale);
    if (n == 1) return icon;
    Icon out{icon.width * n, icon.height * n, {}};
    out.argb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.argb[static_cast<size_t>(y) * out.width + x] = icon.argb[static_cast<size_t>(y / n) * icon.width + x / n];
    return out;
}

void DeviceEdge::SetBounds(DriverWindowId id, const TRect& bounds) { FDevice.SetBounds(id, ToDevice(bounds, FScale)); }

TPoint DeviceEdge::ClientOrigin(DriverWindowId id) {
    const TPoint p = FDevice.ClientOrigin(id);
    return {FloorDiv(p.x, FScale), FloorDiv(p.y, FScale)};
}

TSize DeviceEdge::ScreenSize() {
    const TSize s = FDevice.ScreenSize();
    return {s.cx / FScale, s.cy / FScale};
}

void DeviceEdge::Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) {
    if (FScale == 1) return FDevice.Present(id, surface, rects);
    std::vector<TRect> device;
    device.reserve(rects.size());
    for (const TRect& r : rects) {
        const TRect d = ToDevice(r, FScale).Intersect(surface.Bounds());
        if (!d.IsEmpty()) device.push_back(d);
    }
    if (!device.empty()) FDevice.Present(id, surface, device);
}

void DeviceEdge::WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) {
    const size_t first = out.size();
    FDevice.WaitEvents(deadline, out);
    for (size_t i = first; i < out.size(); ++i) {
        DriverEvent& e = out[i];
        const int n = FScale;
        switch (e.type) {
        case DriverEvent::PointerMove:
        case DriverEvent::ButtonDown:
        case DriverEvent::ButtonUp:
        case DriverEvent::Wheel:
        case DriverEvent::Move:
            e.x = FloorDiv(e.x, n);
            e.y = FloorDiv(e.y, n);
            break;
        case DriverEvent::Expose: e.rect = ToLogicalOutward(e.rect, n); break;
        case DriverEvent::Resize:
            e.width = CeilDiv(e.width, n);
            e.height = CeilDiv(e.height, n);
            break;
        case DriverEvent::ScaleChanged: {
            const int now = ValidScale(FDevice.DeviceScale());
            if (now == FScale) break;
            FScale = now;
            for (const auto& [id, icon] : FIcons) SendIcon(id);
            break;
        }
        default: break;
        }
    }
}

bool DeviceEdge::GetCursorPos(TPoint& p) {
    if (!FDevice.GetCursorPos(p)) return false;
    p = {FloorDiv(p.x, FScale), FloorDiv(p.y, FScale)};
    return true;
}

}  // namespace lumivane

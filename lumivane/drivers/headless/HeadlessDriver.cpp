#include "lumivane/drivers/headless/HeadlessDriver.h"

#include <poll.h>

#include <algorithm>
#include <utility>

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {
// Waits that would block on a real display, in a row, with nothing arriving and the clock
// standing still: the loop can only be waiting for something that never comes.
constexpr int kMaxFruitlessWaits = 100000;
} // namespace

DriverWindowId HeadlessDriver::CreateTopLevel(const TopLevelSpec& request) {
    DriverWindowId id = FNextId++;
    Window& w = FWindows[id];
    w.request = request;
    w.bounds = request.bounds;
    if (request.centred) {
        int x = (kScreenWidth * FScale - request.bounds.Width()) / 2;
        int y = (kScreenHeight * FScale - request.bounds.Height()) / 2;
        w.bounds = request.bounds.Offset(x - request.bounds.Left, y - request.bounds.Top);
    }
    w.title = request.title;
    return id;
}

void HeadlessDriver::DestroyTopLevel(DriverWindowId id) {
    FWindows.erase(id);
    std::erase(FStacking, id);
}

void HeadlessDriver::ShowTopLevel(DriverWindowId id, bool visible) {
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return;
    it->second.visible = visible;
    std::erase(FStacking, id);
    if (visible) FStacking.push_back(id);
}

void HeadlessDriver::SetTitle(DriverWindowId id, const std::string& utf8) {
    auto it = FWindows.find(id);
    if (it != FWindows.end()) it->second.title = utf8;
}

void HeadlessDriver::SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) {
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return;
    it->second.iconWidth = width;
    it->second.iconHeight = height;
    it->second.icon = argb;
}

void HeadlessDriver::SetBounds(DriverWindowId id, const TRect& bounds) {
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return;
    Window& w = it->second;
    // A new size shows black until the next present; the pixels are made when first needed.
    if (bounds.Width() != w.bounds.Width() || bounds.Height() != w.bounds.Height()) {
        w.presented = Surface();
        w.presentedUnmade = true;
    }
    w.bounds = bounds;
}

TPoint HeadlessDriver::ClientOrigin(DriverWindowId id) {
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return {};
    return {it->second.bounds.Left, it->second.bounds.Top};
}

const Surface& HeadlessDriver::PresentedPixels(DriverWindowId id) {
    static const Surface none;
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return none;
    Window& w = it->second;
    const int width = std::max(0, w.bounds.Width()), height = std::max(0, w.bounds.Height());
    if (w.presentedUnmade) {
        w.presented.Resize(width, height, 0);
        w.presentedUnmade = false;
    }
    return w.presented;
}

TSize HeadlessDriver::ScreenSize() { return {kScreenWidth * FScale, kScreenHeight * FScale}; }

void HeadlessDriver::SetDeviceScale(int n) {
    n = std::clamp(n, 1, 4);
    if (n == FScale) return;
    FScale = n;
    if (FWindows.empty()) return;
    DriverEvent e;
    e.type = DriverEvent::ScaleChanged;
    Push(e);
}

void HeadlessDriver::Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) {
    auto it = FWindows.find(id);
    if (it == FWindows.end()) return;
    Window& w = it->second;
    const bool remake =
        w.presentedUnmade || w.presented.Width() != surface.Width() || w.presented.Height() != surface.Height();
    w.presentedUnmade = false;
    w.presents.push_back(rects);
    if (remake && !surface.Monochrome() && rects.size() == 1 &&
        rects[0].Intersect(surface.Bounds()) == surface.Bounds()) {
        w.presented = surface; // all of it is shown: one copy, no blank picture first
        return;
    }
    if (remake) w.presented.Resize(surface.Width(), surface.Height(), 0);
    for (const TRect& r : rects) {
        TRect c = r.Intersect(surface.Bounds());
        for (int y = c.Top; y < c.Bottom; ++y)
            std::copy(surface.Row(y) + c.Left, surface.Row(y) + c.Right, w.presented.Row(y) + c.Left);
    }
}

void HeadlessDriver::WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) {
    ++FWaitCalls;
    for (auto it = FWatched.begin(); it != FWatched.end();) {
        pollfd p{*it, POLLIN, 0};
        if (::poll(&p, 1, 0) == 1) {
            DriverEvent e;
            e.type = DriverEvent::Readable;
            e.x = *it;
            FEvents.push_back(e);
            it = FWatched.erase(it);
        } else {
            ++it;
        }
    }
    if (TakeTerminateRequest()) {
        DriverEvent e;
        e.type = DriverEvent::Terminate;
        FEvents.push_back(e);
    }
    bool poll = deadline >= 0 && deadline <= FNow; // a real display would not block either
    if (FEvents.empty() && FWaitHook && !poll) FWaitHook(deadline);
    if (!FEvents.empty()) {
        out.insert(out.end(), FEvents.begin(), FEvents.end());
        FEvents.clear();
        FFruitlessWaits = 0;
        return;
    }
    if (deadline < 0) ++FIdleWaits;
    if (poll) return;
    if (FNow != FFruitlessSince) {
        FFruitlessSince = FNow;
        FFruitlessWaits = 0;
    }
    if (++FFruitlessWaits > kMaxFruitlessWaits)
        throw Exception("Headless display: the message loop is waiting for input or time that never comes");
}

bool HeadlessDriver::GetCursorPos(TPoint& p) {
    if (!FCursorKnown) return false;
    p = FCursor;
    return true;
}

void HeadlessDriver::SetCursor(DriverWindowId id, CursorKind cursor) {
    auto it = FWindows.find(id);
    if (it != FWindows.end()) it->second.cursor = cursor;
}

void HeadlessDriver::SetSelectionText(TSelection which, const std::string& utf8) {
    FSelections[static_cast<int>(which)] = utf8;
}

bool HeadlessDriver::GetSelectionText(TSelection which, std::string& utf8) {
    const auto& held = FSelections[static_cast<int>(which)];
    if (!held) return false;
    utf8 = *held;
    return true;
}

void HeadlessDriver::OpenAddress(const std::string& address) { FOpened.push_back(address); }

bool HeadlessDriver::TakeTerminateRequest() { return std::exchange(FTerminateRequested, false); }

void HeadlessDriver::SetTextInput(DriverWindowId id, bool on) {
    auto it = FWindows.find(id);
    if (it != FWindows.end()) it->second.textInput = on;
}

void HeadlessDriver::WatchReadable(int fd, bool watch) {
    if (watch)
        FWatched.insert(fd);
    else
        FWatched.erase(fd);
}

DriverWindowId HeadlessDriver::TopLevelAt(TPoint screen) const {
    for (auto it = FStacking.rbegin(); it != FStacking.rend(); ++it) {
        const Window* w = Find(*it);
        if (w && w->visible && w->bounds.Contains(screen)) return *it;
    }
    return 0;
}

const HeadlessDriver::Window* HeadlessDriver::Find(DriverWindowId id) const {
    auto it = FWindows.find(id);
    return it == FWindows.end() ? nullptr : &it->second;
}

void HeadlessDriver::ClearPresents() {
    for (auto& [id, w] : FWindows) w.presents.clear();
}

}  // namespace lumivane

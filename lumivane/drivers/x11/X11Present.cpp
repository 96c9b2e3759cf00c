// Presenting: surface pixels to the window, through a shared-memory image (MIT-SHM) for large
// windows where the server offers it, with XPutImage otherwise.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumivane {

namespace x11 {

namespace {
// Windows of fewer pixels than this are presented straight from the caller's surface with
// XPutImage and the driver keeps no copy: the window system presents exposed parts again from its
// surface. Larger windows go through a shared-memory image (when the server has the extension),
// which saves sending every frame down the socket and keeps their pixels for exposures. A window's
// first whole frame (and what comes before it) goes down the socket all the same: making,
// attaching and filling a segment costs a new window more (a page fault for every 4 KB, on both
// sides) than sending one frame does.
constexpr int64_t kShmMinPixels = 512 * 512;
} // namespace

void X11Driver::ProbePixelFormat() {
    // Surfaces hold 0x00RRGGBB words; most TrueColor visuals take them unchanged.
    const unsigned long masks[3] = {FVisual->red_mask, FVisual->green_mask, FVisual->blue_mask};
    for (int c = 0; c < 3; ++c) {
        unsigned long m = masks[c];
        int shift = 0, bits = 0;
        while (m && !(m & 1)) { m >>= 1; ++shift; }
        while (m & 1) { m >>= 1; ++bits; }
        FShift[c] = shift;
        FBits[c] = bits;
    }
    int formats = 0;
    int bpp = 0;
    if (XPixmapFormatValues* pf = XListPixmapFormats(FDisplay, &formats)) {
        for (int i = 0; i < formats; ++i)
            if (pf[i].depth == FDepth) bpp = pf[i].bits_per_pixel;
        XFree(pf);
    }
    const uint16_t probe = 1;
    const bool hostLsb = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    FFastPixels = bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
                  (ImageByteOrder(FDisplay) == LSBFirst) == hostLsb;
}

XImage* X11Driver::CreateShmImage(TopLevel& w, int width, int height) {
    XShmSegmentInfo& shm = w.shm;
    XImage* img = XShmCreateImage(FDisplay, FVisual, FDepth, ZPixmap, nullptr, &shm, width, height);
    if (!img) return nullptr;
    shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(img->bytes_per_line) * height, IPC_CREAT | 0600);
    if (shm.shmid < 0) {
        XDestroyImage(img);
        return nullptr;
    }
    shm.shmaddr = img->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    shm.readOnly = False;
    bool ok = shm.shmaddr != reinterpret_cast<char*>(-1);
    if (ok) {
        // A server on another machine says it has the extension but cannot attach.
        ErrorTrap trap(FDisplay);
        XShmAttach(FDisplay, &shm);
        ok = trap.Ok();
    }
    // Marked for removal now, so the segment goes away with the last process using it.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!ok) {
        if (shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm.shmaddr);
        img->data = nullptr;
        XDestroyImage(img);
        return nullptr;
    }
    return img;
}

bool X11Driver::EnsureImage(TopLevel& w, int width, int height) {
    if (w.image && w.image->width == width && w.image->height == height) return true;
    FreeImage(w);
    if (FShm) {
        w.image = CreateShmImage(w, width, height);
        if (w.image) {
            w.shmImage = true;
            return true;
        }
        FShm = false; // not on this display; don't try again
    }
    XImage* img = XCreateImage(FDisplay, FVisual, FDepth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!img) return false;
    img->data = static_cast<char*>(std::calloc(static_cast<size_t>(img->bytes_per_line), height));
    if (!img->data) {
        XDestroyImage(img);
        return false;
    }
    w.image = img;
    w.shmImage = false;
    return true;
}

void X11Driver::FreeImage(TopLevel& w) {
    if (!w.image) return;
    if (w.shmImage) {
        XShmDetach(FDisplay, &w.shm);
        XSync(FDisplay, False);
        XDestroyImage(w.image); // frees the header only
        shmdt(w.shm.shmaddr);
    } else {
        XDestroyImage(w.image);
    }
    w.image = nullptr;
    w.shmImage = w.shmBusy = w.hasPixels = false;
}

void X11Driver::CopyToImage(TopLevel& w, const Surface& s, const TRect& r) {
    XImage* img = w.image;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const Pixel* src = s.Row(y) + r.Left;
        if (FFastPixels) {
            auto* dst = reinterpret_cast<uint32_t*>(img->data + static_cast<size_t>(y) * img->bytes_per_line) + r.Left;
            std::memcpy(dst, src, static_cast<size_t>(r.Width()) * 4);
            continue;
        }
        for (int x = 0; x < r.Width(); ++x) {
            const Pixel p = src[x];
            const unsigned channel[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            unsigned long v = 0;
            for (int c = 0; c < 3; ++c) {
                const unsigned long scaled = FBits[c] >= 8 ? static_cast<unsigned long>(channel[c]) << (FBits[c] - 8)
                                                           : channel[c] >> (8 - FBits[c]);
                v |= scaled << FShift[c];
            }
            XPutPixel(img, r.Left + x, y, v);
        }
    }
}

void X11Driver::PutImage(TopLevel& w, const TRect& r, bool last) {
    if (w.shmImage) {
        // Ask for a completion event after the last piece: until then the segment is the server's.
        XShmPutImage(FDisplay, w.xid, FGC, w.image, r.Left, r.Top, r.Left, r.Top, r.Width(),
                     r.Height(), last ? True : False);
        if (last) w.shmBusy = true;
    } else {
        XPutImage(FDisplay, w.xid, FGC, w.image, r.Left, r.Top, r.Left, r.Top, r.Width(), r.Height());
    }
}

void X11Driver::PutSurface(TopLevel& w, const Surface& s, const std::vector<TRect>& rects) {
    // An image header over the surface's own rows: XPutImage has sent them when it returns.
    const Pixel* pixels = s.Row(0);
    XImage* img = XCreateImage(FDisplay, FVisual, FDepth, ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<Pixel*>(pixels)), s.Width(),
                               s.Height(), 32, s.Width() * 4);
    if (!img) return;
    for (const TRect& r : rects) {
        const TRect c = r.Intersect(s.Bounds());
        if (!c.IsEmpty())
            XPutImage(FDisplay, w.xid, FGC, img, c.Left, c.Top, c.Left, c.Top, c.Width(), c.Height());
    }
    img->data = nullptr; // the surface's
    XDestroyImage(img);
}

void X11Driver::Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) {
    TopLevel* w = Find(id);
    if (!w || surface.Width() <= 0 || surface.Height() <= 0) return;
    if (FFastPixels && (!FShm || !w->shownWhole || int64_t{surface.Width()} * surface.Height() < kShmMinPixels)) {
        FreeImage(*w); // kept from a larger size; exposures are the window system's now
        PutSurface(*w, surface, rects);
        w->shownWhole = w->shownWhole || (rects.size() == 1 && rects[0].Intersect(surface.Bounds()) == surface.Bounds());
        XFlush(FDisplay);
        return;
    }
    const bool fresh = !w->image || w->image->width != surface.Width() || w->image->height != surface.Height();
    if (!EnsureImage(*w, surface.Width(), surface.Height())) return;
    if (w->shmBusy) {
        XSync(FDisplay, False); // the server has read the last frame once this returns
        w->shmBusy = false;
    }
    std::vector<TRect> parts;
    if (fresh) {
        // A new image must not show stale memory where the caller presents nothing this time.
        parts.push_back(surface.Bounds());
    } else {
        for (const TRect& r : rects) {
            const TRect c = r.Intersect(surface.Bounds());
            if (!c.IsEmpty()) parts.push_back(c);
        }
    }
    for (const TRect& r : parts) CopyToImage(*w, surface, r);
    for (size_t i = 0; i < parts.size(); ++i) PutImage(*w, parts[i], i + 1 == parts.size());
    w->hasPixels = true;
    XFlush(FDisplay);
}

} // namespace x11

}  // namespace lumivane

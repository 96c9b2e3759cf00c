// The X11 driver's windows: what the window manager sees, presenting pixels, exposure, resizing and closing.
#include "tests/x11/X11TestKit.h"

using namespace lumivane;
using namespace lumivane::x11test;

namespace {

TEST(X11DriverOpen, NoDisplayIsAClearException) {
    try {
        CreateX11Driver(":9999");
        FAIL() << "opened a display that does not exist";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("cannot open display"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(":9999"), std::string::npos) << e.what();
    }
}

TEST_F(X11DriverTest, NormalWindowTellsTheWindowManagerWhatItIs) {
    TopLevelSpec request;
    request.bounds = {0, 0, 478, 334};
    request.centred = true;
    request.maximizeBox = false;
    request.title = "Renamed to Lumivane";
    const DriverWindowId id = ShowWindow(request);

    std::string type;
    EXPECT_EQ(probe.Text(id, "_NET_WM_NAME", &type), "Renamed to Lumivane");
    EXPECT_EQ(type, "UTF8_STRING");
    EXPECT_EQ(probe.Text(id, "WM_NAME", &type), "Renamed to Lumivane");
    EXPECT_EQ(type, "STRING");
    EXPECT_EQ(probe.Text(id, "WM_ICON_NAME", &type), "Renamed to Lumivane");
    EXPECT_EQ(type, "STRING");
    // The locale of the environment, whether or not the driver has loaded it yet.
    std::string locale = std::setlocale(LC_CTYPE, nullptr);
    if (locale == "C" || locale == "POSIX")
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
            if (const char* v = std::getenv(name); v && *v) {
                locale = v;
                break;
            }
    EXPECT_EQ(probe.Text(id, "WM_LOCALE_NAME"), locale);
    EXPECT_EQ(probe.Text(id, "WM_CLASS").find('\0') != std::string::npos, true);
    EXPECT_NE(probe.Text(id, "WM_CLASS").find("Lumivane"), std::string::npos);
    EXPECT_EQ(probe.Longs(id, "_NET_WM_PID"), std::vector<unsigned long>{static_cast<unsigned long>(getpid())});

    const auto protocols = probe.Longs(id, "WM_PROTOCOLS");
    EXPECT_NE(std::find(protocols.begin(), protocols.end(), probe.Atom("WM_DELETE_WINDOW")), protocols.end());
    EXPECT_EQ(probe.Longs(id, "_NET_WM_WINDOW_TYPE"),
              std::vector<unsigned long>{probe.Atom("_NET_WM_WINDOW_TYPE_NORMAL")});
    const auto motif = probe.Longs(id, "_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    EXPECT_TRUE(motif[2] & 32) << "minimise box";
    EXPECT_FALSE(motif[2] & 64) << "no maximise box";
    EXPECT_TRUE(motif[1] & 2) << "sizeable";

    // Centred on the 1280x1024 screen; nothing decorates it under Xvfb.
    EXPECT_EQ(driver->ScreenSize(), (TSize{1280, 1024}));
    EXPECT_EQ(driver->ClientOrigin(id), (TPoint{401, 345}));
    const auto hints = probe.Longs(id, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), 9u);
    EXPECT_EQ(hints[1], 401u);
    EXPECT_EQ(hints[2], 345u);
    EXPECT_LE(hints[5], 478u); // minimum size no larger than the window
    EXPECT_GT(hints[5], 0u);

    // The old name property: Latin-1 text as STRING, anything beyond as COMPOUND_TEXT.
    driver->SetTitle(id, "Zo\xC3\xAB\t\xC2\xA0!");
    EXPECT_EQ(probe.Text(id, "WM_NAME", &type), "Zo\xEB\t\xA0!");
    EXPECT_EQ(type, "STRING");
    EXPECT_EQ(probe.Text(id, "WM_ICON_NAME", &type), "Zo\xEB\t\xA0!");
    EXPECT_EQ(type, "STRING");
    driver->SetTitle(id, "Zo\xC3\xAB \xE2\x82\xAC");
    EXPECT_EQ(probe.Text(id, "_NET_WM_NAME"), "Zo\xC3\xAB \xE2\x82\xAC");
    EXPECT_FALSE(probe.Text(id, "WM_NAME", &type).empty());
    EXPECT_EQ(type, "COMPOUND_TEXT");

    std::vector<uint32_t> icon(4 * 3, 0xFFFF0000u);
    icon[5] = 0x80123456u;
    driver->SetIcon(id, 4, 3, icon);
    std::vector<unsigned long> expected{4, 3};
    expected.insert(expected.end(), icon.begin(), icon.end());
    EXPECT_EQ(probe.Longs(id, "_NET_WM_ICON"), expected);
    driver->SetIcon(id, 100, 100, icon); // too few pixels: ignored
    driver->SetIcon(id, -1, 3, icon);
    EXPECT_EQ(probe.Longs(id, "_NET_WM_ICON"), expected);
}

TEST_F(X11DriverTest, FixedSizeDialogsAndPopups) {
    const DriverWindowId owner = ShowWindow();
    TopLevelSpec d;
    d.kind = TopLevelKind::Dialog;
    d.owner = owner;
    d.sizeable = false;
    d.bounds = {100, 120, 300, 220};
    d.title = "Test TImButtons";
    const DriverWindowId dialog = ShowWindow(d);
    EXPECT_EQ(probe.Longs(dialog, "WM_TRANSIENT_FOR"), std::vector<unsigned long>{owner});
    EXPECT_EQ(probe.Longs(dialog, "_NET_WM_WINDOW_TYPE"),
              std::vector<unsigned long>{probe.Atom("_NET_WM_WINDOW_TYPE_DIALOG")});
    const auto hints = probe.Longs(dialog, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), 9u);
    EXPECT_EQ(hints[5], 200u); // min = max = the size
    EXPECT_EQ(hints[6], 100u);
    EXPECT_EQ(hints[7], 200u);
    EXPECT_EQ(hints[8], 100u);
    EXPECT_EQ(driver->ClientOrigin(dialog), (TPoint{100, 120}));
    EXPECT_FALSE(probe.OverrideRedirect(dialog));

    TopLevelSpec p;
    p.kind = TopLevelKind::Popup;
    p.bounds = {10, 10, 60, 30};
    p.title = "hint";
    const DriverWindowId popup = ShowWindow(p);
    EXPECT_TRUE(probe.OverrideRedirect(popup));
    EXPECT_TRUE(probe.Longs(popup, "WM_PROTOCOLS").empty());
}

// Fills a surface with a pattern whose every pixel differs from its neighbours.
Surface Pattern(int w, int h, uint32_t salt) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Set(x, y, ((x * 7919u + y * 104729u) ^ salt) & 0xFFFFFF);
    return s;
}

// A window big enough to be presented through shared memory, and the notice window's size, which
// is presented straight from the surface.
constexpr TSize kLarge{640, 480}, kSmall{478, 334};

DriverWindowId ShowSized(const std::function<DriverWindowId(TopLevelSpec)>& show, TSize size) {
    TopLevelSpec request;
    request.bounds = {0, 0, size.cx, size.cy};
    request.centred = true;
    return show(request);
}

void CheckPresentedPixels(Driver& driver, XProbe& probe, DriverWindowId id, TSize size) {
    const int w = size.cx, h = size.cy;
    Surface s = Pattern(w, h, 0x5A5A5A);
    // A window's first whole frame goes down the socket; a large window's next ones through
    // shared memory, the first of them whole.
    driver.Present(id, s, {s.Bounds()});
    driver.Present(id, s, {TRect{0, 0, 1, 1}});
    TPoint sync;
    driver.GetCursorPos(sync); // a round trip: the server has drawn everything sent before it
    EXPECT_EQ(probe.Pixels(id, 0, 0, w, h), s.Pixels());

    // Only the given rectangles travel: outside them the window keeps the old pixels.
    Surface changed = Pattern(w, h, 0x00FF00);
    const TRect a{10, 20, 30, 25}, b{w - 8, h - 4, w, h};
    driver.Present(id, changed, {a, b});
    driver.GetCursorPos(sync);
    const auto got = probe.Pixels(id, 0, 0, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = a.Contains(x, y) || b.Contains(x, y);
            const uint32_t want = inside ? changed.Get(x, y) : s.Get(x, y);
            ASSERT_EQ(got[static_cast<size_t>(y) * w + x], want) << x << "," << y;
        }
}

TEST_F(X11DriverTest, PresentShowsExactPixelsThroughSharedMemory) {
    const DriverWindowId id = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kLarge);
    CheckPresentedPixels(*driver, probe, id, kLarge);
}

TEST_F(X11DriverTest, PresentShowsExactPixelsOfASmallWindowFromTheSurface) {
    const DriverWindowId id = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kSmall);
    CheckPresentedPixels(*driver, probe, id, kSmall);
}

TEST_F(X11DriverTest, PresentShowsExactPixelsWithoutSharedMemory) {
    driver.reset();
    setenv("LUMI_X11_NO_SHM", "1", 1);
    driver = CreateX11Driver(nullptr);
    unsetenv("LUMI_X11_NO_SHM");
    const DriverWindowId id = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kLarge);
    CheckPresentedPixels(*driver, probe, id, kLarge);
}

// A connection takes its scale from LUMIVANE_SCALE before the desktop's Xft.dpi; a value of the
// variable it cannot use is named in one line on standard error and otherwise ignored.
TEST_F(X11DriverTest, DeviceScaleFromTheVariableThenXftDpi) {
    const struct {
        const char* variable;
        const char* resources;
        int scale;
        bool warns;
    } cases[] = {
        {nullptr, nullptr, 1, false},
        {nullptr, "Xft.antialias:\t1\nXft.dpi:\t192\n", 2, false},
        {nullptr, "Xft.dpi:\t288\n", 3, false},
        {nullptr, "Xft.dpi:\tlarge\n", 1, false},
        {"3", "Xft.dpi:\t192\n", 3, false},
        {"9", "Xft.dpi:\t192\n", 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable ? c.variable : "(unset)") + " / " +
                     (c.resources ? c.resources : "(none)"));
        probe.SetRootText("RESOURCE_MANAGER", c.resources);
        if (c.variable) setenv("LUMIVANE_SCALE", c.variable, 1);
        std::fflush(stderr);
        const int saved = dup(2);
        FILE* err = std::tmpfile();
        ASSERT_NE(err, nullptr);
        dup2(fileno(err), 2);
        driver = CreateX11Driver(nullptr);
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        unsetenv("LUMIVANE_SCALE");
        std::rewind(err);
        char line[256] = {};
        const bool wrote = std::fgets(line, sizeof line, err) != nullptr;
        std::fclose(err);
        EXPECT_EQ(driver->DeviceScale(), c.scale);
        EXPECT_EQ(wrote, c.warns) << line;
        if (c.warns) {
            EXPECT_NE(std::strstr(line, "LUMIVANE_SCALE=\"9\" ignored"), nullptr) << line;
        }
    }
    probe.SetRootText("RESOURCE_MANAGER", nullptr);
}

TEST_F(X11DriverTest, ExposedWindowIsRepaintedFromTheLastPixels) {
    // A large window's first whole frame goes down the socket and the driver keeps no copy: an
    // exposure is asked for.
    const DriverWindowId id = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kLarge);
    const Surface s = Pattern(kLarge.cx, kLarge.cy, 0x123456);
    driver->Present(id, s, {s.Bounds()});
    probe.Remap(id); // Xvfb keeps no backing store: the contents are gone until repainted
    EXPECT_GT(Count(Pump(nullptr, 300), DriverEvent::Expose), 0) << "the first frame kept no copy";
    // From the next frame on it goes through shared memory: the driver has every pixel.
    driver->Present(id, s, {TRect{0, 0, 1, 1}});
    probe.Remap(id);
    const Events events = Pump(nullptr, 300);
    EXPECT_EQ(Count(events, DriverEvent::Expose), 0) << "the driver had every pixel";
    TPoint sync;
    driver->GetCursorPos(sync);
    EXPECT_EQ(probe.Pixels(id, 0, 0, kLarge.cx, kLarge.cy), s.Pixels());

    // A small window keeps no copy: every lost pixel is asked for, and presenting those parts
    // again restores the window.
    const DriverWindowId small = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kSmall);
    const Surface t = Pattern(kSmall.cx, kSmall.cy, 0x654321);
    driver->Present(small, t, {t.Bounds()});
    Pump(nullptr, 100);
    probe.Remap(small);
    const Events asked = Pump(nullptr, 300);
    std::vector<TRect> lost;
    std::vector<bool> covered(static_cast<size_t>(kSmall.cx) * kSmall.cy);
    for (const DriverEvent& e : asked) {
        if (e.type != DriverEvent::Expose || e.window != small) continue;
        lost.push_back(e.rect);
        for (int y = e.rect.Top; y < e.rect.Bottom; ++y)
            for (int x = e.rect.Left; x < e.rect.Right; ++x) covered[static_cast<size_t>(y) * kSmall.cx + x] = true;
    }
    EXPECT_TRUE(std::all_of(covered.begin(), covered.end(), [](bool c) { return c; }));
    driver->Present(small, t, lost);
    driver->GetCursorPos(sync);
    EXPECT_EQ(probe.Pixels(small, 0, 0, kSmall.cx, kSmall.cy), t.Pixels());

    // A window never presented asks for its pixels.
    TopLevelSpec request;
    request.bounds = {0, 0, 50, 40};
    request.title = "bare";
    const DriverWindowId bare = driver->CreateTopLevel(request);
    driver->ShowTopLevel(bare, true);
    const Events more = PumpFor(DriverEvent::Expose);
    const DriverEvent* e = First(more, DriverEvent::Expose);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->window, bare);
    EXPECT_EQ(e->rect, (TRect{0, 0, 50, 40}));
}


TEST_F(X11DriverTest, ResizeAndMoveFromOutsideAreReported) {
    const DriverWindowId id = ShowWindow();
    Pump(nullptr, 100);
    probe.MoveResize(id, 50, 60, 400, 300);
    const Events ev = Pump([](const DriverEvent& e) { return e.type == DriverEvent::Move; });
    const DriverEvent* resize = First(ev, DriverEvent::Resize);
    const DriverEvent* move = First(ev, DriverEvent::Move);
    ASSERT_TRUE(resize && move);
    EXPECT_EQ(resize->width, 400);
    EXPECT_EQ(resize->height, 300);
    EXPECT_EQ(move->x, 50);
    EXPECT_EQ(move->y, 60);

    // Our own change is not echoed back.
    driver->SetBounds(id, {70, 80, 370, 280});
    const Events quiet = Pump(nullptr, 300);
    EXPECT_EQ(Count(quiet, DriverEvent::Resize), 0);
    EXPECT_EQ(Count(quiet, DriverEvent::Move), 0);
    EXPECT_EQ(driver->ClientOrigin(id), (TPoint{70, 80}));
}

TEST_F(X11DriverTest, CloseRequestFromXclose) {
    const DriverWindowId id = ShowWindow();
    const std::string cmd = BinDir() + "/xclose " + std::to_string(id);
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const Events ev = PumpFor(DriverEvent::CloseRequest);
    const DriverEvent* close = First(ev, DriverEvent::CloseRequest);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->window, id);
    EXPECT_TRUE(probe.Viewable(id)) << "closing is the window system's decision";
}

}  // namespace

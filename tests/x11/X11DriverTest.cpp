#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "lumivane/windows/Messages.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"
#include "tests/x11/IncrOwner.h"
#include "tests/x11/XProbe.h"

using namespace lumivane;

namespace {

using Events = std::vector<DriverEvent>;

std::string BinDir() {
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string s(path, n > 0 ? static_cast<size_t>(n) : 0);
    return s.substr(0, s.rfind('/'));
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Runs a shell command line with the given stdin text and returns its stdout. The driver keeps
// pumping events meanwhile, since the command may be talking to it (the clipboard).
std::string RunPumping(Driver& driver, const std::string& command, const std::string& input = "") {
    char inPath[] = "/tmp/lumi-x11-in.XXXXXX";
    char outPath[] = "/tmp/lumi-x11-out.XXXXXX";
    const int inFd = mkstemp(inPath), outFd = mkstemp(outPath);
    if (write(inFd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) ADD_FAILURE();
    close(inFd);
    close(outFd);
    const std::string line = command + " <" + inPath + " >" + outPath;
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Events ignored;
    int status = 0;
    for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        driver.WaitEvents(driver.Now() + 20, ignored);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "timed out: " << command;
    }
    const std::string out = ReadFile(outPath);
    unlink(inPath);
    unlink(outPath);
    return out;
}

class X11DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display (run through run-with-xvfb.sh)";
        driver = CreateX11Driver(nullptr);
        ASSERT_TRUE(probe.Ok());
        probe.MovePointer(0, 0);
    }

    DriverWindowId ShowWindow(TopLevelSpec request = {}) {
        if (request.bounds.IsEmpty()) {
            request.bounds = {0, 0, 478, 334};
            request.centred = true;
        }
        if (request.title.empty()) request.title = "Renamed to Lumivane";
        const DriverWindowId id = driver->CreateTopLevel(request);
        driver->ShowTopLevel(id, true);
        Pump([&](const DriverEvent&) { return false; }, 0); // let the map happen
        for (int i = 0; i < 100 && !probe.Viewable(id); ++i) Pump(nullptr, 10);
        return id;
    }

    // Collects events until one satisfies `until` or `ms` more milliseconds pass (a bound for a
    // broken driver, not a timing check).
    Events Pump(const std::function<bool(const DriverEvent&)>& until, int ms = 3000) {
        Events all;
        const int64_t end = driver->Now() + ms;
        for (;;) {
            Events got;
            driver->WaitEvents(std::min(end, driver->Now() + 50), got);
            all.insert(all.end(), got.begin(), got.end());
            for (const DriverEvent& e : got)
                if (until && until(e)) return all;
            if (driver->Now() >= end) return all;
        }
    }
    Events PumpFor(DriverEvent::Type type, int ms = 3000) {
        return Pump([type](const DriverEvent& e) { return e.type == type; }, ms);
    }
    static const DriverEvent* First(const Events& events, DriverEvent::Type type) {
        for (const DriverEvent& e : events)
            if (e.type == type) return &e;
        return nullptr;
    }
    static int Count(const Events& events, DriverEvent::Type type) {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [type](const DriverEvent& e) { return e.type == type; }));
    }

    std::unique_ptr<Driver> driver;
    XProbe probe;
};

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
    driver.Present(id, s, {s.Bounds()});
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

TEST_F(X11DriverTest, ExposedWindowIsRepaintedFromTheLastPixels) {
    // A window presented through shared memory: the driver has every pixel.
    const DriverWindowId id = ShowSized([&](TopLevelSpec r) { return ShowWindow(r); }, kLarge);
    const Surface s = Pattern(kLarge.cx, kLarge.cy, 0x123456);
    driver->Present(id, s, {s.Bounds()});
    probe.Remap(id); // Xvfb keeps no backing store: the contents are gone until repainted
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

TEST_F(X11DriverTest, PointerButtonsAndWheel) {
    const DriverWindowId id = ShowWindow();
    const TPoint o = driver->ClientOrigin(id);
    Pump(nullptr, 100);

    probe.MovePointer(o.x + 10, o.y + 20);
    Events ev = PumpFor(DriverEvent::PointerMove);
    const DriverEvent* enter = First(ev, DriverEvent::PointerEnter);
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter->window, id);
    probe.MovePointer(o.x + 12, o.y + 25);
    ev = PumpFor(DriverEvent::PointerMove);
    const DriverEvent* move = First(ev, DriverEvent::PointerMove);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->x, 12);
    EXPECT_EQ(move->y, 25);

    TPoint p;
    ASSERT_TRUE(driver->GetCursorPos(p));
    EXPECT_EQ(p, (TPoint{o.x + 12, o.y + 25}));

    for (int button : {1, 2, 3}) {
        probe.Button(button, true);
        probe.Button(button, false);
        ev = PumpFor(DriverEvent::ButtonUp);
        const DriverEvent* down = First(ev, DriverEvent::ButtonDown);
        const DriverEvent* up = First(ev, DriverEvent::ButtonUp);
        ASSERT_TRUE(down && up) << "button " << button;
        EXPECT_EQ(down->button, button);
        EXPECT_EQ(up->button, button);
        EXPECT_EQ(down->x, 12);
        EXPECT_EQ(down->y, 25);
    }

    probe.Button(4, true);
    probe.Button(4, false);
    probe.Button(5, true);
    probe.Button(5, false);
    probe.MovePointer(o.x + 13, o.y + 25); // an end marker
    ev = PumpFor(DriverEvent::PointerMove);
    std::vector<int> deltas;
    for (const DriverEvent& e : ev)
        if (e.type == DriverEvent::Wheel) deltas.push_back(e.delta);
    EXPECT_EQ(deltas, (std::vector<int>{1, -1}));
    EXPECT_EQ(Count(ev, DriverEvent::ButtonUp), 0);
    EXPECT_EQ(Count(ev, DriverEvent::ButtonDown), 0);

    probe.MovePointer(0, 0);
    ev = PumpFor(DriverEvent::PointerLeave);
    ASSERT_NE(First(ev, DriverEvent::PointerLeave), nullptr);
}

TEST_F(X11DriverTest, KeysCharactersAndRepeat) {
    const DriverWindowId id = ShowWindow();
    const TPoint o = driver->ClientOrigin(id);
    probe.MovePointer(o.x + 5, o.y + 5);
    probe.Focus(id);
    ASSERT_NE(First(PumpFor(DriverEvent::FocusIn), DriverEvent::FocusIn), nullptr);
    driver->SetTextInput(id, true); // an edit has the focus

    auto typed = [&](const std::vector<const char*>& keys) {
        for (const char* k : keys) probe.Key(k + 1, k[0] == '+');
        probe.MovePointer(o.x + 6, o.y + 5); // end marker
        const Events ev = PumpFor(DriverEvent::PointerMove);
        probe.MovePointer(o.x + 5, o.y + 5);
        PumpFor(DriverEvent::PointerMove);
        return ev;
    };
    auto chars = [](const Events& ev) {
        std::string s;
        for (const DriverEvent& e : ev)
            if (e.type == DriverEvent::Char) s += static_cast<char>(e.ch);
        return s;
    };

    Events ev = typed({"+a", "-a"});
    ASSERT_EQ(ev.size() >= 3, true);
    EXPECT_EQ(ev[0].type, DriverEvent::KeyDown);
    EXPECT_EQ(ev[0].vk, 0x41u);
    EXPECT_FALSE(ev[0].repeat);
    EXPECT_EQ(ev[1].type, DriverEvent::Char);
    EXPECT_EQ(ev[1].ch, 'a');
    EXPECT_EQ(ev[2].type, DriverEvent::KeyUp);
    EXPECT_EQ(ev[2].vk, 0x41u);

    ev = typed({"+Shift_L", "+a", "-a", "-Shift_L"});
    EXPECT_EQ(chars(ev), "A");
    const DriverEvent* shifted = First(ev, DriverEvent::Char);
    ASSERT_NE(shifted, nullptr);
    EXPECT_EQ(shifted->shift & MK_SHIFT, static_cast<unsigned>(MK_SHIFT));
    EXPECT_EQ(First(ev, DriverEvent::KeyDown)->vk, static_cast<unsigned>(VK_SHIFT));

    ev = typed({"+Control_L", "+Alt_L", "+F4", "-F4", "-Alt_L", "-Control_L"});
    const auto f4 = std::find_if(ev.begin(), ev.end(), [](const DriverEvent& e) { return e.vk == VK_F4; });
    ASSERT_NE(f4, ev.end());
    EXPECT_EQ(f4->shift, unsigned{MK_CONTROL} | unsigned{DRIVER_ALT});

    // Control characters come only from keys that produce them; Delete and arrows give none.
    ev = typed({"+Return", "-Return", "+BackSpace", "-BackSpace", "+Tab", "-Tab", "+Escape",
                "-Escape", "+Delete", "-Delete", "+Left", "-Left", "+KP_Enter", "-KP_Enter"});
    EXPECT_EQ(chars(ev), "\r\b\t\x1b\r");
    std::vector<unsigned> downs;
    for (const DriverEvent& e : ev)
        if (e.type == DriverEvent::KeyDown) downs.push_back(e.vk);
    EXPECT_EQ(downs, (std::vector<unsigned>{VK_RETURN, VK_BACK, VK_TAB, VK_ESCAPE, VK_DELETE, VK_LEFT, VK_RETURN}));

    // A held key repeats (the server's auto-repeat) as presses without releases in between.
    probe.Key("b", true);
    ev = Pump([](const DriverEvent& e) { return e.type == DriverEvent::KeyDown && e.repeat; });
    probe.Key("b", false);
    const Events rest = PumpFor(DriverEvent::KeyUp);
    ev.insert(ev.end(), rest.begin(), rest.end());
    std::vector<bool> repeats;
    for (const DriverEvent& e : ev)
        if (e.type == DriverEvent::KeyDown) repeats.push_back(e.repeat);
    ASSERT_GE(repeats.size(), 2u);
    EXPECT_FALSE(repeats[0]);
    EXPECT_TRUE(std::all_of(repeats.begin() + 1, repeats.end(), [](bool r) { return r; }));
    EXPECT_EQ(chars(ev), std::string(repeats.size(), 'b'));
    EXPECT_EQ(Count(ev, DriverEvent::KeyUp), 1);
    EXPECT_EQ(ev.back().type, DriverEvent::KeyUp);

    // Characters beyond ASCII arrive in Windows-1252; those it lacks are dropped.
    probe.MapSpareKey("EuroSign");
    probe.MapSpareKey("eacute");
    probe.MapSpareKey("Cyrillic_zhe");
    Pump(nullptr, 100); // the keyboard mapping change
    ev = typed({"+EuroSign", "-EuroSign", "+eacute", "-eacute", "+Cyrillic_zhe", "-Cyrillic_zhe"});
    EXPECT_EQ(chars(ev), "\x80\xE9");

    probe.Focus(0); // None
    ASSERT_NE(First(PumpFor(DriverEvent::FocusOut), DriverEvent::FocusOut), nullptr);
}

// Without an edit in focus the input method stays closed and keys give their Latin-1 characters
// as they are (a dead key gives none); once the focus takes text, the very first keys go through
// the input method: a dead key followed by a letter composes one character.
TEST_F(X11DriverTest, InputMethodOnlyWhereTheFocusTakesText) {
    probe.MapSpareKey("dead_acute");
    probe.MapSpareKey("eacute");
    const DriverWindowId id = ShowWindow();
    const TPoint o = driver->ClientOrigin(id);
    probe.MovePointer(o.x + 5, o.y + 5);
    probe.Focus(id);
    ASSERT_NE(First(PumpFor(DriverEvent::FocusIn), DriverEvent::FocusIn), nullptr);
    auto typed = [&](const std::vector<const char*>& keys) {
        for (const char* k : keys) probe.Key(k + 1, k[0] == '+');
        probe.MovePointer(o.x + 6, o.y + 5); // end marker
        const Events ev = PumpFor(DriverEvent::PointerMove);
        probe.MovePointer(o.x + 5, o.y + 5);
        PumpFor(DriverEvent::PointerMove);
        std::string chars;
        for (const DriverEvent& e : ev)
            if (e.type == DriverEvent::Char) chars += static_cast<char>(e.ch);
        return chars;
    };
    EXPECT_EQ(typed({"+Return", "-Return", "+eacute", "-eacute", "+dead_acute", "-dead_acute", "+e", "-e"}),
              "\r\xE9" "e");
    EXPECT_FALSE(X11DriverInputMethodOpened(*driver));

    driver->SetTextInput(id, true);
    EXPECT_TRUE(X11DriverInputMethodOpened(*driver));
    EXPECT_EQ(typed({"+dead_acute", "-dead_acute", "+e", "-e"}), "\xE9");

    driver->SetTextInput(id, false);
    EXPECT_EQ(typed({"+dead_acute", "-dead_acute", "+e", "-e"}), "e");
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

TEST_F(X11DriverTest, WaitingForADeadlineSleepsInsteadOfSpinning) {
    ShowWindow();
    Pump(nullptr, 200); // drain the start-up events
    const int64_t before = X11DriverWaitCount(*driver);
    const int64_t deadline = driver->Now() + 200;
    Events ev;
    driver->WaitEvents(deadline, ev);
    EXPECT_TRUE(ev.empty());
    EXPECT_GE(driver->Now(), deadline);
    EXPECT_LE(X11DriverWaitCount(*driver) - before, 2);
    EXPECT_GE(X11DriverWaitCount(*driver) - before, 1);
}

TEST_F(X11DriverTest, ClipboardFromUsToOthers) {
    ShowWindow();
    driver->SetClipboardText("h\xE9llo \x80 \"q\"");
    EXPECT_EQ(probe.SelectionOwner("CLIPBOARD") != 0, true);
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o"), "h\xC3\xA9llo \xE2\x82\xAC \"q\"");
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o -t STRING"), "h\xE9llo ? \"q\"");
    const std::string targets = RunPumping(*driver, "xclip -selection clipboard -o -t TARGETS");
    EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
    std::string back;
    ASSERT_TRUE(driver->GetClipboardText(back));
    EXPECT_EQ(back, "h\xE9llo \x80 \"q\"");

    const std::string big(200 * 1024, 'x');
    driver->SetClipboardText(big);
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o").size(), big.size());
}

TEST_F(X11DriverTest, ClipboardFromOthersToUs) {
    ShowWindow();
    driver->SetClipboardText("ours");
    // xclip takes the clipboard and stays in the background to serve it; we lose ownership.
    RunPumping(*driver, "xclip -selection clipboard -i", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x9C\x93 \xE2\x82\xAC");
    for (int i = 0; i < 100 && probe.SelectionOwner("CLIPBOARD") == 0; ++i) usleep(10000);
    std::string text;
    ASSERT_TRUE(driver->GetClipboardText(text));
    EXPECT_EQ(text, "Gr\xFC\xDF" "e  \x80");

    std::string big;
    for (int i = 0; i < 200 * 1024; ++i) big += static_cast<char>('a' + i % 26);
    const auto firstOwner = probe.SelectionOwner("CLIPBOARD");
    RunPumping(*driver, "xclip -selection clipboard -i", big);
    // The second xclip takes the clipboard from the first one in its own time.
    for (int i = 0; i < 100 && probe.SelectionOwner("CLIPBOARD") == firstOwner; ++i) usleep(10000);
    ASSERT_TRUE(driver->GetClipboardText(text));
    EXPECT_EQ(text, big);
}

TEST_F(X11DriverTest, ClipboardIncrementalTransferWithACap) {
    const DriverWindowId id = ShowWindow();
    const TPoint o = driver->ClientOrigin(id);
    for (size_t size : {size_t{200 * 1024}, size_t{1536 * 1024}}) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>('A' + i % 23);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) ServeClipboardIncrementally(text, 64 * 1024, ready[1]);
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);

        // Input that arrives while the clipboard is read is kept for the next wait.
        probe.MovePointer(o.x + 30, o.y + static_cast<int>(size % 7) + 3);
        std::string got;
        ASSERT_TRUE(driver->GetClipboardText(got));
        EXPECT_EQ(got.size(), std::min<size_t>(size, 1 << 20));
        EXPECT_EQ(got, text.substr(0, 1 << 20));
        Events ev;
        driver->WaitEvents(driver->Now() + 1000, ev);
        EXPECT_NE(First(ev, DriverEvent::PointerMove), nullptr);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

TEST_F(X11DriverTest, OpenAddressPassesOneArgumentAndLeavesNoZombie) {
    char dir[] = "/tmp/lumi-xdg.XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string log = std::string(dir) + "/log";
    const std::string fake = std::string(dir) + "/xdg-open";
    {
        std::ofstream f(fake);
        f << "#!/bin/sh\nprintf '%s\\n' \"$#\" >\"" << log << ".tmp\"\n"
          << "printf '%s' \"$1\" >>\"" << log << ".tmp\"\nmv \"" << log << ".tmp\" \"" << log << "\"\n"
          << "echo noise; echo noise >&2\n";
    }
    chmod(fake.c_str(), 0755);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(dir) + ":" + oldPath).c_str(), 1);

    const std::string address = "https://example.com/a'b\"c$(touch /tmp/lumi-pwned);d e`id`&f|g";
    driver->GetSystem().OpenAddress(address);
    driver->GetSystem().OpenAddress("-x"); // never reaches xdg-open as an option
    for (int i = 0; i < 100 && access(log.c_str(), F_OK) != 0; ++i) Pump(nullptr, 20);
    EXPECT_EQ(ReadFile(log), "1\n" + address);
    EXPECT_NE(access("/tmp/lumi-pwned", F_OK), 0);

    // The ended child is reaped by the loop itself: no zombie stays behind.
    auto zombies = [] {
        int n = 0;
        std::ifstream kids("/proc/self/task/" + std::to_string(getpid()) + "/children");
        pid_t pid;
        while (kids >> pid) {
            const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
            const size_t close = stat.rfind(')');
            if (close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z') ++n;
        }
        return n;
    };
    for (int i = 0; i < 50 && zombies() > 0; ++i) Pump(nullptr, 20);
    EXPECT_EQ(zombies(), 0);
    setenv("PATH", oldPath.c_str(), 1);
    std::system((std::string("rm -rf ") + dir).c_str());
}

TEST_F(X11DriverTest, CursorShapesAreAccepted) {
    const DriverWindowId id = ShowWindow();
    for (CursorKind c : {CursorKind::Default, CursorKind::Arrow, CursorKind::Cross, CursorKind::IBeam,
                         CursorKind::HandPoint, CursorKind::SizeWE, CursorKind::Hidden, CursorKind::SizeAll,
                         CursorKind::MultiDrag})
        driver->SetCursor(id, c);
    TPoint p;
    EXPECT_TRUE(driver->GetCursorPos(p)); // still connected, no error ended us
    driver->DestroyTopLevel(id);
    driver->SetCursor(id, CursorKind::HandPoint); // a stale id is ignored
    driver->Present(id, Surface(2, 2), {{0, 0, 2, 2}});
}

// A display that goes away ends the program with a message and status 3, never a hang.
TEST(X11DriverConnection, LostDisplayEndsTheProcess) {
    int displayPipe[2], errPipe[2];
    ASSERT_EQ(pipe(displayPipe), 0);
    ASSERT_EQ(pipe(errPipe), 0);
    const pid_t server = fork();
    if (server == 0) {
        dup2(displayPipe[1], 3);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "320x240x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(displayPipe[1]);
    // The server writes its number and then a newline; it dies if the pipe closes in between.
    std::string number;
    char c = 0;
    while (number.size() < 16 && read(displayPipe[0], &c, 1) == 1 && c != '\n') number += c;
    if (number.empty()) {
        close(displayPipe[0]);
        kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
        GTEST_SKIP() << "could not start a second Xvfb";
    }
    const std::string name = ":" + number;

    const pid_t client = fork();
    if (client == 0) {
        // Never back into the test runner from here.
        dup2(errPipe[1], 2);
        std::unique_ptr<Driver> d;
        for (int i = 0; i < 50 && !d; ++i) {
            try {
                d = CreateX11Driver(name.c_str());
            } catch (const Exception&) {
                usleep(20000);
            }
        }
        if (!d) { _exit(4); }
        TopLevelSpec request;
        request.bounds = {0, 0, 20, 20};
        d->ShowTopLevel(d->CreateTopLevel(request), true);
        std::fputs("ready\n", stderr);
        std::fflush(stderr);
        std::vector<DriverEvent> ev;
        for (;;) d->WaitEvents(-1, ev);
    }
    close(errPipe[1]);
    std::string err;
    char buf[256];
    ssize_t got = 0;
    while (err.find("ready\n") == std::string::npos && (got = read(errPipe[0], buf, sizeof buf)) > 0)
        err.append(buf, static_cast<size_t>(got));
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    close(displayPipe[0]);
    int status = 0;
    for (int i = 0; i < 500 && waitpid(client, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(client, &status, WNOHANG) == 0 && !WIFEXITED(status)) {
        kill(client, SIGKILL);
        waitpid(client, &status, 0);
        FAIL() << "the client hung after losing its display";
    }
    while ((got = read(errPipe[0], buf, sizeof buf)) > 0) err.append(buf, static_cast<size_t>(got));
    close(errPipe[0]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_NE(err.find("lost the connection to the X display"), std::string::npos) << err;
}

} // namespace

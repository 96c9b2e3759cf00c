// The X11 driver's input: pointer, keys, the input method and waiting for events.
#include "lumivane/gfx/text/TextEncoding.h"
#include "tests/x11/X11TestKit.h"

using namespace lumivane;
using namespace lumivane::x11test;

namespace {

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
            if (e.type == DriverEvent::Char) AppendUtf8(s, e.ch);
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

    // Characters beyond ASCII arrive as they are, whatever the script.
    probe.MapSpareKey("EuroSign");
    probe.MapSpareKey("eacute");
    probe.MapSpareKey("Cyrillic_zhe");
    Pump(nullptr, 100); // the keyboard mapping change
    ev = typed({"+EuroSign", "-EuroSign", "+eacute", "-eacute", "+Cyrillic_zhe", "-Cyrillic_zhe"});
    EXPECT_EQ(chars(ev), "€éж");

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
            if (e.type == DriverEvent::Char) AppendUtf8(chars, e.ch);
        return chars;
    };
    EXPECT_EQ(typed({"+Return", "-Return", "+eacute", "-eacute", "+dead_acute", "-dead_acute", "+e", "-e"}),
              "\ré" "e");
    EXPECT_FALSE(X11DriverInputMethodOpened(*driver));

    driver->SetTextInput(id, true);
    EXPECT_TRUE(X11DriverInputMethodOpened(*driver));
    EXPECT_EQ(typed({"+dead_acute", "-dead_acute", "+e", "-e"}), "é");

    driver->SetTextInput(id, false);
    EXPECT_EQ(typed({"+dead_acute", "-dead_acute", "+e", "-e"}), "e");
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

}  // namespace

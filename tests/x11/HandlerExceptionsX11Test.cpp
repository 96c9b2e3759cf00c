// Handler exceptions on the real display: the cases of tests/controls/HandlerExceptionsTest.cpp,
// played with real input through the X server and the application's own loop.
#include "tests/x11/X11TestKit.h"

#include <functional>

#include "lumivane/windows/Window.h"
#include "tests/controls/HandlerExceptionsKit.h"

using namespace lumivane;
using namespace lumivane::x11test;
using namespace lumivane::handlertest;

namespace {

class HandlerExceptionsX11 : public X11DriverTest {
protected:
    void SetUp() override {
        X11DriverTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        InitWindowSystem(driver.get());
        Application->Initialize();
        // Wakes the loop now and then, so that a wait for something that never comes ends.
        heartbeat = new TTimer(Application);
        heartbeat->SetInterval(20);
        heartbeat->OnTimer = [](TObject*) {};
    }
    void TearDown() override {
        if (IsSkipped()) return;
        Application->DestroyComponents();
        ShutdownWindowSystem();
    }

    // Runs the application's loop until `done` (at most a few seconds: a bound, not a timing).
    bool LoopUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 300 && !done(); ++i) Application->HandleMessage();
        return done();
    }

    void Provoke(ThrowingWindow& w, Source s, int calls) {
        auto called = [&] { return w.Calls >= calls; };
        switch (s) {
        case Source::Click: {
            const TPoint p = w.Button->ClientToScreen({30, 12});
            probe.MovePointer(p.x, p.y);
            probe.Button(1, true);
            probe.Button(1, false);
            break;
        }
        case Source::Key:
            w.Edit->InnerEdit()->SetFocus();
            probe.Tap("Up");
            break;
        case Source::Timer: w.Clock->SetEnabled(true); break;
        case Source::Paint: w.Panel->Invalidate(); break;
        }
        ASSERT_TRUE(LoopUntil(called)) << w.Armed.name;
        Application->ProcessMessages();
    }

    TTimer* heartbeat = nullptr;
};

}  // namespace

TEST_F(HandlerExceptionsX11, EachReachesHandleExceptionOnceAndTheLoopGoesOn) {
    ThrowingWindow w;
    const auto id = static_cast<uint64_t>(GetDriverWindowId(w.Form->Handle()));
    ASSERT_TRUE(LoopUntil([&] { return probe.Viewable(id); }));
    probe.Focus(id);
    for (const Case& c : kCases) {
        w.Arm(c);
        Provoke(w, c.source, 1);
        EXPECT_EQ(w.Caught, std::vector<std::string>{w.Message()}) << c.name;
        if (c.source == Source::Key) {
            EXPECT_EQ(w.Edit->Value(), 1) << c.name;
        }
        w.Edit->SetValue(0);
        Provoke(w, c.source, 2);
        EXPECT_EQ(w.Caught.size(), 1u) << c.name;
        w.Edit->SetValue(0);
    }
}

// What a handler throws reaches TApplication::HandleException once, whatever its kind and
// wherever it was raised, and the loop goes on; running out of memory and throws of other types
// end the program. Headless here; tests/x11 runs the same cases on the real display.
#include <gtest/gtest.h>

#include <new>

#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/ClassRegistry.h"
#include "tests/controls/HandlerExceptionsKit.h"

using namespace lumivane;
using namespace lumivane::handlertest;

namespace {

class HandlerExceptions : public ::testing::Test {
protected:
    void SetUp() override { Application->Initialize(); }
    void TearDown() override { Application->DestroyComponents(); }

    TPoint At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
    void Provoke(ThrowingWindow& w, Source s) {
        switch (s) {
        case Source::Click: {
            const TPoint p = At(w.Button, 30, 12);
            session.Click(p.x, p.y);
            break;
        }
        case Source::Key:
            w.Edit->InnerEdit()->SetFocus();
            session.Key(VK_UP);
            break;
        case Source::Timer:
            w.Clock->SetEnabled(true);
            session.Wait(40);
            break;
        case Source::Paint:
            w.Panel->Invalidate();
            session.Pump();
            break;
        }
    }

    HeadlessSession session;
};

}  // namespace

TEST_F(HandlerExceptions, EachReachesHandleExceptionOnceAndTheLoopGoesOn) {
    for (const Case& c : kCases) {
        ThrowingWindow w;
        session.Pump();
        w.Arm(c);
        Provoke(w, c.source);
        EXPECT_EQ(w.Calls, 1) << c.name;
        EXPECT_EQ(w.Caught, std::vector<std::string>{w.Message()}) << c.name;
        // The control's own work around the handler still ran: the edit stepped.
        if (c.source == Source::Key) {
            EXPECT_EQ(w.Edit->Value(), 1) << c.name;
        }
        // And the loop goes on: the same handler runs again, without throwing now.
        Provoke(w, c.source);
        EXPECT_EQ(w.Calls, 2) << c.name;
        EXPECT_EQ(w.Caught.size(), 1u) << c.name;
    }
}

// Without OnException the framework's message box shows it, captioned with the title.
TEST_F(HandlerExceptions, WithoutOnExceptionAMessageBoxShowsIt) {
    std::vector<std::string> boxes;
    Application->OnMessageBox = [&](const std::string& text, const std::string&, unsigned flags) {
        boxes.push_back(text + (flags == (MB_OK | MB_ICONERROR) ? " (error)" : ""));
        return IDOK;
    };
    {
        ThrowingWindow w;
        Application->OnException.Clear();
        session.Pump();
        w.Arm(kCases[1]);
        Provoke(w, Source::Click);
    }
    Application->OnMessageBox = nullptr;
    EXPECT_EQ(boxes, std::vector<std::string>{"runtime click, runtime_error (error)"});
}

TEST_F(HandlerExceptions, OutOfMemoryAndOtherThrowsEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto endsWith = [&](auto thrower) {
        ThrowingWindow w;
        session.Pump();
        w.Button->OnClick = [thrower](TObject*) { thrower(); };
        const TPoint p = At(w.Button, 30, 12);
        session.Click(p.x, p.y);
    };
    EXPECT_EXIT(endsWith([] { throw std::bad_alloc(); }), ::testing::ExitedWithCode(1), "out of memory; the program ends");
    EXPECT_EXIT(endsWith([] { throw 42; }), ::testing::ExitedWithCode(1), "not an exception; the program ends");
}

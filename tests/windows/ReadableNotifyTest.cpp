#include <gtest/gtest.h>
#include <unistd.h>

#include "WindowTestKit.h"

using namespace lumivane;

namespace {

class ReadableNotify : public ::testing::Test, public WindowTest {
protected:
    ReadableNotify() { EXPECT_EQ(pipe(fds), 0); }
    ~ReadableNotify() override {
        close(fds[0]);
        close(fds[1]);
    }
    int Notices(HWND hwnd) {
        session.Pump();
        return CountOf(hwnd, WM_APP + 3);
    }
    int fds[2] = {-1, -1};
};

// One request, one message, with the fd in wParam: unread data does not repeat it until the
// window asks again; a null window forgets the fd; stale windows and bad fds are refused.
TEST_F(ReadableNotify, OneMessagePerRequestWhileDataWaits) {
    HWND hwnd = TopLevel();
    ASSERT_TRUE(NotifyReadable(fds[0], hwnd, WM_APP + 3));
    EXPECT_EQ(Notices(hwnd), 0);  // nothing to read yet

    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(Notices(hwnd), 1);
    for (const LoggedMessage& m : Log()) {
        if (m.msg == WM_APP + 3) {
            EXPECT_EQ(m.wp, static_cast<WPARAM>(fds[0]));
        }
    }
    EXPECT_EQ(Notices(hwnd), 1);  // still unread, but not asked again

    ASSERT_TRUE(NotifyReadable(fds[0], hwnd, WM_APP + 3));
    EXPECT_EQ(Notices(hwnd), 2);

    ASSERT_TRUE(NotifyReadable(fds[0], hwnd, WM_APP + 3));
    ASSERT_TRUE(NotifyReadable(fds[0], nullptr, 0));
    EXPECT_EQ(Notices(hwnd), 2);  // forgotten

    HWND gone = TopLevel();
    DestroyWindow(gone);
    EXPECT_FALSE(NotifyReadable(fds[0], gone, WM_APP + 3));
    EXPECT_FALSE(NotifyReadable(-1, hwnd, WM_APP + 3));
}

}  // namespace

#pragma once
#include <string>
#include <vector>

#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// Windows that record the messages they get and paint themselves in one colour (GWLP_USERDATA).
struct LoggedMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

inline std::vector<LoggedMessage>& Log() {
    static std::vector<LoggedMessage> log;
    return log;
}

// Messages of interest only: the window system sends plenty of others.
inline std::vector<UINT> LoggedOf(HWND hwnd, std::initializer_list<UINT> kinds) {
    std::vector<UINT> r;
    for (const LoggedMessage& m : Log())
        if ((!hwnd || m.hwnd == hwnd) && std::find(kinds.begin(), kinds.end(), m.msg) != kinds.end())
            r.push_back(m.msg);
    return r;
}

inline int CountOf(HWND hwnd, UINT msg) {
    int n = 0;
    for (const LoggedMessage& m : Log())
        if (m.hwnd == hwnd && m.msg == msg) ++n;
    return n;
}

inline LRESULT CALLBACK_Recorder(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        if (dc) dc->FillRect(rc, static_cast<TColor>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class WindowTest {
public:
    WindowTest() {
        Log().clear();
        WNDCLASS wc;
        wc.lpszClassName = "Recorder";
        wc.lpfnWndProc = CALLBACK_Recorder;
        RegisterClassA(wc);
        wc.lpszClassName = "RecorderDbl";
        wc.style = CS_DBLCLKS;
        RegisterClassA(wc);
    }

    // A shown top-level window at (100, 100) of the given client size, painted in `color`.
    HWND TopLevel(int w = 200, int h = 150, TColor color = clWhite, uint32_t style = WS_CAPTION) {
        HWND hwnd = CreateWindowExA(0, "Recorder", "top", style, 100, 100, w, h, nullptr, 0, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
        ShowWindow(hwnd, SW_SHOW);
        session.Pump();
        return hwnd;
    }
    HWND Child(HWND parent, int x, int y, int w, int h, TColor color, const char* cls = "Recorder") {
        HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD, x, y, w, h, parent, 0, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
        ShowWindow(hwnd, SW_SHOW);
        return hwnd;
    }

    HeadlessSession session;
};

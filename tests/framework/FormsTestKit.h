#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Label.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// A headless session with the framework's classes registered, message boxes answered by a hook
// that records them, and every form the test made through the application freed at the end.
class FormsTest : public ::testing::Test {
protected:
    struct Box {
        std::string text, caption;
        unsigned flags;
    };

    void SetUp() override {
        Application->Initialize();
        Application->SetTitle("Test Title");
        Application->OnMessageBox = [this](const std::string& t, const std::string& c, unsigned f) {
            boxes.push_back({t, c, f});
            return IDOK;
        };
    }
    void TearDown() override {
        session.Driver().SetWaitHook(nullptr);
        Application->DestroyComponents();
        Application->OnMessageBox = nullptr;
        Application->OnException.Clear();
        Application->SetTitle("");
    }

    // A plain form of the given client size at screen (100, 100), shown.
    TForm* ShowForm(int clientW = 300, int clientH = 200) {
        auto* f = new TForm(Application);
        f->SetColor(clWhite);
        f->SetLeft(100);
        f->SetTop(100);
        f->SetClientSize(clientW, clientH);
        f->Show();
        session.Pump();
        return f;
    }

    // Screen position of a client point of a control.
    TPoint At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
    void MoveOver(TControl* c, int x, int y) {
        TPoint p = At(c, x, y);
        session.Move(p.x, p.y);
    }

    // Events a blocking loop (Run, a modal box) meets when it would wait: each step runs once,
    // in order, from the headless driver's wait hook.
    void Script(std::vector<std::function<void()>> steps) {
        auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto index = std::make_shared<size_t>(0);
        session.Driver().SetWaitHook([shared, index](int64_t) {
            if (*index < shared->size()) (*shared)[(*index)++]();
        });
    }
    // Raw driver input for use inside script steps (the session's own calls pump, which a wait
    // hook must not do).
    void PushClick(HWND top, int x, int y) {
        DriverEvent e;
        e.window = GetDriverWindowId(top);
        e.x = x;
        e.y = y;
        e.button = 1;
        POINT s{x, y};
        ClientToScreen(top, &s);
        session.Driver().SetCursorPos(s);
        for (auto t : {DriverEvent::PointerMove, DriverEvent::ButtonDown, DriverEvent::ButtonUp}) {
            e.type = t;
            session.Driver().Push(e);
        }
    }
    void PushKey(HWND top, unsigned vk, unsigned shift = 0) {
        DriverEvent e;
        e.window = GetDriverWindowId(top);
        e.vk = vk;
        e.shift = shift;
        e.type = DriverEvent::KeyDown;
        session.Driver().Push(e);
        e.type = DriverEvent::KeyUp;
        session.Driver().Push(e);
    }
    void PushClose(HWND top) {
        DriverEvent e;
        e.window = GetDriverWindowId(top);
        e.type = DriverEvent::CloseRequest;
        session.Driver().Push(e);
    }
    // The first top-level window of a window class, or null.
    HWND FindTop(const char* className) {
        for (HWND h : GetTopLevelWindows()) {
            char name[64];
            if (GetClassNameA(h, name, sizeof name) > 0 && std::string(name) == className) return h;
        }
        return nullptr;
    }

    HeadlessSession session;
    std::vector<Box> boxes;
};

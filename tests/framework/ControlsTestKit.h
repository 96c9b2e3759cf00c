#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/GraphicControl.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// A headless window system with a top-level container standing in for a form: white, 300 x 200
// at screen (100, 100), shown.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = new TWinControl(nullptr);
        root->SetColor(clWhite);
        root->SetBounds(100, 100, 300, 200);
        root->HandleNeeded();
        session.Pump();
    }
    void TearDown() override { delete root; }

    HWND Top() { return root->Handle(); }
    TColor Px(int x, int y) { return session.Pixel(Top(), x, y); }

    HeadlessSession session;
    TWinControl* root = nullptr;
};

// A graphic control that fills itself with one colour and records what reaches it.
class TSolidControl : public TGraphicControl {
public:
    explicit TSolidControl(TComponent* owner, TColor c = clRed) : TGraphicControl(owner), fill(c) {}
    TColor fill;
    std::vector<std::string> log;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(fill);
        Canvas()->FillRect({-50, -50, 5000, 5000});  // the clip keeps it inside the control
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        TGraphicControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
        TGraphicControl::MouseUp(b, s, x, y);
    }
};

// A windowed container that records the mouse notifications it hears.
class TRecordingPanel : public TCustomControl {
public:
    explicit TRecordingPanel(TComponent* owner) : TCustomControl(owner) {}
    std::vector<std::string> log;
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
            auto* child = reinterpret_cast<TControl*>(m.LParam);
            log.push_back(std::string(m.Msg == CM_MOUSEENTER ? "enter " : "leave ") + (child ? child->Name() : "self"));
        }
        TCustomControl::Dispatch(m);
    }
};

#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// A shown 300 x 200 form at screen (100, 100) with one up-down edit at (20, 30), its default
// 121 x 21; the pointer starts away from it. Events that fire are logged in order.
struct UpDownScene {
    static constexpr TColor kFormColor = RGB(0xE0, 0xE0, 0xD0);

    HeadlessSession session;
    std::unique_ptr<TForm> form;
    TKdUpDownEdit* edit = nullptr;
    TEdit* other = nullptr;  // takes the focus when the form is shown
    std::vector<std::string> log;
    int changes = 0;

    UpDownScene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetBounds(100, 100, 300, 200);
        form->SetColor(kFormColor);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(20, 150, 60, 21);
        edit = new TKdUpDownEdit(form.get());
        edit->SetName("UpDown1");
        edit->SetParent(form.get());
        edit->SetLeft(20);
        edit->SetTop(30);
        edit->fSetOnChange(TNotifyEvent([this](TObject*) { ++changes; }));
        form->Show();
        session.Pump();
        Away();
    }
    HWND Hwnd() { return form->Handle(); }
    TKdCustomInplaceEdit* Inner() { return edit->InnerEdit(); }
    TKdCustomUpDownButton* Up() { return edit->UpButton(); }
    TKdCustomUpDownButton* Down() { return edit->DownButton(); }
    std::string Text() { return edit->GetText(); }
    // The whole text is selected.
    bool AllSelected() {
        return Inner()->SelStart() == 0 && Inner()->SelLength() == static_cast<int>(Text().size());
    }
    // Pointer at a point of a control of the edit (the edit itself by default), in its coordinates.
    void PointAt(int x, int y) { session.MoveTo(Hwnd(), edit->Left() + x, edit->Top() + y); }
    void PointAt(TControl* part, int x, int y) { PointAt(part->Left() + x, part->Top() + y); }
    void Away() { session.MoveTo(Hwnd(), 280, 180); }
    // Presented pixel of a button, in its own coordinates.
    TColor At(TControl* part, int x, int y) {
        return session.Pixel(Hwnd(), edit->Left() + part->Left() + x, edit->Top() + part->Top() + y);
    }
    TColor At(int x, int y) { return session.Pixel(Hwnd(), edit->Left() + x, edit->Top() + y); }
    void Focus() {
        Inner()->SetFocus();
        session.Pump();
    }
    void Unfocus() {
        other->SetFocus();
        session.Pump();
    }
    void Key(unsigned vk) { session.Key(vk); }
};

inline TColor Rgb(TColor c) { return ColorToRGB(c); }

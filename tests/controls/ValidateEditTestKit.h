#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// A shown 300 x 200 form at screen (100, 100) with one validating edit at (20, 30), its
// default 121 x 21, and a plain edit below it that holds the focus at first; the pointer starts
// away from both.
struct ValidateEditScene {
    static constexpr TColor kFormColor = RGB(0xE0, 0xE0, 0xD0);

    HeadlessSession session;
    std::unique_ptr<TForm> form;
    TEdit* other = nullptr;
    TValidateEdit* edit = nullptr;
    // Events in the order they fired: "OnMouseEnter Edit1", "OnChange inner", ...
    std::vector<std::string> log;

    ValidateEditScene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetBounds(100, 100, 300, 200);
        form->SetColor(kFormColor);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(20, 120, 100, 21);
        edit = new TValidateEdit(form.get());
        edit->SetName("Edit1");
        edit->SetParent(form.get());
        edit->SetLeft(20);
        edit->SetTop(30);
        form->Show();
        session.Pump();
        Away();
    }
    HWND Hwnd() { return form->Handle(); }
    TKdCustomInplaceEdit* Inner() { return edit->InnerEdit(); }
    // Pointer at a point of the edit (in its own coordinates).
    void PointAt(int x, int y) { session.MoveTo(Hwnd(), edit->Left() + x, edit->Top() + y); }
    void Away() { session.MoveTo(Hwnd(), 280, 180); }
    // Pixel of the edit, in its own coordinates, as presented.
    TColor At(int x, int y) { return session.Pixel(Hwnd(), edit->Left() + x, edit->Top() + y); }
    // Who sent an event, by name.
    std::string Who(TObject* Sender) {
        if (Sender == edit) return "Edit1";
        if (Sender == Inner()) return "inner";
        return "other";
    }
    void Focus() {
        Inner()->SetFocus();
        session.Pump();
    }
    void FocusOther() {
        other->SetFocus();
        session.Pump();
    }
    // Text and selection of the inner edit, the way a user would leave them.
    void Prepare(const std::string& text, int selStart, int selLength) {
        edit->SetText(text);
        Inner()->SetSelStart(selStart);
        Inner()->SetSelLength(selLength);
    }
};

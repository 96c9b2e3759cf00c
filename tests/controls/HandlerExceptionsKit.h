#pragma once
// What the tests of handler exceptions share under every driver: a window whose handlers throw
// once when armed, and what reached the application's OnException.
#include <stdexcept>
#include <string>
#include <vector>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Timer.h"

namespace lumivane::handlertest {

// Where a handler throws from: a library button's click, an up-down edit's key (its own arrow
// handling must still step), a timer's tick and a panel's paint.
enum class Source { Click, Key, Timer, Paint };
struct Case {
    Source source;
    bool library;  // an Exception, or else a std::runtime_error
    const char* name;
};
inline const Case kCases[] = {
    {Source::Click, true, "click, Exception"},  {Source::Click, false, "click, runtime_error"},
    {Source::Key, true, "key, Exception"},      {Source::Key, false, "key, runtime_error"},
    {Source::Timer, true, "timer, Exception"},  {Source::Timer, false, "timer, runtime_error"},
    {Source::Paint, true, "paint, Exception"},  {Source::Paint, false, "paint, runtime_error"},
};

// A 300 x 200 client area at (100, 100): the button at (10, 10, 75 x 25), the up-down edit at
// (10, 50, 100 x 24) and the panel at (150, 10, 100 x 100). Each handler counts its calls and
// throws when armed for its source, once.
class ThrowingWindow {
public:
    ThrowingWindow() {
        Application->OnException = [this](TObject*, Exception& e) { Caught.push_back(e.Message()); };
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 300, 200);
        Form->SetClientSize(300, 200);
        Button = new TImButton(Form);
        Button->SetParent(Form);
        Button->SetBounds(10, 10, 75, 25);
        Button->OnClick = [this](TObject*) { Raise(Source::Click); };
        Edit = new TKdUpDownEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 50, 100, 24);
        Edit->OnKeyDown = [this](TObject*, WORD&, TShiftState) { Raise(Source::Key); };
        Panel = new TImPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(150, 10, 100, 100);
        Panel->OnPaint = [this](TObject*) { Raise(Source::Paint); };
        Clock = new TTimer(Form);
        Clock->SetEnabled(false);
        Clock->SetInterval(30);
        Clock->OnTimer = [this](TObject*) {
            Clock->SetEnabled(false);
            Raise(Source::Timer);
        };
        Form->Show();
    }
    ~ThrowingWindow() {
        delete Form;
        Application->OnException.Clear();
    }

    void Arm(const Case& c) {
        Armed = c;
        Caught.clear();
        Calls = 0;
    }
    std::string Message() const { return std::string(Armed.library ? "library " : "runtime ") + Armed.name; }

    TForm* Form;
    TImButton* Button;
    TKdUpDownEdit* Edit;
    TImPanel* Panel;
    TTimer* Clock;
    Case Armed{Source::Click, true, ""};
    int Calls = 0;                     // calls of the armed source's handler
    std::vector<std::string> Caught;   // what reached OnException

private:
    void Raise(Source s) {
        if (s != Armed.source || *Armed.name == 0) return;
        if (Calls++ > 0) return;
        if (Armed.library) throw Exception(Message());
        throw std::runtime_error(Message());
    }
};

}  // namespace lumivane::handlertest

// Feeds arbitrary text as a form layout with the framework's and the library's real classes, on
// the headless window system: the form is loaded, shown, painted, clicked at, left by the
// pointer and freed. Only Exception may come out of loading; nothing may crash, leak or read out
// of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/frmMain.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

HeadlessSession& Session() {
    static HeadlessSession* session = [] {
        auto* s = new HeadlessSession();
        Application->Initialize();
        RegisterNoticeWindow();
        // Library controls the notice window does not place.
        ValidateEdit::Register();
        KdUpDownEdit::Register();
        Application->OnMessageBox = [](const std::string&, const std::string&, unsigned) { return 1; };
        return s;
    }();
    return *session;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HeadlessSession& session = Session();
    if (size > 64 * 1024) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    TCustomForm::SuppressResourceLayouts(true);
    TCustomForm* form = nullptr;
    try {
        form = Application->CreateForm(TForm::StaticClass());
        form->LoadFormText(text);
        // Keep the surfaces small: the layout may ask for any size.
        if (form->Width() <= 2000 && form->Height() <= 2000) {
            form->Show();
            session.Pump();
            TPoint p = form->ClientToScreen({form->ClientWidth() / 2, form->ClientHeight() / 2});
            session.Click(p.x, p.y);
            session.Wait(250);
            // Off the form and past a second: the cursor polls (image panels) run too.
            session.Move(p.x + form->Width(), p.y);
            session.Wait(1000);
        }
    } catch (const Exception&) {
    }
    TCustomForm::SuppressResourceLayouts(false);
    delete form;
    session.Pump();
    return 0;
}

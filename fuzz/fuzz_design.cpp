// Feeds arbitrary text to formview's designer where it takes text from outside: pasted as
// components (the clipboard may hold anything), typed as property values or set members, typed as
// a menu item's name, and taken apart as a layout by name. Only Exception may come out; nothing may crash, leak or read out of bounds, and
// a refused paste or value leaves the layout as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lumivane/base/Exception.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "tools/ToolClasses.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/LayoutText.h"
#include "tools/formview/MenuEdits.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

const char* const kLayout =
    "object Form1: TForm\n"
    "  object Panel1: TPanel\n"
    "    Width = 200\n"
    "    Height = 120\n"
    "    object Button1: TButton\n"
    "      Caption = 'OK'\n"
    "    end\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu\n"
    "  end\n"
    "end\n";

void Session() {
    static HeadlessSession* session = [] {
        auto* s = new HeadlessSession();
        Application->Initialize();
        RegisterToolClasses();
        return s;
    }();
    (void)session;
}

template <class F>
void Refused(TDesignModel& m, F&& f) {
    const std::string before = m.Text();
    try {
        f();
    } catch (const Exception&) {
        if (m.Text() != before) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session();
    if (size > 16 * 1024) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TDesignModel m;
    m.Load(kLayout);
    Refused(m, [&] { PasteComponents(m, text, "Panel1"); });
    for (const char* path : {"Caption", "Left", "Font.Style", "Font.Color", "Cursor", "PopupMenu", "OnClick"})
        Refused(m, [&] { SetPropertyText(m, "Button1", path, text); });
    // The text as a layout of its own, taken apart by a name it may hold.
    const std::string name = LayoutObjectNames(text).empty() ? "X" : LayoutObjectNames(text).front();
    (void)FindLayoutBlock(text, name);
    (void)ExtractBlock(text, name);
    (void)WithoutBlock(text, name);
    (void)WithPropertyLine(text, name, "Left = 1");
    (void)WithoutPropertyLine(text, name, "Left");
    (void)WithChildren(text, name, "object B: TButton\nend\n");
    (void)RenameObjects(text, {{name, "Renamed1"}});
    (void)WithHeaderClass(text, LayoutHeaderClass(text));
    (void)ReaderMessage(text);
    // The text as a set's value the check boxes read, and as a name the menu editor is given.
    TPropertyRow set;
    set.Value = text;
    set.Choices = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    for (size_t i = 0; i <= set.Choices.size(); ++i) (void)ToggledMemberText(set, i);
    Refused(m, [&] { RenameComponent(m, "PopupMenu1", text); });
    Refused(m, [&] { AddMenuItem(m, "PopupMenu1", text, size % 2 == 0); });
    Refused(m, [&] { MoveMenuItem(m, text, 1); });
    return 0;
}

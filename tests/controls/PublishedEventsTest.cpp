// Every published event of each library control can be named in a layout: the events each class
// publishes are the ones its users expect, a layout binding all of them to a form's methods
// loads, and writing it gives back the same text.
#include <gtest/gtest.h>

#include <map>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

namespace {

// One handler per parameter list the library's events have.
class TEventsForm : public TForm {
    LUMI_CLASS(TEventsForm, TForm)
public:
    explicit TEventsForm(TComponent* owner) : TForm(owner) {}
    void Notify(TObject*) {}
    void Mouse(TObject*, TMouseButton, TShiftState, int, int) {}
    void MouseMove(TObject*, TShiftState, int, int) {}
    void Key(TObject*, WORD&, TShiftState) {}
    void KeyPress(TObject*, char32_t&) {}
    void ContextPopup(TObject*, TPoint, bool&) {}
    void DragOver(TObject*, TObject*, int, int, TDragState, bool&) {}
    void DragDrop(TObject*, TObject*, int, int) {}
    void StartDrag(TObject*, TDragObject*&) {}
    void StartDock(TObject*, TDragDockObject*&) {}
    void Progress(TObject*, TProgressStage, uint8_t, bool, const TRect&, const std::string&) {}
    void StatusChanged(TObject*, int, int) {}
    void OwnerDraw(TObject*, TCanvas*, TRect*, int, int&) {}
    void DockDrop(TObject*, TDragDockObject*, int, int) {}
    void DockOver(TObject*, TDragDockObject*, int, int, TDragState, bool&) {}
    void GetSiteInfo(TObject*, TControl*, TRect&, TPoint, bool&) {}
    void UnDock(TObject*, TControl*, TWinControl*, bool&) {}
};

LUMI_DEFINE_CLASS(TEventsForm) {
    p.ExposeMethod("Notify", &TEventsForm::Notify)
        .ExposeMethod("Mouse", &TEventsForm::Mouse)
        .ExposeMethod("MouseMove", &TEventsForm::MouseMove)
        .ExposeMethod("Key", &TEventsForm::Key)
        .ExposeMethod("KeyPress", &TEventsForm::KeyPress)
        .ExposeMethod("ContextPopup", &TEventsForm::ContextPopup)
        .ExposeMethod("DragOver", &TEventsForm::DragOver)
        .ExposeMethod("DragDrop", &TEventsForm::DragDrop)
        .ExposeMethod("StartDrag", &TEventsForm::StartDrag)
        .ExposeMethod("StartDock", &TEventsForm::StartDock)
        .ExposeMethod("Progress", &TEventsForm::Progress)
        .ExposeMethod("StatusChanged", &TEventsForm::StatusChanged)
        .ExposeMethod("OwnerDraw", &TEventsForm::OwnerDraw)
        .ExposeMethod("DockDrop", &TEventsForm::DockDrop)
        .ExposeMethod("DockOver", &TEventsForm::DockOver)
        .ExposeMethod("GetSiteInfo", &TEventsForm::GetSiteInfo)
        .ExposeMethod("UnDock", &TEventsForm::UnDock);
}

const std::map<std::string, std::string> kHandlerFor = {
    {"(Sender)", "Notify"},
    {"(Sender, Button, Shift, X, Y)", "Mouse"},
    {"(Sender, Shift, X, Y)", "MouseMove"},
    {"(Sender, Key, Shift)", "Key"},
    {"(Sender, Key)", "KeyPress"},
    {"(Sender, MousePos, Handled)", "ContextPopup"},
    {"(Sender, Source, X, Y, State, Accept)", "DragOver"},
    {"(Sender, Source, X, Y)", "DragDrop"},
    {"(Sender, Target, X, Y)", "DragDrop"},
    {"(Sender, DragObject)", "StartDrag"},
    {"(Sender, Stage, PercentDone, RedrawNow, R, Msg)", "Progress"},
    {"(Sender, NewStatus, OldStatus)", "StatusChanged"},
    {"(Sender, lpCanvas, lpRect, iStatus, iCounter)", "OwnerDraw"},
};

std::vector<std::string> EventsOf(TClass c) {
    std::vector<std::string> out;
    for (auto& p : c->Properties())
        if (p->Kind == TPropKind::Event) out.push_back(p->Name);
    return out;
}

}  // namespace

TEST(PublishedEvents, EachLibraryControlPublishesItsEventsAndALayoutNamingAllOfThemRoundTrips) {
    HeadlessSession session;
    Application->Initialize();
    ImButton::Register();
    ImImage::Register();
    KdBackImage::Register();
    KdUrlLabel::Register();
    ImPanel::Register();
    ValidateEdit::Register();
    KdUpDownEdit::Register();
    RegisterClass(TEventsForm::StaticClass());

    const std::vector<std::string> drag = {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
                                           "OnStartDock", "OnStartDrag"};
    struct Expect {
        TClass cls;
        std::vector<std::string> events;  // in published order; empty: only drag events checked
    } classes[] = {
        {TImImage::StaticClass(),
         {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
          "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnProgress", "OnStartDock", "OnStartDrag", "OnImStatusChanged"}},
        {TKdUrlLabel::StaticClass(),
         {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
          "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave", "OnStartDock", "OnStartDrag"}},
        {TKdBackImage::StaticClass(),
         {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
          "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"}},
        {TImButton::StaticClass(), {}},
        {TImPanel::StaticClass(), {}},
        {TValidateEdit::StaticClass(),
         {"OnMouseEnter", "OnMouseLeave", "OnChange", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop",
          "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
          "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"}},
        {TKdUpDownEdit::StaticClass(), {}},
    };

    std::string layout = "object EventsForm: TEventsForm\n";
    int n = 0;
    for (const Expect& e : classes) {
        std::vector<std::string> have = EventsOf(e.cls);
        if (!e.events.empty()) {
            std::vector<std::string> sorted = have, want = e.events;
            std::sort(sorted.begin(), sorted.end());
            std::sort(want.begin(), want.end());
            EXPECT_EQ(sorted, want) << e.cls->Name();
        }
        for (const std::string& d : drag)
            EXPECT_NE(std::find(have.begin(), have.end(), d), have.end()) << e.cls->Name() << " lacks " << d;
        ASSERT_NE(e.cls->FindProperty("PopupMenu"), nullptr) << e.cls->Name();

        layout += "  object C" + std::to_string(++n) + ": " + e.cls->Name() + "\n";
        for (auto& p : e.cls->Properties()) {
            if (p->Kind != TPropKind::Event) continue;
            // Dock events hand out dock objects: the drag events' names, their own parameter types.
            static const std::map<std::string, std::string> byName = {
                {"OnStartDock", "StartDock"}, {"OnDockDrop", "DockDrop"}, {"OnDockOver", "DockOver"},
                {"OnGetSiteInfo", "GetSiteInfo"}, {"OnUnDock", "UnDock"}};
            std::string handler;
            if (auto b = byName.find(p->Name); b != byName.end()) {
                handler = b->second;
            } else {
                auto h = kHandlerFor.find(p->Event->Parameters());
                ASSERT_NE(h, kHandlerFor.end()) << e.cls->Name() << "." << p->Name << p->Event->Parameters();
                handler = h->second;
            }
            layout += "    " + p->Name + " = " + handler + "\n";
        }
        layout += "  end\n";
    }
    layout += "end\n";

    TComponent* form = ReadRootComponent(layout, Application);
    const std::string written = WriteForm(form);
    delete form;
    // The writer puts the events after the form's own properties and in published order: compare
    // the lines that bind events.
    auto bindings = [](const std::string& text) {
        std::vector<std::string> out;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            if (line.find(" = ") != std::string::npos && line.find("  On") != std::string::npos) out.push_back(line);
        }
        return out;
    };
    EXPECT_EQ(bindings(written), bindings(layout));
}

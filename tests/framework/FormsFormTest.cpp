#include "tests/framework/FormsTestKit.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"

using namespace lumivane;

namespace {

// A form class with a handler and fields, as a program's own form is written.
class TLoadedForm : public TForm {
    LUMI_CLASS(TLoadedForm, TForm)
public:
    explicit TLoadedForm(TComponent* owner) : TForm(owner) {}
    void FormCreate(TObject*) {
        seenLabel = Label1 ? Label1->Caption() : "(none)";
        seenButton = Button1 != nullptr && Button1->Parent() == this;
        seenCount = ControlCount();
    }
    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;
    std::string seenLabel;
    bool seenButton = false;
    int seenCount = -1;
};

LUMI_DEFINE_CLASS(TLoadedForm) {
    p.ExposeMethod("FormCreate", &TLoadedForm::FormCreate)
        .ExposeField("Label1", &TLoadedForm::Label1)
        .ExposeField("Button1", &TLoadedForm::Button1);
}

const char* kLayout = R"(object LoadedForm: TLoadedForm
  Left = 198
  Top = 89
  Width = 486
  Height = 361
  BorderIcons = [biSystemMenu, biMinimize]
  Caption = 'Renamed'
  Color = clBtnFace
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 14
  object Label1: TLabel
    Left = 8
    Top = 8
    Caption = 'loaded caption'
  end
  object Button1: TButton
    Left = 329
    Top = 245
    Caption = 'Close'
    Default = True
    TabOrder = 0
  end
end
)";

} // namespace

TEST_F(FormsTest, OnCreateSeesEveryControlLoaded) {
    auto* form = new TLoadedForm(Application);
    form->LoadFormText(kLayout);
    EXPECT_EQ(form->seenLabel, "loaded caption");
    EXPECT_TRUE(form->seenButton);
    EXPECT_EQ(form->seenCount, 2);
    EXPECT_FALSE(form->Visible()) << "a form shows when asked, not when loaded";
}

TEST_F(FormsTest, OuterSizeClientAreaAndScreenCentring) {
    auto* form = new TLoadedForm(Application);
    form->LoadFormText(kLayout);
    EXPECT_EQ(form->ClientWidth(), 478);
    EXPECT_EQ(form->ClientHeight(), 334);
    EXPECT_TRUE(form->BorderIcons() == (TBorderIcons{biSystemMenu, biMinimize}));
    form->Show();
    session.Pump();
    EXPECT_EQ(form->Left(), (HeadlessDriver::kScreenWidth - 486) / 2);
    EXPECT_EQ(form->Top(), (HeadlessDriver::kScreenHeight - 361) / 2);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r, (RECT{form->Left() + 4, form->Top() + 23, form->Left() + 4 + 478, form->Top() + 23 + 334}));
    EXPECT_EQ(form->ClientOrigin(), (TPoint{r.Left, r.Top}));
    EXPECT_EQ(GetWindowTextString(form->Handle()), "Renamed");
    uint32_t style = static_cast<uint32_t>(GetWindowLongPtrA(form->Handle(), GWL_STYLE));
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

TEST_F(FormsTest, ResizingTheWindowUpdatesTheOuterSizeAndAlignsChildren) {
    TForm* form = ShowForm(300, 200);
    auto* client = new TLabel(form);
    client->SetParent(form);
    client->SetAutoSize(false);
    client->SetAlign(alClient);
    int resizes = 0;
    form->OnResize = [&](TObject*) { ++resizes; };
    session.Resize(form->Handle(), 400, 250);
    EXPECT_EQ(form->Width(), 408);
    EXPECT_EQ(form->Height(), 277);
    EXPECT_EQ(client->BoundsRect(), (TRect{0, 0, 400, 250}));
    EXPECT_EQ(resizes, 1);
    form->SetClientSize(100, 50);
    RECT r;
    GetClientRect(form->Handle(), &r);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(client->Width(), 100);
}

TEST_F(FormsTest, TheFirstTabStopTakesTheFocusAndEnterPressesTheDefaultButton) {
    auto* form = new TLoadedForm(Application);
    form->LoadFormText(kLayout);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(8, 40, 100, 21);
    edit->SetTabOrder(1);
    int clicks = 0;
    form->Button1->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    session.Pump();
    EXPECT_EQ(GetFocus(), form->Button1->Handle());
    EXPECT_EQ(form->ActiveControl(), form->Button1);

    edit->SetFocus();
    session.Pump();
    EXPECT_EQ(form->ActiveControl(), edit);
    session.Key(VK_RETURN);
    EXPECT_EQ(clicks, 1) << "Enter anywhere presses the default button";
    session.Key(VK_ESCAPE);
    EXPECT_EQ(clicks, 1) << "no Cancel button: Escape does nothing";
    EXPECT_TRUE(form->Visible());

    form->Button1->SetCancel(true);
    session.Key(VK_ESCAPE);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormsTest, TheCloseBoxClosesThroughClose) {
    TForm* form = ShowForm();
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    session.Close(form->Handle());
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(IsWindow(form->Handle())) << "hidden, not destroyed";
}

TEST_F(FormsTest, AModalFormEndsWithTheModalResultOfItsButton) {
    TForm* owner = ShowForm();
    auto* dialog = new TForm(Application);
    dialog->SetBounds(150, 150, 200, 120);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(10, 10, 75, 25);
    ok->SetModalResult(mrOk);
    bool ownerEnabled = true;
    Script({[&] {
        ownerEnabled = IsWindowEnabled(owner->Handle());
        PushClick(dialog->Handle(), 20, 20);
    }});
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(FormsTest, TheLayoutWrittenBackKeepsTheFormsValues) {
    RegisterClass(TLoadedForm::StaticClass());
    auto* form = new TLoadedForm(Application);
    form->LoadFormText(kLayout);
    std::string text = WriteForm(form);
    EXPECT_NE(text.find("BorderIcons = [biSystemMenu, biMinimize]"), std::string::npos) << text;
    EXPECT_NE(text.find("Position = poScreenCenter"), std::string::npos);
    EXPECT_NE(text.find("TextHeight = 14"), std::string::npos);
    EXPECT_EQ(text.find("BorderStyle"), std::string::npos) << "sizeable is the default";
    EXPECT_EQ(text.find("ClientWidth"), std::string::npos);
    EXPECT_LT(text.find("OnCreate = FormCreate"), text.find("PixelsPerInch = 96"));
    delete form;
}

TEST_F(FormsTest, FormIconDataTakesPictureDataOrABareIconFile) {
    TForm* form = ShowForm();
    // A 1x1 icon: header, one directory entry, a 32-bit image with its mask.
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0,
                                40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 255, 255, 0, 0, 0, 0};
    auto* icon = form->Icon();
    std::string hex;
    for (uint8_t b : ico) {
        static const char* d = "0123456789ABCDEF";
        hex += d[b >> 4];
        hex += d[b & 15];
    }
    ReadForm(form, "object F: TForm\n  Icon.Data = {" + hex + "}\nend\n");
    EXPECT_EQ(icon->Width(), 1);
    const HeadlessDriver::Window* w = session.Driver().Find(GetDriverWindowId(form->Handle()));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->iconWidth, 1);
    EXPECT_THROW(ReadForm(form, "object F: TForm\n  Icon.Data = {0754426974}\nend\n"), Exception);
}

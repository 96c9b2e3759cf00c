#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "KdBackImageTestKit.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Panel.h"

using namespace lumivane;

namespace {

constexpr TColor kFormColor = RGB(0x20, 0x30, 0x40);
constexpr TColor kNom = RGB(200, 0, 0), kHot = RGB(0, 200, 0), kSel = RGB(0, 0, 200), kOther = RGB(90, 90, 0);

std::unique_ptr<TPicture> SolidPicture(TColor c, int size = 8) {
    TBitmap bmp;
    bmp.SetSize(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) bmp.Pixels().Set(x, y, ColorToPixel(c));
    return PictureOf(&bmp);
}

// The colour of the picture's top-left pixel, or none.
TColor Shows(TPicture* p) {
    auto* b = dynamic_cast<TBitmap*>(p->Graphic());
    return b && !b->Empty() ? PixelToColor(b->Pixels().Get(0, 0)) : clNone;
}

// Stands in for the image panel: the image finds it by its class name and calls it through
// IImPanelHost. It returns images to normal as the panel does, and logs the calls.
class TFakeImPanel : public TPanel, public IImPanelHost {
    LUMI_CLASS(TFakeImPanel, TPanel)
public:
    explicit TFakeImPanel(TComponent* AOwner) : TPanel(AOwner) {}
    void ResetAllImages() override { Each(1, "reset"); }
    void UnselAllImages() override { Each(2, "unsel"); }
    bool fGetKeepSelStatus() const override { return Keep; }

    std::vector<std::string> Calls;
    bool Keep = false;
    bool Raise = false;

private:
    void Each(int status, const char* what) {
        Calls.push_back(what);
        if (Raise) throw Exception("panel failed");
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* im = dynamic_cast<TImImage*>(Controls(i)); im && im->fGetImStatus() == status) im->fSetImStatus(0);
    }
};

TClass TFakeImPanel::StaticClass() {
    static const TClassInfo info = TClassInfo::Make<TFakeImPanel>("TImPanel");
    return &info;
}
void TFakeImPanel::Publish(TPublished<TFakeImPanel>&) {}

// A shown form holding images; each image's status events are logged as "new<-old".
struct ImageScene {
    HeadlessSession session;
    std::unique_ptr<TForm> form;
    std::vector<std::string> events;

    ImageScene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetBounds(50, 50, 300, 200);
        form->SetColor(kFormColor);
        form->Show();
        session.Pump();
    }
    TImImage* AddImage(TWinControl* parent, int left, int top, const std::string& name) {
        auto* im = new TImImage(form.get());
        im->SetName(name);
        im->SetParent(parent);
        im->SetBounds(left, top, 8, 8);
        im->Picture()->Assign(SolidPicture(kNom).get());
        im->fSetHotPicutre(SolidPicture(kHot).get());
        im->fSetSelPicture(SolidPicture(kSel).get());
        im->OnImStatusChanged = [this, name](TObject*, int n, int o) {
            events.push_back(name + ":" + std::to_string(n) + "<-" + std::to_string(o));
        };
        session.Pump();
        return im;
    }
    TColor At(int x, int y) { return session.Pixel(form->Handle(), x, y); }
    void MoveTo(int x, int y) { session.MoveTo(form->Handle(), x, y); }
};

}  // namespace

TEST(ImImage, FirstRequestAdoptsTheShownPictureAsNormal) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    EXPECT_EQ(s.At(12, 12), kNom);
    im->fSetImStatus(1);
    s.session.Pump();
    EXPECT_EQ(Shows(im->fGetNomPicture()), kNom);
    EXPECT_EQ(s.At(12, 12), kHot);
    im->fSetImStatus(2);
    s.session.Pump();
    EXPECT_EQ(s.At(12, 12), kSel);
    im->fSetImStatus(7);  // anything else means normal
    s.session.Pump();
    EXPECT_EQ(im->fGetImStatus(), 0);
    EXPECT_EQ(s.At(12, 12), kNom);
    im->fSetImStatus(0);  // asking for the current state still reports
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:1<-0", "A:2<-1", "A:0<-2", "A:0<-0"}));
}

TEST(ImImage, EmptyStatePictureShowsNothingAndAutoSizeFollows) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    im->SetAutoSize(true);
    im->fSetSelPicture(SolidPicture(kSel, 16).get());
    im->fSetHotPicutre(nullptr);
    im->fSetImStatus(1);
    s.session.Pump();
    EXPECT_EQ(s.At(12, 12), kFormColor);
    im->fSetImStatus(2);
    s.session.Pump();
    EXPECT_EQ(im->Width(), 16);
    EXPECT_EQ(s.At(24, 24), kSel);
}

TEST(ImImage, HotPictureSetWhileHotWaitsForTheNextEntry) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    im->fSetImStatus(1);
    im->fSetHotPicutre(SolidPicture(kOther).get());
    s.session.Pump();
    EXPECT_EQ(s.At(12, 12), kHot);
    im->fSetImStatus(1);  // already hot: nothing is copied
    s.session.Pump();
    EXPECT_EQ(s.At(12, 12), kHot);
    im->fSetImStatus(0);
    im->fSetImStatus(1);
    s.session.Pump();
    EXPECT_EQ(s.At(12, 12), kOther);
}

TEST(ImImage, InertImageRefusesEveryRequestAndOnlyClicks) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    im->fSetIsBkgnd(true);
    int clicks = 0;
    im->OnClick = [&](TObject*) { ++clicks; };
    for (int status : {1, 2, 0}) im->fSetImStatus(status);
    s.MoveTo(12, 12);
    s.MoveTo(13, 13);
    s.session.ClickAt(s.form->Handle(), 12, 12);
    EXPECT_EQ(im->fGetImStatus(), 0);
    EXPECT_TRUE(s.events.empty());
    EXPECT_FALSE(im->fGetNomPicture()->HasGraphic());
    EXPECT_EQ(s.At(12, 12), kNom);
    EXPECT_EQ(clicks, 1);
}

TEST(ImImage, HandlerFailureShowsOneMessageBoxAndTheChangeStands) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    struct Box {
        std::string text, caption;
        unsigned flags;
    };
    std::vector<Box> boxes;
    const std::string title = Application->Title();
    Application->SetTitle("Test TImButtons");
    Application->OnMessageBox = [&](const std::string& t, const std::string& c, unsigned f) {
        boxes.push_back({t, c, f});
        return IDOK;
    };
    im->OnImStatusChanged = [](TObject*, int, int) { throw Exception("status handler failed"); };
    EXPECT_NO_THROW(im->fSetImStatus(1));
    Application->OnMessageBox = nullptr;
    Application->SetTitle(title);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "status handler failed");
    EXPECT_EQ(boxes[0].caption, "Test TImButtons");
    EXPECT_EQ(boxes[0].flags, 0x30u);
    EXPECT_EQ(im->fGetImStatus(), 1);

    // Failures that are not the framework's pass through untouched.
    im->OnImStatusChanged = [](TObject*, int, int) { throw std::runtime_error("other"); };
    EXPECT_THROW(im->fSetImStatus(0), std::runtime_error);
}

TEST(ImImage, OnAPlainFormTheFirstMoveMakesItHotForGood) {
    ImageScene s;
    TImImage* im = s.AddImage(s.form.get(), 10, 10, "A");
    int moves = 0;
    im->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    s.MoveTo(12, 12);
    s.MoveTo(14, 13);
    s.MoveTo(200, 150);
    s.session.Wait(3000);
    EXPECT_EQ(im->fGetImStatus(), 1);
    EXPECT_EQ(s.At(12, 12), kHot);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:1<-0"}));
    // A click outside a panel changes nothing.
    s.session.ClickAt(s.form->Handle(), 12, 12);
    EXPECT_EQ(im->fGetImStatus(), 1);
}

TEST(ImImage, InsideAPanelMovesResetOthersAndClicksSelectWhenKept) {
    ImageScene s;
    auto* panel = new TFakeImPanel(s.form.get());
    panel->SetParent(s.form.get());
    panel->SetBounds(0, 0, 200, 100);
    TImImage* a = s.AddImage(panel, 10, 10, "A");
    TImImage* b = s.AddImage(panel, 40, 10, "B");
    TImImage* bg = s.AddImage(panel, 70, 10, "Bg");
    bg->fSetIsBkgnd(true);

    s.MoveTo(12, 12);
    EXPECT_EQ(panel->Calls, (std::vector<std::string>{"reset"}));
    s.MoveTo(42, 12);  // onto B: A goes back to normal first
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:1<-0", "A:0<-1", "B:1<-0"}));
    s.MoveTo(72, 12);  // the inert image clears the panel's hot images
    EXPECT_EQ(b->fGetImStatus(), 0);

    s.events.clear();
    panel->Calls.clear();
    panel->Keep = true;
    s.session.ClickAt(s.form->Handle(), 12, 12);
    EXPECT_EQ(a->fGetImStatus(), 2);
    s.session.Wait(1000);
    s.session.ClickAt(s.form->Handle(), 42, 12);
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_EQ(b->fGetImStatus(), 2);
    s.MoveTo(43, 13);  // a selected image stays selected under the mouse
    EXPECT_EQ(b->fGetImStatus(), 2);
    EXPECT_EQ(s.At(42, 12), kSel);

    // Without KeepSelStatus a click leaves the image normal; clicks on the inert one do nothing.
    panel->Keep = false;
    s.session.Wait(1000);
    s.session.ClickAt(s.form->Handle(), 72, 12);
    EXPECT_EQ(b->fGetImStatus(), 2);
    s.session.Wait(1000);
    s.session.ClickAt(s.form->Handle(), 12, 12);
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_EQ(b->fGetImStatus(), 0);
}

TEST(ImImage, PanelFailuresAreSwallowedAndTheClickStillFires) {
    ImageScene s;
    auto* panel = new TFakeImPanel(s.form.get());
    panel->SetParent(s.form.get());
    panel->SetBounds(0, 0, 200, 100);
    TImImage* a = s.AddImage(panel, 10, 10, "A");
    int clicks = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    panel->Raise = true;
    panel->Keep = true;
    s.MoveTo(12, 12);
    EXPECT_EQ(a->fGetImStatus(), 1);  // the move goes on after the panel failed
    s.session.ClickAt(s.form->Handle(), 12, 12);
    EXPECT_EQ(panel->Calls, (std::vector<std::string>{"reset", "unsel"}));
    EXPECT_EQ(a->fGetImStatus(), 1);
    EXPECT_EQ(clicks, 1);
}


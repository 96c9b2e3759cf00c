// The notice window and the gallery on displays of scale 2 and 3: every pixel but the glyphs is
// the 1x picture's pixel made a block, the pointer works in logical pixels, and a change of the
// display's scale resizes the open windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/DragDrop.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/gfx/text/TextPainter.h"
#include "lumivane/windows/DeviceEdge.h"
#include "lumivane/windows/Window.h"
#include "tests/SourceDir.h"
#include "tools/ToolClasses.h"
#include "lumivane/gfx/image/FileBytes.h"

using namespace lumivane;

namespace {

std::string Layout(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(SourceDir() + "/" + path, 16u << 20);
    return std::string(bytes.begin(), bytes.end());
}

// The form of the layout shown on a display of the scale, the pointer at `pointer` (logical,
// client coordinates), without glyphs; what the display shows of it.
Surface Picture(const std::string& layout, int scale, TPoint pointer) {
    Surface out;
    {
        HeadlessSession session(scale);
        Application->Initialize();
        RegisterToolClasses();
        TCustomForm* form = CreateLayoutForm(layout);
        form->Show();
        session.Pump();
        const TPoint p = form->ClientToScreen(pointer);
        session.Move(p.x, p.y);
        out = session.Presented(form->Handle());
        Application->DestroyComponents();
    }
    return out;
}

struct GlyphsHidden {
    GlyphsHidden() { SetGlyphsShown(false); }
    ~GlyphsHidden() { SetGlyphsShown(true); }
};

TEST(ScaledForms, EveryPixelButTheGlyphsIsTheOneXPixelMadeABlock) {
    GlyphsHidden hidden;
    struct Case {
        const char* layout;
        TPoint pointer; // over a control, so that its hot look is compared too
    };
    for (const Case& c : {Case{"app/frmMain.txt", {366, 257}}, Case{"gallery/frmGallery.txt", {80, 50}},
                          Case{"gallery/frmGallery.txt", {300, 480}}}) {
        const Surface one = Picture(Layout(c.layout), 1, c.pointer);
        ASSERT_GT(one.Width(), 0);
        for (int n : {2, 3}) {
            SCOPED_TRACE(std::string(c.layout) + " at scale " + std::to_string(n));
            const Surface big = Picture(Layout(c.layout), n, c.pointer);
            ASSERT_EQ(big.Width(), one.Width() * n);
            ASSERT_EQ(big.Height(), one.Height() * n);
            int wrong = 0;
            TPoint first{-1, -1};
            for (int y = 0; y < big.Height(); ++y)
                for (int x = 0; x < big.Width(); ++x)
                    if (big.Get(x, y) != one.Get(x / n, y / n) && wrong++ == 0) first = {x, y};
            EXPECT_EQ(wrong, 0) << "first at device " << first.x << "," << first.y;
        }
    }
}

// A form of two panels whose pointer events are written down, on a display of scale n.
class ScaledPointer : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new TForm(Application);
        form->SetBounds(0, 0, 200, 120);
        target = Panel(10, 10);
        source = Panel(100, 10);
        target->OnMouseEnter = [this](TObject*) { log.push_back("enter"); };
        target->OnMouseLeave = [this](TObject*) { log.push_back("leave"); };
        target->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
            log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
        };
        source->SetDragMode(dmAutomatic);
        form->Show();
        session.Pump();
        origin = form->ClientToScreen({0, 0});
    }
    void TearDown() override { Application->DestroyComponents(); }

    TPanel* Panel(int left, int top) {
        auto* p = new TPanel(form);
        p->SetParent(form);
        p->SetBounds(left, top, 40, 20);
        return p;
    }
    // The pointer at device pixel (x, y) of the form's client area.
    void At(int x, int y) { session.MoveOnDisplay(origin.x * n + x, origin.y * n + y); }

    const int n = GetParam();
    HeadlessSession session{n};
    TForm* form = nullptr;
    TPanel* target = nullptr;
    TPanel* source = nullptr;
    TPoint origin;
    std::vector<std::string> log;
};

TEST_P(ScaledPointer, HitTestingAndHoverFollowTheBlocksOfLogicalPixels) {
    // The panel covers logical 10..49 by 10..29: device 10n .. 50n-1.
    At(10 * n - 1, 10 * n);
    EXPECT_TRUE(log.empty());
    At(10 * n, 10 * n);
    At(10 * n + n - 1, 10 * n + n - 1);  // the far corner of the same block: the same place
    At(50 * n - 1, 30 * n - 1);          // the last block inside
    At(50 * n, 30 * n - 1);              // one device pixel further: outside
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "move 0,0", "move 0,0", "move 39,19", "leave"}));
}

TEST_P(ScaledPointer, ADragStartsOnlyPastTheThresholdInLogicalPixels) {
    // Pressed at logical (110, 20); the drag starts once the pointer is more than
    // DefaultDragThreshold logical pixels away, however many device pixels that is.
    At(110 * n, 20 * n);
    session.Press();
    At((110 + DefaultDragThreshold) * n + n - 1, 20 * n);
    EXPECT_FALSE(source->Dragging());
    At((110 + DefaultDragThreshold + 1) * n, 20 * n);
    EXPECT_TRUE(source->Dragging());
    session.Release();
    EXPECT_FALSE(source->Dragging());
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPointer, ::testing::Values(1, 2, 3));

TEST(ScaledForms, AChangeOfTheDisplaysScaleResizesOpenWindowsKeepingTheirLogicalSize) {
    GlyphsHidden hidden;
    HeadlessSession session;
    Application->Initialize();
    RegisterToolClasses();
    TCustomForm* form = CreateLayoutForm(Layout("app/frmMain.txt"));
    form->Show();
    session.Pump();
    const DriverWindowId id = GetDriverWindowId(form->Handle());
    auto shown = [&] { return session.Driver().Find(id); };
    ASSERT_EQ(shown()->bounds.Width(), 478);
    const int icon = shown()->iconWidth;
    const Surface one = session.Presented(form->Handle());
    for (int n : {2, 4, 1}) {
        SCOPED_TRACE("scale " + std::to_string(n));
        session.Driver().SetDeviceScale(n);
        session.Pump();
        EXPECT_EQ(form->ClientWidth(), 478);
        EXPECT_EQ(form->ClientHeight(), 334);
        EXPECT_EQ(shown()->bounds.Width(), 478 * n);
        EXPECT_EQ(shown()->bounds.Height(), 334 * n);
        EXPECT_EQ(shown()->iconWidth, icon * n);
        // Painted anew at the new scale.
        const Surface& big = session.Presented(form->Handle());
        ASSERT_EQ(big.Width(), 478 * n);
        int wrong = 0;
        for (int y = 0; y < big.Height(); ++y)
            for (int x = 0; x < big.Width(); ++x) wrong += big.Get(x, y) != one.Get(x / n, y / n);
        EXPECT_EQ(wrong, 0);
    }
    Application->DestroyComponents();
}

TEST(ScaledForms, IconsAreScaledByWholePixelsUpTo1024ASide) {
    const DeviceEdge::Icon icon{2, 1, {0xFF000001, 0xFF000002}};
    struct Case {
        int scale, width;
    };
    for (const Case c : {Case{1, 2}, Case{2, 4}, Case{4, 8}}) {
        const DeviceEdge::Icon big = DeviceEdge::ScaledIcon(icon, c.scale);
        ASSERT_EQ(big.width, c.width);
        ASSERT_EQ(big.argb.size(), static_cast<size_t>(c.width * c.width / 2));
        for (int x = 0; x < big.width; ++x) EXPECT_EQ(big.argb[x], icon.argb[x / c.scale]);
    }
    // 300 pixels: 3x would pass 1024, so 3; 600: only 1.
    const DeviceEdge::Icon wide{300, 1, std::vector<uint32_t>(300, 7)};
    EXPECT_EQ(DeviceEdge::ScaledIcon(wide, 4).width, 900);
    const DeviceEdge::Icon huge{600, 1, std::vector<uint32_t>(600, 7)};
    EXPECT_EQ(DeviceEdge::ScaledIcon(huge, 2).width, 600);
    // A broken icon goes as it came.
    const DeviceEdge::Icon broken{4, 4, {1, 2}};
    EXPECT_EQ(DeviceEdge::ScaledIcon(broken, 2).width, 4);
}

}  // namespace

namespace {

TEST(ScaledForms, AWindowTooBigForASurfaceAtItsScaleIsDrawnAsFarAsOneReaches) {
    HeadlessSession session(4);
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 5000, 100);  // 20000 device pixels wide
    form->Show();
    session.Pump();
    const Surface& shown = session.Presented(form->Handle());
    EXPECT_EQ(shown.Width(), Surface::kMaxSide);
    EXPECT_LE(int64_t{shown.Width()} * shown.Height(), Surface::kMaxArea);
    EXPECT_NE(session.Pixel(form->Handle(), 4095, 10), CLR_INVALID);  // the last logical column drawn
    EXPECT_EQ(session.Pixel(form->Handle(), 4096, 10), CLR_INVALID);
    session.Resize(form->Handle(), 6000, 90);
    EXPECT_EQ(form->ClientWidth(), 6000);
    Application->DestroyComponents();
}

}  // namespace

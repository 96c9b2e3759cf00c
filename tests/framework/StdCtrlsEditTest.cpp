#include "lumivane/framework/Clipbrd.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "tests/framework/ControlsTestKit.h"

using namespace lumivane;

namespace {

// Drops digits as they are typed, the way a filtering edit uses the per-character hook.
class TNoDigitsEdit : public TEdit {
public:
    explicit TNoDigitsEdit(TComponent* owner) : TEdit(owner) {}

protected:
    void KeyPress(char32_t& Key) override {
        if (Key >= '0' && Key <= '9')
            Key = 0;
        else
            TEdit::KeyPress(Key);
    }
};

class EditTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        edit = new TNoDigitsEdit(root);
        edit->SetParent(root);
        edit->SetBounds(10, 10, 150, 21);
        edit->OnChange = [this](TObject*) { ++changes; };
        edit->SetFocus();
    }
    TEdit* edit = nullptr;
    int changes = 0;
};

}  // namespace

TEST_F(EditTest, TypingPastingAndTheKeyPressHook) {
    std::string pressed;
    edit->OnKeyPress = [&](TObject*, char32_t& k) { AppendUtf8(pressed, k); };
    session.Type("ab1c");
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(pressed, "abc");  // the dropped digit never reached the event
    EXPECT_EQ(changes, 3);

    session.Paste("XY");
    EXPECT_EQ(edit->Text(), "abcXY");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(pressed, "abc\x16");  // Ctrl+V is a character; the pasted text is not typed
    EXPECT_TRUE(edit->Modified());

    // Writing the same text raises no change; a different one raises one.
    edit->SetText("abcXY");
    EXPECT_EQ(changes, 4);
    edit->SetText("hello");
    EXPECT_EQ(changes, 5);
}

TEST_F(EditTest, SelectionReadAndReplaced) {
    edit->SetText("Lumivane 1.0");
    edit->SetSelStart(2);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 5);
    EXPECT_EQ(edit->SelText(), "mivan");

    char buf[4];
    EXPECT_EQ(edit->GetSelTextBuf(buf, sizeof buf), 3);
    EXPECT_STREQ(buf, "miv");
    EXPECT_EQ(edit->GetSelTextBuf(buf, 0), 0);
    EXPECT_EQ(edit->GetSelTextBuf(nullptr, 10), 0);

    edit->SetSelText("--");
    EXPECT_EQ(edit->Text(), "Lu--e 1.0");
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->SelStart(), 4);

    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 9);
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "Lu--e 1.0");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    edit->Clear();
    EXPECT_EQ(edit->Text(), "");
}

// The properties reach the native edit (its own tests say what each rule does): one effect each.
TEST_F(EditTest, MaxLengthReadOnlyCaseAndPassword) {
    edit->SetMaxLength(4);
    session.Type("abcdef");
    EXPECT_EQ(edit->Text(), "abcd");

    edit->SetReadOnly(true);
    session.Paste("yz");
    EXPECT_EQ(edit->Text(), "abcd");

    edit->SetReadOnly(false);
    edit->SetMaxLength(0);
    edit->SetCharCase(ecUpperCase);
    session.Key(VK_END);
    session.Type("ef");
    EXPECT_EQ(edit->Text(), "abcdEF");

    // A password edit keeps its text, only shows it masked.
    edit->SetPasswordChar('*');
    EXPECT_EQ(edit->Text(), "abcdEF");
    EXPECT_EQ(edit->PasswordChar(), '*');
}

// Entering by keyboard selects everything; the focus arriving with a click does not.
TEST_F(EditTest, AutoSelectOnKeyboardEntryOnly) {
    auto* other = new TEdit(root);
    other->SetParent(root);
    other->SetBounds(10, 50, 150, 21);
    other->SetText("second");
    session.Key(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelLength(), 6);

    edit->SetText("first");
    session.ClickAt(edit->Handle(), 140, 10);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditTest, BorderIsASunkenTwoPixelFrame) {
    session.Pump();
    auto px = [&](int x, int y) { return session.Pixel(Top(), 10 + x, 10 + y); };
    EXPECT_EQ(px(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(px(149, 20), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(px(1, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(px(148, 19), ColorToRGB(clBtnFace));
    EXPECT_EQ(px(2, 2), ColorToRGB(clWindow));

    edit->SetBorderStyle(bsNone);
    session.Pump();
    EXPECT_EQ(px(0, 0), ColorToRGB(clWindow));

    // The colours follow Color and Font.Color through the reflected colour request.
    edit->SetColor(clYellow);
    session.Pump();
    EXPECT_EQ(px(0, 0), clYellow);
}

TEST_F(ControlsTest, TimerFiresOnTheVirtualClockOnlyWhenItCan) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(100);
    session.Wait(500);
    EXPECT_FALSE(timer.Running());  // no handler, no timer
    timer.SetOnTimer([&](TObject* s) {
        EXPECT_EQ(s, &timer);
        ++ticks;
    });
    session.Wait(350);
    EXPECT_EQ(ticks, 3);

    timer.SetEnabled(false);
    session.Wait(500);
    EXPECT_EQ(ticks, 3);

    timer.SetEnabled(true);
    timer.SetInterval(0);
    session.Wait(500);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.Running());

    // A new interval restarts the count from now.
    timer.SetInterval(200);
    session.Wait(150);
    timer.SetInterval(100);
    session.Wait(99);
    EXPECT_EQ(ticks, 3);
    session.Wait(1);
    EXPECT_EQ(ticks, 4);
}

TEST_F(ControlsTest, TimerFreedInsideItsOwnHandlerStops) {
    auto* timer = new TTimer(nullptr);
    int ticks = 0;
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject* s) {
        ++ticks;
        delete static_cast<TTimer*>(s);
    });
    session.Wait(200);
    EXPECT_EQ(ticks, 1);
}

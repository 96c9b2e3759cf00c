// The designer's model: its history gives back every earlier text byte for byte, saving writes
// exactly the writer's text, and every layout of the tree saves unchanged as the writer writes it.
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Control.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "tests/SourceDir.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/LayoutText.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;
namespace fs = std::filesystem;

namespace {

// A fresh model of the text writes the same text: what the history holds reads back unchanged.
std::string Reloaded(const std::string& text) {
    TDesignModel fresh;
    fresh.Load(text);
    return fresh.Text();
}

// The layout read by the library into a form of its own class (a plain form for a class this
// program does not have), as a program reads it, at design time (not placed on the screen).
std::unique_ptr<TCustomForm> ReadAsItsClass(const std::string& text) {
    TClass cls = GetClass(LayoutHeaderClass(text));
    const bool known = cls && cls->InheritsFrom(TCustomForm::StaticClass());
    TCustomForm::SuppressResourceLayouts(true);
    std::unique_ptr<TCustomForm> form(static_cast<TCustomForm*>(CreateComponent(known ? cls : TForm::StaticClass(), nullptr)));
    TCustomForm::SuppressResourceLayouts(false);
    form->SetDesigning(true);  // placed where the file says, not where the window would go
    if (known)
        ReadForm(form.get(), text);
    else
        ReadFormAsPlainForm(form.get(), text);
    return form;
}

}  // namespace

TEST_F(DesignTest, UndoAndRedoGiveBackEveryTextOfASequenceOfEdits) {
    TDesignModel m;
    m.Load(kSmallLayout);
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"move", [&] { EXPECT_TRUE(MoveComponents(m, {"Button1"}, 8, -3)); }},
        {"resize", [&] { EXPECT_TRUE(ResizeComponents(m, {"Button1", "Label1"}, 16, 1)); }},
        {"property", [&] { SetPropertyText(m, "Button1", "Caption", "Grüße 'x'"); }},
        {"nested property", [&] { SetPropertyText(m, "Label1", "Font.Style", "[fsBold]"); }},
        {"add", [&] { EXPECT_EQ(AddComponent(m, GetClass("TValidateEdit"), "Panel1", 24, 64), "ValidateEdit1"); }},
        {"delete", [&] { EXPECT_TRUE(DeleteComponents(m, {"Label1"})); }},
        {"paste", [&] { EXPECT_EQ(PasteComponents(m, CopyComponents(m, {"Button1"}), ""), std::vector<std::string>{"Button2"}); }},
        {"align", [&] { EXPECT_TRUE(AlignComponents(m, {"Button2", "Panel1"}, TLineUp::Top)); }},
    };
    std::vector<std::string> texts = {m.Text()};
    for (const auto& [what, edit] : edits) {
        edit();
        EXPECT_NE(m.Text(), texts.back()) << what << " changed nothing";
        EXPECT_EQ(Reloaded(m.Text()), m.Text()) << what;
        EXPECT_EQ(WithHeaderClass(WriteForm(m.Root()), "TForm"), m.Text()) << what;
        texts.push_back(m.Text());
    }
    for (size_t i = texts.size() - 1; i > 0; --i) {
        ASSERT_TRUE(m.Undo());
        EXPECT_EQ(m.Text(), texts[i - 1]) << "undo of " << edits[i - 1].first;
        EXPECT_EQ(WithHeaderClass(WriteForm(m.Root()), "TForm"), m.Text());
    }
    EXPECT_FALSE(m.Undo());
    EXPECT_FALSE(m.Modified());
    for (size_t i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(m.Redo());
        EXPECT_EQ(m.Text(), texts[i]) << "redo of " << edits[i - 1].first;
    }
    EXPECT_FALSE(m.Redo());
    // A new edit after undoing drops what was undone.
    m.Undo();
    MoveComponents(m, {"Panel1"}, 1, 0);
    EXPECT_FALSE(m.CanRedo());
}

TEST_F(DesignTest, ModifiedFollowsTheTextNotTheHistory) {
    TDesignModel m;
    m.Load(kSmallLayout);
    EXPECT_FALSE(m.Modified());
    EXPECT_FALSE(MoveComponents(m, {"Button1"}, 0, 0));  // nothing changed: no step
    EXPECT_FALSE(m.CanUndo());
    MoveComponents(m, {"Button1"}, 1, 0);
    EXPECT_TRUE(m.Modified());
    MoveComponents(m, {"Button1"}, -1, 0);
    EXPECT_FALSE(m.Modified());  // back where the file has it
    EXPECT_TRUE(m.CanUndo());
}

TEST_F(DesignTest, SaveWritesTheTextAndLeavesNothingElse) {
    const fs::path dir = fs::path(::testing::TempDir()) / "design-save";
    fs::remove_all(dir);
    fs::create_directories(dir);
    TDesignModel m;
    m.Load(kSmallLayout);
    MoveComponents(m, {"Panel1"}, 0, 8);
    ASSERT_TRUE(m.Modified());
    m.Save((dir / "Form1.txt").string());
    EXPECT_FALSE(m.Modified());
    EXPECT_EQ(ReadFile((dir / "Form1.txt").string()), m.Text());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A folder that is not there: the error says so and the edits stay unsaved.
    MoveComponents(m, {"Panel1"}, 0, 8);
    EXPECT_THROW(m.Save((dir / "gone" / "Form1.txt").string()), Exception);
    EXPECT_TRUE(m.Modified());
    fs::remove_all(dir);
}

TEST_F(DesignTest, ALayoutThatDoesNotLoadLeavesTheModelAsItWas) {
    TDesignModel m;
    m.Load(kSmallLayout);
    const std::string before = m.Text();
    for (const char* bad : {"", "object Form1: TForm\n  Left = x\nend\n", "object Form1: TForm\n  object B: TNoSuchClass\n  end\nend\n"}) {
        EXPECT_THROW(m.Load(bad), Exception) << bad;
        EXPECT_THROW(m.Apply(bad), Exception) << bad;
        EXPECT_EQ(m.Text(), before);
        EXPECT_FALSE(m.CanUndo());
    }
}

TEST_F(DesignTest, TheRootKeepsItsClassAndRunsNothingOfIt) {
    TDesignModel m;
    m.Load(ReadFile(SourceDir() + "/gallery/frmGallery.txt"));
    EXPECT_EQ(m.Text().substr(0, m.Text().find('\n')), "object Gallery: TGallery");
    EXPECT_STREQ(m.Root()->ClassName().c_str(), "TForm");
    EXPECT_TRUE(m.Root()->ComponentState().Contains(csDesigning));
}

// Every layout of the tree that loads, saved unchanged, is what the writer writes of the form the
// tools make of it (its header keeping the layout's class).
TEST_F(DesignTest, EveryLayoutOfTheTreeSavesUnchangedAsTheWriterWritesIt) {
    const fs::path dir = fs::path(::testing::TempDir()) / "design-layouts";
    fs::create_directories(dir);
    int checked = 0;
    for (const char* folder : {"app", "gallery", "docs", "examples", "tests/data", "fuzz/corpus"}) {
        const fs::path root = fs::path(SourceDir()) / folder;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            if (e.path().extension() != ".txt") continue;
            const std::string text = ReadFile(e.path().string());
            if (text.rfind("object ", 0) != 0) continue;
            std::string expected;
            try {
                expected = WithHeaderClass(WriteForm(ReadAsItsClass(text).get()), LayoutHeaderClass(text));
            } catch (const Exception&) {
                continue;  // a layout made to be refused
            }
            SCOPED_TRACE(e.path().string());
            TDesignModel m;
            ASSERT_NO_THROW(m.Load(text));
            const std::string saved = (dir / "saved.txt").string();
            m.Save(saved);
            EXPECT_EQ(ReadFile(saved), expected);
            ++checked;
        }
    }
    EXPECT_GE(checked, 20);
    fs::remove_all(dir);
}

TEST_F(DesignTest, AFileChangedOnDiskLoadsUnlessEditsWouldBeLost) {
    TDesignModel m;
    m.Load(kSmallLayout);
    const std::string saved = m.Text();
    using C = TDesignModel::TDiskChange;
    EXPECT_EQ(m.DiskChanged(saved), C::Own);  // our own save coming back
    EXPECT_EQ(m.DiskChanged(kSmallLayout + std::string("\n")), C::Load);
    MoveComponents(m, {"Button1"}, 1, 0);
    EXPECT_EQ(m.DiskChanged(m.Text()), C::Own);
    EXPECT_EQ(m.DiskChanged(saved), C::Own);
    EXPECT_EQ(m.DiskChanged("object Form1: TForm\nend\n"), C::Ask);
    MoveComponents(m, {"Button1"}, -1, 0);  // back as saved: nothing to lose
    EXPECT_EQ(m.DiskChanged("object Form1: TForm\nend\n"), C::Load);
}

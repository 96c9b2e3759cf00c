// The inspector's lists: every value of every enumeration and every member of every set of every
// class the palette offers, chosen from the list, gives a text the reader takes, and the layout
// changes by that one property line and nothing else.
#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/PropInfo.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

// The lines of one text not in the other (either way), as a multiset: what an edit changed.
std::vector<std::string> ChangedLines(const std::string& a, const std::string& b) {
    auto lines = [](const std::string& text) {
        std::multiset<std::string> out;
        for (size_t at = 0; at < text.size();) {
            size_t nl = text.find('\n', at);
            if (nl == std::string::npos) nl = text.size();
            out.insert(text.substr(at, nl - at));
            at = nl + 1;
        }
        return out;
    };
    const std::multiset<std::string> la = lines(a), lb = lines(b);
    std::vector<std::string> out;
    std::set_symmetric_difference(la.begin(), la.end(), lb.begin(), lb.end(), std::back_inserter(out));
    return out;
}

// The properties whose lines an edit of path may write besides its own: those the library ties
// to it. A Font member clears ParentFont, and an autosized control takes the text's size; a
// ParentX puts X back to the parent's; an alignment places the control; an image button's look brings its colours and focus frame.
bool Tied(const std::string& cls, const std::string& path, const std::string& property) {
    const std::string root = path.substr(0, path.find('.'));
    std::vector<std::string> names = {root, "Parent" + root};
    if (root.rfind("Parent", 0) == 0) names.push_back(root.substr(6));
    if (root == "Align") names.insert(names.end(), {"Left", "Top", "Width", "Height"});
    if (root == "Font") names.insert(names.end(), {"Width", "Height"});
    if (cls == "TImButton" && root == "Looks") names.insert(names.end(), {"Colors", "FocusRect"});
    for (const std::string& n : names)
        if (property == n || property.rfind(n + ".", 0) == 0) return true;
    return false;
}

TPropertyRow RowOf(const TDesignModel& m, const std::string& name, const std::string& path) {
    for (TPropertyRow& r : PropertyRows(m, name))
        if (r.Path == path) return r;
    ADD_FAILURE() << "no row " << path;
    return {};
}

// After a list's choice: the value shows as chosen, and only its line differs.
void ExpectOnlyThatLine(const TDesignModel& m, const std::string& before, const std::string& name,
                        const std::string& path, const std::string& shown) {
    EXPECT_EQ(RowOf(m, name, path).Value, shown);
    for (const std::string& line : ChangedLines(before, m.Text())) {
        const size_t indent = line.find_first_not_of(' '), eq = line.find(" = ");
        EXPECT_TRUE(indent != std::string::npos && eq != std::string::npos && Tied(m.Find(name)->ClassName(), path, line.substr(indent, eq - indent)))
            << "changed too: '" << line << "'";
    }
}

}  // namespace

TEST_F(DesignTest, EveryListChoiceOfEveryPaletteClassChangesOnlyItsLine) {
    int enums = 0, sets = 0;
    for (TClass cls : PaletteClasses()) {
        SCOPED_TRACE(cls->Name());
        TDesignModel m;
        m.Load("object Form1: TForm\nend\n");
        const std::string name = AddComponent(m, cls, "", 8, 8);
        const std::string fresh = m.Text();
        for (const TPropertyRow& start : PropertyRows(m, name)) {
            const TPropKind kind = start.Prop->Kind;
            if (kind != TPropKind::Enum && kind != TPropKind::Bool && kind != TPropKind::Set) continue;
            SCOPED_TRACE(start.Path);
            ASSERT_FALSE(start.Choices.empty());
            for (size_t i = 0; i < start.Choices.size(); ++i) {
                SCOPED_TRACE(start.Choices[i]);
                m.Load(fresh);  // each choice from the component's defaults
                const TPropertyRow row = RowOf(m, name, start.Path);
                const std::string before = m.Text();
                if (kind == TPropKind::Set) {
                    // Ticked, then ticked again: in, then out, the other members untouched.
                    const std::string in = ToggledMemberText(row, i);
                    ASSERT_NO_THROW(SetPropertyText(m, name, row.Path, in));
                    const std::vector<bool> held = HeldMembers(RowOf(m, name, row.Path));
                    std::vector<bool> want = HeldMembers(row);
                    want[i] = !want[i];
                    EXPECT_EQ(held, want);
                    ExpectOnlyThatLine(m, before, name, row.Path, in);
                    ASSERT_NO_THROW(SetPropertyText(m, name, row.Path, ToggledMemberText(RowOf(m, name, row.Path), i)));
                    EXPECT_EQ(HeldMembers(RowOf(m, name, row.Path)), HeldMembers(row));
                    ExpectOnlyThatLine(m, before, name, row.Path, row.Value);
                    ++sets;
                } else {
                    ASSERT_NO_THROW(SetPropertyText(m, name, row.Path, ChoiceText(row, i)));
                    ExpectOnlyThatLine(m, before, name, row.Path, row.Choices[i]);
                    ++enums;
                }
            }
        }
    }
    EXPECT_GT(enums, 50);
    EXPECT_GT(sets, 4);
}

TEST_F(DesignTest, AListOffersOnlyTheValuesTheComponentKeeps) {
    TDesignModel m;
    m.Load("object Form1: TForm\n  object Panel1: TPanel\n  end\n  object Image1: TImButton\n  end\nend\n");
    const struct {
        const char* Component;
        const char* Path;
        std::vector<std::string> Choices;
    } cases[] = {
        {"Panel1", "BorderStyle", {"bsNone", "bsSingle"}},  // the form's type, a panel keeps two
        {"Form1", "BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}},
        {"Image1", "Looks", {"ibkNormal", "ibkFlat", "ibkBevelFlat", "ibkUltraFlat", "ibkFullPicture", "ibkWindowsXP"}},
        {"Panel1", "Font.Pitch", {"fpDefault", "fpVariable", "fpFixed"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(RowOf(m, c.Component, c.Path).Choices, c.Choices);
    }
    EXPECT_FALSE(m.CanUndo());  // finding them changed nothing
}

TEST_F(DesignTest, SetMembersReadFromTheValueAsTyped) {
    struct Case {
        const char* Value;
        size_t Toggle;
        std::vector<bool> Held;
        const char* Toggled;
    };
    const std::vector<std::string> members = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    const std::vector<Case> cases = {
        {"[]", 0, {false, false, false, false}, "[fsBold]"},
        {"[fsBold, fsStrikeOut]", 3, {true, false, false, true}, "[fsBold]"},
        {"[fsstrikeout,FSBOLD]", 1, {true, false, false, true}, "[fsBold, fsItalic, fsStrikeOut]"},
        {"[ fsItalic ]", 1, {false, true, false, false}, "[]"},
        {"[fsHeavy, fsItalic]", 2, {false, true, false, false}, "[fsItalic, fsUnderline]"},
        {"", 0, {false, false, false, false}, "[fsBold]"},
        {"][", 0, {false, false, false, false}, "[fsBold]"},
        {"[fsBold", 0, {false, false, false, false}, "[fsBold]"},
        {"[fsBold, fsItalic, fsUnderline, fsStrikeOut]", 4, {true, true, true, true},
         "[fsBold, fsItalic, fsUnderline, fsStrikeOut]"},  // past the last member: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        TPropertyRow row;
        row.Value = c.Value;
        row.Choices = members;
        EXPECT_EQ(HeldMembers(row), c.Held);
        EXPECT_EQ(ToggledMemberText(row, c.Toggle), c.Toggled);
    }
    TPropertyRow list;
    list.Value = "taCenter";
    list.Choices = {"taLeftJustify", "taRightJustify", "taCenter"};
    EXPECT_EQ(ChoiceText(list, 0), "taLeftJustify");
    EXPECT_EQ(ChoiceText(list, 2), "taCenter");
    EXPECT_EQ(ChoiceText(list, 3), "taCenter");  // past the end: the value as it is
}

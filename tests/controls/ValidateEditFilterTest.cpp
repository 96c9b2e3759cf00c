#include <string>
#include <vector>

#include "tests/controls/ValidateEditTestKit.h"

using namespace lumivane;

namespace {

struct KeyCase {
    TValidateType kind;
    const char* set;  // ValidateString for vtCustom
    const char* text;
    int selStart, selLength;
    char key;
    const char* result;  // the text after the key; nullptr: refused (text unchanged)
};

// Typed through the real key path: a character message to the focused inner edit.
const KeyCase kKeyCases[] = {
    {vtInteger, "", "", 0, 0, '-', "-"},
    {vtInteger, "", "12", 0, 0, '-', "-12"},
    {vtInteger, "", "-12", 0, 0, '-', nullptr},
    {vtInteger, "", "-12", 3, 0, '-', nullptr},
    {vtInteger, "", "-12", 0, 0, '5', nullptr},
    {vtInteger, "", "-12", 1, 0, '5', "-512"},
    {vtInteger, "", "-12", 0, 2, '7', "72"},
    {vtInteger, "", "12", 2, 0, ' ', nullptr},
    {vtInteger, "", "12", 2, 0, '+', nullptr},
    {vtInteger, "", "007", 3, 0, '0', "0070"},
    // The digit rule looks past leading blanks, the minus rule at the literal first character.
    {vtInteger, "", " -1", 0, 0, '5', nullptr},
    {vtInteger, "", " -1", 0, 0, '-', "- -1"},
    {vtIntegerPs, "", "12", 0, 0, '-', nullptr},
    {vtIntegerPs, "", "12", 2, 0, '3', "123"},
    {vtFloat, "", "3.14", 4, 0, '.', nullptr},
    {vtFloat, "", "3.14", 1, 2, '.', "3.4"},
    {vtFloat, "", "3.14", 0, 1, '.', nullptr},
    {vtFloat, "", "-5", 0, 0, '.', ".-5"},
    {vtFloat, "", "-5", 0, 0, ',', nullptr},
    {vtFloatPs, "", "2", 1, 0, '-', nullptr},
    {vtFloatPs, "", "2", 1, 0, '.', "2."},
    {vtHexUp, "", "", 0, 0, 'b', "B"},
    {vtHexLo, "", "", 0, 0, 'G', nullptr},
    {vtHexLo, "", "", 0, 0, 'C', "c"},
    {vtHex, "", "", 0, 0, 'x', nullptr},
    {vtHex, "", "", 0, 0, 'F', "F"},
    {vtHex, "", "", 0, 0, '\xE9', nullptr},  // é is printable and no hex digit
    {vtCustom, "0-9A-Fa-f", "", 0, 0, 'e', "e"},
    {vtCustom, "0-9", "", 0, 0, '5', "5"},
    {vtCustom, "0-9", "", 0, 0, '-', nullptr},
    {vtCustom, "-0-9", "", 0, 0, '-', "-"},
    {vtCustom, "0-9-", "", 0, 0, '-', "-"},
    {vtCustom, "a-", "", 0, 0, 'a', "a"},
    {vtCustom, "a-", "", 0, 0, 'b', nullptr},
    {vtCustom, "--/", "", 0, 0, '.', "."},
    {vtCustom, "9-0", "", 0, 0, '5', nullptr},
    {vtCustom, "\xC0-\xFF", "", 0, 0, '\xE9', "\xE9"},
    // Bounds compare as signed bytes: a range from below 128 to above 127 matches nothing.
    {vtCustom, "a-\xE9", "", 0, 0, 'b', nullptr},
    {vtCustom, "a-\xE9", "", 0, 0, '\xE0', nullptr},
    {vtCustom, " ", "x", 1, 0, ' ', "x "},
    {vtNone, "", "12", 2, 0, 'x', "12x"},
    {vtNone, "", "12", 2, 0, '\xE9', "12\xE9"},
};

std::string Show(const char* s) { return s ? "\"" + std::string(s) + "\"" : "refused"; }

}  // namespace

TEST(ValidateEditFilter, TypedCharactersFollowTheRulesOfEachKind) {
    ValidateEditScene s;
    s.Focus();
    std::string pressed;
    s.edit->fSetKeyPress([&](TObject*, char& key) { pressed += key; });
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(std::string(ValidateTypeNames[c.kind]) + " '" + c.set + "' text \"" + c.text + "\" sel " +
                     std::to_string(c.selStart) + "+" + std::to_string(c.selLength) + " key " +
                     std::to_string(static_cast<unsigned char>(c.key)) + " -> " + Show(c.result));
        s.edit->fSetVType(c.kind);
        if (*c.set) s.edit->fSetVString(c.set);
        s.Prepare(c.text, c.selStart, c.selLength);
        pressed.clear();
        s.session.Type(std::string(1, c.key));
        if (c.result) {
            EXPECT_EQ(s.edit->Text(), c.result);
            // OnKeyPress sees what goes in: the case-changed character.
            ASSERT_EQ(pressed.size(), 1u);
            EXPECT_NE(std::string(c.result).find(pressed[0]), std::string::npos);
        } else {
            EXPECT_EQ(s.edit->Text(), c.text);
            EXPECT_EQ(s.Inner()->SelStart(), c.selStart);
            EXPECT_EQ(s.Inner()->SelLength(), c.selLength);
            EXPECT_EQ(pressed, "");  // a refused character fires nothing
        }
    }
}

TEST(ValidateEditFilter, ControlCharactersPassEveryKind) {
    ValidateEditScene s;
    for (int kind = vtNone; kind <= vtHexLo; ++kind) {
        s.edit->fSetVType(static_cast<TValidateType>(kind));
        for (int code = 0; code < 32; ++code) {
            char key = static_cast<char>(code);
            EXPECT_EQ(s.Inner()->fProcessKey(key), static_cast<char>(code)) << "kind " << kind << " code " << code;
        }
        // Space and DEL are not control characters.
        char space = ' ', del = '\x7F';
        EXPECT_EQ(s.Inner()->fProcessKey(space), kind == vtNone ? ' ' : 0) << kind;
        EXPECT_EQ(s.Inner()->fProcessKey(del), kind == vtNone ? '\x7F' : 0) << kind;
    }
    // Backspace typed into a refusing kind still deletes.
    s.Focus();
    s.edit->fSetVType(vtHex);
    s.Prepare("AB", 2, 0);
    s.session.Key(VK_BACK);
    EXPECT_EQ(s.edit->Text(), "A");
    // A kind out of range filters nothing.
    s.edit->fSetVType(static_cast<TValidateType>(42));
    char x = 'x';
    EXPECT_EQ(s.Inner()->fProcessKey(x), 'x');
}

namespace {

struct PasteCase {
    TValidateType kind;
    const char* before;
    int selStart, selLength;
    std::string clip;
    const char* after;
    int selAfterStart, selAfterLength;
};

const PasteCase kPasteCases[] = {
    {vtInteger, "", 0, 0, "12ab", "12", 2, 0},
    // Each character is judged against the text before the paste.
    {vtInteger, "", 0, 0, "--5", "--5", 3, 0},
    {vtFloat, "", 0, 0, "1.2.3", "1.2.3", 5, 0},
    {vtHexUp, "", 0, 0, "ab", "AB", 2, 0},
    {vtHexLo, "x", 1, 0, "ABg", "xab", 3, 0},
    // Nothing passes: text and selection stay as they were.
    {vtInteger, "1234", 1, 2, "xyz", "1234", 1, 2},
    {vtInteger, "1234", 1, 2, "", "1234", 1, 2},
    // The selection is replaced by what passes.
    {vtInteger, "1234", 1, 2, "9x9", "1994", 3, 0},
    // A minus sign at 0 over a selection is judged against that selection.
    {vtInteger, "-12", 0, 1, "-7", "-712", 2, 0},
    // Control characters pass and go in with the digits.
    {vtInteger, "", 0, 0, "12\r\n", "12\r\n", 4, 0},
    {vtIntegerPs, "5", 1, 0, "\xE9" "7-", "57", 2, 0},
    {vtCustom, "", 0, 0, "a1b2", "12", 2, 0},
};

}  // namespace

TEST(ValidateEditFilter, PastesAreFilteredAgainstTheEditBeforeThePaste) {
    ValidateEditScene s;
    s.Focus();
    int changes = 0, presses = 0;
    s.edit->fSetOnChange([&](TObject*) { ++changes; });
    s.edit->fSetKeyPress([&](TObject*, char&) { ++presses; });
    for (const PasteCase& c : kPasteCases) {
        SCOPED_TRACE(std::string(ValidateTypeNames[c.kind]) + " \"" + c.before + "\" paste \"" + c.clip + "\"");
        s.edit->fSetVType(c.kind);
        if (c.kind == vtCustom) s.edit->fSetVString("0-9");
        s.Prepare(c.before, c.selStart, c.selLength);
        changes = presses = 0;
        s.session.SetClipboard(c.clip);
        s.session.Key('V', MK_CONTROL);
        EXPECT_EQ(s.edit->Text(), c.after);
        EXPECT_EQ(s.Inner()->SelStart(), c.selAfterStart);
        EXPECT_EQ(s.Inner()->SelLength(), c.selAfterLength);
        EXPECT_EQ(changes, std::string(c.before) == c.after ? 0 : 1);
        // Ctrl+V itself is a control character (22) that passes; pasted characters fire nothing.
        EXPECT_LE(presses, 1);
    }
}

TEST(ValidateEditFilter, PlainPasteWithoutAKindOrIntoAReadOnlyEdit) {
    ValidateEditScene s;
    s.Focus();
    // No kind: the platform edit's own paste, which keeps a single line.
    s.Prepare("", 0, 0);
    s.session.Paste("a-b\r\nc");
    EXPECT_EQ(s.edit->Text(), "a-b");
    // Read-only: the platform's paste, which does nothing, whatever the kind.
    for (TValidateType kind : {vtNone, vtInteger, vtCustom}) {
        s.edit->fSetVType(kind);
        s.edit->fSetReadOnly(true);
        s.Prepare("7", 1, 0);
        s.session.Paste("123");
        EXPECT_EQ(s.edit->Text(), "7") << kind;
        s.edit->fSetReadOnly(false);
    }
    // An empty clipboard leaves everything as it was.
    s.edit->fSetVType(vtInteger);
    s.Prepare("45", 0, 2);
    s.session.SetClipboard("");
    s.Inner()->PasteFromClipboard();
    EXPECT_EQ(s.edit->Text(), "45");
    EXPECT_EQ(s.Inner()->SelLength(), 2);
}

TEST(ValidateEditFilter, KindAndSetAreCoupledAndNeverTouchTheText) {
    ValidateEditScene s;
    TKdCustomInplaceEdit* e = s.Inner();
    e->fSetVString("abc");
    EXPECT_EQ(e->fGetVType(), vtCustom);
    e->SetText("abc");
    e->fSetVType(vtInteger);
    EXPECT_EQ(e->fGetVString(), "");
    EXPECT_EQ(e->GetText(), "abc");

    e->fSetVType(vtFloat);
    e->fSetVString("xy");
    EXPECT_EQ(e->fGetVType(), vtCustom);
    EXPECT_EQ(e->fGetVString(), "xy");
    // Writing the custom kind keeps the set; an empty set keeps the kind and refuses everything.
    e->fSetVType(vtCustom);
    EXPECT_EQ(e->fGetVString(), "xy");
    e->fSetVString("");
    EXPECT_EQ(e->fGetVType(), vtCustom);
    for (int code = 32; code < 256; ++code) {
        char key = static_cast<char>(code);
        EXPECT_EQ(e->fProcessKey(key), 0) << code;
    }
    // An empty set with another kind leaves that kind.
    e->fSetVType(vtHex);
    e->fSetVString("");
    EXPECT_EQ(e->fGetVType(), vtHex);
    // Program text is never filtered.
    s.edit->SetText("not a number");
    EXPECT_EQ(s.edit->Text(), "not a number");
}

TEST(ValidateEditFilter, InnerEditReportsEachPointerPassageOnceAndKeepsItFromItsHost) {
    ValidateEditScene s;
    TKdCustomInplaceEdit* e = s.Inner();
    std::vector<std::string> seen;
    // The host's handlers are replaced here to watch the inner edit alone.
    e->OnMouseEnter = [&](TObject* Sender) { seen.push_back("enter " + s.Who(Sender)); };
    e->OnMouseLeave = [&](TObject* Sender) { seen.push_back("leave " + s.Who(Sender)); };
    e->Perform(CM_MOUSELEAVE, 0, 0);
    e->Perform(CM_MOUSEENTER, 0, 0);
    e->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(e->MouseIn());
    e->Perform(CM_MOUSELEAVE, 0, 0);
    e->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(e->MouseIn());
    EXPECT_EQ(seen, (std::vector<std::string>{"enter inner", "leave inner"}));
    // Nothing reached the host.
    EXPECT_EQ(s.edit->MouseInState(), 0u);
    EXPECT_EQ(s.edit->MouseInReported(), 0u);
}

#include <string>
#include <vector>

#include "lumivane/gfx/text/TextEncoding.h"
#include "tests/controls/ValidateEditTestKit.h"

using namespace lumivane;

namespace {

struct KeyCase {
    TValidateType kind;
    const char* set;  // ValidateString for vtCustom
    const char* text;
    int selStart, selLength;
    char32_t key;
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
    {vtHex, "", "", 0, 0, U'é', nullptr},  // é is printable and no hex digit
    {vtCustom, "0-9A-Fa-f", "", 0, 0, 'e', "e"},
    {vtCustom, "0-9", "", 0, 0, '5', "5"},
    {vtCustom, "0-9", "", 0, 0, '-', nullptr},
    {vtCustom, "-0-9", "", 0, 0, '-', "-"},
    {vtCustom, "0-9-", "", 0, 0, '-', "-"},
    {vtCustom, "a-", "", 0, 0, 'a', "a"},
    {vtCustom, "a-", "", 0, 0, 'b', nullptr},
    {vtCustom, "--/", "", 0, 0, '.', "."},
    {vtCustom, "9-0", "", 0, 0, '5', nullptr},
    {vtCustom, "À-ÿ", "", 0, 0, U'é', "é"},
    // Bounds compare as signed Windows-1252 bytes: a range from below 128 to above 127 matches
    // nothing, and € (0x80) is the lowest code of all.
    {vtCustom, "a-é", "", 0, 0, 'b', nullptr},
    {vtCustom, "a-é", "", 0, 0, U'à', nullptr},
    {vtCustom, "€-ÿ", "", 0, 0, U'é', "é"},
    {vtCustom, "€-ÿ", "", 0, 0, U'‰', "‰"},
    {vtCustom, "€-ÿ", "", 0, 0, '5', nullptr},
    {vtCustom, " ", "x", 1, 0, ' ', "x "},
    {vtNone, "", "12", 2, 0, 'x', "12x"},
    {vtNone, "", "12", 2, 0, U'é', "12é"},
    // Characters beyond Windows-1252: every kind but vtNone and a set that lists them refuses.
    {vtNone, "", "12", 2, 0, U'я', "12я"},
    {vtNone, "", "ab", 1, 0, U'漢', "a漢b"},
    {vtNone, "", "", 0, 0, U'😀', "😀"},
    {vtInteger, "", "", 0, 0, U'٣', nullptr},  // ARABIC-INDIC DIGIT THREE is no digit here
    {vtInteger, "", "1", 1, 0, U'−', nullptr}, // MINUS SIGN is not '-'
    {vtIntegerPs, "", "", 0, 0, U'７', nullptr},
    {vtFloat, "", "1", 1, 0, U'．', nullptr},
    {vtFloatPs, "", "1", 1, 0, U'я', nullptr},
    {vtHex, "", "", 0, 0, U'Ａ', nullptr},
    {vtHexUp, "", "", 0, 0, U'ｂ', nullptr},
    {vtHexLo, "", "", 0, 0, U'Ω', nullptr},
    {vtCustom, "яA-Z", "", 0, 0, U'я', "я"},
    {vtCustom, "A-Z😀", "x", 1, 0, U'😀', "x😀"},
    {vtCustom, "а-я", "", 0, 0, U'б', nullptr},  // ranges are 8-bit: only listed characters
    {vtCustom, "а-я", "", 0, 0, U'а', nullptr},
    {vtCustom, "a-я", "", 0, 0, 'b', nullptr},   // a bound beyond Windows-1252 matches nothing
    {vtCustom, "a-z", "", 0, 0, U'я', nullptr},
    {vtCustom, "-漢", "", 0, 0, U'漢', "漢"},    // '-' then 漢: two single items
    {vtCustom, "漢-", "", 0, 0, '-', "-"},
};

std::string Show(const char* s) { return s ? "\"" + std::string(s) + "\"" : "refused"; }

}  // namespace

TEST(ValidateEditFilter, TypedCharactersFollowTheRulesOfEachKind) {
    ValidateEditScene s;
    s.Focus();
    std::string pressed;
    s.edit->fSetKeyPress([&](TObject*, char32_t& key) { AppendUtf8(pressed, key); });
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(std::string(ValidateTypeNames[c.kind]) + " '" + c.set + "' text \"" + c.text + "\" sel " +
                     std::to_string(c.selStart) + "+" + std::to_string(c.selLength) + " key " +
                     std::to_string(static_cast<uint32_t>(c.key)) + " -> " + Show(c.result));
        s.edit->fSetVType(c.kind);
        if (*c.set) s.edit->fSetVString(c.set);
        s.Prepare(c.text, c.selStart, c.selLength);
        pressed.clear();
        s.session.Type(CharToString(c.key));
        if (c.result) {
            EXPECT_EQ(s.edit->Text(), c.result);
            // OnKeyPress sees what goes in: the case-changed character.
            ASSERT_EQ(CountChars(pressed), 1u);
            EXPECT_NE(std::string(c.result).find(pressed), std::string::npos);
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
            char32_t key = static_cast<char32_t>(code);
            EXPECT_EQ(s.Inner()->fProcessKey(key), static_cast<char32_t>(code)) << "kind " << kind << " code " << code;
        }
        // Space and DEL are not control characters.
        char32_t space = ' ', del = 0x7F;
        EXPECT_EQ(s.Inner()->fProcessKey(space), kind == vtNone ? U' ' : 0) << kind;
        EXPECT_EQ(s.Inner()->fProcessKey(del), kind == vtNone ? U'\x7F' : 0) << kind;
    }
    // Backspace typed into a refusing kind still deletes.
    s.Focus();
    s.edit->fSetVType(vtHex);
    s.Prepare("AB", 2, 0);
    s.session.Key(VK_BACK);
    EXPECT_EQ(s.edit->Text(), "A");
    // A kind out of range filters nothing.
    s.edit->fSetVType(static_cast<TValidateType>(42));
    char32_t x = 'x';
    EXPECT_EQ(s.Inner()->fProcessKey(x), U'x');
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
    // One line: the text up to the first line break, whichever; other control characters pass
    // and go in with the digits.
    {vtInteger, "", 0, 0, "12\r\n", "12", 2, 0},
    {vtInteger, "", 0, 0, "42\n", "42", 2, 0},
    {vtInteger, "", 0, 0, "1\t2\n3", "1\t2", 3, 0},
    {vtFloat, "9", 1, 0, "4\r5", "94", 2, 0},
    {vtInteger, "7", 0, 1, "\n5", "7", 0, 1},
    {vtIntegerPs, "5", 1, 0, "é7-", "57", 2, 0},
    {vtCustom, "", 0, 0, "a1b2", "12", 2, 0},
    // Characters, not bytes: the selection counts them, and those beyond Windows-1252 are refused
    // by the numeric kinds one by one.
    {vtInteger, "я1", 2, 0, "漢2😀3", "я123", 4, 0},
    {vtHexUp, "Ω", 1, 0, "ｆf", "ΩF", 2, 0},
    {vtCustom, "😀", 0, 1, "😀٣5", "5", 1, 0},
    // Clipboard text that is not UTF-8: each bad byte is U+FFFD, which no numeric kind takes.
    {vtInteger, "", 0, 0, "1\xFF" "2\xC3", "12", 2, 0},
};

}  // namespace

TEST(ValidateEditFilter, PastesAreFilteredAgainstTheEditBeforeThePaste) {
    ValidateEditScene s;
    s.Focus();
    int changes = 0, presses = 0;
    s.edit->fSetOnChange([&](TObject*) { ++changes; });
    s.edit->fSetKeyPress([&](TObject*, char32_t&) { ++presses; });
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
        char32_t key = Cp1252ToUnicode(static_cast<unsigned char>(code));
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

// A middle click pastes the primary selection through the same filter as Ctrl+V; the limit and
// the selection count characters.
TEST(ValidateEditFilter, MiddleClickPastesThePrimarySelectionFilteredAndLimitsCountCharacters) {
    ValidateEditScene s;
    s.Focus();
    // Another program selected `primary`; the middle button goes down in the empty edit.
    auto middleClick = [&s](TValidateType kind, const char* primary) {
        s.edit->fSetVType(kind);
        s.Prepare("", 0, 0);
        s.session.SetPrimarySelection(primary);
        s.PointAt(20, 10);
        s.session.Press(2);
        s.session.Release(2);
        return s.edit->Text();
    };
    EXPECT_EQ(middleClick(vtInteger, "a1漢2😀3"), "123");
    // No kind: the edit's own paste of the primary selection, unfiltered.
    EXPECT_EQ(middleClick(vtNone, "Ωя漢"), "Ωя漢");
    // MaxLength: characters, whatever their bytes, typed or pasted.
    s.edit->fSetMaxLength(4);
    s.Prepare("Ωя", 2, 0);
    s.session.Type("漢字かな");
    EXPECT_EQ(s.edit->Text(), "Ωя漢字");
    s.Prepare("", 0, 0);
    s.session.Paste("😀😀😀😀😀");
    EXPECT_EQ(s.edit->Text(), "😀😀😀😀");
    EXPECT_EQ(s.Inner()->SelStart(), 4);
    // WM_GETTEXT through the frame: the buffer's bytes, whole characters only.
    char buf[6] = "xxxxx";
    EXPECT_EQ(s.edit->Perform(WM_GETTEXT, 6, reinterpret_cast<LPARAM>(buf)), 4);
    EXPECT_EQ(std::string(buf), "😀");
}

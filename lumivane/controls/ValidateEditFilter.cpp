// The validating edit's inner edit: the keystroke filter, the filtered paste and the pointer
// tracking it reports to its host.
#include "lumivane/controls/ValidateEdit.h"

#include <algorithm>
#include <memory>

#include "lumivane/controls/ValidateEditRules.h"
#include "lumivane/framework/Clipbrd.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdCustomInplaceEdit) {
    p.Prop("TabStop", &TKdCustomInplaceEdit::TabStop, &TKdCustomInplaceEdit::SetTabStop, true);
}

TKdCustomInplaceEdit::TKdCustomInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FVType = vtNone;
    FMouseIn = false;
    // The host draws the frame.
    SetBorderStyle(bsNone);
}

TKdCustomInplaceEdit::~TKdCustomInplaceEdit() = default;

void TKdCustomInplaceEdit::fSetVType(TValidateType Value) {
    FVType = Value;
    if (Value != vtCustom) FVString.clear();
}

void TKdCustomInplaceEdit::fSetVString(const std::string& Value) {
    FVString = ValidUtf8(Value);
    if (!Value.empty()) FVType = vtCustom;
}

const TValidateState& TKdCustomInplaceEdit::_fState() {
    if (FPasteState) return *FPasteState;
    if (!FKeyState) FKeyState = std::make_unique<TValidateState>();
    *FKeyState = TValidateState::Of(TextView(), SelStart(), SelLength());
    return *FKeyState;
}

char32_t TKdCustomInplaceEdit::fProcessKey(char32_t& Key) {
    switch (FVType) {
    case vtCustom: fProcessKeyCustom(Key); break;
    case vtInteger: fProcessKeyInteger(Key); break;
    case vtIntegerPs: fProcessKeyIntegerPs(Key); break;
    case vtFloat: fProcessKeyFloat(Key); break;
    case vtFloatPs: fProcessKeyFloatPs(Key); break;
    case vtHex: fProcessKeyHex(Key); break;
    case vtHexUp: fProcessKeyHexUp(Key); break;
    case vtHexLo: fProcessKeyHexLo(Key); break;
    default: break;  // vtNone, and any value out of range, lets everything through
    }
    return Key;
}

void TKdCustomInplaceEdit::fProcessKeyInteger(char32_t& Key) {
    if (!ValidateRules::IsControlChar(Key)) ValidateRules::Integer(Key, _fState());
}
void TKdCustomInplaceEdit::fProcessKeyIntegerPs(char32_t& Key) { ValidateRules::IntegerPs(Key); }
void TKdCustomInplaceEdit::fProcessKeyFloat(char32_t& Key) {
    if (!ValidateRules::IsControlChar(Key)) ValidateRules::Float(Key, _fState());
}
void TKdCustomInplaceEdit::fProcessKeyFloatPs(char32_t& Key) {
    if (!ValidateRules::IsControlChar(Key)) ValidateRules::FloatPs(Key, _fState());
}
void TKdCustomInplaceEdit::fProcessKeyHex(char32_t& Key) { ValidateRules::Hex(Key); }
void TKdCustomInplaceEdit::fProcessKeyHexUp(char32_t& Key) { ValidateRules::HexUp(Key); }
void TKdCustomInplaceEdit::fProcessKeyHexLo(char32_t& Key) { ValidateRules::HexLo(Key); }
void TKdCustomInplaceEdit::fProcessKeyCustom(char32_t& Key) { ValidateRules::Custom(Key, FVString); }

void TKdCustomInplaceEdit::KeyPress(char32_t& Key) {
    if (fProcessKey(Key) == 0) return;
    inherited::KeyPress(Key);
}

void TKdCustomInplaceEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE: WMPaste(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    default: inherited::Dispatch(Message);
    }
}

// Every clipboard character is judged against the edit as it was before the paste (so "--5"
// pastes whole into an empty integer edit), and what passes goes in with one replacement. A
// middle click pastes the primary selection the same way (WM_PASTE with PASTE_PRIMARY). The edit
// holds one line, so, like the platform's own edit, it takes the text up to its first line break
// ("42\n" copied from a terminal is 42, not a value that no longer parses).
void TKdCustomInplaceEdit::WMPaste(TMessage& Message) {
    if (ReadOnly() || FVType == vtNone) {
        inherited::Dispatch(Message);
        return;
    }
    TClipboard* source = Message.WParam == PASTE_PRIMARY ? PrimarySelection() : Clipboard();
    // Read once: another program's text may take a while to come, and the program keeps
    // running meanwhile (this edit may be gone, or read-only, when it has come).
    TWatch w(this);
    std::string clip = source->AsText();
    if (!w.Alive() || ReadOnly()) return;
    clip.resize(std::min(clip.size(), clip.find_first_of("\r\n")));
    if (clip.empty()) return;
    const TValidateState before = _fState();
    std::string out;
    out.reserve(clip.size());
    FPasteState = &before;
    for (size_t i = 0; i < clip.size();) {
        char32_t key = NextChar(clip, i);
        if (fProcessKey(key) != 0) AppendUtf8(out, key);
    }
    FPasteState = nullptr;
    if (!out.empty()) SetSelText(out);
}

void TKdCustomInplaceEdit::CMMouseEnter(TMessage&) {
    if (FMouseIn) return;
    FMouseIn = true;
    // The repaint is requested first so a handler that raises cannot skip it.
    Invalidate();
    OnMouseEnter(this);
}

void TKdCustomInplaceEdit::CMMouseLeave(TMessage&) {
    if (!FMouseIn) return;
    FMouseIn = false;
    // The repaint is requested first so a handler that raises cannot skip it.
    Invalidate();
    OnMouseLeave(this);
}

}  // namespace lumivane

#include "lumivane/framework/Accessible.h"

#include <algorithm>

#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Input.h"

namespace lumivane {

// ---- Notifications ----

TAccessibleListener* AccessibleListener() { return Application ? Application->AccessibleListener() : nullptr; }

TControl* AccessibleOwner(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (AccessibleInfoOf(c).Role != TAccRole::None) return c;
    return nullptr;
}

TAccessibleInfo AccessibleInfoOf(TControl* Control) {
    TAccessibleInfo info;
    if (Control) Control->GetAccessible(info);
    return info;
}

std::vector<TControl*> AccessibleLabelsOf(TControl* Control) {
    std::vector<TControl*> out;
    TCustomForm* form = Control ? GetParentForm(Control) : nullptr;
    if (!form) return out;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(form->Components(i)); c && c != Control) {
            TControl* labelled = AccessibleInfoOf(c).LabelFor;
            if (labelled && AccessibleOwner(labelled) == Control) out.push_back(c);
        }
    return out;
}

namespace {
// The listener and the exposed control an event belongs to, or nothing to tell.
template <class F>
void Tell(TControl* Control, F&& f) {
    TAccessibleListener* l = AccessibleListener();
    if (!l) return;
    if (TControl* owner = AccessibleOwner(Control)) f(*l, owner);
}
}  // namespace

void AccNotifyFocus(TControl* Control) {
    Tell(Control, [](TAccessibleListener& l, TControl* c) { l.AccFocusChanged(c); });
}
void AccNotifyState(TControl* Control, TAccState State, bool Value) {
    Tell(Control, [&](TAccessibleListener& l, TControl* c) { l.AccStateChanged(c, State, Value); });
}
void AccNotifyText(TControl* Control) {
    Tell(Control, [](TAccessibleListener& l, TControl* c) { l.AccTextChanged(c); });
}
void AccNotifyName(TControl* Control) {
    Tell(Control, [](TAccessibleListener& l, TControl* c) { l.AccNameChanged(c); });
}
void AccNotifyChildren(TWinControl* Parent) {
    if (TAccessibleListener* l = AccessibleListener(); l && Parent) l->AccChildrenChanged(Parent);
}
void AccNotifyWindow(TCustomForm* Form, bool Active) {
    if (TAccessibleListener* l = AccessibleListener(); l && Form) l->AccWindowActivated(Form, Active);
}

// ---- Every control ----

void TControl::GetAccessible(TAccessibleInfo& Info) {
    Info.Role = TAccRole::Filler;
    std::string caption = GetText();
    if (!caption.empty())
        Info.Name = caption;
    else if (!FHint.empty())
        Info.Name = FHint;
    else
        Info.Name = Name();
    if (Info.Name != FHint) Info.Description = FHint;
    if (FEnabled) Info.States << asEnabled;
    if (FVisible) Info.States << asVisible;
    if (Showing()) Info.States << asShowing;
}

void TControl::GetAccessibleChildren(std::vector<TControl*>&) {}

bool TControl::DoAccessibleAction(int Index) {
    TAccessibleInfo info;
    GetAccessible(info);
    if (Index < 0 || Index >= static_cast<int>(info.Actions.size()) || !info.States.Contains(asEnabled)) return false;
    Click();
    return true;
}

// ---- Windowed controls: focus, and children in reading order ----

void TWinControl::GetAccessible(TAccessibleInfo& Info) {
    TControl::GetAccessible(Info);
    if (FTabStop && CanFocus()) Info.States << asFocusable;
    if (Focused()) Info.States << asFocused;
}

namespace {
// Adds Control, or in place of an unexposed one its exposed children.
void AddExposed(TControl* Control, std::vector<TControl*>& List) {
    if (AccessibleInfoOf(Control).Role != TAccRole::None)
        List.push_back(Control);
    else
        Control->GetAccessibleChildren(List);
}
}  // namespace

// Graphic children (labels, pictures: what introduces the rest) in their list order, then the
// windowed ones in tab order, the order Tab visits them.
void TWinControl::GetAccessibleChildren(std::vector<TControl*>& List) {
    for (TControl* c : FControls)
        if (!dynamic_cast<TWinControl*>(c)) AddExposed(c, List);
    for (TWinControl* w : FTabList) AddExposed(w, List);
}

bool TWinControl::GrabAccessibleFocus() {
    if (!CanFocus()) return false;
    SetFocus();
    return true;
}

// ---- The framework's own controls ----

void TCustomForm::GetAccessible(TAccessibleInfo& Info) {
    TWinControl::GetAccessible(Info);
    Info.Role = TAccRole::Frame;
    Info.States >> asFocusable;
    if (FHandle && GetActiveWindow() == FHandle) Info.States << asActive;
}

void TButton::GetAccessible(TAccessibleInfo& Info) {
    TWinControl::GetAccessible(Info);
    Info.Role = TAccRole::PushButton;
    Info.Actions.push_back({"click", "space"});
    if (FDefault) Info.States << asDefault;
}

// A label reads as it shows: its name and text without the accelerator marker.
void TCustomLabel::GetAccessible(TAccessibleInfo& Info) {
    TControl::GetAccessible(Info);
    Info.Role = TAccRole::Label;
    if (!GetText().empty()) Info.Name = AccessibleText();
    Info.HasText = true;
    Info.LabelFor = FFocusControl;
}

void TImage::GetAccessible(TAccessibleInfo& Info) {
    TControl::GetAccessible(Info);
    Info.Role = TAccRole::Image;
    Info.Name = Name();
    Info.Description = FHint;
}

void TCustomPanel::GetAccessible(TAccessibleInfo& Info) {
    TWinControl::GetAccessible(Info);
    Info.Role = TAccRole::Panel;
}

// An edit's name is not its text: Hint, else the component's name.
void TCustomEdit::GetAccessible(TAccessibleInfo& Info) {
    TWinControl::GetAccessible(Info);
    Info.Role = TAccRole::Entry;
    Info.Name = FHint.empty() ? Name() : FHint;
    Info.Description.clear();
    Info.HasText = true;
    Info.States << asSingleLine;
    if (!FReadOnly) Info.States << asEditable;
}

int TCustomEdit::AccessibleCaret() { return SelStart() + SelLength(); }

bool TCustomEdit::SetAccessibleCaret(int Offset) {
    SetSelStart(Offset);
    SetSelLength(0);
    return true;
}

bool TCustomEdit::InsertAccessibleText(int Offset, const std::string& Text) {
    if (FReadOnly || !Enabled()) return false;
    HandleNeeded();
    SetAccessibleCaret(Offset);
    TWatch w(this);
    // Each character as if typed, so that the edit's own filter judges it.
    for (size_t pos = 0; pos < Text.size();) {
        const char32_t ch = NextChar(Text, pos);
        if (ch < 0x20 || ch == 0x7F) continue;
        Perform(WM_CHAR, ch, 0);
        if (!w.Alive()) return false;
    }
    return true;
}

bool TCustomEdit::DeleteAccessibleText(int Start, int End) {
    if (FReadOnly || !Enabled()) return false;
    const int length = static_cast<int>(CountChars(GetText()));
    Start = std::clamp(Start, 0, length);
    End = std::clamp(End < 0 ? length : End, Start, length);
    HandleNeeded();
    SetSelStart(Start);
    SetSelLength(End - Start);
    SetSelText("");
    return true;
}

}  // namespace lumivane

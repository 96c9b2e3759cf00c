#include "lumivane/controls/KdUrlLabel.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/windows/Services.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdCustomUrlLabel) {}

TKdCustomUrlLabel::TKdCustomUrlLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
    SetCursor(crHandPoint);
    SetTransparent(true);
    Font()->SetColor(FTextColor);
    TFontStyles style = Font()->Style();
    style.Include(fsUnderline);
    Font()->SetStyle(style);
}

TKdCustomUrlLabel::~TKdCustomUrlLabel() = default;

void TKdCustomUrlLabel::Click() {
    TWatch w(this);
    // The shell's answer is of no use here: an address it cannot open is not reported.
    if (!FURLString.empty())
        ShellExecuteA(Application->Handle(), "open", FURLString.c_str(), nullptr, "", SW_SHOWNORMAL);
    if (w.Alive()) inherited::Click();
}

void TKdCustomUrlLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    default: inherited::Dispatch(Message);
    }
}

// The user's OnMouseEnter/OnMouseLeave run (in the inherited handling) before the colour changes.
void TKdCustomUrlLabel::CMMouseEnter(TMessage& Message) {
    TWatch w(this);
    inherited::Dispatch(Message);
    if (w.Alive() && !IsDesigning()) Font()->SetColor(FHotTextColor);
}

void TKdCustomUrlLabel::CMMouseLeave(TMessage& Message) {
    TWatch w(this);
    inherited::Dispatch(Message);
    if (w.Alive() && !IsDesigning()) Font()->SetColor(FTextColor);
}

void TKdCustomUrlLabel::fSetURLString(const std::string& Value) { FURLString = ValidUtf8(Value); }

LUMI_DEFINE_CLASS(TKdUrlLabel) {
    PublishControlProps(p, {"Cursor", "Hint"});
    // Always stored, so a layout states both colours.
    p.Color("TextColor", &TKdUrlLabel::fGetTextColor, &TKdUrlLabel::fSetTextColor)
        .Color("HotTextColor", &TKdUrlLabel::fGetHotTextColor, &TKdUrlLabel::fSetHotTextColor)
        .String("URLString", &TKdUrlLabel::fGetURLString, &TKdUrlLabel::fSetURLString);
    PublishControlProps(p, {"Align"});
    p.Enum("Alignment", &TKdUrlLabel::Alignment, &TKdUrlLabel::SetAlignment, AlignmentNames, taLeftJustify);
    PublishControlProps(p, {"Anchors"});
    p.Prop("AutoSize", &TKdUrlLabel::AutoSize, [](TKdUrlLabel* c, bool v) { c->SetAutoSize(v); }, true);
    PublishControlProps(p, {"BiDiMode", "Caption", "Color", "Constraints", "DragCursor", "DragKind", "DragMode",
                            "Enabled"});
    p.Component<TWinControl>("FocusControl", &TKdUrlLabel::FocusControl, &TKdUrlLabel::SetFocusControl);
    PublishControlProps(p, {"Font", "ParentBiDiMode", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu"});
    p.Prop("ShowAccelChar", &TKdUrlLabel::ShowAccelChar, &TKdUrlLabel::SetShowAccelChar, true);
    PublishControlProps(p, {"ShowHint"});
    p.Prop("Transparent", &TKdUrlLabel::Transparent, &TKdUrlLabel::SetTransparent, false)
        .Enum("Layout", &TKdUrlLabel::Layout, &TKdUrlLabel::SetLayout, TextLayoutNames, tlTop);
    PublishControlProps(p, {"Visible"});
    p.Prop("WordWrap", &TKdUrlLabel::WordWrap, &TKdUrlLabel::SetWordWrap, false);
    PublishControlProps(p, {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
                            "OnEndDrag", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave",
                            "OnStartDock", "OnStartDrag"});
}

void TKdCustomUrlLabel::GetAccessible(TAccessibleInfo& Info) {
    inherited::GetAccessible(Info);
    Info.Role = TAccRole::Link;
    Info.Actions.push_back({"click", ""});
}

namespace KdUrlLabel {
void Register() {
    RegisterComponents("Lumivane", {TKdUrlLabel::StaticClass()});
}
}  // namespace KdUrlLabel

}  // namespace lumivane

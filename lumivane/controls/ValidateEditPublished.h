#pragma once
#include <string>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

// The published list of the validating edit, shared by every published edit built on it (the
// validating edit and the up-down edit), in the order a stored form reads it. ValidateType is
// read before ValidateString, so a stored custom set is not emptied by the kind read after it.
// vtypeDefault: the stored default of ValidateType, or nothing when it is always stored.
template <class E, class... VTypeDefault>
void PublishValidateEditProps(TPublished<E>& p, VTypeDefault... vtypeDefault) {
    p.Enum("ValidateType", &E::fGetVType, &E::fSetVType, ValidateTypeNames, vtypeDefault...)
        .String("ValidateString", &E::fGetVString, &E::fSetVString)
        .Object("Colors", &E::fGetColors)
        .Event("OnMouseEnter", &E::fGetOnMouseEnter, &E::fSetOnMouseEnter)
        .Event("OnMouseLeave", &E::fGetOnMouseLeave, &E::fSetOnMouseLeave);
    PublishControlProps(p, {"Anchors"});
    p.Prop("AutoSelect", &E::fGetAutoSelect, &E::fSetAutoSelect, false);
    PublishControlProps(p, {"AutoSize", "BevelEdges", "BevelInner", "BevelKind", "BevelOuter", "BiDiMode"});
    p.Enum("BorderStyle", &E::fGetBorderStyle, &E::fSetBorderStyle, EditBorderStyleNames, ebsNormal)
        .Enum("CharCase", &E::fGetCharCase, &E::fSetCharCase, EditCharCaseNames, ecNormal)
        .Color("Color", &TControl::Color, &TControl::SetColor, clWindow)
        .Stored([](E* e) { return !e->ParentColor(); });
    PublishControlProps(p, {"Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled", "Font"});
    p.Prop("HideSelection", &E::fGetHideSelection, &E::fSetHideSelection, false)
        .Enum("ImeMode", &E::fGetImeMode, &E::fSetImeMode, ImeModeNames, imDisable)
        .String("ImeName", &E::fGetImeName, &E::fSetImeName)
        .Prop("MaxLength", &E::fGetMaxLength, &E::fSetMaxLength, 0)
        .Prop("OEMConvert", &E::fGetOEMConvert, &E::fSetOEMConvert, false);
    PublishControlProps(p, {"ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint"});
    // A character is stored as a one-character string ('*'), none as nothing.
    p.String("PasswordChar",
             [](E* e) { return CharToString(e->fGetPasswordChar()); },
             [](E* e, const std::string& v) { e->fSetPasswordChar(FirstCharOf(v)); });
    PublishControlProps(p, {"PopupMenu"});
    p.Prop("ReadOnly", &E::fGetReadOnly, &E::fSetReadOnly, false);
    PublishControlProps(p, {"ShowHint", "TabOrder", "TabStop", "Text", "Visible"});
    p.Event("OnChange", &E::fGetOnChange, &E::fSetOnChange);
    PublishControlProps(p, {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
                            "OnEndDrag", "OnEnter", "OnExit"});
    p.Event("OnKeyDown", &E::fGetKeyDown, &E::fSetKeyDown)
        .Event("OnKeyPress", &E::fGetKeyPress, &E::fSetKeyPress)
        .Event("OnKeyUp", &E::fGetKeyUp, &E::fSetKeyUp);
    PublishControlProps(p, {"OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
}

}  // namespace lumivane

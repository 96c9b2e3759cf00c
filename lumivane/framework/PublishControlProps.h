#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "lumivane/framework/WinControl.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

// Publishes standard control properties and events by name, in the order given, with their
// usual stored defaults, for a class's published list:
//
//     LUMI_DEFINE_CLASS(TLabel) {
//         PublishControlProps(p, {"Align", "Alignment", "Anchors", ...});
//     }
//
// Names of TControl: Align, Anchors, AutoSize, BiDiMode, Caption, Color, Constraints, Cursor,
// DragCursor, DragKind, DragMode, Enabled, Font, Hint, ParentBiDiMode, ParentColor, ParentFont,
// ParentShowHint, PopupMenu, ShowHint, Text, Visible, OnClick, OnContextPopup, OnDblClick,
// OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnMouseDown, OnMouseMove, OnMouseUp,
// OnMouseEnter, OnMouseLeave, OnResize, OnStartDock, OnStartDrag. Of TWinControl: BevelEdges,
// BevelInner, BevelKind, BevelOuter, BevelWidth, Ctl3D, DockSite, ImeMode, ImeName, ParentCtl3D,
// TabOrder, TabStop, UseDockManager, OnDockDrop, OnDockOver, OnEnter, OnExit, OnGetSiteInfo,
// OnKeyDown, OnKeyPress, OnKeyUp, OnUnDock. Color is stored
// unless ParentColor, Font unless ParentFont. An unknown name is a programming error (Exception).
template <class T>
TPublished<T>& PublishControlProps(TPublished<T>& p, std::initializer_list<std::string_view> names) {
    static_assert(std::is_base_of_v<TControl, T>);
    for (std::string_view n : names) {
        if (n == "Align") p.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames, alNone);
        else if (n == "Anchors") p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, AnchorNames, TAnchors{akLeft, akTop});
        else if (n == "AutoSize") p.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, false);
        else if (n == "BiDiMode") p.Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, BiDiModeNames, bdLeftToRight);
        else if (n == "Caption" || n == "Text")
            p.String(n, [](T* c) { return c->GetText(); }, [](T* c, const std::string& s) { c->SetText(s); });
        else if (n == "Color") p.Color("Color", &TControl::Color, &TControl::SetColor).Stored([](T* c) { return !c->ParentColor(); });
        else if (n == "Constraints") p.Object("Constraints", &TControl::Constraints);
        else if (n == "Cursor") p.Cursor("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault);
        else if (n == "DragCursor") p.Cursor("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag);
        else if (n == "DragKind") p.Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, DragKindNames, dkDrag);
        else if (n == "DragMode") p.Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, DragModeNames, dmManual);
        else if (n == "Enabled") p.Prop("Enabled", &TControl::Enabled, [](T* c, bool v) { c->SetEnabled(v); }, true);
        else if (n == "Font") p.Object("Font", &TControl::Font).Stored([](T* c) { return !c->ParentFont(); });
        else if (n == "Hint") p.String("Hint", &TControl::Hint, &TControl::SetHint);
        else if (n == "ParentBiDiMode") p.Prop("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true);
        else if (n == "ParentColor") p.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true);
        else if (n == "ParentFont") p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
        else if (n == "ParentShowHint") p.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
        else if (n == "ShowHint") p.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false);
        else if (n == "Visible") p.Prop("Visible", &TControl::Visible, &TControl::SetVisible, true);
        else if (n == "OnClick") p.Event("OnClick", &TControl::OnClick, &TControl::OnClick);
        else if (n == "OnDblClick") p.Event("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
        else if (n == "OnMouseDown") p.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
        else if (n == "OnMouseMove") p.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
        else if (n == "OnMouseUp") p.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
        else if (n == "OnMouseEnter") p.Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter);
        else if (n == "OnMouseLeave") p.Event("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave);
        else if (n == "OnResize") p.Event("OnResize", &TControl::OnResize, &TControl::OnResize);
        else if (n == "PopupMenu") p.template Component<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
        else if (n == "OnContextPopup") p.Event("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup);
        else if (n == "OnDragDrop") p.Event("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop);
        else if (n == "OnDragOver") p.Event("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver);
        else if (n == "OnEndDock") p.Event("OnEndDock", &TControl::OnEndDock, &TControl::OnEndDock);
        else if (n == "OnEndDrag") p.Event("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);
        else if (n == "OnStartDock") p.Event("OnStartDock", &TControl::OnStartDock, &TControl::OnStartDock);
        else if (n == "OnStartDrag") p.Event("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag);
        else if constexpr (std::is_base_of_v<TWinControl, T>) {
            if (n == "BevelEdges") p.Set("BevelEdges", &TWinControl::BevelEdges, &TWinControl::SetBevelEdges, BevelEdgeNames, TBevelEdges{beLeft, beTop, beRight, beBottom});
            else if (n == "BevelInner") p.Enum("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner, BevelCutNames, bvRaised);
            else if (n == "BevelKind") p.Enum("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind, BevelKindNames, bkNone);
            else if (n == "BevelOuter") p.Enum("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter, BevelCutNames, bvLowered);
            else if (n == "BevelWidth") p.Prop("BevelWidth", &TWinControl::BevelWidth, &TWinControl::SetBevelWidth, 1);
            else if (n == "Ctl3D") p.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D, true);
            else if (n == "DockSite") p.Prop("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite, false);
            else if (n == "ImeMode") p.Enum("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode, ImeModeNames, imDontCare);
            else if (n == "ImeName") p.String("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
            else if (n == "ParentCtl3D") p.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D, true);
            else if (n == "TabOrder") p.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
            else if (n == "TabStop") p.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
            else if (n == "UseDockManager") p.Prop("UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager, false);
            else if (n == "OnEnter") p.Event("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
            else if (n == "OnExit") p.Event("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
            else if (n == "OnKeyDown") p.Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
            else if (n == "OnKeyPress") p.Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
            else if (n == "OnKeyUp") p.Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
            else if (n == "OnDockDrop") p.Event("OnDockDrop", &TWinControl::OnDockDrop, &TWinControl::OnDockDrop);
            else if (n == "OnDockOver") p.Event("OnDockOver", &TWinControl::OnDockOver, &TWinControl::OnDockOver);
            else if (n == "OnGetSiteInfo") p.Event("OnGetSiteInfo", &TWinControl::OnGetSiteInfo, &TWinControl::OnGetSiteInfo);
            else if (n == "OnUnDock") p.Event("OnUnDock", &TWinControl::OnUnDock, &TWinControl::OnUnDock);
            else throw Exception("no standard control property '" + std::string(n) + "'");
        } else
            throw Exception("no standard control property '" + std::string(n) + "'");
    }
    return p;
}

}  // namespace lumivane

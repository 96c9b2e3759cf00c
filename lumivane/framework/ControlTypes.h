#pragma once
#include <cstdint>
#include <string_view>

#include "lumivane/framework/Set.h"
#include "lumivane/windows/Messages.h"

namespace lumivane {

// The enumerations and sets of controls, with their members as the layout spells them.

using WORD = uint16_t;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;
enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;

// One enumeration for every border style: edits and panels use bsNone and bsSingle, forms all.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
// Accepted and stored; the framework draws left to right, has no docking, dragging or IME.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };
enum TImeMode {
    imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
    imSHanguel, imHanguel
};

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9,
                       mrYesToAll = 10;

// Member names as the layout spells them, in enumeration order.
inline constexpr std::string_view AlignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
inline constexpr std::string_view AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
inline constexpr std::string_view AnchorNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
inline constexpr std::string_view BorderStyleNames[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
inline constexpr std::string_view BevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
inline constexpr std::string_view BevelEdgeNames[] = {"beLeft", "beTop", "beRight", "beBottom"};
inline constexpr std::string_view BevelKindNames[] = {"bkNone", "bkTile", "bkSoft", "bkFlat"};
inline constexpr std::string_view BiDiModeNames[] = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"};
inline constexpr std::string_view DragKindNames[] = {"dkDrag", "dkDock"};
inline constexpr std::string_view DragModeNames[] = {"dmManual", "dmAutomatic"};
inline constexpr std::string_view ImeModeNames[] = {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"};

}  // namespace lumivane

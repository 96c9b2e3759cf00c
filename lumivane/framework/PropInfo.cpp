#include "lumivane/framework/PropInfo.h"

#include <limits>
#include <utility>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/Cursors.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

bool TPropInfo::IsStored(TObject* instance) const {
    if (StoredFn && !StoredFn(instance)) return false;
    switch (Kind) {
    case TPropKind::Bool:
    case TPropKind::Int32:
    case TPropKind::Int64:
    case TPropKind::Enum:
    case TPropKind::Set:
    case TPropKind::Color:
    case TPropKind::Cursor:
        return !OrdDefault || GetOrd(instance) != *OrdDefault;
    case TPropKind::String:
        return !StrDefault || GetStr(instance) != *StrDefault;
    case TPropKind::Object:
        return GetObject(instance) != nullptr;
    case TPropKind::Binary:
        return !GetBinary(instance).empty();
    case TPropKind::Event:
        return !Event->MethodName(instance).empty();
    case TPropKind::Component: {
        TComponent* c = GetComponent(instance);
        return c && !c->Name().empty();
    }
    }
    return true;
}

int64_t TPropInfo::MinOrd() const {
    if (Limits) return Limits->first;
    switch (Kind) {
    case TPropKind::Int64: return std::numeric_limits<int64_t>::min();
    case TPropKind::Int32:
    case TPropKind::Color:
    case TPropKind::Cursor: return std::numeric_limits<int32_t>::min();
    default: return 0;
    }
}

int64_t TPropInfo::MaxOrd() const {
    if (Limits) return Limits->second;
    switch (Kind) {
    case TPropKind::Bool: return 1;
    case TPropKind::Int64: return std::numeric_limits<int64_t>::max();
    // 32-bit values may be written as unsigned hex ($FFFFFFFF); they keep their bits.
    case TPropKind::Int32:
    case TPropKind::Color: return std::numeric_limits<uint32_t>::max();
    case TPropKind::Cursor: return std::numeric_limits<int32_t>::max();
    case TPropKind::Enum: return static_cast<int64_t>(Members.size()) - 1;
    case TPropKind::Set: return Members.size() >= 32 ? 0xFFFFFFFFll : (int64_t{1} << Members.size()) - 1;
    default: return 0;
    }
}

namespace {
struct TIdent {
    const char* Name;
    int64_t Value;
};

const TIdent ColorNames[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clLtGray", clSilver}, {"clDkGray", clGray},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder}, {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk}, {"clHotLight", clHotLight},
    {"clNone", clNone}, {"clDefault", clDefault},
};

const TIdent CursorNames[] = {
    {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
    {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},
    {"crSizeNWSE", crSizeNWSE}, {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow},
    {"crHourGlass", crHourGlass}, {"crDrag", crDrag}, {"crNoDrop", crNoDrop}, {"crHSplit", crHSplit},
    {"crVSplit", crVSplit}, {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait}, {"crNo", crNo},
    {"crAppStart", crAppStart}, {"crHelp", crHelp}, {"crHandPoint", crHandPoint},
    {"crSizeAll", crSizeAll}, {"crSize", crSize},
};

template <size_t N>
std::optional<int64_t> Lookup(const TIdent (&table)[N], std::string_view name) {
    for (const TIdent& id : table)
        if (SameText(id.Name, name)) return id.Value;
    return std::nullopt;
}

template <size_t N>
std::optional<std::string> Reverse(const TIdent (&table)[N], int64_t value) {
    for (const TIdent& id : table)
        if (id.Value == value) return std::string(id.Name);
    return std::nullopt;
}
}  // namespace

std::optional<int64_t> IdentToColor(std::string_view name) { return Lookup(ColorNames, name); }
std::optional<std::string> ColorToIdent(uint32_t color) { return Reverse(ColorNames, color); }
std::optional<int64_t> IdentToCursor(std::string_view name) { return Lookup(CursorNames, name); }
std::optional<std::string> CursorToIdent(int cursor) { return Reverse(CursorNames, cursor); }

}  // namespace lumivane

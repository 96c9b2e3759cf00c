#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

class TObject;
class TPersistent;
class TComponent;
class TClassInfo;
struct TMethodInfo;

using TBytes = std::vector<uint8_t>;

enum class TPropKind {
    Bool,
    Int32,
    Int64,
    Enum,        // one member name
    Set,         // [a, b]: member n is bit n
    String,      // UTF-8
    Color,       // clName, or a number
    Cursor,      // crName, or a number
    Object,      // a nested persistent object, reached with dotted names (Font.Height)
    Binary,      // {hex} (Picture.Data)
    Event,       // the name of a method of the form class
    Component    // another component of the layout by name (PopupMenu = PopupMenu1)
};

// Access to one event property of a class, whatever its parameters.
class TEventAccess {
public:
    virtual ~TEventAccess() = default;
    virtual bool Assigned(TObject* instance) const = 0;
    // The bound method's name; empty when unassigned or bound to an anonymous handler.
    virtual std::string MethodName(TObject* instance) const = 0;
    // Binds the method of target; an Exception says so when the parameters differ.
    virtual void BindMethod(TObject* instance, TObject* target, const TMethodInfo& method) const = 0;
    // Names a method without binding one: the event keeps the name (for the writer and the trace)
    // and calls nothing, as when a form tool shows a layout of a class it does not have.
    virtual void NameMethod(TObject* instance, const std::string& method) const = 0;
    // Puts an observer on the event that receives the arguments of every raise as text, e.g.
    // "Key=65" or "1, 0" (Sender left out, pointers left out, by-reference ones as Name=value).
    // The handler and whether the event counts as assigned stay as they were.
    virtual void BindTrace(TObject* instance, std::function<void(const std::string& args)> sink) const = 0;
    // The parameter names, e.g. "(Sender, Key)", for messages.
    virtual std::string Parameters() const = 0;
};

// Bounds of the numbers a layout may give (TPublished::Range). Positions and sizes reach far
// beyond any screen, yet sums and differences of them, nested many levels deep, stay far from
// overflowing an int; a font beyond MaxLayoutFontHeight pixels would only cost memory.
constexpr int MaxLayoutCoord = 1000000;
constexpr int MaxLayoutFontHeight = 1000;

// One published property. Only the accessors of its kind are set.
struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Int32;
    std::vector<std::string> Members;            // Enum and Set member names, by ordinal
    std::optional<int64_t> OrdDefault;           // ordinal kinds; none = always stored
    std::optional<std::string> StrDefault;       // string kinds; '' unless declared otherwise
    std::function<int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TPersistent*(TObject*)> GetObject;
    std::function<TBytes(TObject*)> GetBinary;
    std::function<void(TObject*, const TBytes&)> SetBinary;
    std::shared_ptr<const TEventAccess> Event;
    // Component references: the class a referenced component must be (fetched lazily, so class
    // infos never depend on each other's order), and its accessors. Null is "no component".
    const TClassInfo* (*ComponentClass)() = nullptr;
    std::function<TComponent*(TObject*)> GetComponent;
    std::function<void(TObject*, TComponent*)> SetComponent;
    std::function<bool(TObject*)> StoredFn;      // e.g. Font only when not ParentFont
    std::optional<std::pair<int64_t, int64_t>> Limits; // values a layout may give; none = the type's

    // Whether the writer stores the value of this instance (not at its default, predicate true).
    bool IsStored(TObject* instance) const;
    // Smallest and largest accepted ordinal (a set: any combination of its members).
    int64_t MinOrd() const;
    int64_t MaxOrd() const;
};

// Colour and cursor names of the layout. Lookups ignore case; unknown names give nullopt.
std::optional<int64_t> IdentToColor(std::string_view name);
std::optional<std::string> ColorToIdent(uint32_t color);
std::optional<int64_t> IdentToCursor(std::string_view name);
std::optional<std::string> CursorToIdent(int cursor);

}  // namespace lumivane

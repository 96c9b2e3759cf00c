#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Edits of a layout text as the writer lays it out: "object Name: Class" at two spaces a level,
// the object's properties one level deeper (their continuation lines deeper still), then its
// children, then "end" at the object's own level. Names compare ignoring case, as the reader's do.

// Where one object stands in the text (byte offsets).
struct TLayoutBlock {
    size_t Begin = 0;      // its "object" line
    size_t Children = 0;   // after its last property line: where a property or first child goes
    size_t EndLine = 0;    // its "end" line: where a last child goes
    size_t End = 0;        // after its "end" line
    int Depth = 0;
};

std::optional<TLayoutBlock> FindLayoutBlock(std::string_view text, std::string_view name);
// The class name on the first line, and the text with another one there.
std::string LayoutHeaderClass(std::string_view text);
std::string WithHeaderClass(std::string_view text, std::string_view className);
// The object's block with a property line added last among its properties (so it wins over a
// line of the same name above it). Nullopt when no object has that name.
std::optional<std::string> WithPropertyLine(std::string_view text, std::string_view name, std::string_view line);
// The object's block without its property lines named path (with their continuation lines).
std::optional<std::string> WithoutPropertyLine(std::string_view text, std::string_view name, std::string_view path);
// The text without the object's block (its children go with it).
std::optional<std::string> WithoutBlock(std::string_view text, std::string_view name);
// The object's block moved to depth 0, as it stands in a file of its own or on the clipboard.
std::optional<std::string> ExtractBlock(std::string_view text, std::string_view name);
// Blocks (at depth 0, as ExtractBlock gives them) put in as the object's last children.
std::optional<std::string> WithChildren(std::string_view text, std::string_view parent, std::string_view blocks);

// Every "object" line's name in the text, in order (unnamed objects left out).
std::vector<std::string> LayoutObjectNames(std::string_view text);
// The text with each "object OldName:" header renamed (first match per pair, any depth).
std::string RenameObjects(std::string_view text, const std::vector<std::pair<std::string, std::string>>& renames);
// A name of the form BaseN (N from 1) not among taken (compared ignoring case).
std::string UniqueName(std::string_view base, const std::vector<std::string>& taken);
// A reader's message without its "line N: ": the line of a text the user never saw.
std::string ReaderMessage(const std::string& message);

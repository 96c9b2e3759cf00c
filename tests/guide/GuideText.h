#pragma once
// The library guide (docs/library.md) as its tests read it: the fenced code blocks and the
// property tables. A property table's header names its class in the first cell ("| TImButton |
// Type | Default | Accessors |"; "Every control" for the properties all controls share, without
// a Default column); each row names a property, its type, a new control's value in layout syntax
// ("—" for none) and, in backticks, its accessors: the public getter and setter named after the
// property (`Looks()`, `SetLooks()`; an event's own name, `OnClick`), then the accessors the
// control was designed with (`fGetLooks`, `fSetLooks`).
#include <string>
#include <vector>

namespace guide {

struct Block {
    std::string lang;  // what follows the opening fence: cpp, sh, cmake, or nothing
    std::string text;
    int line = 0;      // of the first line of the text
};

struct Row {
    std::string property, type, value;  // backticks taken off; value empty without the column
    std::vector<std::string> accessors;
    int line = 0;
};

struct Table {
    std::string cls;   // "Every control" for the shared one
    std::string also;  // "| TKdUpDownEdit (and TValidateEdit's) |": the other class's rows hold too
    bool hasValues = false;
    std::vector<Row> rows;
    int line = 0;
};

struct Guide {
    std::vector<Block> blocks;
    std::vector<Table> tables;
};

Guide Parse(const std::string& markdown);
// An event's row: its type names an event (ends in "Event").
bool IsEvent(const Row& row);

}  // namespace guide

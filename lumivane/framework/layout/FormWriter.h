#pragma once
#include <string>
#include <string_view>

namespace lumivane {

class TComponent;

// The text layout writer. Each component's published properties in published order, those at
// their stored default (or failing their stored predicate) left out, nested objects as dotted
// names, children (components the root owns whose parent component is the enclosing object)
// nested under it. With allProperties every property is written, defaults included (but not
// unassigned events or empty binary data). Reading the result gives back the same components
// and values.
std::string WriteForm(TComponent* root, bool allProperties = false);
// A UTF-8 text as the writer quotes a string value, on one line ('It''s', control characters as
// #NN codes), for tools that make a layout line of their own.
std::string QuoteLayoutString(std::string_view utf8);

}  // namespace lumivane

#pragma once
#include <cstddef>
#include <string_view>

namespace lumivane {

class TComponent;

// The text layout reader (grammar in DESIGN.md, "The text form format").
//
// `object Name: Class` ... `end` nests components: each is created with the root as owner and
// handed the enclosing object through SetParentComponent, then given its properties in the
// order they stand. Every component, the root included, carries csLoading and csReading while
// the layout is read; then csReading is cleared everywhere and Loaded runs on each created
// component in creation order, and on the root last, so the root's Loaded sees every component
// loaded. Events bind to methods the root's class exposes (TPublished::ExposeMethod); fields
// the root's class exposes (ExposeField) point at the components of the same names, and a field
// that no component fills is an error naming the field, the class and the layout. Component
// references (PopupMenu = PopupMenu1) are set once every component exists, before Loaded; a
// name that no component of the root has is an error naming the reference's line.
//
// Any failure raises an Exception whose message names the line and the problem, e.g.
// "line 12: unknown property 'Foo' of TImButton"; every component this read created is freed
// again (properties already given to the root stay as they are).

constexpr size_t MaxFormTextSize = 16u << 20;
constexpr int MaxFormNesting = 32;

// Reads a layout into an existing root (a form's constructor loads its own layout). The
// header's class must be the root's class or one of its bases, or a registered class derived
// from the root's class. An unnamed root takes the header's name.
void ReadForm(TComponent* root, std::string_view text);
// Reads a layout written for a class this program does not have (the developer's own window)
// into a plain root, as the form tools show it: the header's class is not checked, and each event
// keeps the name of the method it names and calls nothing (the writer and the trace show it).
void ReadFormAsPlainForm(TComponent* root, std::string_view text);
// Reads a compiled-in layout (see framework/layout/Resources.h) into root.
void ReadFormResource(TComponent* root, std::string_view resourceName);
// Creates the root from the header's registered class, owned by owner, and reads the layout
// into it. The class's constructor must not load a layout of its own.
TComponent* ReadRootComponent(std::string_view text, TComponent* owner);

}  // namespace lumivane

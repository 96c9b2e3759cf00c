#pragma once
#include <string>
#include <vector>

#include "lumivane/framework/ClassInfo.h"

class TDesignModel;

// The designer's edits of the model, each one step of its history. Components are named; a
// position or size is the component's published Left, Top, Width and Height, so a component that
// is not a control but stores a design position moves the same way.

// Moves (dx, dy) or resizes (dw, dh) every named component; sizes stay at least 1. False when
// nothing changed.
bool MoveComponents(TDesignModel& model, const std::vector<std::string>& names, int dx, int dy);
bool ResizeComponents(TDesignModel& model, const std::vector<std::string>& names, int dw, int dh);
// Gives one component a place and size at once (a drag of a handle).
bool SetComponentBounds(TDesignModel& model, const std::string& name, int left, int top, int width, int height);

enum class TLineUp { Left, Top, HorzCentre, VertCentre, SpaceHorz, SpaceVert };
// Lines the components up on the first one's edge or centre; spacing keeps the outermost two where
// they are and makes the gaps between neighbours equal.
bool AlignComponents(TDesignModel& model, const std::vector<std::string>& names, TLineUp how);

// A new component of the class with its defaults and a unique name (the class's name without
// its T, and a number), in the parent (a control, or empty for the root), at (left, top) when
// it has a place. Returns its name.
std::string AddComponent(TDesignModel& model, lumivane::TClass cls, const std::string& parent, int left, int top);
// Removes the components with everything they hold; references to them are cleared.
bool DeleteComponents(TDesignModel& model, const std::vector<std::string>& names);
// The components (with what they hold) as layout text, one block each; a component held by
// another one named too goes with it only once.
std::string CopyComponents(const TDesignModel& model, const std::vector<std::string>& names);
// Puts layout text of blocks (as CopyComponents makes it) into the parent, renaming what would
// clash. Returns the new top-level names. Text that is not object blocks, or that the reader
// refuses, raises an Exception (the reader's message) and changes nothing.
std::vector<std::string> PasteComponents(TDesignModel& model, const std::string& text, const std::string& parent);

// Classes the palette offers: every registered class that can be made by name and placed on a
// form (controls, and components that are not controls, such as timers and popup menus), forms
// and menu items left out.
std::vector<lumivane::TClass> PaletteClasses();

#pragma once
#include <string>

namespace lumivane {
class TCustomForm;
}

// What the form tools (formshot, formview) share: the classes a layout may name and the making of
// a form from a layout text.

// Registers the framework's standard classes (Application->Initialize runs first), the control
// library's, and the notice and gallery windows.
void RegisterToolClasses();

// The class name of a layout's root: "object Name: Class" on its first line ("" when absent).
std::string LayoutRootClass(const std::string& text);

// A form of the layout's root class, owned by the application, with the layout read into it
// instead of its compiled-in one. A root class this program does not have (the developer's own
// window) gives a plain TForm whose events name their methods and call nothing; `notice` then
// says so. Throws the reader's Exception (naming the line) and leaves nothing behind.
lumivane::TCustomForm* CreateLayoutForm(const std::string& text, std::string* notice = nullptr);

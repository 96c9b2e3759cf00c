#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "lumivane/framework/ClassInfo.h"

namespace lumivane {

class TComponent;

// Classes the layout reader can create by name. A form also finds the classes of the fields it
// exposes (TPublished::ExposeField) without registering them.
void RegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
// Null when no class of that name (ignoring case) is registered.
TClass GetClass(std::string_view name);
// An Exception "Class TX not found" when no class of that name is registered.
TClass FindClass(std::string_view name);
// Every registered class, in the order of registration.
const std::vector<TClass>& RegisteredClasses();
// A new component of class c owned by owner; an Exception if c cannot be created by name.
TComponent* CreateComponent(TClass c, TComponent* owner);

// The design-time component palette. Each control unit's Register() puts its classes on a page;
// they are registered for the reader as well.
struct TPalettePage {
    std::string Name;
    std::vector<TClass> Classes;
};
void RegisterComponents(const std::string& page, std::initializer_list<TClass> classes);
const std::vector<TPalettePage>& GetPalette();

}  // namespace lumivane

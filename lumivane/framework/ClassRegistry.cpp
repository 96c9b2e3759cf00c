#include "lumivane/framework/ClassRegistry.h"

#include <algorithm>
#include <memory>

#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {
std::vector<TClass>& Classes() {
    static std::vector<TClass> list;
    return list;
}
std::vector<TPalettePage>& Palette() {
    static std::vector<TPalettePage> pages;
    return pages;
}
}  // namespace

void RegisterClass(TClass c) {
    if (!c) return;
    TClass known = GetClass(c->Name());
    if (known == c) return;
    if (known) throw Exception("A class named " + c->Name() + " is already registered");
    Classes().push_back(c);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass c : classes) RegisterClass(c);
}

TClass GetClass(std::string_view name) {
    for (TClass c : Classes())
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

TClass FindClass(std::string_view name) {
    if (TClass c = GetClass(name)) return c;
    throw Exception("Class " + std::string(name) + " not found");
}

const std::vector<TClass>& RegisteredClasses() { return Classes(); }

TComponent* CreateComponent(TClass c, TComponent* owner) {
    if (!c->Creator()) throw Exception("Class " + c->Name() + " cannot be created by name");
    std::unique_ptr<TObject> obj(c->Creator()(owner));
    auto* comp = dynamic_cast<TComponent*>(obj.get());
    if (!comp) throw Exception("Class " + c->Name() + " is not a component");
    obj.release();
    return comp;
}

void RegisterComponents(const std::string& page, std::initializer_list<TClass> classes) {
    auto& pages = Palette();
    auto it = std::find_if(pages.begin(), pages.end(), [&](const TPalettePage& p) { return p.Name == page; });
    if (it == pages.end()) it = pages.insert(pages.end(), TPalettePage{page, {}});
    for (TClass c : classes) {
        RegisterClass(c);
        if (std::find(it->Classes.begin(), it->Classes.end(), c) == it->Classes.end()) it->Classes.push_back(c);
    }
}

const std::vector<TPalettePage>& GetPalette() { return Palette(); }

}  // namespace lumivane

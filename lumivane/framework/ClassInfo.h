#pragma once
#include <any>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <type_traits>
#include <vector>

#include "lumivane/framework/Object.h"
#include "lumivane/framework/PropInfo.h"

namespace lumivane {

class TComponent;

// A method a form class exposes to its stored layout (events bind to it by name).
struct TMethodInfo {
    std::string Name;
    std::type_index Signature = typeid(void);  // typeid(void(A...)) of the event parameters
    std::any Invoker;                          // std::function<void(TObject* self, A...)>
};

// A member pointer of a form class that the reader fills with the component of the same name.
struct TFieldInfo {
    std::string Name;
    TClass (*FieldClass)() = nullptr;  // lazily, so class infos never depend on each other's order
    std::function<void(TObject* root, TComponent* value)> Set;
    std::function<TComponent*(TObject* root)> Get;
};

// What the program knows about a class at run time: its name and base, how to create it (for
// components that take an owner), its published properties in published order (the base's
// first; a class may republish a base property in place or hide it), and, for form classes,
// the methods and fields the layout refers to.
class TClassInfo {
public:
    using TCreate = TObject* (*)(TComponent* owner);

    template <class T>
    static TClassInfo Make(const char* name) {
        TClassInfo info(name, ParentOf<T>());
        if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
            info.FCreate = [](TComponent* owner) -> TObject* { return new T(owner); };
        TPublished<T> builder(info);
        T::Publish(builder);
        return info;
    }

    const std::string& Name() const { return FName; }
    TClass Parent() const { return FParent; }
    bool InheritsFrom(TClass c) const;
    bool InheritsFrom(std::string_view name) const;
    // Null for classes that cannot be created by name (abstract, or not a component).
    TCreate Creator() const { return FCreate; }

    // Every published property, the bases' included, in published order.
    const std::vector<std::shared_ptr<const TPropInfo>>& Properties() const { return FProps; }
    const TPropInfo* FindProperty(std::string_view name) const;
    // Searched in this class first, then its bases.
    const TMethodInfo* FindMethod(std::string_view name) const;
    const TFieldInfo* FindField(std::string_view name) const;
    // The fields this class itself exposes (not its bases').
    const std::vector<TFieldInfo>& Fields() const { return FFields; }
    // The classes of this class's fields and its bases' (so a form finds its controls' classes).
    TClass FindFieldClass(std::string_view className) const;

    // Used by TPublished while the class declares itself.
    void AddProperty(std::shared_ptr<TPropInfo> prop);
    void HideProperty(std::string_view name);
    TPropInfo* LastProperty() { return FLast.get(); }
    void AddMethod(TMethodInfo m) { FMethods.push_back(std::move(m)); }
    void AddField(TFieldInfo f) { FFields.push_back(std::move(f)); }

private:
    TClassInfo(const char* name, TClass parent);
    template <class T>
    static TClass ParentOf() {
        if constexpr (std::is_void_v<typename T::inherited>)
            return nullptr;
        else
            return T::inherited::StaticClass();
    }

    std::string FName;
    TClass FParent = nullptr;
    TCreate FCreate = nullptr;
    std::vector<std::shared_ptr<const TPropInfo>> FProps;
    std::shared_ptr<TPropInfo> FLast;
    std::vector<TMethodInfo> FMethods;
    std::vector<TFieldInfo> FFields;
};

// Case-insensitive ASCII comparison, as identifiers of the layout compare.
bool SameText(std::string_view a, std::string_view b);

}  // namespace lumivane

#pragma once
#include <any>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/Events.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/PropInfo.h"

namespace lumivane {

// Defines a class's information and opens the body of its Publish function, which declares
// the published properties in published order (a derived class's list follows its base's):
//
//     LUMI_DEFINE_CLASS(TImButton) {
//         p.Prop("DefaultDraw", &TImButton::FDefaultDraw, &TImButton::FDefaultDraw, true)
//             .Prop("AnimateSpeed", &TImButton::fGetAniSpd, &TImButton::fSetAniSpd, 0)
//             .Enum("Looks", &TImButton::FLooks, &TImButton::fSetLooks,
//                   {"ibkNormal", "ibkFlat", "ibkBevelFlat", "ibkUltraFlat", "ibkFullPicture",
//                    "ibkWindowsXP"}, ibkNormal)
//             .Color("HotTextColor", &TImButton::FHotTextColor, &TImButton::FHotTextColor, clBlack)
//             .Object("Colors", &TImButton::fGetBtnColors)
//             .Event("OnOwnerDraw", &TImButton::FOnOwnerDraw);
//     }
//
// Readers are member functions, fields or callables taking T*; writers are member functions
// taking the value (by value or const reference), fields or callables taking (T*, value).
// The last argument, when present, is the stored default: the writer omits the property at
// that value. Without it the property is always stored (strings: stored unless empty).
// Form classes also expose their event handlers and control fields to their layout:
//
//     LUMI_DEFINE_CLASS(TMain) {
//         p.ExposeMethod("btnCloseClick", &TMain::btnCloseClick)
//             .ExposeField("btnClose", &TMain::btnClose);
//     }
#define LUMI_DEFINE_CLASS(Class)                                                  \
    ::lumivane::TClass Class::StaticClass() {                                    \
        static const ::lumivane::TClassInfo info =                               \
            ::lumivane::TClassInfo::Make<Class>(#Class);                         \
        return &info;                                                            \
    }                                                                            \
    void Class::Publish([[maybe_unused]] ::lumivane::TPublished<Class>& p)

struct TNoDefault {};

template <class T>
class TPublished {
public:
    explicit TPublished(TClassInfo& info) : FInfo(info) {}

    // bool, 32-bit and 64-bit integers and 8-bit strings, chosen by the reader's type.
    template <class G, class S, class D = TNoDefault>
    TPublished& Prop(std::string_view name, G get, S set, D def = {}) {
        using V = ValueOf<G>;
        if constexpr (std::is_same_v<V, std::string>)
            return Text(name, TPropKind::String, get, set, def);
        else if constexpr (std::is_same_v<V, bool>)
            return Ordinal(name, TPropKind::Bool, get, set, def, {});
        else if constexpr (std::is_integral_v<V> && sizeof(V) <= 4)
            return Ordinal(name, TPropKind::Int32, get, set, def, {});
        else {
            static_assert(std::is_integral_v<V> && sizeof(V) == 8, "Prop takes bool, integers or std::string");
            return Ordinal(name, TPropKind::Int64, get, set, def, {});
        }
    }
    template <class G, class S, class D = TNoDefault>
    TPublished& Enum(std::string_view name, G get, S set, std::initializer_list<std::string_view> members,
                     D def = {}) {
        return Ordinal(name, TPropKind::Enum, get, set, def, {members.begin(), members.end()});
    }
    template <class G, class S, class D = TNoDefault>
    TPublished& Enum(std::string_view name, G get, S set, std::span<const std::string_view> members, D def = {}) {
        return Ordinal(name, TPropKind::Enum, get, set, def, {members.begin(), members.end()});
    }
    // Sets: the value type is TSet<E> (or anything with Bits() and FromBits()).
    template <class G, class S, class D = TNoDefault>
    TPublished& Set(std::string_view name, G get, S set, std::initializer_list<std::string_view> members,
                    D def = {}) {
        return Ordinal(name, TPropKind::Set, get, set, def, {members.begin(), members.end()});
    }
    template <class G, class S, class D = TNoDefault>
    TPublished& Set(std::string_view name, G get, S set, std::span<const std::string_view> members, D def = {}) {
        return Ordinal(name, TPropKind::Set, get, set, def, {members.begin(), members.end()});
    }
    template <class G, class S, class D = TNoDefault>
    TPublished& Color(std::string_view name, G get, S set, D def = {}) {
        return Ordinal(name, TPropKind::Color, get, set, def, {});
    }
    template <class G, class S, class D = TNoDefault>
    TPublished& Cursor(std::string_view name, G get, S set, D def = {}) {
        return Ordinal(name, TPropKind::Cursor, get, set, def, {});
    }
    // A UTF-8 string.
    template <class G, class S, class D = TNoDefault>
    TPublished& String(std::string_view name, G get, S set, D def = {}) {
        return Text(name, TPropKind::String, get, set, def);
    }
    // A nested persistent object: its reader returns the owned object; the layout reaches its
    // properties with dotted names. The object is never replaced by the reader.
    template <class G>
    TPublished& Object(std::string_view name, G get) {
        auto p = NewProp(name, TPropKind::Object);
        p->GetObject = [get](TObject* o) -> TPersistent* { return std::invoke(get, Self(o)); };
        return Add(std::move(p));
    }
    // Binary data (TBytes or anything constructible from and convertible to it); empty data
    // is not stored.
    template <class G, class S>
    TPublished& Binary(std::string_view name, G get, S set) {
        auto p = NewProp(name, TPropKind::Binary);
        p->GetBinary = [get](TObject* o) { return TBytes(std::invoke(get, Self(o))); };
        p->SetBinary = [set](TObject* o, const TBytes& b) { Store(set, Self(o), b); };
        return Add(std::move(p));
    }
    // A reference to another component, stored by its name and resolved by the reader once the
    // whole layout is read. The reader returns a C* (or a pointer convertible to one); the writer
    // takes one. The writer stores the name when the reference is set.
    template <class C, class G, class S>
    TPublished& Component(std::string_view name, G get, S set) {
        static_assert(std::is_base_of_v<TComponent, C>, "references name components");
        auto p = NewProp(name, TPropKind::Component);
        p->ComponentClass = &C::StaticClass;
        p->GetComponent = [get](TObject* o) -> TComponent* { return std::invoke(get, Self(o)); };
        p->SetComponent = [set](TObject* o, TComponent* c) {
            C* typed = dynamic_cast<C*>(c);
            if (c && !typed) throw Exception(c->Name() + " is a " + c->ClassName() + ", not a " + C::StaticClass()->Name());
            Store(set, Self(o), typed);
        };
        return Add(std::move(p));
    }
    template <class E>
    TPublished& Event(std::string_view name, E T::*field) {
        return Event(name, field, field);
    }
    template <class G, class S>
    TPublished& Event(std::string_view name, G get, S set) {
        using E = ValueOf<G>;
        using B = std::remove_pointer_t<decltype(EventBaseOf(static_cast<E*>(nullptr)))>;
        auto p = NewProp(name, TPropKind::Event);
        p->Event = std::make_shared<TEventProp<E, B>>(get, set);
        return Add(std::move(p));
    }

    // Stores the last declared property only when the predicate holds.
    template <class P>
    TPublished& Stored(P pred) {
        if (TPropInfo* last = FInfo.LastProperty())
            last->StoredFn = [pred](TObject* o) { return static_cast<bool>(std::invoke(pred, Self(o))); };
        return *this;
    }
    // The values a layout may give the last property (both ends included); the reader refuses
    // others with the line. Bounds keep the arithmetic on positions, sizes and counts in range.
    TPublished& Range(int64_t lowest, int64_t highest) {
        if (TPropInfo* last = FInfo.LastProperty()) last->Limits = {lowest, highest};
        return *this;
    }
    // Takes an inherited property off this class's list.
    TPublished& Hide(std::string_view name) {
        FInfo.HideProperty(name);
        return *this;
    }

    template <class... A>
    TPublished& ExposeMethod(std::string_view name, void (T::*method)(A...)) {
        TMethodInfo m;
        m.Name = name;
        m.Signature = typeid(void(A...));
        m.Invoker = std::function<void(TObject*, A...)>(
            [method](TObject* self, A... a) { (Self(self)->*method)(std::forward<A>(a)...); });
        FInfo.AddMethod(std::move(m));
        return *this;
    }
    template <class F>
    TPublished& ExposeField(std::string_view name, F* T::*field) {
        static_assert(std::is_base_of_v<TComponent, F>, "fields hold components");
        TFieldInfo f;
        f.Name = name;
        f.FieldClass = &F::StaticClass;
        f.Set = [field](TObject* root, TComponent* c) { Self(root)->*field = dynamic_cast<F*>(c); };
        f.Get = [field](TObject* root) -> TComponent* { return Self(root)->*field; };
        FInfo.AddField(std::move(f));
        return *this;
    }

private:
    template <class G>
    using ValueOf = std::remove_cvref_t<std::invoke_result_t<G&, T*>>;

    static T* Self(TObject* o) {
        auto* t = dynamic_cast<T*>(o);
        if (!t) throw Exception("a property of " + T::StaticClass()->Name() + " was used on another class");
        return t;
    }
    template <class S, class V>
    static void Store(const S& set, T* o, const V& v) {
        if constexpr (std::is_member_object_pointer_v<S>)
            o->*set = v;
        else
            std::invoke(set, o, v);
    }
    template <class V>
    static int64_t ToOrd(const V& v) {
        if constexpr (requires { v.Bits(); })
            return static_cast<int64_t>(v.Bits());
        else
            return static_cast<int64_t>(v);
    }
    template <class V>
    static V FromOrd(int64_t x) {
        if constexpr (requires { V::FromBits(0u); })
            return V::FromBits(static_cast<uint32_t>(x));
        else
            return static_cast<V>(x);
    }

    std::shared_ptr<TPropInfo> NewProp(std::string_view name, TPropKind kind) {
        auto p = std::make_shared<TPropInfo>();
        p->Name = name;
        p->Kind = kind;
        return p;
    }
    TPublished& Add(std::shared_ptr<TPropInfo> p) {
        FInfo.AddProperty(std::move(p));
        return *this;
    }
    template <class G, class S, class D>
    TPublished& Ordinal(std::string_view name, TPropKind kind, G get, S set, const D& def,
                        std::vector<std::string> members) {
        using V = ValueOf<G>;
        auto p = NewProp(name, kind);
        p->Members = std::move(members);
        if constexpr (!std::is_same_v<D, TNoDefault>) p->OrdDefault = ToOrd<V>(static_cast<V>(def));
        p->GetOrd = [get](TObject* o) { return ToOrd<V>(std::invoke(get, Self(o))); };
        p->SetOrd = [set](TObject* o, int64_t x) { Store(set, Self(o), FromOrd<V>(x)); };
        return Add(std::move(p));
    }
    template <class G, class S, class D>
    TPublished& Text(std::string_view name, TPropKind kind, G get, S set, const D& def) {
        auto p = NewProp(name, kind);
        if constexpr (std::is_same_v<D, TNoDefault>)
            p->StrDefault = std::string();
        else
            p->StrDefault = std::string(def);
        p->GetStr = [get](TObject* o) { return std::string(std::invoke(get, Self(o))); };
        p->SetStr = [set](TObject* o, const std::string& s) { Store(set, Self(o), s); };
        return Add(std::move(p));
    }

    template <class... A>
    static TEvent<A...>* EventBaseOf(TEvent<A...>*);

    template <class E, class B>
    class TEventProp;
    template <class E, class... A>
    class TEventProp<E, TEvent<A...>> : public TEventAccess {
    public:
        template <class G, class S>
        TEventProp(G get, S set)
            : FGet([get](T* o) { return E(std::invoke(get, o)); }),
              FSet([set](T* o, const E& e) { Store(set, o, e); }) {}

        bool Assigned(TObject* o) const override { return FGet(Self(o)).Assigned(); }
        std::string MethodName(TObject* o) const override { return FGet(Self(o)).MethodName(); }
        void BindMethod(TObject* o, TObject* target, const TMethodInfo& m) const override {
            if (m.Signature != std::type_index(typeid(void(A...))))
                throw Exception("method '" + m.Name + "' does not take the event's parameters " + Parameters());
            auto invoke = std::any_cast<std::function<void(TObject*, A...)>>(m.Invoker);
            E e;
            e.Bind(target, m.Name, [invoke, target](A... a) { invoke(target, std::forward<A>(a)...); });
            FSet(Self(o), e);
        }
        void NameMethod(TObject* o, const std::string& method) const override {
            E e;
            e.Name(method);
            FSet(Self(o), e);
        }
        void BindTrace(TObject* o, std::function<void(const std::string&)> sink) const override {
            // Through the property's writer, so a writer with side effects sees the same
            // handler; the observer rides along and the handler stays as it was.
            E e = FGet(Self(o));
            e.SetObserver([sink](A... a) { sink(EventText::Format<A...>(E::ParamNames, a...)); });
            FSet(Self(o), e);
        }
        std::string Parameters() const override {
            std::vector<std::string> names = EventText::SplitNames(E::ParamNames);
            std::string out = "(";
            for (size_t i = 0; i < sizeof...(A); ++i) {
                if (i) out += ", ";
                out += i < names.size() ? names[i] : (i == 0 ? std::string("Sender") : "arg" + std::to_string(i));
            }
            return out + ")";
        }

    private:
        std::function<E(T*)> FGet;
        std::function<void(T*, const E&)> FSet;
    };

    TClassInfo& FInfo;
};

// A component that is not a control (a timer, a popup menu) stands on its form in a designer at
// its design position, stored as Left and Top once given (a layout without them loads as before).
template <class T>
TPublished<T>& PublishDesignPosition(TPublished<T>& p) {
    return p.Prop("Left", &TComponent::DesignLeft, &TComponent::SetDesignLeft)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Stored(&TComponent::HasDesignPosition)
        .Prop("Top", &TComponent::DesignTop, &TComponent::SetDesignTop)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Stored(&TComponent::HasDesignPosition);
}

}  // namespace lumivane

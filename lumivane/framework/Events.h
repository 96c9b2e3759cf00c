#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "lumivane/framework/Object.h"

namespace lumivane {

// An event: a handler bound to an object, called with the sender first. A control raises the
// event by calling it; raising an unassigned event does nothing (beyond reporting it to an
// observer, below). The bound method's name travels with it so the writer can store it.
//
//     TNotifyEvent OnClick;
//     btn->OnClick = TNotifyEvent(this, &TMain::btnCloseClick);
//     btn->OnClick = [](TObject* Sender) { ... };
//     OnClick(this);
//
// A control tests Assigned() only where its own behaviour depends on whether someone handles the
// event (a panel that paints itself unless OnPaint is handled); everywhere else it just raises.
//
// An event slot may also carry an observer (the --trace tool's): it sees every raise, before the
// handler and whether or not a handler is bound, and never counts as a handler, so an observed
// control behaves exactly as an unobserved one. The observer belongs to the slot: assigning a
// handler to an observed event keeps the observer; it is replaced only by assigning an event that
// brings an observer of its own (how one is put on through a property's writer).
//
// An event type that has by-reference or named parameters declares their names once, for the
// generic observer of the --trace tool:
//
//     struct TKeyPressEvent : TEvent<TObject*, char32_t&> {
//         using TEvent::TEvent;
//         static constexpr const char* ParamNames = "Sender, Key";
//     };
template <class... A>
class TEvent {
public:
    using THandler = std::function<void(A...)>;
    static constexpr const char* ParamNames = "";

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class F>
        requires(!std::is_base_of_v<TEvent, std::decay_t<F>> && !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
                 std::is_invocable_v<F&, A...>)
    TEvent(F f) : FFn(std::make_shared<const THandler>(std::move(f))) {}
    template <class T>
    TEvent(T* object, void (T::*method)(A...), std::string name = {}) {
        BindObject(object, std::move(name), [object, method](A... a) { (object->*method)(std::forward<A>(a)...); });
    }

    TEvent(const TEvent&) = default;
    TEvent(TEvent&&) noexcept = default;
    TEvent& operator=(const TEvent& other) {
        if (this != &other) AssignFrom(other.FFn, other.FData, other.FMethodName, other.FObserver);
        return *this;
    }
    TEvent& operator=(TEvent&& other) noexcept {
        if (this != &other)
            AssignFrom(std::move(other.FFn), other.FData, std::move(other.FMethodName), std::move(other.FObserver));
        return *this;
    }

    void Bind(TObject* data, std::string methodName, THandler fn) {
        FFn = std::make_shared<const THandler>(std::move(fn));
        FData = data;
        FMethodName = std::move(methodName);
    }
    // A method's name without a handler: Assigned stays false and raising calls nothing.
    void Name(std::string methodName) {
        FFn = nullptr;
        FData = nullptr;
        FMethodName = std::move(methodName);
    }
    // Drops the handler (an observer stays).
    void Clear() { *this = TEvent(); }
    // Puts an observer on this slot, or removes it (null).
    void SetObserver(THandler fn) {
        FObserver = fn ? std::make_shared<const THandler>(std::move(fn)) : nullptr;
    }
    bool Observed() const { return FObserver != nullptr; }

    // Raises the event: the observer first, then the handler if one is bound. Both live on while
    // they run, even if one of them frees the object holding the event.
    void operator()(A... args) const {
        auto observer = FObserver;
        auto fn = FFn;
        if (observer) (*observer)(args...);
        if (fn) (*fn)(std::forward<A>(args)...);
    }
    // Whether a handler is bound; an observer alone does not count.
    bool Assigned() const { return FFn != nullptr; }
    explicit operator bool() const { return Assigned(); }
    TObject* Data() const { return FData; }
    const std::string& MethodName() const { return FMethodName; }

private:
    template <class T>
    void BindObject(T* object, std::string name, THandler fn) {
        TObject* data = nullptr;
        if constexpr (std::is_convertible_v<T*, TObject*>) data = object;
        Bind(data, std::move(name), std::move(fn));
    }

    void AssignFrom(std::shared_ptr<const THandler> fn, TObject* data, std::string methodName,
                    std::shared_ptr<const THandler> observer) {
        FFn = std::move(fn);
        FData = data;
        FMethodName = std::move(methodName);
        if (observer) FObserver = std::move(observer);
    }

    std::shared_ptr<const THandler> FFn;
    TObject* FData = nullptr;
    std::string FMethodName;
    std::shared_ptr<const THandler> FObserver;
};

using TNotifyEvent = TEvent<TObject*>;

// An event that its owner keeps elsewhere (an inner control's, or one whose writer does more than
// store), used like any event member: assigned, read, tested and raised the same way,
//
//     edit->OnChange = [](TObject* Sender) { ... };
//
// while the owner's reader and writer stay the one way in (the up-down edit's key writer keeps
// its own arrow handling; a timer's restarts the timer).
template <class Owner, class E, const E& (Owner::*Get)() const, void (Owner::*Set)(const E&)>
class TEventRef {
public:
    explicit TEventRef(Owner* owner) : FOwner(owner) {}
    TEventRef(const TEventRef&) = delete;
    TEventRef& operator=(const TEventRef& other) { return *this = other.Value(); }
    TEventRef& operator=(const E& value) {
        (FOwner->*Set)(value);
        return *this;
    }
    const E& Value() const { return (FOwner->*Get)(); }
    operator const E&() const { return Value(); }
    template <class... A>
    void operator()(A&&... args) const {
        Value()(std::forward<A>(args)...);
    }
    bool Assigned() const { return Value().Assigned(); }
    explicit operator bool() const { return Assigned(); }
    const std::string& MethodName() const { return Value().MethodName(); }
    void Clear() { *this = E(); }

private:
    Owner* FOwner;
};

// Text of event arguments for tracing: the first argument (the sender) and pointers are left
// out, by-reference arguments are written Name=value, the rest by value.
namespace EventText {
std::vector<std::string> SplitNames(std::string_view names);

template <class V>
std::string Value(const V& v) {
    using D = std::remove_cvref_t<V>;
    if constexpr (std::is_same_v<D, bool>)
        return v ? "True" : "False";
    else if constexpr (std::is_same_v<D, char> || std::is_same_v<D, unsigned char>)
        return std::to_string(static_cast<unsigned char>(v));
    else if constexpr (std::is_integral_v<D>)
        return std::to_string(v);
    else if constexpr (std::is_enum_v<D>)
        return std::to_string(static_cast<long long>(v));
    else if constexpr (requires { v.Bits(); })
        return std::to_string(v.Bits());
    else if constexpr (std::is_convertible_v<const D&, std::string_view>)
        return "'" + std::string(std::string_view(v)) + "'";
    else
        return "?";
}

template <class... A, class... V>
std::string Format(const char* paramNames, const V&... values) {
    std::vector<std::string> names = SplitNames(paramNames);
    std::string out;
    size_t i = 0;
    auto one = [&]<class P>(const auto& v) {
        size_t idx = i++;
        if (idx == 0 && std::is_convertible_v<std::remove_cvref_t<P>, const TObject*>) return;
        if constexpr (std::is_pointer_v<std::remove_cvref_t<P>>) {
            return;
        } else {
            if (!out.empty()) out += ", ";
            if constexpr (std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>)
                out += (idx < names.size() ? names[idx] : "arg" + std::to_string(idx)) + "=";
            out += Value(v);
        }
    };
    (one.template operator()<A>(values), ...);
    return out;
}
}  // namespace EventText

}  // namespace lumivane

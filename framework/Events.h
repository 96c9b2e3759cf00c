#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/Object.h"

// An event: a handler bound to an object, called with the sender first. Calling an unassigned
// event does nothing. The bound method's name travels with it so the writer can store it.
//
//     TNotifyEvent OnClick;
//     btn->OnClick = TNotifyEvent(this, &TMain::btnCloseClick);
//     btn->OnClick = [](TObject* Sender) { ... };
//     OnClick(this);
//
// An event type that has by-reference or named parameters declares their names once, for the
// generic handler of the --trace tool:
//
//     struct TKeyPressEvent : TEvent<TObject*, char&> {
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

    void Bind(TObject* data, std::string methodName, THandler fn) {
        FFn = std::make_shared<const THandler>(std::move(fn));
        FData = data;
        FMethodName = std::move(methodName);
    }
    void Clear() { *this = TEvent(); }

    // The handler lives on while it runs, even if the handler frees the object holding the event.
    void operator()(A... args) const {
        if (auto fn = FFn) (*fn)(std::forward<A>(args)...);
    }
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

    std::shared_ptr<const THandler> FFn;
    TObject* FData = nullptr;
    std::string FMethodName;
};

using TNotifyEvent = TEvent<TObject*>;

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

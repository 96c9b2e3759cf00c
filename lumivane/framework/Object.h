#pragma once
#include <string>
#include <string_view>

#include "lumivane/framework/Forward.h"
#include "lumivane/windows/Messages.h"

namespace lumivane {

// The root of the class tree: class identity at run time, and numbered-message dispatch.
//
// Every framework class names itself and its base once, at the top of its body:
//
//     class TImButton : public TCustomImButton {
//         LUMI_CLASS(TImButton, TCustomImButton)
//     public:
//         ...
//     };
//
// and defines its class information, with its published properties, in its source file
// (see framework/Published.h):
//
//     LUMI_DEFINE_CLASS(TImButton) {
//         p.Prop("Spacing", &TImButton::fGetSpacing, &TImButton::fSetSpacing, 0);
//     }
//
// Message handlers: a class overrides Dispatch with one switch over the numbers it handles and
// hands every other message to inherited::Dispatch; the chain ends in DefaultHandler.

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Declares the class identity members. Leaves the access at private, the default of a class.
#define LUMI_CLASS(Class, Base)                                   \
public:                                                           \
    using inherited = Base;                                       \
    static ::lumivane::TClass StaticClass();                      \
    ::lumivane::TClass ClassType() const override {               \
        return StaticClass();                                     \
    }                                                             \
    static void Publish(::lumivane::TPublished<Class>& p);        \
                                                                  \
private:

class TObject {
public:
    using inherited = void;
    static TClass StaticClass();
    static void Publish(TPublished<TObject>& p);

    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    virtual TClass ClassType() const { return StaticClass(); }
    const std::string& ClassName() const;
    // True for the class itself and every class derived from it. Names compare without case.
    bool InheritsFrom(TClass c) const;
    bool InheritsFrom(std::string_view className) const;

    // Routes a numbered message to a handler; the base sends everything to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
};

}  // namespace lumivane

#include "lumivane/framework/layout/FormReader.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormLexer.h"
#include "lumivane/framework/layout/Resources.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

std::vector<std::string> SplitDots(const std::string& name, int line) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (true) {
        size_t j = name.find('.', i);
        std::string part = name.substr(i, j == std::string::npos ? std::string::npos : j - i);
        if (!IsValidIdent(part)) FailAtLine(line, "bad property name '" + name + "'");
        parts.push_back(part);
        if (parts.size() > 8) FailAtLine(line, "property name '" + name + "' is nested too deeply");
        if (j == std::string::npos) break;
        i = j + 1;
    }
    return parts;
}

const char* KindName(TPropKind k) {
    switch (k) {
    case TPropKind::Bool: return "True or False";
    case TPropKind::Int32:
    case TPropKind::Int64: return "a whole number";
    case TPropKind::Enum: return "an enumeration member";
    case TPropKind::Set: return "a set such as [a, b]";
    case TPropKind::String: return "a string";
    case TPropKind::Color: return "a colour";
    case TPropKind::Cursor: return "a cursor";
    case TPropKind::Object: return "an object";
    case TPropKind::Binary: return "binary data {...}";
    case TPropKind::Event: return "a method name";
    case TPropKind::Component: return "a component name";
    }
    return "a value";
}

class TFormReader {
public:
    TFormReader(std::string_view text, TComponent* root, std::string layoutName = {}, bool namesOnly = false)
        : FLex(text), FRoot(root), FLayoutName(std::move(layoutName)), FNamesOnly(namesOnly) {
        if (text.size() > MaxFormTextSize)
            throw Exception("line 1: layout too large (" + std::to_string(text.size()) + " bytes)");
    }

    // Reads the header: returns the class name; the caller checks or creates the root.
    void ReadHeader(std::string& name, std::string& className, int& line) {
        Advance();
        ReadObjectHeader(name, className, line);
    }

    void ReadInto(TComponent* root, const std::string& name, int headerLine) {
        FRoot = root;
        std::string oldName = root->Name();
        bool wasLoading = root->ComponentState().Contains(csLoading);
        bool wasReading = root->ComponentState().Contains(csReading);
        try {
            root->SetStateFlag(csLoading, true);
            root->SetStateFlag(csReading, true);
            if (root->Name().empty() && !name.empty()) {
                TComponent* owner = root->Owner();
                if (!owner || !owner->FindComponent(name)) Guard(headerLine, [&] { root->SetName(name); });
            }
            ReadBody(root, 1);
            if (FTok.Kind != TFormTok::End) FailAtLine(FTok.Line, "text after the final 'end'");
            ResolveReferences();
            CheckFields(root, headerLine);
            for (TComponent* c : Alive()) c->SetStateFlag(csReading, false);
            root->SetStateFlag(csReading, false);
            for (TComponent* c : Alive()) {
                c->Loaded();
                c->SetStateFlag(csLoading, false);
            }
            root->Loaded();
            root->SetStateFlag(csLoading, false);
        } catch (...) {
            std::vector<TComponent*> alive = Alive();
            for (auto it = alive.rbegin(); it != alive.rend(); ++it)
                if (Owned(*it)) delete *it;
            if (root->Name() != oldName) {
                try {
                    root->SetName(oldName);
                } catch (...) {
                }
            }
            root->SetStateFlag(csLoading, wasLoading);
            root->SetStateFlag(csReading, wasReading);
            throw;
        }
    }

private:
    void Advance() { FTok = FLex.Next(); }

    bool IsIdent(const char* word) const { return FTok.Kind == TFormTok::Ident && SameText(FTok.Text, word); }
    bool IsSymbol(char c) const { return FTok.Kind == TFormTok::Symbol && FTok.Text[0] == c; }
    std::string Describe() const {
        switch (FTok.Kind) {
        case TFormTok::End: return "the end of the text";
        case TFormTok::Ident: return "'" + FTok.Text + "'";
        case TFormTok::Int: return "a number";
        case TFormTok::String: return "a string";
        case TFormTok::Symbol: return "'" + FTok.Text + "'";
        }
        return "?";
    }
    [[noreturn]] void Expected(const std::string& what) const { FailAtLine(FTok.Line, "expected " + what + ", found " + Describe()); }

    void ReadObjectHeader(std::string& name, std::string& className, int& line) {
        if (!IsIdent("object")) Expected("'object'");
        line = FTok.Line;
        Advance();
        if (FTok.Kind != TFormTok::Ident || !IsValidIdent(FTok.Text)) Expected("a component name");
        name = FTok.Text;
        Advance();
        if (IsSymbol(':')) {
            Advance();
            if (FTok.Kind != TFormTok::Ident || !IsValidIdent(FTok.Text)) Expected("a class name");
            className = FTok.Text;
            Advance();
        } else {
            className = name;  // `object TClass`: an unnamed component
            name.clear();
        }
    }

    // Properties and child objects up to and including `end`.
    void ReadBody(TComponent* current, int depth) {
        while (true) {
            if (FTok.Kind != TFormTok::Ident) Expected("a property, 'object' or 'end'");
            if (IsIdent("end")) {
                Advance();
                return;
            }
            if (IsIdent("object")) {
                ReadChild(current, depth + 1);
                continue;
            }
            ReadProperty(current);
        }
    }

    void ReadChild(TComponent* parent, int depth) {
        if (depth > MaxFormNesting) FailAtLine(FTok.Line, "objects nested too deeply");
        std::string name, className;
        int line;
        ReadObjectHeader(name, className, line);
        TClass cls = GetClass(className);
        if (!cls) cls = FRoot->ClassType()->FindFieldClass(className);
        if (!cls) FailAtLine(line, "unknown class '" + className + "'");
        if (!cls->Creator()) FailAtLine(line, "class " + cls->Name() + " cannot be created from a layout");
        TComponent* c = nullptr;
        Guard(line, [&] { c = CreateComponent(cls, FRoot); });
        FCreated.push_back(c);
        c->SetStateFlag(csLoading, true);
        c->SetStateFlag(csReading, true);
        if (const TFieldInfo* f = FRoot->ClassType()->FindField(name)) {
            TClass want = f->FieldClass();
            if (!c->InheritsFrom(want))
                FailAtLine(line, name + " is a " + c->ClassName() + ", but " + FRoot->ClassName() + " declares it a " +
                               want->Name());
        }
        Guard(line, [&] { c->SetName(name); });
        Guard(line, [&] { c->SetParentComponent(parent); });
        ReadBody(c, depth);
    }

    void ReadProperty(TComponent* instance) {
        FCurrent = instance;
        int line = FTok.Line;
        std::vector<std::string> parts = SplitDots(FTok.Text, line);
        Advance();
        if (!IsSymbol('=')) Expected("'='");
        Advance();
        TObject* target = instance;
        const TPropInfo* prop = nullptr;
        for (size_t i = 0; i < parts.size(); ++i) {
            prop = target->ClassType()->FindProperty(parts[i]);
            if (!prop) FailAtLine(line, "unknown property '" + parts[i] + "' of " + target->ClassName());
            if (i + 1 < parts.size()) {
                if (prop->Kind != TPropKind::Object)
                    FailAtLine(line, "property '" + parts[i] + "' of " + target->ClassName() + " has no properties of its own");
                TObject* inner = nullptr;
                Guard(line, [&] { inner = prop->GetObject(target); });
                if (!inner) FailAtLine(line, "property '" + parts[i] + "' of " + target->ClassName() + " holds no object");
                target = inner;
            }
        }
        ReadValue(target, *prop, line);
    }

    void ReadValue(TObject* target, const TPropInfo& prop, int line) {
        const std::string where = " for " + prop.Name + " of " + target->ClassName();
        switch (prop.Kind) {
        case TPropKind::Bool: {
            bool v;
            if (IsIdent("True"))
                v = true;
            else if (IsIdent("False"))
                v = false;
            else
                Expected(std::string(KindName(prop.Kind)) + where);
            Advance();
            Guard(line, [&] { prop.SetOrd(target, v); });
            return;
        }
        case TPropKind::Int32:
        case TPropKind::Int64:
        case TPropKind::Color:
        case TPropKind::Cursor: {
            int64_t v;
            if (FTok.Kind == TFormTok::Int) {
                v = Number(prop, where);
            } else if (FTok.Kind == TFormTok::Ident && prop.Kind == TPropKind::Color) {
                auto c = IdentToColor(FTok.Text);
                if (!c) FailAtLine(line, "unknown colour '" + FTok.Text + "'" + where);
                v = *c;
            } else if (FTok.Kind == TFormTok::Ident && prop.Kind == TPropKind::Cursor) {
                auto c = IdentToCursor(FTok.Text);
                if (!c) FailAtLine(line, "unknown cursor '" + FTok.Text + "'" + where);
                v = *c;
            } else {
                Expected(std::string(KindName(prop.Kind)) + where);
            }
            Advance();
            Guard(line, [&] { prop.SetOrd(target, v); });
            return;
        }
        case TPropKind::Enum: {
            if (FTok.Kind != TFormTok::Ident) Expected(std::string(KindName(prop.Kind)) + where);
            int64_t v = Member(prop, FTok.Text, line);
            Advance();
            Guard(line, [&] { prop.SetOrd(target, v); });
            return;
        }
        case TPropKind::Set: {
            if (!IsSymbol('[')) Expected(std::string(KindName(prop.Kind)) + where);
            Advance();
            int64_t bits = 0;
            if (!IsSymbol(']')) {
                while (true) {
                    if (FTok.Kind != TFormTok::Ident) Expected("a set member" + where);
                    bits |= int64_t{1} << Member(prop, FTok.Text, line);
                    Advance();
                    if (IsSymbol(']')) break;
                    if (!IsSymbol(',')) Expected("',' or ']'");
                    Advance();
                }
            }
            Advance();
            Guard(line, [&] { prop.SetOrd(target, bits); });
            return;
        }
        case TPropKind::String: {
            if (FTok.Kind != TFormTok::String) Expected(std::string(KindName(prop.Kind)) + where);
            std::u32string text = FTok.Str;
            Advance();
            while (IsSymbol('+')) {
                Advance();
                if (FTok.Kind != TFormTok::String) Expected("a string after '+'");
                if (text.size() + FTok.Str.size() > MaxFormTextSize) FailAtLine(line, "string too long");
                text += FTok.Str;
                Advance();
            }
            std::string value;
            for (char32_t cp : text) {
                // Strings end at a NUL on their way into controls: refused rather than cut short.
                if (cp == 0) FailAtLine(line, "a string cannot hold character #0" + where);
                AppendUtf8(value, cp);
            }
            Guard(line, [&] { prop.SetStr(target, value); });
            return;
        }
        case TPropKind::Binary: {
            if (!IsSymbol('{')) Expected(std::string(KindName(prop.Kind)) + where);
            TBytes data = FLex.ReadBinary(line);
            Advance();
            Guard(line, [&] { prop.SetBinary(target, data); });
            return;
        }
        case TPropKind::Event: {
            if (FTok.Kind != TFormTok::Ident || !IsValidIdent(FTok.Text)) Expected(std::string(KindName(prop.Kind)) + where);
            if (FNamesOnly) {
                const std::string method = FTok.Text;
                Advance();
                Guard(line, [&] { prop.Event->NameMethod(target, method); }, prop.Name + ": ");
                return;
            }
            const TMethodInfo* m = FRoot->ClassType()->FindMethod(FTok.Text);
            if (!m) FailAtLine(line, "unknown method '" + FTok.Text + "' of " + FRoot->ClassName() + where);
            Advance();
            Guard(line, [&] { prop.Event->BindMethod(target, FRoot, *m); }, prop.Name + ": ");
            return;
        }
        case TPropKind::Component: {
            if (FTok.Kind != TFormTok::Ident) Expected(std::string(KindName(prop.Kind)) + where);
            if (SameText(FTok.Text, "nil")) {
                Guard(line, [&] { prop.SetComponent(target, nullptr); });
            } else {
                if (!IsValidIdent(FTok.Text)) Expected(std::string(KindName(prop.Kind)) + where);
                FReferences.push_back({FCurrent, target, &prop, FTok.Text, line});
            }
            Advance();
            return;
        }
        case TPropKind::Object:
            FailAtLine(line, "property '" + prop.Name + "' of " + target->ClassName() +
                           " is an object: set its properties, e.g. " + prop.Name + ".Name");
        }
    }

    // Component references may name components that stand further down: they are set once every
    // component exists, in the order they stood.
    void ResolveReferences() {
        std::vector<TComponent*> alive = Alive();
        for (const TReference& r : FReferences) {
            if (r.Instance != FRoot && std::find(alive.begin(), alive.end(), r.Instance) == alive.end()) continue;
            TComponent* found = FRoot->FindComponent(r.Name);
            if (!found && SameText(FRoot->Name(), r.Name)) found = FRoot;
            const std::string where = " for " + r.Prop->Name + " of " + r.Target->ClassName();
            if (!found) FailAtLine(r.Line, "unknown component '" + r.Name + "'" + where);
            const TClassInfo* want = r.Prop->ComponentClass ? r.Prop->ComponentClass() : nullptr;
            if (want && !found->InheritsFrom(want))
                FailAtLine(r.Line, r.Name + " is a " + found->ClassName() + ", not a " + want->Name() + where);
            Guard(r.Line, [&] { r.Prop->SetComponent(r.Target, found); });
        }
        FReferences.clear();
    }

    // Every field the root's class exposes holds a component once the layout is read: a field
    // the layout does not fill would be a null pointer in the program's hands.
    void CheckFields(TComponent* root, int headerLine) const {
        const std::string& name = root->Name().empty() ? root->ClassName() : root->Name();
        const std::string layout = !FLayoutName.empty() ? FLayoutName : "of " + name;
        for (TClass k = root->ClassType(); k; k = k->Parent())
            for (const TFieldInfo& f : k->Fields())
                if (!f.Get(root))
                    FailAtLine(headerLine, "the layout " + layout + " does not fill the field " + f.Name + " of " +
                                               k->Name() + ": it has no " + f.FieldClass()->Name() + " named " + f.Name);
    }

    int64_t Number(const TPropInfo& prop, const std::string& where) const {
        int64_t v;
        const uint64_t lim = uint64_t{1} << 63;
        if (FTok.Hex && !FTok.Negative) {
            v = static_cast<int64_t>(FTok.Magnitude);  // hex keeps its bits
        } else if (FTok.Negative) {
            if (FTok.Magnitude > lim) FailAtLine(FTok.Line, "number out of range" + where);
            v = FTok.Magnitude == lim ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(FTok.Magnitude);
        } else {
            if (FTok.Magnitude >= lim) FailAtLine(FTok.Line, "number out of range" + where);
            v = static_cast<int64_t>(FTok.Magnitude);
        }
        if (prop.Limits && (v < prop.MinOrd() || v > prop.MaxOrd()))
            FailAtLine(FTok.Line, "number out of range" + where + " (" + std::to_string(prop.MinOrd()) + " to " +
                                std::to_string(prop.MaxOrd()) + ")");
        if (v < prop.MinOrd() || v > prop.MaxOrd()) FailAtLine(FTok.Line, "number out of range" + where);
        if (prop.Kind == TPropKind::Int32) v = static_cast<int32_t>(static_cast<uint32_t>(v));
        if (prop.Kind == TPropKind::Color) v = static_cast<uint32_t>(v);
        return v;
    }

    int64_t Member(const TPropInfo& prop, const std::string& name, int line) const {
        // A set holds at most 32 members; an enumeration may name any (a font's 256 charsets).
        const size_t count = prop.Kind == TPropKind::Set ? std::min<size_t>(prop.Members.size(), 32) : prop.Members.size();
        for (size_t i = 0; i < count; ++i)
            if (SameText(prop.Members[i], name)) return static_cast<int64_t>(i);
        FailAtLine(line, "'" + name + "' is not a member of " + prop.Name);
    }

    // Runs code that calls into components; their failures get the line.
    template <class F>
    void Guard(int line, F&& f, const std::string& prefix = {}) {
        try {
            f();
        } catch (const Exception& e) {
            std::string msg = e.Message();
            if (msg.rfind("line ", 0) == 0) throw;
            FailAtLine(line, prefix + msg);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            FailAtLine(line, prefix + e.what());
        }
    }

    bool Owned(TComponent* c) const {
        for (int i = 0; i < FRoot->ComponentCount(); ++i)
            if (FRoot->Components(i) == c) return true;
        return false;
    }
    // Created components still owned by the root (a component may free others it made).
    std::vector<TComponent*> Alive() const {
        std::unordered_set<TComponent*> owned;
        for (int i = 0; i < FRoot->ComponentCount(); ++i) owned.insert(FRoot->Components(i));
        std::vector<TComponent*> out;
        for (TComponent* c : FCreated)
            if (owned.count(c)) out.push_back(c);
        return out;
    }

    struct TReference {
        TComponent* Instance;  // the component whose property (or nested property) it is
        TObject* Target;
        const TPropInfo* Prop;
        std::string Name;
        int Line;
    };

    TFormLexer FLex;
    TFormToken FTok;
    TComponent* FRoot;
    std::string FLayoutName;  // a resource's name; else the layout is named by its root
    bool FNamesOnly;          // events keep their methods' names and call nothing
    TComponent* FCurrent = nullptr;
    std::vector<TComponent*> FCreated;
    std::vector<TReference> FReferences;
};

}  // namespace

namespace {
void ReadNamedForm(TComponent* root, std::string_view text, std::string layoutName, bool plainForm = false) {
    if (!root) throw Exception("no component to read the layout into");
    TFormReader reader(text, root, std::move(layoutName), plainForm);
    std::string name, className;
    int line = 1;
    reader.ReadHeader(name, className, line);
    TClass header = GetClass(className);
    bool fits = root->InheritsFrom(className) || (header && header->InheritsFrom(root->ClassType()));
    if (!fits && !plainForm) FailAtLine(line, "the layout is for " + className + ", not " + root->ClassName());
    reader.ReadInto(root, name, line);
}
}  // namespace

void ReadForm(TComponent* root, std::string_view text) { ReadNamedForm(root, text, {}); }

void ReadFormAsPlainForm(TComponent* root, std::string_view text) { ReadNamedForm(root, text, {}, true); }

void ReadFormResource(TComponent* root, std::string_view resourceName) {
    const std::optional<std::string_view> text = FindResource(resourceName);
    if (!text) throw Exception("Resource " + std::string(resourceName) + " not found");
    ReadNamedForm(root, *text, std::string(resourceName));
}

TComponent* ReadRootComponent(std::string_view text, TComponent* owner) {
    TFormReader reader(text, nullptr);
    std::string name, className;
    int line = 1;
    reader.ReadHeader(name, className, line);
    TClass cls = GetClass(className);
    if (!cls) FailAtLine(line, "unknown class '" + className + "'");
    if (!cls->Creator()) FailAtLine(line, "class " + cls->Name() + " cannot be created from a layout");
    std::unique_ptr<TComponent> root;
    try {
        root.reset(CreateComponent(cls, owner));
    } catch (const Exception& e) {
        FailAtLine(line, e.Message());
    }
    reader.ReadInto(root.get(), name, line);
    return root.release();
}

}  // namespace lumivane

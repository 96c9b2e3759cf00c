#include "tools/formview/PropertyEdit.h"

#include <cstdio>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/layout/FormLexer.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/LayoutText.h"

using namespace lumivane;

namespace {

std::string OrdText(TObject* obj, const TPropInfo& p) {
    const int64_t v = p.GetOrd(obj);
    switch (p.Kind) {
    case TPropKind::Bool: return v ? "True" : "False";
    case TPropKind::Enum:
        return v >= 0 && v < int64_t(p.Members.size()) ? p.Members[size_t(v)] : std::to_string(v);
    case TPropKind::Set: {
        std::string out = "[";
        for (size_t i = 0; i < p.Members.size() && i < 32; ++i)
            if (uint64_t(v) & (uint64_t{1} << i)) out += (out.size() > 1 ? ", " : "") + p.Members[i];
        return out + "]";
    }
    case TPropKind::Color: {
        if (auto name = ColorToIdent(uint32_t(v))) return *name;
        char buf[16];
        std::snprintf(buf, sizeof buf, "$%08X", unsigned(uint32_t(v)));
        return buf;
    }
    case TPropKind::Cursor: {
        auto name = CursorToIdent(int(v));
        return name ? *name : std::to_string(v);
    }
    default: return std::to_string(v);
    }
}

void AddRows(const TDesignModel& model, TObject* obj, const std::string& prefix, int nesting,
             std::vector<TPropertyRow>& rows) {
    if (!obj || nesting > 8) return;
    for (const auto& p : obj->ClassType()->Properties()) {
        TPropertyRow row;
        row.Path = prefix + p->Name;
        row.Prop = p.get();
        switch (p->Kind) {
        case TPropKind::Object:
            AddRows(model, p->GetObject(obj), row.Path + ".", nesting + 1, rows);
            continue;
        case TPropKind::String: row.Value = p->GetStr(obj); break;
        case TPropKind::Binary: {
            // Formatted, not concatenated: GCC 12's -O3 misreads "(" + std::string as overlapping.
            const size_t n = p->GetBinary(obj).size();
            char text[40];
            std::snprintf(text, sizeof text, "(%zu bytes)", n);
            row.Value = n ? text : "";
            break;
        }
        case TPropKind::Event: row.Value = p->Event->MethodName(obj); break;
        case TPropKind::Component: {
            TComponent* c = p->GetComponent(obj);
            row.Value = c ? c->Name() : "";
            const TClassInfo* want = p->ComponentClass ? p->ComponentClass() : nullptr;
            for (const std::string& name : model.Names())
                if (TComponent* candidate = model.Find(name); candidate && !name.empty() &&
                                                              (!want || candidate->InheritsFrom(want)))
                    row.Choices.push_back(name);
            break;
        }
        default:
            row.Value = OrdText(obj, *p);
            row.Min = p->MinOrd();
            row.Max = p->MaxOrd();
            if (p->Kind == TPropKind::Bool) row.Choices = {"False", "True"};
            if (p->Kind == TPropKind::Enum) {
                auto* c = dynamic_cast<TComponent*>(obj);
                row.Choices = c ? model.KeptMembers(c->ClassType(), *p) : p->Members;
            }
            if (p->Kind == TPropKind::Set) row.Choices = p->Members;
            break;
        }
        rows.push_back(std::move(row));
    }
}

// The property a dotted path names, from the component's class down.
const TPropInfo* Resolve(TObject* obj, const std::string& path) {
    size_t at = 0;
    while (obj) {
        size_t dot = path.find('.', at);
        const TPropInfo* p = obj->ClassType()->FindProperty(path.substr(at, dot == std::string::npos ? dot : dot - at));
        if (!p || dot == std::string::npos) return p;
        if (p->Kind != TPropKind::Object) return nullptr;
        obj = p->GetObject(obj);
        at = dot + 1;
    }
    return nullptr;
}

// A value typed as the layout gives it must be one value: otherwise "5 Caption = 'x'" would
// give a second property on the way.
void CheckOneValue(const std::string& text, const TPropInfo& p, const std::string& where) {
    TFormLexer lex(text);
    TFormToken t = lex.Next();
    if (t.Kind == TFormTok::End) return;  // the reader names what it expected
    if (p.Kind == TPropKind::Set && t.Kind == TFormTok::Symbol && t.Text == "[") {
        do {
            t = lex.Next();
        } while (t.Kind != TFormTok::End && !(t.Kind == TFormTok::Symbol && (t.Text == "]" || t.Text == "=")));
        if (t.Kind != TFormTok::Symbol || t.Text != "]") return;  // unclosed: the reader says so
    }
    t = lex.Next();
    if (t.Kind != TFormTok::End) throw Exception("one value expected" + where + ", found more after it");
}

std::string Hex(const TBytes& data) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "{";
    for (uint8_t b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out + "}";
}

}  // namespace

std::vector<TPropertyRow> PropertyRows(const TDesignModel& model, const std::string& component) {
    std::vector<TPropertyRow> rows;
    AddRows(model, model.Find(component), "", 0, rows);
    return rows;
}

void SetPropertyText(TDesignModel& model, const std::string& component, const std::string& path,
                     const std::string& text) {
    TComponent* c = model.Find(component);
    if (!c) throw Exception("no component named " + component);
    const TPropInfo* p = Resolve(c, path);
    if (!p || p->Kind == TPropKind::Object) throw Exception("unknown property '" + path + "' of " + c->ClassName());
    const std::string name = c->Name();
    const std::string where = " for " + p->Name;
    std::optional<std::string> next;
    if (text.empty() && (p->Kind == TPropKind::Event || p->Kind == TPropKind::Component)) {
        next = WithoutPropertyLine(model.Text(), name, path);
    } else {
        std::string value;
        switch (p->Kind) {
        case TPropKind::String: value = QuoteLayoutString(text); break;
        case TPropKind::Binary: {
            TPicture picture;
            if (!text.empty()) picture.LoadFromFile(text);
            value = Hex(picture.Data());
            break;
        }
        default:
            try {
                CheckOneValue(text, *p, where);
            } catch (const Exception& e) {
                throw Exception(ReaderMessage(e.Message()));
            }
            value = text;
            break;
        }
        next = WithPropertyLine(model.Text(), name, path + " = " + value);
    }
    if (!next) throw Exception("no component named " + component + " in the layout");
    try {
        model.Apply(*next);
    } catch (const Exception& e) {
        throw Exception(ReaderMessage(e.Message()));
    }
}

std::string ChoiceText(const TPropertyRow& row, size_t index) {
    return index < row.Choices.size() ? row.Choices[index] : row.Value;
}

std::vector<bool> HeldMembers(const TPropertyRow& row) {
    std::vector<bool> held(row.Choices.size(), false);
    std::string_view v = row.Value;
    const size_t open = v.find('['), close = v.rfind(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return held;
    v = v.substr(open + 1, close - open - 1);
    while (!v.empty()) {
        const size_t comma = v.find(',');
        std::string_view item = v.substr(0, comma);
        v = comma == std::string_view::npos ? std::string_view() : v.substr(comma + 1);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        for (size_t i = 0; i < row.Choices.size(); ++i)
            if (SameText(row.Choices[i], item)) held[i] = true;
    }
    return held;
}

std::string ToggledMemberText(const TPropertyRow& row, size_t member) {
    std::vector<bool> held = HeldMembers(row);
    if (member < held.size()) held[member] = !held[member];
    std::string out = "[";
    for (size_t i = 0; i < held.size(); ++i)
        if (held[i]) out += (out.size() > 1 ? ", " : "") + row.Choices[i];
    return out + "]";
}

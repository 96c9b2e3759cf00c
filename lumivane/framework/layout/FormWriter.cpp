#include "lumivane/framework/layout/FormWriter.h"

#include <cstdio>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

constexpr size_t StringChunk = 64;  // code points per line of a long string
constexpr size_t BinaryLine = 32;   // bytes per line of binary data

std::u32string CodePoints(std::string_view s) {
    std::u32string out;
    for (size_t pos = 0; pos < s.size();) out += NextChar(s, pos);
    return out;
}

std::string QuoteChunk(std::u32string_view text) {
    std::string out;
    bool quoted = false;
    for (char32_t cp : text) {
        // Printable characters as they are; control characters as codes (the C1 ones in hex:
        // #128..#159 read as Windows-1252).
        bool printable = cp >= 32 && cp != 127 && !(cp >= 0x80 && cp < 0xA0);
        if (printable != quoted) {
            out += '\'';
            quoted = printable;
        }
        if (!printable) {
            if (cp >= 0x80) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "#$%02X", static_cast<unsigned>(cp));
                out += hex;
            } else {
                out += '#' + std::to_string(static_cast<uint32_t>(cp));
            }
        } else {
            if (cp == '\'') out += '\'';
            AppendUtf8(out, cp);
        }
    }
    if (quoted) out += '\'';
    return out.empty() ? "''" : out;
}

class TFormWriter {
public:
    explicit TFormWriter(bool all) : FAll(all) {}

    void WriteComponent(TComponent* root, TComponent* c, int depth) {
        Indent(depth);
        FOut += "object ";
        if (!c->Name().empty()) FOut += c->Name() + ": ";
        FOut += c->ClassName() + "\n";
        WriteProperties(c, "", depth + 1);
        for (int i = 0; i < root->ComponentCount(); ++i) {
            TComponent* child = root->Components(i);
            TComponent* parent = child->GetParentComponent();
            if (parent == c || (c == root && !parent)) WriteComponent(root, child, depth + 1);
        }
        Indent(depth);
        FOut += "end\n";
    }

    std::string Result() { return std::move(FOut); }

private:
    void WriteProperties(TObject* obj, const std::string& prefix, int depth, int nesting = 0) {
        if (nesting > 8) return;
        for (auto& p : obj->ClassType()->Properties()) {
            bool stored = p->IsStored(obj);
            if (p->Kind == TPropKind::Object) {
                if (!stored && !FAll) continue;
                if (p->StoredFn && !p->StoredFn(obj) && !FAll) continue;
                if (TPersistent* inner = p->GetObject(obj))
                    WriteProperties(inner, prefix + p->Name + ".", depth, nesting + 1);
                continue;
            }
            if (!stored) {
                if (!FAll) continue;
                if (p->Kind == TPropKind::Binary || p->Kind == TPropKind::Event || p->Kind == TPropKind::Component)
                    continue;
            }
            Indent(depth);
            FOut += prefix + p->Name + " = ";
            WriteValue(obj, *p, depth);
            FOut += '\n';
        }
    }

    void WriteValue(TObject* obj, const TPropInfo& p, int depth) {
        switch (p.Kind) {
        case TPropKind::Bool:
            FOut += p.GetOrd(obj) ? "True" : "False";
            return;
        case TPropKind::Int32:
        case TPropKind::Int64:
            FOut += std::to_string(p.GetOrd(obj));
            return;
        case TPropKind::Enum: {
            int64_t v = p.GetOrd(obj);
            FOut += v >= 0 && v < static_cast<int64_t>(p.Members.size()) ? p.Members[static_cast<size_t>(v)]
                                                                         : std::to_string(v);
            return;
        }
        case TPropKind::Set: {
            auto bits = static_cast<uint64_t>(p.GetOrd(obj));
            FOut += '[';
            bool first = true;
            for (size_t i = 0; i < p.Members.size() && i < 32; ++i)
                if (bits & (uint64_t{1} << i)) {
                    if (!first) FOut += ", ";
                    FOut += p.Members[i];
                    first = false;
                }
            FOut += ']';
            return;
        }
        case TPropKind::Color: {
            auto c = static_cast<uint32_t>(p.GetOrd(obj));
            if (auto name = ColorToIdent(c)) {
                FOut += *name;
            } else {
                char buf[16];
                std::snprintf(buf, sizeof buf, "$%08X", c);
                FOut += buf;
            }
            return;
        }
        case TPropKind::Cursor: {
            auto v = static_cast<int>(p.GetOrd(obj));
            auto name = CursorToIdent(v);
            FOut += name ? *name : std::to_string(v);
            return;
        }
        case TPropKind::String: {
            std::u32string text = CodePoints(p.GetStr(obj));
            if (text.size() <= StringChunk) {
                FOut += QuoteChunk(text);
                return;
            }
            for (size_t i = 0; i < text.size(); i += StringChunk) {
                if (i) {
                    FOut += " +\n";
                    Indent(depth + 1);
                }
                FOut += QuoteChunk(std::u32string_view(text).substr(i, StringChunk));
            }
            return;
        }
        case TPropKind::Binary: {
            static const char digits[] = "0123456789ABCDEF";
            TBytes data = p.GetBinary(obj);
            FOut += '{';
            for (size_t i = 0; i < data.size(); ++i) {
                if (i % BinaryLine == 0) {
                    FOut += '\n';
                    Indent(depth + 1);
                }
                FOut += digits[data[i] >> 4];
                FOut += digits[data[i] & 15];
            }
            FOut += '}';
            return;
        }
        case TPropKind::Event:
            FOut += p.Event->MethodName(obj);
            return;
        case TPropKind::Component:
            FOut += p.GetComponent(obj)->Name();
            return;
        case TPropKind::Object:
            return;
        }
    }

    void Indent(int depth) { FOut.append(static_cast<size_t>(depth) * 2, ' '); }

    bool FAll;
    std::string FOut;
};

}  // namespace

std::string QuoteLayoutString(std::string_view utf8) { return QuoteChunk(CodePoints(utf8)); }

std::string WriteForm(TComponent* root, bool allProperties) {
    TFormWriter w(allProperties);
    w.WriteComponent(root, root, 0);
    return w.Result();
}

}  // namespace lumivane

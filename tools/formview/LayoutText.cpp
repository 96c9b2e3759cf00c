#include "tools/formview/LayoutText.h"

#include <cctype>

#include "lumivane/framework/ClassInfo.h"

using namespace lumivane;

namespace {

struct TLine {
    size_t Begin, End;  // End is after the newline (or the text's end)
    int Indent;
    std::string_view Body;  // without indent and line end
};

std::vector<TLine> Lines(std::string_view text) {
    std::vector<TLine> out;
    for (size_t at = 0; at < text.size();) {
        size_t nl = text.find('\n', at);
        size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        std::string_view line = text.substr(at, (nl == std::string_view::npos ? text.size() : nl) - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        size_t indent = line.find_first_not_of(' ');
        if (indent == std::string_view::npos) indent = line.size();
        out.push_back({at, end, static_cast<int>(indent), line.substr(indent)});
        at = end;
    }
    return out;
}

// "object Name: Class" gives Name; "object Class" (unnamed) gives "".
std::string_view HeaderName(std::string_view body) {
    if (body.substr(0, 7) != "object ") return {};
    std::string_view rest = body.substr(7);
    size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return {};
    std::string_view name = rest.substr(0, colon);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

std::string Reindent(std::string_view block, int levels) {
    std::string out;
    for (const TLine& l : Lines(block)) {
        std::string_view raw = block.substr(l.Begin, l.End - l.Begin);
        if (levels > 0 && !l.Body.empty()) out.append(size_t(levels) * 2, ' ');
        if (levels < 0) raw.remove_prefix(std::min<size_t>(size_t(-levels) * 2, size_t(l.Indent)));
        out += raw;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

}  // namespace

std::optional<TLayoutBlock> FindLayoutBlock(std::string_view text, std::string_view name) {
    if (name.empty()) return std::nullopt;
    const std::vector<TLine> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!SameText(HeaderName(lines[i].Body), name)) continue;
        TLayoutBlock b;
        b.Begin = lines[i].Begin;
        b.Depth = lines[i].Indent / 2;
        const int own = lines[i].Indent, inner = own + 2;
        b.Children = lines[i].End;
        bool inProps = true;
        for (size_t j = i + 1; j < lines.size(); ++j) {
            const TLine& l = lines[j];
            if (l.Indent == own && l.Body == "end") {
                if (inProps) b.Children = l.Begin;
                b.EndLine = l.Begin;
                b.End = l.End;
                return b;
            }
            if (l.Indent == inner && l.Body.substr(0, 7) == "object " && inProps) {
                b.Children = l.Begin;
                inProps = false;
            }
            if (l.Indent <= own && !l.Body.empty()) break;  // not the writer's layout
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::string LayoutHeaderClass(std::string_view text) {
    const std::vector<TLine> lines = Lines(text);
    for (const TLine& l : lines) {
        if (l.Body.empty()) continue;
        size_t colon = l.Body.find(':');
        if (l.Body.substr(0, 7) != "object ") return {};
        std::string_view cls = colon == std::string_view::npos ? l.Body.substr(7) : l.Body.substr(colon + 1);
        while (!cls.empty() && cls.front() == ' ') cls.remove_prefix(1);
        while (!cls.empty() && cls.back() == ' ') cls.remove_suffix(1);
        return std::string(cls);
    }
    return {};
}

std::string WithHeaderClass(std::string_view text, std::string_view className) {
    size_t nl = text.find('\n');
    std::string_view first = text.substr(0, nl);
    size_t colon = first.find(':');
    if (colon == std::string_view::npos || className.empty()) return std::string(text);
    std::string out(first.substr(0, colon + 1));
    out += ' ';
    out += className;
    if (nl != std::string_view::npos) out += text.substr(nl);
    return out;
}

std::optional<std::string> WithPropertyLine(std::string_view text, std::string_view name, std::string_view line) {
    auto b = FindLayoutBlock(text, name);
    if (!b) return std::nullopt;
    std::string out(text.substr(0, b->Children));
    out.append(size_t(b->Depth + 1) * 2, ' ');
    out += line;
    out += '\n';
    out += text.substr(b->Children);
    return out;
}

std::optional<std::string> WithoutPropertyLine(std::string_view text, std::string_view name, std::string_view path) {
    auto b = FindLayoutBlock(text, name);
    if (!b) return std::nullopt;
    const int inner = (b->Depth + 1) * 2;
    std::string out(text.substr(0, b->Begin));
    bool skipping = false;
    for (const TLine& l : Lines(text.substr(b->Begin, b->Children - b->Begin))) {
        std::string_view raw = text.substr(b->Begin + l.Begin, l.End - l.Begin);
        if (l.Indent == inner) {
            size_t eq = l.Body.find(" = ");
            skipping = eq != std::string_view::npos && SameText(l.Body.substr(0, eq), path);
        } else if (l.Indent < inner) {
            skipping = false;
        }
        if (!skipping) out += raw;
    }
    out += text.substr(b->Children);
    return out;
}

std::optional<std::string> WithoutBlock(std::string_view text, std::string_view name) {
    auto b = FindLayoutBlock(text, name);
    if (!b || b->Depth == 0) return std::nullopt;
    return std::string(text.substr(0, b->Begin)) + std::string(text.substr(b->End));
}

std::optional<std::string> ExtractBlock(std::string_view text, std::string_view name) {
    auto b = FindLayoutBlock(text, name);
    if (!b) return std::nullopt;
    return Reindent(text.substr(b->Begin, b->End - b->Begin), -b->Depth);
}

std::optional<std::string> WithChildren(std::string_view text, std::string_view parent, std::string_view blocks) {
    auto b = FindLayoutBlock(text, parent);
    if (!b) return std::nullopt;
    return std::string(text.substr(0, b->EndLine)) + Reindent(blocks, b->Depth + 1) + std::string(text.substr(b->EndLine));
}

std::vector<std::string> LayoutObjectNames(std::string_view text) {
    std::vector<std::string> names;
    for (const TLine& l : Lines(text))
        if (auto n = HeaderName(l.Body); !n.empty()) names.emplace_back(n);
    return names;
}

std::string RenameObjects(std::string_view text, const std::vector<std::pair<std::string, std::string>>& renames) {
    std::string out;
    std::vector<bool> done(renames.size());
    for (const TLine& l : Lines(text)) {
        std::string_view raw = text.substr(l.Begin, l.End - l.Begin);
        std::string_view name = HeaderName(l.Body);
        size_t i = 0;
        for (; !name.empty() && i < renames.size(); ++i)
            if (!done[i] && SameText(renames[i].first, name)) break;
        if (name.empty() || i == renames.size()) {
            out += raw;
            continue;
        }
        done[i] = true;
        out.append(size_t(l.Indent), ' ');
        out += "object " + renames[i].second;
        out += l.Body.substr(7 + name.size());
        out += raw.substr(size_t(l.Indent) + l.Body.size());
    }
    return out;
}

std::string UniqueName(std::string_view base, const std::vector<std::string>& taken) {
    std::string stem(base);
    while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
    if (stem.empty()) stem = "Component";
    for (int n = 1;; ++n) {
        std::string candidate = stem + std::to_string(n);
        bool used = false;
        for (const std::string& t : taken) used = used || SameText(t, candidate);
        if (!used) return candidate;
    }
}

std::string ReaderMessage(const std::string& message) {
    if (message.rfind("line ", 0) != 0) return message;
    size_t colon = message.find(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

#include "tools/formview/DesignEdits.h"

#include <algorithm>
#include <functional>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/Control.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/WinControl.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/LayoutText.h"

using namespace lumivane;

namespace {

struct TPlace {
    TComponent* C;
    const TPropInfo *Left, *Top, *Width, *Height;  // null when not published
    int64_t Get(const TPropInfo* p) const { return p ? p->GetOrd(C) : 0; }
    void Set(const TPropInfo* p, int64_t v) const {
        if (!p) return;
        p->SetOrd(C, std::clamp(v, p->MinOrd(), p->MaxOrd()));
    }
};

const TPropInfo* OrdProp(TComponent* c, const char* name) {
    const TPropInfo* p = c->ClassType()->FindProperty(name);
    return p && p->Kind == TPropKind::Int32 ? p : nullptr;
}

std::vector<TPlace> Places(const TDesignModel& model, const std::vector<std::string>& names) {
    std::vector<TPlace> out;
    for (const std::string& n : names) {
        TComponent* c = model.Find(n);
        if (!c || c == model.Root()) continue;  // the form's own place is the window's
        out.push_back({c, OrdProp(c, "Left"), OrdProp(c, "Top"), OrdProp(c, "Width"), OrdProp(c, "Height")});
    }
    return out;
}

// Panels and the form hold controls; a button or an edit does not.
bool Holds(TComponent* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    return w && w->ControlStyle().Contains(csAcceptsControls);
}

bool Within(TComponent* c, TComponent* ancestor) {
    for (TComponent* p = c->GetParentComponent(); p; p = p->GetParentComponent())
        if (p == ancestor) return true;
    return false;
}

// The named components without those another named one holds.
std::vector<TComponent*> Outermost(const TDesignModel& model, const std::vector<std::string>& names) {
    std::vector<TComponent*> found;
    for (const std::string& n : names)
        if (TComponent* c = model.Find(n); c && c != model.Root() && std::find(found.begin(), found.end(), c) == found.end())
            found.push_back(c);
    std::vector<TComponent*> out;
    for (TComponent* c : found)
        if (std::none_of(found.begin(), found.end(), [&](TComponent* o) { return Within(c, o); })) out.push_back(c);
    return out;
}

// Every component reference of the object and of the objects it holds (Font, Constraints...).
void EachReference(TObject* obj, int nesting, const std::function<void(TObject*, const TPropInfo&)>& visit) {
    if (!obj || nesting > 8) return;
    for (const auto& p : obj->ClassType()->Properties()) {
        if (p->Kind == TPropKind::Object) EachReference(p->GetObject(obj), nesting + 1, visit);
        if (p->Kind == TPropKind::Component && p->GetComponent && p->SetComponent) visit(obj, *p);
    }
}

}  // namespace

bool MoveComponents(TDesignModel& model, const std::vector<std::string>& names, int dx, int dy) {
    for (const TPlace& p : Places(model, names)) {
        p.Set(p.Left, p.Get(p.Left) + dx);
        p.Set(p.Top, p.Get(p.Top) + dy);
    }
    return model.CommitLive();
}

bool ResizeComponents(TDesignModel& model, const std::vector<std::string>& names, int dw, int dh) {
    for (const TPlace& p : Places(model, names)) {
        p.Set(p.Width, std::max<int64_t>(1, p.Get(p.Width) + dw));
        p.Set(p.Height, std::max<int64_t>(1, p.Get(p.Height) + dh));
    }
    return model.CommitLive();
}

bool SetComponentBounds(TDesignModel& model, const std::string& name, int left, int top, int width, int height) {
    for (const TPlace& p : Places(model, {name})) {
        if (auto* control = dynamic_cast<TControl*>(p.C)) {
            control->SetBounds(left, top, std::max(1, width), std::max(1, height));
        } else {
            p.Set(p.Left, left);
            p.Set(p.Top, top);
        }
    }
    return model.CommitLive();
}

bool AlignComponents(TDesignModel& model, const std::vector<std::string>& names, TLineUp how) {
    std::vector<TPlace> places = Places(model, names);
    if (places.size() < 2) return false;
    const TPlace& first = places.front();
    const bool horz = how == TLineUp::Left || how == TLineUp::HorzCentre || how == TLineUp::SpaceHorz;
    auto pos = [&](const TPlace& p) { return p.Get(horz ? p.Left : p.Top); };
    auto size = [&](const TPlace& p) { return p.Get(horz ? p.Width : p.Height); };
    auto set = [&](const TPlace& p, int64_t v) { p.Set(horz ? p.Left : p.Top, v); };
    switch (how) {
    case TLineUp::Left:
    case TLineUp::Top:
        for (const TPlace& p : places) set(p, pos(first));
        break;
    case TLineUp::HorzCentre:
    case TLineUp::VertCentre: {
        const int64_t centre = pos(first) + size(first) / 2;
        for (const TPlace& p : places) set(p, centre - size(p) / 2);
        break;
    }
    case TLineUp::SpaceHorz:
    case TLineUp::SpaceVert: {
        std::stable_sort(places.begin(), places.end(), [&](const TPlace& a, const TPlace& b) { return pos(a) < pos(b); });
        int64_t total = 0;
        for (const TPlace& p : places) total += size(p);
        const int64_t span = pos(places.back()) + size(places.back()) - pos(places.front());
        const int64_t gaps = int64_t(places.size()) - 1;
        const int64_t free = span - total;
        int64_t at = pos(places.front());
        for (size_t i = 0; i < places.size(); ++i) {
            // The remainder of an uneven division goes to the first gaps, one pixel each.
            set(places[i], at);
            at += size(places[i]) + free / gaps + (int64_t(i) < free % gaps ? 1 : 0);
        }
        break;
    }
    }
    return model.CommitLive();
}

std::string AddComponent(TDesignModel& model, TClass cls, const std::string& parent, int left, int top) {
    TComponent* host = parent.empty() ? model.Root() : model.Find(parent);
    if (!host) throw Exception("no component named " + parent);
    std::string base = cls->Name();
    if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
    const std::string name = UniqueName(base, model.Names());
    TComponent* c = CreateComponent(cls, model.Root());
    try {
        c->SetName(name);
        c->SetParentComponent(Holds(host) ? host : model.Root());
        TPlace p{c, OrdProp(c, "Left"), OrdProp(c, "Top"), nullptr, nullptr};
        p.Set(p.Left, left);
        p.Set(p.Top, top);
    } catch (...) {
        delete c;
        throw;
    }
    model.CommitLive();
    return name;
}

bool DeleteComponents(TDesignModel& model, const std::vector<std::string>& names) {
    std::vector<TComponent*> doomed;
    for (TComponent* c : Outermost(model, names)) {
        // What it holds goes first, the innermost first.
        std::vector<TComponent*> inner;
        for (int i = 0; i < model.Root()->ComponentCount(); ++i)
            if (Within(model.Root()->Components(i), c)) inner.push_back(model.Root()->Components(i));
        std::stable_sort(inner.begin(), inner.end(), [&](TComponent* a, TComponent* b) { return Within(a, b); });
        doomed.insert(doomed.end(), inner.begin(), inner.end());
        doomed.push_back(c);
    }
    if (doomed.empty()) return false;
    for (TComponent* c : doomed) delete c;
    return model.CommitLive();
}

std::string CopyComponents(const TDesignModel& model, const std::vector<std::string>& names) {
    std::string out;
    for (TComponent* c : Outermost(model, names))
        if (auto block = ExtractBlock(model.Text(), c->Name())) out += *block;
    return out;
}

std::vector<std::string> PasteComponents(TDesignModel& model, const std::string& text, const std::string& parent) {
    // Object blocks only: a property line or a stray "end" would land in the parent's block.
    int depth = 0;
    bool any = false;
    for (size_t at = 0; at < text.size();) {
        size_t nl = text.find('\n', at);
        std::string line = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        at = nl == std::string::npos ? text.size() : nl + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty()) continue;
        const size_t indent = line.find_first_not_of(' ');
        const bool object = line.compare(indent, 7, "object ") == 0, end = line.substr(indent) == "end";
        if (depth == 0 && !object) throw Exception("the clipboard holds no components: each one starts with 'object'");
        if (object) ++depth, any = true;
        if (end) --depth;
    }
    if (!any) throw Exception("the clipboard holds no components: each one starts with 'object'");
    if (depth != 0) throw Exception("the clipboard holds no whole components: an 'object' without its 'end'");
    std::vector<std::string> taken = model.Names();
    std::vector<std::pair<std::string, std::string>> renames;
    for (const std::string& n : LayoutObjectNames(text)) {
        const bool clash = std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return SameText(t, n); });
        const std::string to = clash ? UniqueName(n, taken) : n;
        renames.emplace_back(n, to);
        taken.push_back(to);
    }
    const std::string renamed = RenameObjects(text, renames);
    TComponent* host = parent.empty() ? model.Root() : model.Find(parent);
    if (!host || !Holds(host)) host = model.Root();
    const std::string hostName = host->Name();  // the components are made anew
    auto next = WithChildren(model.Text(), hostName, renamed);
    if (!next) throw Exception("no component named " + hostName + " in the layout");
    // A pasted component that refers to one pasted with it refers to its copy; a reference to
    // one that was not copied along keeps pointing at the original.
    std::vector<std::pair<std::string, std::string>> moved;
    for (const auto& [from, to] : renames)
        if (from != to) moved.emplace_back(from, to);
    auto redirect = [&](TCustomForm* root) {
        for (const auto& [from, to] : renames) {
            TComponent* pasted = root->FindComponent(to);
            if (!pasted) continue;
            EachReference(pasted, 0, [&](TObject* obj, const TPropInfo& p) {
                TComponent* target = p.GetComponent(obj);
                if (!target) return;
                for (const auto& [old, copy] : moved)
                    if (SameText(target->Name(), old))
                        if (TComponent* c = root->FindComponent(copy)) p.SetComponent(obj, c);
            });
        }
    };
    try {
        model.Apply(*next, moved.empty() ? std::function<void(TCustomForm*)>() : redirect);
    } catch (const Exception& e) {
        throw Exception("the clipboard's components do not load: " + ReaderMessage(e.Message()));
    }
    std::vector<std::string> top;
    TComponent* newHost = model.Find(hostName);
    for (const std::string& n : LayoutObjectNames(renamed)) {
        TComponent* c = model.Find(n);
        if (c && (c->GetParentComponent() == newHost || !c->GetParentComponent())) top.push_back(n);
    }
    return top;
}

std::vector<TClass> PaletteClasses() {
    std::vector<TClass> out;
    for (TClass c : RegisteredClasses()) {
        if (!c->Creator() || c->InheritsFrom(TCustomForm::StaticClass()) || c->InheritsFrom(TMenuItem::StaticClass()))
            continue;
        // The bases the library's classes are made of are no controls of their own.
        const std::string& n = c->Name();
        if (n.rfind("TCustom", 0) == 0 || n == "TControl" || n == "TWinControl" || n == "TGraphicControl" ||
            n == "TButtonControl" || n == "TMenu" || n == "TComponent")
            continue;
        out.push_back(c);
    }
    return out;
}

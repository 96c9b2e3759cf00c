#include "lumivane/framework/ClassInfo.h"

#include <algorithm>

namespace lumivane {

TClassInfo::TClassInfo(const char* name, TClass parent) : FName(name), FParent(parent) {
    if (parent) FProps = parent->FProps;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool TClassInfo::InheritsFrom(TClass c) const {
    for (TClass k = this; k; k = k->FParent)
        if (k == c) return true;
    return false;
}

bool TClassInfo::InheritsFrom(std::string_view name) const {
    for (TClass k = this; k; k = k->FParent)
        if (SameText(k->FName, name)) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (auto& p : FProps)
        if (SameText(p->Name, name)) return p.get();
    return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
    for (TClass k = this; k; k = k->FParent)
        for (auto& m : k->FMethods)
            if (SameText(m.Name, name)) return &m;
    return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view name) const {
    for (TClass k = this; k; k = k->FParent)
        for (auto& f : k->FFields)
            if (SameText(f.Name, name)) return &f;
    return nullptr;
}

TClass TClassInfo::FindFieldClass(std::string_view className) const {
    for (TClass k = this; k; k = k->FParent)
        for (auto& f : k->FFields) {
            TClass c = f.FieldClass();
            if (SameText(c->Name(), className)) return c;
        }
    return nullptr;
}

void TClassInfo::AddProperty(std::shared_ptr<TPropInfo> prop) {
    FLast = prop;
    auto same = [&](const std::shared_ptr<const TPropInfo>& p) { return SameText(p->Name, prop->Name); };
    auto it = std::find_if(FProps.begin(), FProps.end(), same);
    if (it != FProps.end())
        *it = std::move(prop);
    else
        FProps.push_back(std::move(prop));
}

void TClassInfo::HideProperty(std::string_view name) {
    std::erase_if(FProps, [&](const std::shared_ptr<const TPropInfo>& p) { return SameText(p->Name, name); });
    FLast.reset();
}

}  // namespace lumivane

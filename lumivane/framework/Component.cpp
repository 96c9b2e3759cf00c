#include "lumivane/framework/Component.h"

#include <algorithm>
#include <cctype>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TComponent) {
    p.Prop("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

bool IsValidIdent(std::string_view s) {
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

namespace {
// The key of the name index: names compare without regard to (ASCII) case.
std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

// The last entry is the usual one (a component freed by its owner goes last first), so the
// search runs from the back.
template <class T>
typename std::vector<T*>::iterator FindFromBack(std::vector<T*>& list, const T* item) {
    for (auto it = list.end(); it != list.begin();)
        if (*--it == item) return it;
    return list.end();
}
}  // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    auto others = std::move(FFreeNotifies);
    FFreeNotifies.clear();
    for (TComponent* c : others) {
        c->RemoveFreeNotification(this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw Exception("Component index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& NewName) const {
    if (NewName.empty()) return;
    TComponent* other = FindComponent(NewName);
    if (other && other != AComponent)
        throw Exception("A component named " + NewName + " already exists");
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw Exception("'" + NewName + "' is not a valid component name");
    if (FOwner) {
        FOwner->ValidateRename(this, NewName);
        FOwner->SetFieldReference(this, false);
        FOwner->UnindexName(this);
        FName = NewName;
        FOwner->IndexName(this);
        FOwner->SetFieldReference(this, true);
    } else {
        FName = NewName;
    }
}

// A form class's field named after an owned component points at it while the name holds.
void TComponent::SetFieldReference(TComponent* AComponent, bool Set) {
    if (AComponent->FName.empty()) return;
    const TFieldInfo* f = ClassType()->FindField(AComponent->FName);
    if (!f) return;
    if (Set) {
        if (AComponent->InheritsFrom(f->FieldClass())) f->Set(this, AComponent);
    } else if (f->Get(this) == AComponent) {
        f->Set(this, nullptr);
    }
}

void TComponent::SetDesignLeft(int Value) {
    FDesignLeft = Value;
    FHasDesignPosition = true;
}

void TComponent::SetDesignTop(int Value) {
    FDesignTop = Value;
    FHasDesignPosition = true;
}

void TComponent::SetDesigning(bool Value) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    auto it = FNameIndex.find(NameKey(AName));
    return it == FNameIndex.end() ? nullptr : it->second;
}

// Names are unique among an owner's components, so the index maps each to one component; a
// form of thousands of controls checks each new name without going through all the others.
void TComponent::IndexName(TComponent* AComponent) {
    if (!AComponent->FName.empty()) FNameIndex[NameKey(AComponent->FName)] = AComponent;
}

void TComponent::UnindexName(TComponent* AComponent) {
    if (AComponent->FName.empty()) return;
    auto it = FNameIndex.find(NameKey(AComponent->FName));
    if (it != FNameIndex.end() && it->second == AComponent) FNameIndex.erase(it);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    ValidateRename(AComponent, AComponent->FName);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    IndexName(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    SetFieldReference(AComponent, true);
    NotifyAll(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    auto it = FindFromBack(FComponents, AComponent);
    if (it == FComponents.end()) return;
    // An owner being freed frees all its components: telling each remaining one about every
    // other would cost the square of their number. A component that must hear about a sibling
    // going away even then asks for it with FreeNotification.
    if (!FComponentState.Contains(csDestroying)) NotifyAll(AComponent, opRemove);
    SetFieldReference(AComponent, false);
    UnindexName(AComponent);
    // The notifications may have changed the list.
    it = FindFromBack(FComponents, AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        delete last;
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this || AComponent->FOwner == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end()) return;
    FFreeNotifies.erase(it);
    AComponent->RemoveFreeNotification(this);
}

void TComponent::SetParentComponent(TComponent*) {}
TComponent* TComponent::GetParentComponent() const { return nullptr; }
bool TComponent::HasParent() const { return false; }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetStateFlag(TComponentStateItem Item, bool On) {
    if (On)
        FComponentState.Include(Item);
    else
        FComponentState.Exclude(Item);
}

void TComponent::Destroying() { FComponentState.Include(csDestroying); }

// Owned components hear about each other's removal; a free-notification partner hears about
// removals. An insertion is told to the owner only: passing each one on to every other component
// would make loading a form cost the square of its number of components.
void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation != opRemove) return;
    if (AComponent) RemoveFreeNotification(AComponent);
    for (size_t i = 0; i < FComponents.size(); ++i) FComponents[i]->Notification(AComponent, Operation);
}

void TComponent::NotifyAll(TComponent* AComponent, TOperation Operation) { Notification(AComponent, Operation); }

}  // namespace lumivane

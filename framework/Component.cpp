#include "framework/Component.h"

#include <algorithm>

#include "framework/Exceptions.h"
#include "framework/Published.h"

LUMI_DEFINE_CLASS(TComponent) {
    p.Prop("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

bool IsValidIdent(std::string_view s) {
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

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
        FName = NewName;
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

void TComponent::SetDesigning(bool Value) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    ValidateRename(AComponent, AComponent->FName);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    SetFieldReference(AComponent, true);
    NotifyAll(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it == FComponents.end()) return;
    NotifyAll(AComponent, opRemove);
    SetFieldReference(AComponent, false);
    // The notifications may have changed the list.
    it = std::find(FComponents.begin(), FComponents.end(), AComponent);
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

// Owned components hear about each other; a free-notification partner hears about removals.
void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    for (size_t i = 0; i < FComponents.size(); ++i) FComponents[i]->Notification(AComponent, Operation);
}

void TComponent::NotifyAll(TComponent* AComponent, TOperation Operation) { Notification(AComponent, Operation); }

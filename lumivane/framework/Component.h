#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lumivane/framework/Persistent.h"
#include "lumivane/framework/Set.h"

namespace lumivane {

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

// A persistent object with an owner and a name. The owner frees what it owns (last created
// first); a component being freed leaves its owner's list and tells the owner (and through it
// every component the owner owns) with Notification(AComponent, opRemove), except while the
// owner itself is being freed (use FreeNotification to hear of it then). A component added is
// told to the owner alone (opInsert).
//
// The destructor here runs after a derived class's parts are gone. A class whose owned
// components must be freed while its own parts still live calls DestroyComponents() in its
// own destructor (a form does, so its controls can still reach it).
class TComponent : public TPersistent {
    LUMI_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;

    // An identifier ([A-Za-z_][A-Za-z0-9_]*) or empty, unique (ignoring case) among the owner's
    // components; otherwise an Exception and the name stays as it was. A form class's field of
    // that name follows the component (see TPublished::ExposeField).
    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& NewName);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Where a designer shows a component that is not a control (a timer, a popup menu) on its
    // form, published as its Left and Top and written only once given.
    int DesignLeft() const { return FDesignLeft; }
    int DesignTop() const { return FDesignTop; }
    void SetDesignLeft(int Value);
    void SetDesignTop(int Value);
    bool HasDesignPosition() const { return FHasDesignPosition; }

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value);

    // An owned component by name, ignoring case; null when there is none.
    TComponent* FindComponent(std::string_view AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Asks to be told (Notification opRemove) when AComponent, not owned by us, is freed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The layout reader: after a component is created inside another object of the layout,
    // with that object (TControl makes it the parent). The base does nothing.
    virtual void SetParentComponent(TComponent* Value);
    virtual TComponent* GetParentComponent() const;
    virtual bool HasParent() const;
    // The layout reader: after every component of the layout has all its properties.
    // The base clears csLoading; overrides call inherited::Loaded() first.
    virtual void Loaded();
    // The reader marks components (csLoading, csReading) while it reads them.
    void SetStateFlag(TComponentStateItem Item, bool On);

    TPersistent* GetOwner() override { return FOwner; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Marks the component as going away (csDestroying); the destructor does so too.
    void Destroying();

private:
    void ValidateRename(TComponent* AComponent, const std::string& NewName) const;
    void SetFieldReference(TComponent* AComponent, bool Set);
    void NotifyAll(TComponent* AComponent, TOperation Operation);
    void IndexName(TComponent* AComponent);
    void UnindexName(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::unordered_map<std::string, TComponent*> FNameIndex; // owned components by lower-case name
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    int FTag = 0;
    int FDesignLeft = 0, FDesignTop = 0;
    bool FHasDesignPosition = false;
    TComponentState FComponentState;
};

bool IsValidIdent(std::string_view s);

}  // namespace lumivane

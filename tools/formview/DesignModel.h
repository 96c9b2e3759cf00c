#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/PropInfo.h"

// The layout a designer edits: the library's components made from it, the text the writer makes
// of them, and every earlier and undone text. The root is always a plain form whose events keep
// their methods' names and call nothing, so nothing of the program runs while it is designed;
// the header keeps the layout's own class. Every change is a new text: undo and redo give back
// earlier texts byte for byte.
class TDesignModel {
public:
    TDesignModel();
    ~TDesignModel();
    TDesignModel(const TDesignModel&) = delete;
    TDesignModel& operator=(const TDesignModel&) = delete;

    // A layout from a file: the history is cleared and the text counts as saved. On failure the
    // reader's Exception, and the model stays as it was.
    void Load(const std::string& text);
    // Writes the text to the file (a new file renamed over the old one) and counts it as saved.
    void Save(const std::string& path);

    const std::string& Text() const { return FText; }
    lumivane::TCustomForm* Root() const { return FRoot.get(); }
    bool Modified() const { return FText != FSavedText; }
    // What the layout's file held when loaded or last saved, as the writer would write it.
    const std::string& SavedText() const { return FSavedText; }

    // Makes the components anew from the text and makes it the current one. The reader's
    // Exception when it does not load (the model as it was).
    void Apply(const std::string& text);
    // The same, with the components made from the text changed by adjust before they are written
    // (one step of the history, the text the writer makes of them).
    void Apply(const std::string& text, const std::function<void(lumivane::TCustomForm*)>& adjust);
    // After the root's components were changed in place: their text becomes the current one
    // (the components are made anew when they would not read back as they are). False when the
    // text stays as it was.
    bool CommitLive();
    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    bool Undo();
    bool Redo();

    // What to do with the file's text found on disk after it changed there: nothing when it is
    // the text saved or edited here (our own save), load it when nothing here is unsaved, else ask.
    enum class TDiskChange { Own, Load, Ask };
    TDiskChange DiskChanged(const std::string& disk) const;

    // Component by name (the root's own name gives the root); null when none.
    lumivane::TComponent* Find(const std::string& name) const;
    std::vector<std::string> Names() const;

    // The enumeration's members a component of the class keeps when a layout gives them (a
    // panel's border style shares the form's type but keeps only none and single); all of them
    // for the root's class. Found once per class and property, by reading a layout of one such
    // component into a form that is never shown, as every edit is read.
    const std::vector<std::string>& KeptMembers(lumivane::TClass cls, const lumivane::TPropInfo& prop) const;

    // The selection, by name; kept across a new root for the names still there.
    std::vector<std::string> Selection;

    // Before the root is made anew, while the old one is still there.
    std::function<void()> OnRootGoing;
    // After the root was made anew (apply, undo, redo, load).
    std::function<void()> OnRootChanged;

private:
    std::unique_ptr<lumivane::TCustomForm> Read(const std::string& text) const;
    std::string Write(lumivane::TCustomForm* root) const;
    void Replace(std::unique_ptr<lumivane::TCustomForm> root, std::string text);

    std::unique_ptr<lumivane::TCustomForm> FRoot;
    std::string FRootClass;
    std::string FText, FSavedText;
    std::vector<std::string> FUndo, FRedo;
    mutable std::map<std::pair<lumivane::TClass, const lumivane::TPropInfo*>, std::vector<std::string>> FKept;
};

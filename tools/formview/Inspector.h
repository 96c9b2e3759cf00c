#pragma once
#include <string>
#include <vector>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Forward.h"
#include "tools/formview/PropertyEdit.h"

class TDesigner;
class TMemberBox;

// The designer's second window: the palette of every class a layout may hold (a click arms it,
// a click on the form puts one there), and the selected component's published properties in
// published order, each with an edit. Enter (or leaving the edit) gives the value to the layout
// reader; a value it refuses stays in the edit and its message shows below, Escape gives back the
// value. An enumeration, a boolean or a reference also has a button that drops its values down as
// a menu; a set's button shows its members as check boxes under the row, each click one change.
// A filter narrows both lists by name.
class TInspector {
public:
    explicit TInspector(TDesigner& designer);
    // The window is the application's and outlives this: its handlers are taken off.
    ~TInspector();
    TInspector(const TInspector&) = delete;
    TInspector& operator=(const TInspector&) = delete;

    lumivane::TCustomForm* Form() const { return FForm; }
    // Lists the properties of the selection's first component (the form when none).
    void Refresh();
    void SetStatus(const std::string& text, bool error = false);
    void SetTitle(const std::string& title);

    static constexpr int Width = 600;

private:
    void LayOutPalette();
    void Commit(size_t row);
    void Entered(size_t row);
    void ClearRows();
    void Drop(size_t row);
    void ShowMembers();
    void Choose(size_t row, const std::string& text);

    TDesigner& FDesigner;
    lumivane::TCustomForm* FForm = nullptr;
    lumivane::TEdit* FFilter = nullptr;
    lumivane::TLabel* FHeading = nullptr;
    lumivane::TLabel* FStatus = nullptr;
    std::vector<lumivane::TButton*> FPalette;
    std::string FComponent;
    std::vector<TPropertyRow> FRows;
    std::vector<lumivane::TLabel*> FNames;
    std::vector<lumivane::TEdit*> FEdits;
    std::vector<lumivane::TButton*> FDrops;  // null for a row without a list
    lumivane::TPopupMenu* FListMenu = nullptr;
    lumivane::TPanel* FMembers = nullptr;
    std::vector<TMemberBox*> FMemberBoxes;
    std::string FOpenSet;  // the row whose members show, by path; kept across a refresh
    lumivane::TLabel* FMeasure = nullptr;  // not shown: measures the names
    int FNameWidth;  // the name column: the longest name listed yet, never less than at first
};

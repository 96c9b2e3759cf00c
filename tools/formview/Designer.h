#pragma once
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/windows/Window.h"
#include "tools/formview/DesignModel.h"
#include "tools/formview/DesignSurface.h"
#include "tools/formview/LayoutWatch.h"

class TInspector;
class TMenuEditor;

// formview --design: the layout's form shown live, the designer taking its mouse and keys.
// Click selects (Shift adds or takes away), a drag on the form's background draws a band that
// selects what it touches, Tab walks the components; a drag moves the selection and a handle
// resizes the first selected control, on an 8-pixel grid (Alt: freely); a drop on a panel puts
// the controls in it. Arrows move by a pixel, Shift+arrows resize; Alt+L, Alt+T, Alt+C, Alt+H and
// Alt+V line the selection up on the first one's left, top or centre, or space it evenly across
// or down. Delete, Ctrl+C, Ctrl+V (layout text), Ctrl+Z, Ctrl+Shift+Z, Ctrl+S; Escape selects the
// form. Ctrl+S, and outside text edits Ctrl+Z and Ctrl+Shift+Z, work from the other windows too. The inspector window's title marks unsaved changes with '*'.
class TDesigner {
public:
    explicit TDesigner(std::string path);
    ~TDesigner();
    TDesigner(const TDesigner&) = delete;
    TDesigner& operator=(const TDesigner&) = delete;

    // Loads the file and opens the windows; false (the error on standard error) when it does not
    // load.
    bool Open();
    // The message loop, until the inspector is closed.
    int Run();

    TDesignModel& Model() { return FModel; }
    // The property's new value through the reader: "" when taken, else the reader's message.
    std::string SetProperty(const std::string& component, const std::string& path, const std::string& text);
    // The palette: the next click on the form puts a component of the class there.
    void Arm(lumivane::TClass cls);
    // Whether edits not saved may go (asks when there are some); `what` names the action.
    bool MayDiscard(const std::string& what);
    // Lists the inspector's rows again once the messages being handled now are done.
    void PostRefresh();
    // After an edit of the model made elsewhere (the menu editor): selects the components and,
    // when the model changed, shows it.
    void Changed(std::vector<std::string> select, bool edited = true);

    static constexpr int Grid = 8;

private:
    bool Filter(const lumivane::MSG& m);
    bool OnForm(lumivane::HWND hwnd) const;
    void MouseDown(lumivane::TPoint p, lumivane::HWND hwnd, bool shift);
    void MouseMove(lumivane::TPoint p, bool free);
    void MouseUp(lumivane::TPoint p, bool free);
    void Key(unsigned vk, bool shift, bool ctrl, bool alt);
    void Select(std::vector<std::string> names);
    void Edited();
    void Save();
    void FileChanged();
    void RootGoing();
    void RootCame();
    std::vector<lumivane::TComponent*> SelectedComponents() const;
    std::vector<lumivane::TControl*> SelectedControls() const;
    void Reparent(lumivane::TPoint drop);

    enum class TDrag { None, Pending, Moving, Sizing, Banding };

    std::string FPath;
    TDesignModel FModel;
    TDesignSurface FSurface{FModel};
    std::unique_ptr<TInspector> FInspector;
    std::unique_ptr<TMenuEditor> FMenuEditor;
    std::unique_ptr<TLayoutWatch> FWatch;
    lumivane::HWND FWatchWindow = nullptr;
    lumivane::TClass FArmed = nullptr;
    TDrag FDrag = TDrag::None;
    lumivane::TPoint FDown;
    int FHandle = -1;
    std::vector<lumivane::TRect> FStart;  // the selected controls' bounds when the drag began
    bool FRefreshPosted = false;
};

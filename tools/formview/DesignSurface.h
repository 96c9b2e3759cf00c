#pragma once
#include <vector>

#include "lumivane/framework/Forward.h"
#include "lumivane/windows/Window.h"

class TDesignModel;

// What the designer draws over the form it edits: handles at the corners and edges of each
// selected component, the rubber band while one is dragged, and an icon for each component that
// is not a control (a timer, a popup menu) at its design position. The marks are small panels
// owned by nothing of the layout (the writer never sees them), on the form, above its controls.
class TDesignSurface {
public:
    explicit TDesignSurface(TDesignModel& model) : FModel(model) {}
    ~TDesignSurface() { Clear(); }
    TDesignSurface(const TDesignSurface&) = delete;
    TDesignSurface& operator=(const TDesignSurface&) = delete;

    // Frees the marks (before the form goes).
    void Clear();
    // Makes the shown form take the pointer input its disabled controls would swallow, so a
    // click selects a disabled control too.
    void TakeInput();
    // Handles around the selection as it is now.
    void ShowSelection();
    // The icons of the components that are not controls, where they are now.
    void ShowIcons();
    // The band from a to b (form client coordinates); an empty band hides it.
    void ShowBand(lumivane::TPoint a, lumivane::TPoint b);
    // Which handle the window is (0 top left, clockwise to 7 left); -1 when none. Only the first
    // selected control's handles resize.
    int HandleAt(lumivane::HWND hwnd) const;
    int HandleAtPoint(lumivane::TPoint p) const;
    bool IsMark(lumivane::HWND hwnd) const;

    // A control's place in form client coordinates.
    lumivane::TRect FormRect(lumivane::TControl* c) const;
    // A component's place on the form: a control's, or the icon of one that is not a control but
    // has a design position; empty for anything else.
    lumivane::TRect DesignRect(lumivane::TComponent* c) const;
    // The component under a point: an icon, else the innermost control (null: the form).
    lumivane::TComponent* ComponentAt(lumivane::TPoint p) const;
    // The innermost control of the layout under a point of the form's client area (null: the form).
    lumivane::TControl* ControlAt(lumivane::TPoint p) const;
    // The innermost container (a panel, or the form itself) under a point, leaving out skip and
    // what it holds.
    lumivane::TWinControl* ContainerAt(lumivane::TPoint p, const std::vector<lumivane::TControl*>& skip) const;

    static constexpr int HandleSize = 6;
    static constexpr int IconSize = 28;

private:
    void Place(std::vector<lumivane::TPanel*>& marks, size_t index, lumivane::TRect r, unsigned color);
    void HideFrom(std::vector<lumivane::TPanel*>& marks, size_t index);

    TDesignModel& FModel;
    std::vector<lumivane::TPanel*> FHandles;
    std::vector<lumivane::TPanel*> FBand;
    std::vector<lumivane::TPanel*> FIcons;
    std::vector<lumivane::TComponent*> FIconOf;  // the component each icon stands for
};

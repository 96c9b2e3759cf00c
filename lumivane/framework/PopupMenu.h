#pragma once
#include <string_view>

#include "lumivane/framework/Menu.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
inline constexpr std::string_view PopupAlignmentNames[] = {"paLeft", "paRight", "paCenter"};
inline constexpr std::string_view TrackButtonNames[] = {"tbRightButton", "tbLeftButton"};

class TPopupMenu : public TMenu {
    LUMI_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // Whether a control's context request opens the menu by itself.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TTrackButton TrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
    // The control the menu was last opened for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    // Fires OnPopup, then opens the menu with its corner at the screen point (Alignment says
    // which corner), moved so it stays on the screen. Returns at once: the menu tracks the
    // pointer and keys until an item is chosen or the menu closes. An empty menu opens nothing.
    virtual void Popup(int X, int Y);
    // Closes the menu if it is open.
    void CloseMenu();
    bool IsOpen() const;

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TTrackButton FTrackButton = tbRightButton;
    TComponent* FPopupComponent = nullptr;
};

}  // namespace lumivane

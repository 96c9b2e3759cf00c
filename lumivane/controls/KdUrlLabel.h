#pragma once
#include <string>

#include "lumivane/framework/Label.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

// A label that acts as a web link: underlined, a hand pointer, one colour while the mouse is
// away and another while it is over the label; a click hands the address to the platform shell.
// The colours and the address are plain values: a new colour shows at the next mouse change.
class TKdCustomUrlLabel : public TCustomLabel {
    LUMI_CLASS(TKdCustomUrlLabel, TCustomLabel)
public:
    explicit TKdCustomUrlLabel(TComponent* AOwner);
    ~TKdCustomUrlLabel() override;

    // UTF-8 text, handed to the shell as it is.
    const std::string& fGetURLString() const { return FURLString; }
    void fSetURLString(const std::string& Value);
    TColor fGetTextColor() const { return FTextColor; }
    void fSetTextColor(TColor Value) { FTextColor = Value; }
    TColor fGetHotTextColor() const { return FHotTextColor; }
    void fSetHotTextColor(TColor Value) { FHotTextColor = Value; }
    // The properties by their published names.
    const std::string& URLString() const { return fGetURLString(); }
    void SetURLString(const std::string& Value) { fSetURLString(Value); }
    TColor TextColor() const { return fGetTextColor(); }
    void SetTextColor(TColor Value) { fSetTextColor(Value); }
    TColor HotTextColor() const { return fGetHotTextColor(); }
    void SetHotTextColor(TColor Value) { fSetHotTextColor(Value); }

    // Opens the address (when there is one), then fires OnClick.
    void Click() override;
    // A link whose action "click" opens the address.
    void GetAccessible(TAccessibleInfo& Info) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

private:
    std::string FURLString;
    TColor FTextColor = clBlue;
    TColor FHotTextColor = clRed;
};

// The link label with its properties published.
class TKdUrlLabel : public TKdCustomUrlLabel {
    LUMI_CLASS(TKdUrlLabel, TKdCustomUrlLabel)
public:
    explicit TKdUrlLabel(TComponent* AOwner) : TKdCustomUrlLabel(AOwner) {}
};

namespace KdUrlLabel {
// Puts the unit's classes on the library's palette page.
void Register();
}  // namespace KdUrlLabel

}  // namespace lumivane

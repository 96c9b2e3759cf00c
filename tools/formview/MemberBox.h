#pragma once
#include "lumivane/framework/Label.h"

// A check box for one member of a set in the inspector: a box, ticked when the member is held,
// and the member's name beside it. A click reports through OnClick; the inspector decides what
// the tick then shows.
class TMemberBox : public lumivane::TLabel {
public:
    explicit TMemberBox(lumivane::TComponent* owner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);

    static constexpr int BoxSize = 13;

protected:
    void Paint() override;

private:
    bool FChecked = false;
};

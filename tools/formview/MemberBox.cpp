#include "tools/formview/MemberBox.h"

#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Font.h"

using namespace lumivane;

TMemberBox::TMemberBox(TComponent* owner) : TLabel(owner) {
    SetAutoSize(false);
    SetShowAccelChar(false);
}

void TMemberBox::SetChecked(bool value) {
    if (FChecked == value) return;
    FChecked = value;
    Invalidate();
}

void TMemberBox::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    const int top = (client.Height() - BoxSize) / 2;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(Enabled() ? clWindowText : clGrayText);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(0, top, BoxSize, top + BoxSize);
    if (FChecked) {
        // A tick two pixels thick: down to the bottom third, then up to the top right.
        for (int d = 0; d < 2; ++d) c->Polyline({{3, top + 6 + d}, {5, top + 8 + d}, {10, top + 3 + d}});
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    const int textHeight = c->TextHeight("Ag");
    c->TextOut(BoxSize + 5, (client.Height() - textHeight) / 2, Caption());
}

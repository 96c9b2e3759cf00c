#pragma once
#include <cstdint>
#include <string>

#include <lumivane/controls/ImButton.h>
#include <lumivane/controls/KdUpDownEdit.h>
#include <lumivane/controls/KdUrlLabel.h>
#include <lumivane/framework/Form.h>
#include <lumivane/framework/Label.h>

// A window whose controls come from a layout text (FirstWindow.txt): the class only names the
// controls it talks to and the handlers the layout binds (OnClick = AddClick).
class TFirstWindow : public lumivane::TForm {
    LUMI_CLASS(TFirstWindow, lumivane::TForm)
public:
    // The layout to load; set before the window is created.
    static std::string Layout;

    explicit TFirstWindow(lumivane::TComponent* Owner);

    // Filled in by the layout, by name.
    lumivane::TKdUpDownEdit* udCount = nullptr;
    lumivane::TImButton* btnAdd = nullptr;
    lumivane::TLabel* lblTotal = nullptr;

    void AddClick(lumivane::TObject* Sender);
    void CloseClick(lumivane::TObject* Sender);

    int64_t Total() const { return FTotal; }

private:
    int64_t FTotal = 0;
};

extern TFirstWindow* FirstWindow;

// Makes the library's controls and this window known to the layout reader.
void RegisterFirstWindow();

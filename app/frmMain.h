#pragma once
#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Label.h"

// The notice window: tells the user that Quillomat is now Lumivane. Its controls and their values
// come from the layout resource "TMAIN"; the window's own code is its two handlers.
class TMain : public lumivane::TForm {
    LUMI_CLASS(TMain, lumivane::TForm)
public:
    explicit TMain(lumivane::TComponent* Owner);

    // The members as declared; the layout creates them with KdBackImage1 first, then KdUrlLabel1
    // and the rest in this order.
    lumivane::TKdUrlLabel* KdUrlLabel1 = nullptr;
    lumivane::TKdBackImage* KdBackImage1 = nullptr;
    lumivane::TImImage* ImImage1 = nullptr;
    lumivane::TLabel* Label1 = nullptr;
    lumivane::TLabel* Label2 = nullptr;
    lumivane::TKdUrlLabel* KdUrlLabel2 = nullptr;
    lumivane::TImButton* btnClose = nullptr;

    void FormCreate(lumivane::TObject* Sender);
    void btnCloseClick(lumivane::TObject* Sender);
};

// The notice text; its first line is indented by four spaces.
extern const char* const NoticeText;

// The window, filled in by Application->CreateForm.
extern TMain* Main;

// Registers the window's class (and the library's) so that tools can load its layout by name.
void RegisterNoticeWindow();

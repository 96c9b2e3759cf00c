#pragma once
#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/framework/Forms.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/StdCtrls.h"

// The notice window: tells the user that Quillomat is now Lumivane. Its controls and their values
// come from the layout resource "TMAIN"; the window's own code is its two handlers.
class TMain : public TForm {
    LUMI_CLASS(TMain, TForm)
public:
    explicit TMain(TComponent* Owner);

    // The members as declared; the layout creates them with KdBackImage1 first, then KdUrlLabel1
    // and the rest in this order.
    TKdUrlLabel* KdUrlLabel1 = nullptr;
    TKdBackImage* KdBackImage1 = nullptr;
    TImImage* ImImage1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TKdUrlLabel* KdUrlLabel2 = nullptr;
    TImButton* btnClose = nullptr;

    void FormCreate(TObject* Sender);
    void btnCloseClick(TObject* Sender);
};

// The notice text; its first line is indented by four spaces.
extern const char* const NoticeText;

// The window, filled in by Application->CreateForm.
extern TMain* Main;

// Registers the window's class (and the library's) so that tools can load its layout by name.
void RegisterNoticeWindow();

#pragma once
#include <string>

#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Label.h"

// The control gallery: every control of the library in its looks and states, live. The controls
// and their values come from the layout resource "TGALLERY"; the window's own code only reports
// events on the line at its bottom.
//
// Adding a section: put one TPanel (or a titled group of controls) in frmGallery.txt and bind its
// controls' events to the generic handlers below (OnClick = AnyClick, OnImStatusChanged =
// AnyImStatusChanged, ...). Each handler writes "<Sender's name>: <event>" on the event line, so
// a new section needs no code here unless its events carry other arguments; then add one more
// Any... handler in the same style.
class TGallery : public lumivane::TForm {
    LUMI_CLASS(TGallery, lumivane::TForm)
public:
    explicit TGallery(lumivane::TComponent* Owner);

    // The event line at the bottom of the window.
    lumivane::TLabel* lblEvent = nullptr;

    void AnyClick(lumivane::TObject* Sender);
    void AnyDblClick(lumivane::TObject* Sender);
    // "edVtFloat: OnChange '3.5'".
    void AnyChange(lumivane::TObject* Sender);
    void AnyMouseEnter(lumivane::TObject* Sender);
    void AnyMouseLeave(lumivane::TObject* Sender);
    // "ImImage2: status 0 -> 2".
    void AnyImStatusChanged(lumivane::TObject* Sender, int NewStatus, int OldStatus);
    // Pictures accept pictures: "ImImage3: OnDragDrop from ImImage2".
    void AnyDragOver(lumivane::TObject* Sender, lumivane::TObject* Source, int X, int Y, lumivane::TDragState State, bool& Accept);
    void AnyDragDrop(lumivane::TObject* Sender, lumivane::TObject* Source, int X, int Y);

    // Shows "<Sender's name>: <what>" on the event line.
    void ShowEvent(lumivane::TObject* Sender, const std::string& What);
};

// The program also prints each event line on standard output (for scripts and tests); tools that
// load the layout leave it off.
void EchoGalleryEvents(bool Echo);

// The window, filled in by Application->CreateForm.
extern TGallery* Gallery;

// Registers the gallery's class (and the library's) so that tools can load its layout by name.
void RegisterGalleryWindow();

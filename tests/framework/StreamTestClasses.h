#pragma once
// Small components that mimic the library's controls for the streaming tests: a button with a
// nested colour set, a picture-like binary property, an enum, a set and events; a panel that
// becomes the parent of what is read inside it; and a form that exposes handlers and a field.
#include <string>
#include <vector>

#include "lumivane/framework/Component.h"
#include "lumivane/framework/Events.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Set.h"
#include "lumivane/gfx/raster/Color.h"

using namespace lumivane;

// Every setter call and Loaded appends "Name.Prop" / "Name.Loaded" here.
std::vector<std::string>& TestLog();
// Test components alive right now.
int& LiveTestComponents();

enum TTestLooks { tlNormal, tlFlat, tlBevel, tlXP };
enum TTestStyleItem { tsBold, tsItalic, tsUnderline };
using TTestStyle = TSet<TTestStyleItem>;

struct TFakeCanvas;
struct TTestRect;

struct TTestKeyEvent : TEvent<TObject*, char&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Key";
};
struct TTestStatusEvent : TEvent<TObject*, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, NewStatus, OldStatus";
};
struct TTestDrawEvent : TEvent<TObject*, TFakeCanvas*, TTestRect*, int, int&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, lpCanvas, lpRect, iStatus, iCounter";
};

class TTestColors : public TPersistent {
    LUMI_CLASS(TTestColors, TPersistent)
public:
    TColor fGetColor(int i) const { return i >= 0 && i < 4 ? FColors[i] : clDefault; }
    void fSetColor(int i, TColor c) {
        if (i >= 0 && i < 4) FColors[i] = c;
    }
    void Assign(TPersistent* Source) override;

private:
    TColor FColors[4] = {clDefault, clDefault, clDefault, clDefault};
};

// Holds a graphic's class name and file, as picture data in the layout.
class TTestPicture : public TPersistent {
    LUMI_CLASS(TTestPicture, TPersistent)
public:
    std::string GraphicClass;
    std::vector<uint8_t> File;
    TBytes fGetData() const;
    void fSetData(const TBytes& data);
};

class TTestButton : public TComponent {
    LUMI_CLASS(TTestButton, TComponent)
public:
    explicit TTestButton(TComponent* AOwner);
    ~TTestButton() override;

    int fGetSpacing() const { return FSpacing; }
    void fSetSpacing(int v);
    void fSetLooks(TTestLooks v);
    void fSetFocusRect(bool v);
    TTestColors* fGetColors() { return &FColors; }
    TTestPicture* fGetPicture() { return &FPicture; }
    void Loaded() override;
    void SetParentComponent(TComponent* Value) override { FParent = Value; }
    TComponent* GetParentComponent() const override { return FParent; }

    TComponent* FParent = nullptr;
    int FSpacing = 2;
    int FAnimateSpeed = 200;
    TColor FHotTextColor = clBlue;
    bool FFocusRect = true;
    TTestLooks FLooks = tlNormal;
    TTestStyle FStyle;
    std::string FCaption;
    std::string FFontName;
    int64_t FValue = 0;
    int FCursor = -21;
    TTestColors FColors;
    TTestPicture FPicture;
    TNotifyEvent FOnClick;
    TTestKeyEvent FOnKeyPress;
    TTestStatusEvent FOnStatusChanged;
    TTestDrawEvent FOnOwnerDraw;
    // What Loaded saw.
    bool LoadedSawLoading = false;
    bool LoadedSawReading = true;
    int LoadedSpacing = -1;
};

// A container: what the reader finds inside it gets it as parent.
class TTestPanel : public TComponent {
    LUMI_CLASS(TTestPanel, TComponent)
public:
    explicit TTestPanel(TComponent* AOwner);
    ~TTestPanel() override;
    void SetParentComponent(TComponent* Value) override { FParent = Value; }
    TComponent* GetParentComponent() const override { return FParent; }
    bool HasParent() const override { return true; }
    void Loaded() override;
    TNotifyEvent fGetOnPaint() const { return FOnPaint; }
    void fSetOnPaint(const TNotifyEvent& e) { FOnPaint = e; }
    TTestColors* fGetColors() { return &FColors; }
    // Like ParentFont: the colours are stored only when they are the panel's own.
    bool IsColorsStored() const { return !FParentColors; }

    std::string FCaption;
    bool FParentColors = true;
    TTestColors FColors;
    TNotifyEvent FOnPaint;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FParent = nullptr;
};

// A button that refuses a Spacing above 100, like a setter that validates.
class TTestStrictButton : public TTestButton {
    LUMI_CLASS(TTestStrictButton, TTestButton)
public:
    using TTestButton::TTestButton;
};

class TTestForm : public TComponent {
    LUMI_CLASS(TTestForm, TComponent)
public:
    explicit TTestForm(TComponent* AOwner);
    ~TTestForm() override;
    void Loaded() override;

    void ButtonClick(TObject* Sender);
    void ButtonKeyPress(TObject* Sender, char& Key);
    void StatusChanged(TObject* Sender, int NewStatus, int OldStatus);

    std::string FCaption;
    std::vector<std::string> Calls;
    int Clicks = 0;
};

// A form class whose layout must fill its field.
class TTestFieldForm : public TTestForm {
    LUMI_CLASS(TTestFieldForm, TTestForm)
public:
    using TTestForm::TTestForm;
    TTestButton* Button1 = nullptr;
};

void RegisterTestClasses();

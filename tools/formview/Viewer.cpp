#include "tools/formview/Viewer.h"

#include <cstdio>
#include <optional>

#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Label.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "lumivane/framework/Font.h"
#include "tools/ToolClasses.h"

using namespace lumivane;

namespace {

constexpr const char* kWatchClass = "FormViewWatch";
constexpr UINT WM_LAYOUT_SAVED = WM_APP + 1;
constexpr size_t kMaxLayoutSize = 16u << 20;

} // namespace

TFormViewer::TFormViewer(std::string path) : FPath(std::move(path)) {}

TFormViewer::~TFormViewer() {
    if (FWatch) NotifyReadable(FWatch->Fd(), nullptr, 0);
    if (FWatchWindow && IsWindow(FWatchWindow)) DestroyWindow(FWatchWindow);
}

bool TFormViewer::Load() {
    ++FLoads;
    // The next window takes the place of the one shown now, and its size too while the layout's
    // own size stays the same (a window the user made larger stays larger).
    std::optional<TPoint> origin;
    std::optional<TSize> size;
    if (FForm && FForm->HandleAllocated()) {
        origin = FForm->ClientOrigin();
        if (FError.empty()) size = TSize{FForm->ClientWidth(), FForm->ClientHeight()};
    }
    // The old form goes first, so that the new one becomes the main form in its place.
    delete FForm;
    FForm = nullptr;
    std::string error;
    try {
        // A FIFO or a device moved onto the file would block the window: refused at once.
        std::vector<uint8_t> bytes = ReadRegularFileBytes(FPath, kMaxLayoutSize);
        std::string notice;
        FForm = CreateLayoutForm(std::string(bytes.begin(), bytes.end()), &notice);
        // Said once, not at every save.
        if (!notice.empty() && notice != FNotice) std::fprintf(stderr, "formview: %s: %s\n", FPath.c_str(), notice.c_str());
        FNotice = notice;
    } catch (const Exception& e) {
        error = FPath + ": " + e.Message();
    }
    FError = error;
    if (!error.empty()) {
        std::fprintf(stderr, "formview: %s\n", error.c_str());
        FForm = MakeErrorForm(error);
    }
    const TSize designed{FForm->ClientWidth(), FForm->ClientHeight()};
    if (!error.empty()) size.reset();
    if (size && designed != FDesignedSize) size.reset();
    if (error.empty()) FDesignedSize = designed;
    if (origin) {
        FForm->SetPosition(poDesigned);
        FForm->SetBounds(origin->x - FForm->Frame().Left, origin->y - FForm->Frame().Top, FForm->Width(),
                         FForm->Height());
        if (size) FForm->SetClientSize(size->cx, size->cy);
    }
    // The first time, Application->Run shows the main form; afterwards the viewer does.
    if (FLoads > 1) FForm->Show();
    return error.empty();
}

TCustomForm* TFormViewer::MakeErrorForm(const std::string& message) {
    TCustomForm* form = Application->CreateForm(TForm::StaticClass());
    form->SetCaption("formview: " + FPath);
    form->SetClientSize(640, 160);
    form->SetPosition(poScreenCenter);
    form->Font()->SetHeight(-14);
    auto* title = new TLabel(form);
    title->SetParent(form);
    title->SetBounds(16, 16, 600, 20);
    title->SetCaption("The layout does not load:");
    title->Font()->SetStyle({fsBold});
    auto* text = new TLabel(form);
    text->SetParent(form);
    text->SetAutoSize(false);
    text->SetWordWrap(true);
    text->SetBounds(16, 44, 608, 76);
    text->Font()->SetColor(clRed);
    text->SetCaption(message);
    auto* hint = new TLabel(form);
    hint->SetParent(form);
    hint->SetBounds(16, 130, 600, 20);
    hint->SetCaption("Fix the file and save it: the window follows.");
    return form;
}

void TFormViewer::Watch() {
    FWatch = std::make_unique<TLayoutWatch>(FPath);
    FWatchWindow = MakeWatchWindow(kWatchClass, WatchProc);
    SetWindowLongPtrA(FWatchWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    NotifyReadable(FWatch->Fd(), FWatchWindow, WM_LAYOUT_SAVED);
}

LRESULT TFormViewer::WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LAYOUT_SAVED) {
        if (auto* viewer = reinterpret_cast<TFormViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) viewer->Changed();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TFormViewer::Changed() {
    const int changes = FWatch->TakeChanges();
    NotifyReadable(FWatch->Fd(), FWatchWindow, WM_LAYOUT_SAVED);
    if (changes & TLayoutWatch::FolderBack) std::fprintf(stderr, "formview: the folder %s is back: following it again\n", FWatch->Folder().c_str());
    if (changes & (TLayoutWatch::Saved | TLayoutWatch::FolderBack)) {
        Load();
    } else if (changes & TLayoutWatch::FolderGone) {
        ShowError(FPath + ": the folder " + FWatch->Folder() + " was removed: followed again when it comes back");
    }
}

void TFormViewer::ShowError(const std::string& error) {
    std::optional<TPoint> origin;
    if (FForm && FForm->HandleAllocated()) origin = FForm->ClientOrigin();
    delete FForm;
    FError = error;
    std::fprintf(stderr, "formview: %s\n", error.c_str());
    FForm = MakeErrorForm(error);
    if (origin) {
        FForm->SetPosition(poDesigned);
        FForm->SetBounds(origin->x - FForm->Frame().Left, origin->y - FForm->Frame().Top, FForm->Width(), FForm->Height());
    }
    FForm->Show();
}

#pragma once
#include <memory>
#include <string>

#include "lumivane/windows/Window.h"
#include "tools/formview/LayoutWatch.h"

namespace lumivane {
class TCustomForm;
}

// Shows one layout file in a window and, once watching, loads it again each time it is saved.
// The form made from the file is the application's main form, so closing it ends the program.
// A file that does not load is replaced by a window with the reader's error (and its line) at the
// same place, until a save that loads.
class TFormViewer {
public:
    explicit TFormViewer(std::string path);
    ~TFormViewer();

    // Loads the file into a new form that takes the place of the window shown now. True when the
    // layout loaded; otherwise the error is shown (and on standard error) instead.
    bool Load();
    // Follows saves of the file through the message loop (no polling). Throws Exception when the
    // file's folder cannot be watched.
    void Watch();

    lumivane::TCustomForm* Form() const { return FForm; }
    const std::string& Error() const { return FError; }
    // Loads so far, successful or not.
    int Loads() const { return FLoads; }

private:
    static lumivane::LRESULT WatchProc(lumivane::HWND hwnd, lumivane::UINT message, lumivane::WPARAM wParam, lumivane::LPARAM lParam);
    void Changed();
    lumivane::TCustomForm* MakeErrorForm(const std::string& message);
    // Replaces the window shown now by one with the error, at its place.
    void ShowError(const std::string& error);

    std::string FPath;
    lumivane::TCustomForm* FForm = nullptr;
    std::string FError;
    std::string FNotice;  // what was said about the layout's root class
    lumivane::TSize FDesignedSize;  // the client size the layout last loaded gave its window
    int FLoads = 0;
    std::unique_ptr<TLayoutWatch> FWatch;
    lumivane::HWND FWatchWindow = nullptr;
};

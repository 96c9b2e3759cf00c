#pragma once
#include <string>

#include "lumivane/windows/Window.h"

// Tells when a file is saved again. The watch is on the file's folder, not on the file: editors
// that save by writing a new file and renaming it over the old one replace the file, and a watch
// on the old file would see it deleted and then nothing more. While the folder is gone, its own
// folder is watched, so that a folder removed and made again is followed again.
class TLayoutWatch {
public:
    // Throws Exception when the folder cannot be watched.
    explicit TLayoutWatch(const std::string& path);
    ~TLayoutWatch();
    TLayoutWatch(const TLayoutWatch&) = delete;
    TLayoutWatch& operator=(const TLayoutWatch&) = delete;

    enum TChange { None = 0, Saved = 1, FolderGone = 2, FolderBack = 4 };

    // Readable when notifications are waiting.
    int Fd() const { return FFd; }
    // Reads every waiting notification (never blocks): Saved when one says that the file was
    // written and closed, or moved into place; FolderGone when the folder went; FolderBack when
    // a folder of its name came back and is watched again (its file may be new).
    int TakeChanges();
    const std::string& Folder() const { return FDir; }

private:
    bool WatchFolder();

    int FFd = -1;
    int FDirWatch = -1;
    int FParentWatch = -1;
    std::string FDir, FParent, FDirName, FName;
};

// A hidden window of its own class (registered once) that receives the watch's notification in
// the message loop, through the procedure given.
lumivane::HWND MakeWatchWindow(const char* className, lumivane::WNDPROC proc);

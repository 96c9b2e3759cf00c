#pragma once
#include <string>

// Tells when a file is saved again. The watch is on the file's folder, not on the file: editors
// that save by writing a new file and renaming it over the old one replace the file, and a watch
// on the old file would see it deleted and then nothing more.
class TLayoutWatch {
public:
    // Throws Exception when the folder cannot be watched.
    explicit TLayoutWatch(const std::string& path);
    ~TLayoutWatch();
    TLayoutWatch(const TLayoutWatch&) = delete;
    TLayoutWatch& operator=(const TLayoutWatch&) = delete;

    // Readable when notifications are waiting.
    int Fd() const { return FFd; }
    // Reads every waiting notification (never blocks); true when one says that the file was
    // written and closed, or moved into place.
    bool TakeChanges();

private:
    int FFd = -1;
    std::string FName;
};

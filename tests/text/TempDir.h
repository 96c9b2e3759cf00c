#pragma once
#include <cstdlib>
#include <string>

#include <stdlib.h>

namespace lumivane::texttest {

// A fresh folder (mode 0700) under $TMPDIR, which the test runner gives each test; removed with
// everything in it.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string name = std::string(base && base[0] == '/' ? base : "/tmp") + "/lumi-text-XXXXXX";
        if (::mkdtemp(name.data())) FPath = name;
    }
    ~TempDir() {
        if (FPath.empty()) return;
        if (std::system(("chmod -R u+rwx '" + FPath + "' 2>/dev/null; rm -rf '" + FPath + "'").c_str()) != 0) return;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

}  // namespace lumivane::texttest

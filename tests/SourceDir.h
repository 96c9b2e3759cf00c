#pragma once
// The source tree the tests read their data from: LUMI_SOURCE_DIR (CTest sets it), else the
// checkout this file is in.
#include <cstdlib>
#include <string>

inline std::string SourceDir() {
    if (const char* d = std::getenv("LUMI_SOURCE_DIR")) return d;
    const std::string f = __FILE__;
    return f.substr(0, f.rfind("/tests/"));
}

// Window classes: registering them and looking them up by name (without case).
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

std::string ClassKey(const char* s) {
    std::string r = s ? s : "";
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// ---- Classes ----

bool RegisterClassA(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !*wc.lpszClassName) return false;
    auto& classes = WS().classes;
    std::string key = ClassKey(wc.lpszClassName);
    if (classes.count(key)) return false;
    auto e = std::make_unique<WindowClassEntry>();
    e->name = wc.lpszClassName;
    e->wc = wc;
    e->wc.lpszClassName = e->name.c_str();
    classes.emplace(key, std::move(e));
    return true;
}

bool GetClassInfoA(const char* name, WNDCLASS* out) {
    auto& classes = WS().classes;
    auto it = classes.find(ClassKey(name));
    if (it == classes.end()) return false;
    if (out) *out = it->second->wc;
    return true;
}

int GetClassNameA(HWND hwnd, char* buffer, int size) {
    Wnd* w = FromHandle(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    const std::string& n = w->cls->name;
    size_t count = std::min(n.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, n.data(), count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

}  // namespace lumivane

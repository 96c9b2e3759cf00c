#include "tools/formshot/Script.h"

#include <cctype>
#include <charconv>

#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/base/Exception.h"
#include "lumivane/windows/Driver.h"
#include "lumivane/windows/Messages.h"
#include "lumivane/windows/Window.h"

using namespace lumivane;

namespace {

constexpr int kMaxCoordinate = 100000;
constexpr int kMaxWaitMs = 24 * 3600 * 1000;

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

[[noreturn]] void Fail(int line, const std::string& what) {
    throw Exception("line " + std::to_string(line) + ": " + what);
}

bool ParseInt(std::string_view s, int& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> w;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j]))) ++j;
        if (j > i) w.push_back(s.substr(i, j - i));
        i = j;
    }
    return w;
}

void ParseKey(std::string_view keys, int line, ScriptCommand& c) {
    std::string rest = Lower(keys);
    for (;;) {
        if (rest.rfind("ctrl+", 0) == 0 && rest.size() > 5) {
            c.shift |= MK_CONTROL;
            rest.erase(0, 5);
        } else if (rest.rfind("shift+", 0) == 0 && rest.size() > 6) {
            c.shift |= MK_SHIFT;
            rest.erase(0, 6);
        } else if (rest.rfind("alt+", 0) == 0 && rest.size() > 4) {
            c.shift |= DRIVER_ALT;
            rest.erase(0, 4);
        } else {
            break;
        }
    }
    c.vk = KeyNameToVk(rest);
    if (!c.vk) Fail(line, "unknown key '" + std::string(keys) + "'");
}

} // namespace

unsigned KeyNameToVk(std::string_view name) {
    std::string n = Lower(name);
    if (n.size() == 1) {
        char ch = n[0];
        if (ch >= 'a' && ch <= 'z') return static_cast<unsigned>(ch - 'a' + 'A');
        if (ch >= '0' && ch <= '9') return static_cast<unsigned>(ch);
        return 0;
    }
    static const struct {
        const char* name;
        unsigned vk;
    } keys[] = {{"return", VK_RETURN}, {"enter", VK_RETURN}, {"space", VK_SPACE}, {"tab", VK_TAB},
                {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},   {"backspace", VK_BACK}, {"delete", VK_DELETE},
                {"insert", VK_INSERT}, {"home", VK_HOME},    {"end", VK_END},       {"up", VK_UP},
                {"down", VK_DOWN},     {"left", VK_LEFT},    {"right", VK_RIGHT},   {"prior", VK_PRIOR},
                {"pageup", VK_PRIOR},  {"next", VK_NEXT},    {"pagedown", VK_NEXT}, {"shift", VK_SHIFT},
                {"control", VK_CONTROL}, {"ctrl", VK_CONTROL}, {"alt", VK_MENU},
                {"menu", VK_APPS},     {"apps", VK_APPS}};
    for (const auto& k : keys)
        if (n == k.name) return k.vk;
    int f = 0;
    if (n.size() >= 2 && n[0] == 'f' && ParseInt(std::string_view(n).substr(1), f) && f >= 1 && f <= 12)
        return VK_F1 + static_cast<unsigned>(f - 1);
    return 0;
}

std::vector<ScriptCommand> ParseScript(std::string_view script) {
    std::vector<ScriptCommand> out;
    int line = 0;
    // A byte order mark is no command (editors on some systems write one).
    size_t pos = script.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos <= script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view raw = script.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        std::string_view text = Trim(raw);
        if (text.empty() || text[0] == '#') {
            if (end == script.size()) break;
            continue;
        }
        std::vector<std::string_view> w = Words(text);
        std::string verb = Lower(w[0]);
        std::string_view rest = Trim(text.substr(w[0].size()));
        ScriptCommand c;
        c.line = line;
        auto needArgs = [&](size_t n) {
            if (w.size() != n + 1)
                Fail(line, "'" + verb + "' takes " + std::to_string(n) + (n == 1 ? " argument" : " arguments"));
        };
        auto inRange = [](int v, int lowest, int highest) { return v >= lowest && v <= highest; };
        auto point = [&] {
            needArgs(2);
            if (!ParseInt(w[1], c.x) || !ParseInt(w[2], c.y) || !inRange(c.x, -kMaxCoordinate, kMaxCoordinate) ||
                !inRange(c.y, -kMaxCoordinate, kMaxCoordinate))
                Fail(line, "bad coordinates '" + std::string(rest) + "' (each from " + std::to_string(-kMaxCoordinate) +
                               " to " + std::to_string(kMaxCoordinate) + ")");
        };
        if (verb == "move") {
            c.kind = ScriptCommand::Move;
            point();
        } else if (verb == "click") {
            c.kind = ScriptCommand::Click;
            // An optional button after the point: click X Y right.
            std::string b = w.size() == 4 ? Lower(w[3]) : "left";
            if (w.size() == 4) w.pop_back();
            point();
            if (b == "right")
                c.button = 3;
            else if (b != "left")
                Fail(line, "unknown button '" + b + "'");
        } else if (verb == "dblclick") {
            c.kind = ScriptCommand::DblClick;
            point();
        } else if (verb == "down" || verb == "up") {
            c.kind = verb == "down" ? ScriptCommand::Down : ScriptCommand::Up;
            if (w.size() > 2) Fail(line, "'" + verb + "' takes at most one argument");
            std::string b = w.size() == 2 ? Lower(w[1]) : "left";
            if (b == "left")
                c.button = 1;
            else if (b == "right")
                c.button = 3;
            else
                Fail(line, "unknown button '" + std::string(w[1]) + "'");
        } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
            c.kind = verb == "key" ? ScriptCommand::Key : verb == "keydown" ? ScriptCommand::KeyDown : ScriptCommand::KeyUp;
            needArgs(1);
            ParseKey(w[1], line, c);
        } else if (verb == "type" || verb == "clipboard") {
            c.kind = verb == "type" ? ScriptCommand::Type : ScriptCommand::Clipboard;
            // The rest of the line as written, after the one separating space.
            std::string_view after = Trim(raw).substr(w[0].size());
            if (!after.empty() && (after[0] == ' ' || after[0] == '\t')) after.remove_prefix(1);
            // UTF-8 as written; a byte that is not is U+FFFD, as everywhere text comes in.
            c.text = ValidUtf8(after);
            if (c.kind == ScriptCommand::Type && c.text.empty()) Fail(line, "'type' needs a text");
        } else if (verb == "wait") {
            c.kind = ScriptCommand::Wait;
            needArgs(1);
            if (!ParseInt(w[1], c.ms) || c.ms < 0 || c.ms > kMaxWaitMs) Fail(line, "bad time '" + std::string(w[1]) + "'");
        } else if (verb == "resize") {
            c.kind = ScriptCommand::Resize;
            needArgs(2);
            if (!ParseInt(w[1], c.x) || !ParseInt(w[2], c.y) || !inRange(c.x, 1, MaxWindowSide) ||
                !inRange(c.y, 1, MaxWindowSide))
                Fail(line, "bad size '" + std::string(rest) + "' (each from 1 to " + std::to_string(MaxWindowSide) + ")");
        } else if (verb == "shot") {
            c.kind = ScriptCommand::Shot;
            if (rest.empty()) Fail(line, "'shot' needs a file name");
            c.text = std::string(rest);
        } else {
            Fail(line, "unknown command '" + std::string(w[0]) + "'");
        }
        out.push_back(std::move(c));
        if (end == script.size()) break;
    }
    return out;
}

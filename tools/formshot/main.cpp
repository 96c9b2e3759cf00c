// formshot: loads a form layout headlessly, plays an event script on it and writes what it shows
// (a PNG) and what it holds (the layout written back). Exit status: 0 done, 1 the form or a file
// could not be read, 2 a bad script or command line.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumivane/framework/EventTrace.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "tools/ToolClasses.h"
#include "tools/formshot/Script.h"

using namespace lumivane;

namespace {

constexpr size_t kMaxFileSize = 16u << 20;

const char* const kUsage =
    "usage: formshot FORM.txt [--events SCRIPT] [--png OUT.png] [--dump | --dump-all] [--trace]\n"
    "                [--scale N]\n"
    "\n"
    "Loads the form layout headlessly (the class named in its first line; a window class of your own\n"
    "as a plain TForm whose events are traced, not called), shows it, plays the event script and\n"
    "writes the client area (--png) and the layout (--dump; --dump-all with defaults). Prints 'open:\n"
    "ADDRESS' for each address handed to the shell, 'message box: CAPTION: TEXT' for each message box\n"
    "(answered with its first button), 'exception: MESSAGE' for each exception a handler throws (the\n"
    "script goes on) and, with --trace, 'event: COMPONENT.EVENT(ARGS)' for each event a control\n"
    "raises, handled or not (the trace only watches: no event counts as handled because of it).\n"
    "--scale N (1 to 4) draws as a display of N device pixels per pixel does: pictures N times the\n"
    "size, text rendered at N times its size; the script's coordinates stay the form's own.\n"
    "\n"
    "Script commands, one a line (coordinates in the form's client area):\n"
    "  move X Y, click X Y, dblclick X Y, down [left|right], up [left|right],\n"
    "  key NAME, keydown NAME, keyup NAME (ctrl+, shift+, alt+ prefixes), type TEXT,\n"
    "  clipboard TEXT, wait MS, resize W H, shot OUT.png; blank lines and # comments are skipped.\n"
    "Text is UTF-8 everywhere: in the script, the layout, the dump and the trace (a typed Key is its\n"
    "code point).\n"
    "\n"
    "Exit status: 0 done, 1 the form or a file cannot be read, 2 a bad script or command line.\n";

struct Options {
    std::string form, events, png;
    bool dump = false, dumpAll = false, trace = false;
    int scale = 1;
};

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path, kMaxFileSize);
    return std::string(bytes.begin(), bytes.end());
}

class Shot {
public:
    explicit Shot(HeadlessSession& session) : FSession(session) {}

    TCustomForm* Load(const std::string& text, std::string& notice) {
        FForm = CreateLayoutForm(text, &notice);
        return FForm;
    }

    // A command that fails says which line of the script it came from.
    void Run(const std::vector<ScriptCommand>& commands) {
        for (const ScriptCommand& c : commands) {
            try {
                Play(c);
            } catch (const Exception& e) {
                throw Exception("line " + std::to_string(c.line) + ": " + e.Message());
            }
            ReportAddresses();
        }
    }

    void ReportAddresses() {
        const std::vector<std::string>& opened = FSession.OpenedAddresses();
        for (; FReported < opened.size(); ++FReported) std::printf("open: %s\n", opened[FReported].c_str());
        std::fflush(stdout);
    }

private:
    TPoint Screen(int x, int y) { return FForm->ClientToScreen({x, y}); }

    void Play(const ScriptCommand& c) {
        switch (c.kind) {
        case ScriptCommand::Move: {
            TPoint p = Screen(c.x, c.y);
            FSession.Move(p.x, p.y);
            break;
        }
        case ScriptCommand::Click: {
            TPoint p = Screen(c.x, c.y);
            FSession.Click(p.x, p.y, c.button);
            break;
        }
        case ScriptCommand::DblClick: {
            TPoint p = Screen(c.x, c.y);
            FSession.DoubleClick(p.x, p.y);
            break;
        }
        case ScriptCommand::Down: FSession.Press(c.button); break;
        case ScriptCommand::Up: FSession.Release(c.button); break;
        case ScriptCommand::Key: FSession.Key(c.vk, c.shift); break;
        case ScriptCommand::KeyDown: FSession.KeyDown(c.vk, c.shift); break;
        case ScriptCommand::KeyUp: FSession.KeyUp(c.vk, c.shift); break;
        case ScriptCommand::Type: TypeInPieces(c.text); break;
        case ScriptCommand::Clipboard: FSession.SetClipboard(c.text); break;
        case ScriptCommand::Wait: FSession.Wait(c.ms); break;
        case ScriptCommand::Resize: FSession.Resize(FForm->Handle(), c.x, c.y); break;
        case ScriptCommand::Shot: SavePicture(c.text); break;
        }
    }

    // Typed as a person would, a piece at a time, each piece handled before the next arrives:
    // a whole long line at once would flood the message queue.
    void TypeInPieces(const std::string& text) {
        constexpr size_t kPiece = 256;
        for (size_t i = 0; i < text.size(); i += kPiece) FSession.Type(text.substr(i, kPiece));
    }

public:
    void SavePicture(const std::string& path) {
        FSession.Pump();
        SavePng(Composed(), path.c_str());
    }

private:
    // The form's client area with the open popup windows (menus, hints) drawn over it, bottom
    // one first, as the screen shows them.
    Surface Composed() {
        HWND form = FForm->Handle();
        Surface out = FSession.Presented(form);
        const TPoint origin = FForm->ClientToScreen({0, 0});
        const int n = FSession.Driver().DeviceScale();
        std::vector<HWND> tops = FSession.TopLevelWindows();
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
            if (*it == form || !IsWindowVisible(*it) || (GetWindowLongPtrA(*it, GWL_STYLE) & WS_POPUP) == 0) continue;
            RECT r;
            GetWindowRect(*it, &r);
            const Surface& s = FSession.Presented(*it);
            for (int y = 0; y < s.Height(); ++y)
                for (int x = 0; x < s.Width(); ++x) {
                    const int ox = (r.Left - origin.x) * n + x, oy = (r.Top - origin.y) * n + y;
                    if (ox >= 0 && oy >= 0 && ox < out.Width() && oy < out.Height()) out.Set(ox, oy, s.Get(x, y));
                }
        }
        return out;
    }

private:
    HeadlessSession& FSession;
    TCustomForm* FForm = nullptr;
    size_t FReported = 0;
};

int FormShot(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
            into = argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--events")
            value(o.events);
        else if (a == "--png")
            value(o.png);
        else if (a == "--dump")
            o.dump = true;
        else if (a == "--dump-all")
            o.dumpAll = true;
        else if (a == "--trace")
            o.trace = true;
        else if (a == "--scale") {
            std::string v;
            value(v);
            if (v.size() != 1 || v[0] < '1' || v[0] > '4') throw std::invalid_argument("--scale takes 1, 2, 3 or 4, not '" + v + "'");
            o.scale = v[0] - '0';
        }
        else if (!a.empty() && a[0] == '-')
            throw std::invalid_argument("unknown option " + a);
        else if (o.form.empty())
            o.form = a;
        else
            throw std::invalid_argument("more than one form file");
    }
    if (o.form.empty()) throw std::invalid_argument("no form file given");
    if (o.dump && o.dumpAll) throw std::invalid_argument("--dump and --dump-all exclude each other");

    std::string text;
    try {
        text = ReadText(o.form);
    } catch (const Exception& e) {
        std::fprintf(stderr, "formshot: cannot read %s: %s\n", o.form.c_str(), e.what());
        return 1;
    }
    std::vector<ScriptCommand> commands;
    if (!o.events.empty()) {
        std::string script;
        try {
            script = ReadText(o.events);
        } catch (const Exception& e) {
            std::fprintf(stderr, "formshot: cannot read %s: %s\n", o.events.c_str(), e.what());
            return 1;
        }
        try {
            commands = ParseScript(script);
        } catch (const Exception& e) {
            std::fprintf(stderr, "formshot: %s: %s\n", o.events.c_str(), e.what());
            return 2;
        }
    }

    HeadlessSession session(o.scale);
    Application->Initialize();
    RegisterToolClasses();
    Application->OnMessageBox = [](const std::string& t, const std::string& caption, unsigned flags) {
        std::printf("message box: %s: %s\n", caption.c_str(), t.c_str());
        std::fflush(stdout);
        return MessageBoxButtons(flags).front().Id;
    };
    Shot shot(session);
    // What a handler throws is reported where it happened, and the script goes on.
    Application->OnException = [&shot](TObject*, Exception& e) {
        shot.ReportAddresses();
        std::printf("exception: %s\n", e.Message().c_str());
        std::fflush(stdout);
    };
    TCustomForm* form = nullptr;
    std::string notice;
    try {
        form = shot.Load(text, notice);
    } catch (const Exception& e) {
        std::fprintf(stderr, "formshot: %s: %s\n", o.form.c_str(), e.what());
        Application->OnException.Clear();
        return 1;
    }
    if (!notice.empty()) std::fprintf(stderr, "formshot: %s: %s\n", o.form.c_str(), notice.c_str());
    int status = 0;
    // Tracing ends with the script: the form's own destruction is not part of the run.
    auto tracing = std::make_shared<bool>(true);
    try {
        form->Show();
        session.Pump();
        if (o.trace)
            TraceEvents(form, [tracing, &shot](const std::string& line) {
                if (!*tracing) return;
                // Addresses opened before this event was raised come first: the output keeps
                // the order in which things happened.
                shot.ReportAddresses();
                std::printf("%s\n", line.c_str());
                std::fflush(stdout);
            });
        shot.Run(commands);
        if (!o.png.empty()) shot.SavePicture(o.png);
        if (o.dump || o.dumpAll) std::fputs(WriteForm(form, o.dumpAll).c_str(), stdout);
    } catch (const Exception& e) {
        std::fprintf(stderr, "formshot: %s\n", e.what());
        status = 1;
    }
    *tracing = false;
    Application->OnMessageBox = nullptr;
    Application->OnException.Clear();
    Application->DestroyComponents();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return FormShot(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "formshot: %s\n%s", e.what(), kUsage);
        return 2;
    }
}

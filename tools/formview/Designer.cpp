#include "tools/formview/Designer.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Clipbrd.h"
#include "lumivane/framework/Control.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "lumivane/windows/Input.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/Inspector.h"
#include "tools/formview/MenuEditor.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

constexpr UINT WM_DESIGN_REFRESH = WM_APP + 7;
constexpr UINT WM_DESIGN_SAVED = WM_APP + 8;
constexpr const char* kWatchClass = "FormDesignWatch";
constexpr size_t kMaxLayoutSize = 16u << 20;
constexpr int kDragStart = 3;  // pixels the pointer goes before a press becomes a drag

int Snap(int v, bool free) {
    if (free) return v;
    const int g = TDesigner::Grid;
    return v >= 0 ? (v + g / 2) / g * g : -((-v + g / 2) / g * g);
}

bool Down(int vk) { return GetKeyState(vk) < 0; }

// A text edit has an undo of its own for Ctrl+Z.
bool IsTextEdit(HWND hwnd) {
    char name[8] = {};
    return hwnd && GetClassNameA(hwnd, name, sizeof name) == 4 && strcasecmp(name, "EDIT") == 0;
}

bool IsHistoryKey(WPARAM vk) { return vk == 'Z' || vk == 'z' || vk == 'Y' || vk == 'y'; }

}  // namespace

TDesigner::TDesigner(std::string path) : FPath(std::move(path)) {
    FModel.OnRootGoing = [this] { RootGoing(); };
    FModel.OnRootChanged = [this] { RootCame(); };
}

TDesigner::~TDesigner() {
    FModel.OnRootGoing = nullptr;
    FModel.OnRootChanged = nullptr;
    FSurface.Clear();
    if (FWatch) NotifyReadable(FWatch->Fd(), nullptr, 0);
    if (FWatchWindow && IsWindow(FWatchWindow)) DestroyWindow(FWatchWindow);
}

bool TDesigner::Open() {
    try {
        std::vector<uint8_t> bytes = ReadRegularFileBytes(FPath, kMaxLayoutSize);
        FInspector = std::make_unique<TInspector>(*this);
        FMenuEditor = std::make_unique<TMenuEditor>(*this);
        FModel.Load(std::string(bytes.begin(), bytes.end()));
    } catch (const Exception& e) {
        std::fprintf(stderr, "formview: %s: %s\n", FPath.c_str(), e.Message().c_str());
        return false;
    }
    FWatch = std::make_unique<TLayoutWatch>(FPath);
    // Its notification is taken from the loop (Filter), not by the window's procedure.
    FWatchWindow = MakeWatchWindow(kWatchClass, DefWindowProcA);
    NotifyReadable(FWatch->Fd(), FWatchWindow, WM_DESIGN_SAVED);
    // The inspector stands to the right of the form, within the screen.
    TCustomForm* form = FModel.Root();
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    const int x = std::min(form->Left() + form->Width() + 8, screen - TInspector::Width - 8);
    FInspector->Form()->SetBounds(std::max(0, x), 0, FInspector->Form()->Width(), FInspector->Form()->Height());
    FInspector->Form()->SetPosition(poDesigned);
    TCustomForm* menus = FMenuEditor->Form();
    menus->SetBounds(8, std::max(0, GetSystemMetrics(SM_CYSCREEN) - menus->Height() - 40), menus->Width(), menus->Height());
    menus->SetPosition(poDesigned);
    return true;
}

int TDesigner::Run() {
    // The layout's hints are the program's, not the designer's.
    Application->SetShowHint(false);
    FInspector->Form()->Show();
    Edited();
    while (!Application->Terminated()) {
        MSG m;
        if (!GetMessageA(&m, nullptr, 0, 0)) break;
        if (Filter(m)) continue;
        TranslateMessage(&m);
        try {
            DispatchMessageA(&m);
        } catch (...) {
            Application->HandleCurrentException(nullptr);
        }
    }
    return 0;
}

bool TDesigner::OnForm(HWND hwnd) const {
    TCustomForm* form = FModel.Root();
    if (!form || !form->HandleAllocated() || !hwnd) return false;
    return hwnd == form->Handle() || IsChild(form->Handle(), hwnd);
}

bool TDesigner::Filter(const MSG& m) {
    try {
        if (m.message == WM_DESIGN_REFRESH && !m.hwnd) {
            FRefreshPosted = false;
            FInspector->Refresh();
            FMenuEditor->Refresh();
            return true;
        }
        if (m.message == WM_DESIGN_SAVED && m.hwnd == FWatchWindow) {
            FileChanged();
            return true;
        }
        const bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL), alt = Down(VK_MENU);
        if (m.message == WM_KEYDOWN && ctrl && (m.wParam == 'S' || m.wParam == 's')) {
            Save();  // from either window
            return true;
        }
        // Undo and redo from any of the designer's windows (the menu window, the inspector's lists),
        // except in a text edit, where they undo the typing.
        if (m.message == WM_KEYDOWN && ctrl && IsHistoryKey(m.wParam) && !OnForm(m.hwnd) && !IsTextEdit(m.hwnd)) {
            Key(unsigned(m.wParam), shift, ctrl, alt);
            return true;
        }
        if (!OnForm(m.hwnd)) return false;
        TPoint p{m.pt.x - FModel.Root()->ClientOrigin().x, m.pt.y - FModel.Root()->ClientOrigin().y};
        switch (m.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            MouseDown(p, m.hwnd, shift);
            return true;
        case WM_MOUSEMOVE:
            MouseMove(p, alt);
            return true;
        case WM_LBUTTONUP: MouseUp(p, alt); return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
        case WM_CHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_SYSCHAR: return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: Key(unsigned(m.wParam), shift, ctrl, alt || m.message == WM_SYSKEYDOWN); return true;
        default: return false;
        }
    } catch (const Exception& e) {
        FInspector->SetStatus(e.Message(), true);
        return true;
    }
}

std::vector<TComponent*> TDesigner::SelectedComponents() const {
    std::vector<TComponent*> out;
    for (const std::string& n : FModel.Selection)
        if (TComponent* c = FModel.Find(n); c && c != FModel.Root()) out.push_back(c);
    return out;
}

std::vector<TControl*> TDesigner::SelectedControls() const {
    std::vector<TControl*> out;
    for (const std::string& n : FModel.Selection)
        if (auto* c = dynamic_cast<TControl*>(FModel.Find(n)); c && c != FModel.Root()) out.push_back(c);
    return out;
}

void TDesigner::MouseDown(TPoint p, HWND hwnd, bool shift) {
    SetActiveWindow(FModel.Root()->Handle());
    // The drag goes on over disabled controls, which would swallow the pointer's input.
    SetCapture(FModel.Root()->Handle());
    FDown = p;
    if (FArmed) {
        TWinControl* host = FSurface.ContainerAt(p, {});
        const TRect r = host == FModel.Root() ? TRect{} : FSurface.FormRect(host);
        TClass cls = FArmed;
        FArmed = nullptr;
        const std::string name = AddComponent(FModel, cls, host == FModel.Root() ? "" : host->Name(),
                                              Snap(p.x - r.Left, false), Snap(p.y - r.Top, false));
        Select({name});
        Edited();
        return;
    }
    // Under the capture the handle is found by the point.
    FHandle = FSurface.HandleAt(hwnd);
    if (FHandle < 0) FHandle = FSurface.HandleAtPoint(p);
    if (FHandle >= 0) {
        FDrag = TDrag::Sizing;
    } else if (TComponent* c = FSurface.ComponentAt(p)) {
        std::vector<std::string> sel = FModel.Selection;
        auto at = std::find(sel.begin(), sel.end(), c->Name());
        const bool was = at != sel.end();
        if (shift && was)
            sel.erase(at);
        else if (shift)
            sel.push_back(c->Name());
        else if (!was)
            sel = {c->Name()};
        Select(sel);
        // Shift taking a control out of the selection drags nothing.
        FDrag = shift && was ? TDrag::None : TDrag::Pending;
    } else {
        if (!shift) Select({});
        FDrag = TDrag::Banding;
    }
    FStart.clear();
    for (TComponent* c : SelectedComponents())
        FStart.push_back(dynamic_cast<TControl*>(c) ? static_cast<TControl*>(c)->BoundsRect() : FSurface.DesignRect(c));
}

void TDesigner::MouseMove(TPoint p, bool free) {
    const int dx = p.x - FDown.x, dy = p.y - FDown.y;
    if (FDrag == TDrag::Pending && (std::abs(dx) >= kDragStart || std::abs(dy) >= kDragStart)) FDrag = TDrag::Moving;
    std::vector<TComponent*> sel = SelectedComponents();
    if (FDrag == TDrag::Moving && sel.size() == FStart.size()) {
        for (size_t i = 0; i < sel.size(); ++i) {
            const TRect& s = FStart[i];
            const int left = Snap(s.Left + dx, free), top = Snap(s.Top + dy, free);
            if (auto* control = dynamic_cast<TControl*>(sel[i])) {
                control->SetBounds(left, top, s.Width(), s.Height());
            } else {
                sel[i]->SetDesignLeft(left);
                sel[i]->SetDesignTop(top);
            }
        }
        FSurface.ShowIcons();
        FSurface.ShowSelection();
    } else if (auto* first = sel.empty() ? nullptr : dynamic_cast<TControl*>(sel[0]);
               FDrag == TDrag::Sizing && first && !FStart.empty()) {
        TRect r = FStart[0];
        // Handles from the top left, clockwise: which edges each one moves.
        const bool left = FHandle == 0 || FHandle == 6 || FHandle == 7, right = FHandle >= 2 && FHandle <= 4;
        const bool top = FHandle <= 2, bottom = FHandle >= 4 && FHandle <= 6;
        if (left) r.Left = std::min(Snap(r.Left + dx, free), r.Right - 1);
        if (right) r.Right = std::max(Snap(r.Right + dx, free), r.Left + 1);
        if (top) r.Top = std::min(Snap(r.Top + dy, free), r.Bottom - 1);
        if (bottom) r.Bottom = std::max(Snap(r.Bottom + dy, free), r.Top + 1);
        first->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        FSurface.ShowSelection();
    } else if (FDrag == TDrag::Banding) {
        FSurface.ShowBand(FDown, p);
    }
}

void TDesigner::MouseUp(TPoint p, bool free) {
    // The pointer's last moves may have come with the release.
    MouseMove(p, free);
    const TDrag drag = FDrag;
    FDrag = TDrag::None;
    if (GetCapture() == FModel.Root()->Handle()) ReleaseCapture();
    if (drag == TDrag::Moving) {
        Reparent(p);
        FModel.CommitLive();
        Edited();
    } else if (drag == TDrag::Sizing) {
        FModel.CommitLive();
        Edited();
    } else if (drag == TDrag::Banding) {
        FSurface.ShowBand({}, {});
        const TRect band{std::min(FDown.x, p.x), std::min(FDown.y, p.y), std::max(FDown.x, p.x), std::max(FDown.y, p.y)};
        std::vector<std::string> sel = FModel.Selection;
        for (int i = 0; i < FModel.Root()->ComponentCount(); ++i) {
            TComponent* c = FModel.Root()->Components(i);
            const TRect r = FSurface.DesignRect(c);
            if (r.Width() == 0) continue;
            const bool touches = r.Left < band.Right && band.Left < r.Right && r.Top < band.Bottom && band.Top < r.Bottom;
            // What a selected control holds moves with it: only the outermost ones touched.
            auto* control = dynamic_cast<TControl*>(c);
            const bool inner = control && control->Parent() && control->Parent() != FModel.Root() &&
                               FSurface.FormRect(control->Parent()).Left >= band.Left;
            if (touches && !inner && std::find(sel.begin(), sel.end(), c->Name()) == sel.end()) sel.push_back(c->Name());
        }
        Select(sel);
    }
}

void TDesigner::Reparent(TPoint drop) {
    std::vector<TControl*> sel = SelectedControls();
    TWinControl* host = FSurface.ContainerAt(drop, sel);
    for (TControl* c : sel) {
        if (c->Parent() == host) continue;
        const TRect now = FSurface.FormRect(c);
        const TRect base = host == FModel.Root() ? TRect{} : FSurface.FormRect(host);
        c->SetParent(host);
        c->SetBounds(now.Left - base.Left, now.Top - base.Top, now.Width(), now.Height());
    }
}

void TDesigner::Key(unsigned vk, bool shift, bool ctrl, bool alt) {
    const std::vector<std::string> sel = FModel.Selection;
    if (ctrl && (vk == 'Z' || vk == 'z')) {
        if (shift ? FModel.Redo() : FModel.Undo()) Edited();
    } else if (ctrl && (vk == 'Y' || vk == 'y')) {
        if (FModel.Redo()) Edited();
    } else if (ctrl && (vk == 'C' || vk == 'c')) {
        if (!sel.empty()) Clipboard()->SetAsText(CopyComponents(FModel, sel));
    } else if (ctrl && (vk == 'V' || vk == 'v')) {
        const std::string host = sel.size() == 1 ? sel.front() : "";
        Select(PasteComponents(FModel, Clipboard()->AsText(), host));
        Edited();
    } else if (vk == VK_DELETE) {
        if (DeleteComponents(FModel, sel)) {
            Select({});
            Edited();
        }
    } else if (vk == VK_TAB) {
        std::vector<std::string> names = FModel.Names();
        names.erase(names.begin());  // the form
        if (names.empty()) return;
        auto at = sel.empty() ? names.end() : std::find(names.begin(), names.end(), sel.front());
        size_t i = at == names.end() ? (shift ? names.size() - 1 : 0)
                                     : (size_t(at - names.begin()) + (shift ? names.size() - 1 : 1)) % names.size();
        Select({names[i]});
    } else if (vk == VK_ESCAPE) {
        Select({});
    } else if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN) {
        const int dx = vk == VK_LEFT ? -1 : vk == VK_RIGHT ? 1 : 0, dy = vk == VK_UP ? -1 : vk == VK_DOWN ? 1 : 0;
        if (shift ? ResizeComponents(FModel, sel, dx, dy) : MoveComponents(FModel, sel, dx, dy)) Edited();
    } else if (alt) {
        const struct {
            unsigned Key;
            TLineUp How;
        } keys[] = {{'L', TLineUp::Left}, {'T', TLineUp::Top}, {'C', TLineUp::HorzCentre},
                    {'H', TLineUp::SpaceHorz}, {'V', TLineUp::SpaceVert}};
        for (const auto& k : keys)
            if ((vk == k.Key || vk == k.Key + 32) && AlignComponents(FModel, sel, k.How)) Edited();
    }
}

void TDesigner::Select(std::vector<std::string> names) {
    FModel.Selection = std::move(names);
    FSurface.ShowSelection();
    PostRefresh();
}

void TDesigner::PostRefresh() {
    if (FRefreshPosted) return;
    FRefreshPosted = true;
    PostMessageA(nullptr, WM_DESIGN_REFRESH, 0, 0);
}

void TDesigner::Edited() {
    FSurface.ShowIcons();
    FSurface.ShowSelection();
    std::string name = FPath.substr(FPath.rfind('/') == std::string::npos ? 0 : FPath.rfind('/') + 1);
    FInspector->SetTitle((FModel.Modified() ? "*" : "") + name + " - formview designer");
    PostRefresh();
}

std::string TDesigner::SetProperty(const std::string& component, const std::string& path, const std::string& text) {
    try {
        SetPropertyText(FModel, component, path, text);
    } catch (const Exception& e) {
        return e.Message();
    }
    Edited();
    return {};
}

void TDesigner::Changed(std::vector<std::string> select, bool edited) {
    Select(std::move(select));
    if (edited) Edited();
}

void TDesigner::Arm(TClass cls) {
    FArmed = cls;
    FInspector->SetStatus("Click on the form to put a " + cls->Name() + " there.");
}

void TDesigner::Save() {
    try {
        FModel.Save(FPath);
        FInspector->SetStatus("Saved " + FPath);
    } catch (const Exception& e) {
        FInspector->SetStatus(e.Message(), true);
    }
    Edited();
}

bool TDesigner::MayDiscard(const std::string& what) {
    if (!FModel.Modified()) return true;
    return Application->MessageBox("The layout has changes that are not saved. " + what + " and lose them?",
                                   "formview", MB_YESNO) == IDYES;
}

void TDesigner::FileChanged() {
    const int changes = FWatch->TakeChanges();
    NotifyReadable(FWatch->Fd(), FWatchWindow, WM_DESIGN_SAVED);
    if (!(changes & (TLayoutWatch::Saved | TLayoutWatch::FolderBack))) return;
    std::string text;
    try {
        std::vector<uint8_t> bytes = ReadRegularFileBytes(FPath, kMaxLayoutSize);
        text.assign(bytes.begin(), bytes.end());
    } catch (const Exception&) {
        return;  // gone for now: the next save brings it back
    }
    const TDesignModel::TDiskChange change = FModel.DiskChanged(text);
    if (change == TDesignModel::TDiskChange::Own) return;
    if (change == TDesignModel::TDiskChange::Ask && !MayDiscard("The file changed on disk: load it")) return;
    try {
        FModel.Load(text);
        Edited();
        FInspector->SetStatus("Loaded again: the file changed on disk");
    } catch (const Exception& e) {
        FInspector->SetStatus("The file changed on disk and does not load: " + e.Message(), true);
    }
}

void TDesigner::RootGoing() { FSurface.Clear(); }

void TDesigner::RootCame() {
    FModel.Root()->Show();
    FSurface.TakeInput();
    FSurface.ShowIcons();
    FSurface.ShowSelection();
}

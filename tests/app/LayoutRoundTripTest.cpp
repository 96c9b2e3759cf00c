// Every class a layout may name, walked from the class registry: what a fresh one writes, and
// every published value written, read back and written again unchanged. A class registered
// later is walked the same way; only the table of what a fresh one writes needs its line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Menu.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"
#include "tools/ToolClasses.h"

using namespace lumivane;

namespace {

// A property reached from the component, through nested objects (Font.Color).
struct PropPath {
    std::string Name;  // dotted
    std::vector<const TPropInfo*> Chain;
    TObject* Owner(TObject* c) const {
        for (size_t i = 0; i + 1 < Chain.size(); ++i) c = Chain[i]->GetObject(c);
        return c;
    }
    const TPropInfo& Leaf() const { return *Chain.back(); }
};

void CollectPaths(TObject* obj, const std::string& prefix, std::vector<const TPropInfo*> chain,
                  std::vector<PropPath>& out) {
    for (const auto& p : obj->ClassType()->Properties()) {
        std::vector<const TPropInfo*> c = chain;
        c.push_back(p.get());
        if (p->Kind == TPropKind::Object) {
            if (TPersistent* nested = p->GetObject(obj)) CollectPaths(nested, prefix + p->Name + ".", c, out);
        } else if (p->Kind != TPropKind::Event) {
            out.push_back({prefix + p->Name, c});
        }
    }
}

// A small picture's stored data, for the binary properties.
[[maybe_unused]] TBytes PictureBytes() {
    TBitmap bmp;
    bmp.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) bmp.Pixels().Set(x, y, ColorToPixel(RGB(x * 80, y * 90, 7)));
    TPicture pic;
    pic.Assign(&bmp);
    return pic.Data();
}

// The value of a property as the layout would give it (for messages and comparisons).
[[maybe_unused]] std::string ValueOf(TObject* obj, const PropPath& path) {
    TObject* o = path.Owner(obj);
    const TPropInfo& p = path.Leaf();
    switch (p.Kind) {
    case TPropKind::String:
        return "'" + p.GetStr(o) + "'";
    case TPropKind::Binary: {
        std::string hex = "{";
        for (uint8_t b : p.GetBinary(o)) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
        return hex + "}";
    }
    case TPropKind::Component: {
        TComponent* c = p.GetComponent(o);
        return c ? c->Name() : "nil";
    }
    default:
        return std::to_string(p.GetOrd(o));
    }
}

}  // namespace


// A class's instance in a layout of its own: a form is the root itself; a menu item sits in a
// popup menu; anything else is a child of a plain windowed root.
struct Placed {
    std::unique_ptr<TComponent> Root;
    TComponent* Instance = nullptr;
};

Placed Place(TClass cls) {
    Placed p;
    if (cls->InheritsFrom(TCustomForm::StaticClass())) {
        TCustomForm::SuppressResourceLayouts(true);  // the layout under test is the only one
        p.Root.reset(CreateComponent(cls, nullptr));
        TCustomForm::SuppressResourceLayouts(false);
        p.Root->SetName("C");
        p.Instance = p.Root.get();
        return p;
    }
    p.Root = std::make_unique<TWinControl>(nullptr);
    p.Root->SetName("Host");
    p.Instance = CreateComponent(cls, p.Root.get());
    p.Instance->SetName("C");
    TComponent* parent = p.Root.get();
    if (cls->InheritsFrom(TMenuItem::StaticClass())) {
        parent = new TPopupMenu(p.Root.get());
        parent->SetName("M");
    }
    p.Instance->SetParentComponent(parent);
    return p;
}

// A form class whose fields a layout must fill (the notice window, the gallery) cannot be read
// from a layout of its own properties alone; its properties are the plain form's, tried there.
bool FillsFields(TClass cls) {
    for (TClass k = cls; k; k = k->Parent())
        if (!k->Fields().empty()) return true;
    return false;
}

Placed ReadBack(TClass cls, const std::string& text) {
    Placed p = cls->InheritsFrom(TCustomForm::StaticClass()) ? Place(cls) : Placed{std::make_unique<TWinControl>(nullptr)};
    if (p.Instance) p.Instance->SetName("");
    ReadForm(p.Root.get(), text);
    p.Instance = p.Instance ? p.Instance : p.Root->FindComponent("C");
    return p;
}

// The values a round trip tries for one property: its default, its ends, every member.
// The lines the instance named C writes for itself, but for its place and size (which follow the
// font for controls that size themselves), joined by "; ".
std::string OwnLines(const std::string& text, TClass cls) {
    const bool form = cls->InheritsFrom(TCustomForm::StaticClass());
    std::istringstream in(text);
    std::string line, out;
    int depth = 0;
    bool inside = false;
    while (std::getline(in, line)) {
        const size_t indent = line.find_first_not_of(' ');
        const std::string body = line.substr(indent);
        // Anything nested in the instance counts as its own: its parts must not be written.
        if (body.rfind("object ", 0) == 0) {
            ++depth;
            if (inside) out += (out.empty() ? "" : "; ") + body;
            inside = inside || (form ? depth == 1 : body.rfind("object C:", 0) == 0);
            continue;
        }
        if (body == "end") {
            --depth;
            if (inside && depth < (form ? 1 : 2)) inside = false;
            continue;
        }
        if (!inside) continue;
        static const std::regex place(R"(^(Left|Top|Width|Height) = .*)");
        if (std::regex_match(body, place)) continue;
        out += (out.empty() ? "" : "; ") + body;
    }
    return out;
}

// Whether the writer leaves the value out as the property's declared default.
bool AtDeclaredDefault(const TPropInfo& p, TObject* o) {
    switch (p.Kind) {
    case TPropKind::String:
        return p.StrDefault && p.GetStr(o) == *p.StrDefault;
    case TPropKind::Binary:
    case TPropKind::Component:
    case TPropKind::Object:
    case TPropKind::Event:
        return false;
    default:
        return p.OrdDefault && p.GetOrd(o) == *p.OrdDefault;
    }
}

// A trial sets the property of an object of a fresh layout (its root given for references). The
// ends of a number's range may meet a limit of the layout as a whole (a form's largest client
// area): there a clear error on reading is as good as the value back.
struct Trial {
    std::function<void(TObject*, TComponent* root)> Set;
    bool AtEnd = false;
};

std::vector<Trial> Trials(const TPropInfo& p, TObject* o) {
    std::vector<Trial> out;
    auto ord = [&](int64_t v) {
        if (v >= p.MinOrd() && v <= p.MaxOrd())
            out.push_back({[&p, v](TObject* t, TComponent*) { p.SetOrd(t, v); },
                           (p.Kind == TPropKind::Int32 || p.Kind == TPropKind::Int64) &&
                               (v == p.MinOrd() || v == p.MaxOrd())});
    };
    auto str = [&](std::string v) { out.push_back({[&p, v](TObject* t, TComponent*) { p.SetStr(t, v); }}); };
    switch (p.Kind) {
    case TPropKind::Bool:
        ord(0), ord(1);
        break;
    case TPropKind::Int32:
    case TPropKind::Int64:
        ord(p.GetOrd(o) + 1), ord(p.MinOrd()), ord(p.MaxOrd());
        break;
    case TPropKind::Enum:
        for (int64_t v = 0; v <= p.MaxOrd(); ++v) ord(v);
        break;
    case TPropKind::Set:
        ord(0), ord(p.MaxOrd());
        for (size_t m = 0; m < p.Members.size() && m < 32; ++m) ord(int64_t{1} << m);
        break;
    case TPropKind::Color:
        ord(clRed), ord(0x123456), ord(clDefault), ord(clNone);
        break;
    case TPropKind::Cursor:
        ord(crHandPoint), ord(0), ord(-7);
        break;
    case TPropKind::String:
        str(""), str("It's Lumivane ä Ω я 漢 😀 e\u0301 #128 \u0080");
        break;
    case TPropKind::Binary:
        out.push_back({[&p](TObject* t, TComponent*) { p.SetBinary(t, PictureBytes()); }});
        out.push_back({[&p](TObject* t, TComponent*) { p.SetBinary(t, {}); }});
        break;
    case TPropKind::Component:
        out.push_back({[&p](TObject* t, TComponent* root) {
            TComponent* ref = CreateComponent(p.ComponentClass(), root);
            ref->SetName("Ref");
            p.SetComponent(t, ref);
        }});
        break;
    default:
        break;
    }
    if (p.OrdDefault) ord(*p.OrdDefault);
    if (p.StrDefault) str(*p.StrDefault);
    return out;
}

class LayoutRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Application->Initialize();
        RegisterToolClasses();
    }
    HeadlessSession session;
};

std::string At(const char* path, int64_t value) { return std::string(path) + " = " + std::to_string(value); }

// Declared defaults that the constructor sets otherwise, on purpose: the writer leaves them out,
// so the property set to one reads back as the constructor's value.
const std::set<std::string> kConstructorOverridesDefault = {
    At("TEdit.ParentColor", 1),         At("TImButton.AnimateSpeed", 0),     At("TImButton.Color", clWindow),
    At("TImButton.Cursor", crDefault),  At("TImButton.HotTextColor", clBlack), At("TImButton.ParentColor", 1),
    At("TImButton.Spacing", 0),         At("TKdUpDownEdit.AutoSelect", 0),   At("TKdUpDownEdit.HideSelection", 0),
    At("TKdUpDownEdit.ImeMode", 0),     At("TKdUpDownEdit.ParentColor", 1),  "TKdUpDownEdit.Text = ''",
    At("TKdUrlLabel.Cursor", crDefault), At("TKdUrlLabel.Font.Color", clWindowText), At("TKdUrlLabel.Font.Style", 0),
    At("TKdUrlLabel.ParentFont", 1),    At("TKdUrlLabel.Transparent", 0),    At("TValidateEdit.AutoSelect", 0),
    At("TValidateEdit.HideSelection", 0), At("TValidateEdit.ImeMode", 0),    At("TValidateEdit.ParentColor", 1),
};

// Each value of each published property, nested ones included, set alone on an instance: the
// layout written for it reads back to the same value and is written again unchanged. Only the
// declared defaults above come back otherwise. So a declared default that is not the property's
// real one, a value the reader refuses, or one undone by another applied after it, all show.
TEST_F(LayoutRoundTrip, EveryPublishedValueReadsBack) {
    int trials = 0;
    std::set<std::string> overridden;
    for (TClass cls : RegisteredClasses()) {
        if (!cls->Creator() || !cls->InheritsFrom(TComponent::StaticClass()) || FillsFields(cls)) continue;
        // The instances start as loaded from their own fresh layout: a control that sizes itself
        // to its content does so when loaded, not when constructed.
        const std::string fresh = WriteForm(Place(cls).Root.get());
        Placed proto = ReadBack(cls, fresh);
        std::vector<PropPath> paths;
        CollectPaths(proto.Instance, "", {}, paths);
        auto* label = dynamic_cast<TCustomLabel*>(proto.Instance);
        for (const PropPath& path : paths) {
            // A label that sizes itself to its caption takes its size again when loaded.
            if ((path.Name == "Width" || path.Name == "Height") && label && label->AutoSize()) continue;
            for (const Trial& trial : Trials(path.Leaf(), path.Owner(proto.Instance))) {
                Placed a = ReadBack(cls, fresh);
                try {
                    trial.Set(path.Owner(a.Instance), a.Root.get());
                } catch (const Exception&) {
                    continue;  // a value the setter itself refuses
                }
                ++trials;
                const bool stored = !AtDeclaredDefault(path.Leaf(), path.Owner(a.Instance));
                const std::string held = ValueOf(a.Instance, path), text = WriteForm(a.Root.get());
                const std::string where = cls->Name() + "." + path.Name + " = " + held + "\n" + text;
                try {
                    Placed b = ReadBack(cls, text);
                    ASSERT_NE(b.Instance, nullptr) << where;
                    const std::string back = ValueOf(b.Instance, path);
                    if (back == held) {
                        EXPECT_EQ(WriteForm(b.Root.get()), text) << where;
                    } else {
                        // Only a declared default on the list may come back as the constructor's value.
                        const std::string key = cls->Name() + "." + path.Name + " = " + held;
                        EXPECT_TRUE(!stored && kConstructorOverridesDefault.count(key)) << where;
                        EXPECT_EQ(back, ValueOf(proto.Instance, path)) << where;
                        overridden.insert(key);
                    }
                } catch (const Exception& e) {
                    if (!trial.AtEnd) ADD_FAILURE() << e.what() << "\n" << where;
                }
            }
        }
    }
    EXPECT_GT(trials, 1000);
    EXPECT_EQ(overridden, kConstructorOverridesDefault);
}

// What a new instance writes for itself, class by class: a declared default that is not what the
// constructor sets is written for every instance (TImButton's Spacing and AnimateSpeed are so on
// purpose). A class registered later needs its line here.
TEST_F(LayoutRoundTrip, AFreshInstanceWritesOnlyWhatDiffersFromItsDeclaredDefaults) {
    const std::map<std::string, std::string> expected = {
        {"TButton", "TabOrder = 0"},
        {"TEdit", "Color = clWindow; ParentColor = False; TabOrder = 0"},
        {"TPanel", "Color = clBtnFace; TabOrder = 0"},
        {"TForm", "Color = clBtnFace; OldCreateOrder = False; PixelsPerInch = 96; TextHeight = 13"},
        {"TImButton", "Cursor = crHandPoint; TabOrder = 0; AnimateSpeed = 200; Spacing = 2; Color = clBtnFace; "
                      "ParentColor = False; HotTextColor = clBlue"},
        {"TImPanel", "Color = clBtnFace; TabOrder = 0"},
        {"TKdUrlLabel", "Cursor = crHandPoint; TextColor = clBlue; HotTextColor = clRed; Font.Color = clBlue; "
                        "Font.Style = [fsUnderline]; ParentFont = False; Transparent = True"},
        {"TMain", "Color = clBtnFace; OldCreateOrder = False; PixelsPerInch = 96; TextHeight = 13"},
        {"TValidateEdit", "AutoSelect = True; HideSelection = True; ImeMode = imDontCare; ParentColor = False; TabOrder = 0"},
        {"TKdUpDownEdit", "ValidateType = vtInteger; AutoSelect = True; HideSelection = True; ImeMode = imDontCare; "
                          "ParentColor = False; TabOrder = 0; Text = '0'"},
        {"TGallery", "Color = clBtnFace; OldCreateOrder = False; PixelsPerInch = 96; TextHeight = 13"},
    };
    // Classes that write nothing of their own.
    const std::set<std::string> silent = {"TControl", "TWinControl", "TGraphicControl", "TCustomControl", "TCustomLabel",
                                          "TLabel", "TButtonControl", "TCustomEdit", "TTimer", "TMenuItem", "TMenu",
                                          "TPopupMenu", "TImage", "TCustomPanel", "TCustomForm", "TImImage",
                                          "TKdBackImage"};
    for (TClass cls : RegisteredClasses()) {
        if (!cls->Creator() || !cls->InheritsFrom(TComponent::StaticClass())) continue;
        const std::string own = OwnLines(WriteForm(Place(cls).Root.get()), cls);
        auto e = expected.find(cls->Name());
        if (e != expected.end())
            EXPECT_EQ(own, e->second) << cls->Name();
        else
            EXPECT_TRUE(silent.count(cls->Name()) && own.empty()) << "{\"" << cls->Name() << "\", \"" << own << "\"}";
    }
}

// A number beyond what a property holds, or a name that is none of its members, is an error of
// the layout, never a value quietly cut to fit.
TEST_F(LayoutRoundTrip, AValueOutsideAPropertysRangeIsRefused) {
    int refused = 0;
    for (TClass cls : RegisteredClasses()) {
        if (!cls->Creator() || !cls->InheritsFrom(TComponent::StaticClass()) || FillsFields(cls)) continue;
        const std::string fresh = WriteForm(Place(cls).Root.get());
        Placed proto = ReadBack(cls, fresh);
        std::vector<PropPath> paths;
        CollectPaths(proto.Instance, "", {}, paths);
        // The instance's own lines start after its header (a form's after the first line).
        const size_t header = cls->InheritsFrom(TCustomForm::StaticClass()) ? 0 : fresh.find("object C:");
        const size_t at = fresh.find('\n', header) + 1;
        for (const PropPath& path : paths) {
            const TPropInfo& p = path.Leaf();
            std::vector<std::string> bad;
            switch (p.Kind) {
            case TPropKind::Enum:
            case TPropKind::Bool:
                bad.push_back("NoSuchMember");
                [[fallthrough]];
            case TPropKind::Int32:
            case TPropKind::Int64:
            case TPropKind::Color:
            case TPropKind::Cursor:
                bad.push_back(p.MaxOrd() < INT64_MAX ? std::to_string(p.MaxOrd() + 1) : "9223372036854775808");
                if (p.MinOrd() > INT64_MIN) bad.push_back(std::to_string(p.MinOrd() - 1));
                break;
            default:
                break;
            }
            for (const std::string& value : bad) {
                const std::string text = fresh.substr(0, at) + path.Name + " = " + value + "\n" + fresh.substr(at);
                EXPECT_THROW(ReadBack(cls, text), Exception) << cls->Name() << "." << path.Name << " = " << value;
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 500);
}

// The reader applies values in published order, so where one value changes another the order is
// part of the layout: a look before the colours it resets, a kind before the set it fills.
TEST_F(LayoutRoundTrip, PublishedOrderWhereOneValueChangesAnother) {
    const std::map<std::string, std::vector<std::string>> orders = {
        {"TLabel", {"Caption", "Font", "ParentFont", "Transparent"}},
        {"TImButton", {"Animated", "FocusRect", "Looks", "Colors", "Picture", "PictureCount"}},
        {"TImImage", {"Picture", "IsBkgnd", "SelPicture"}},
        {"TImPanel", {"BevelOuter", "KeepSelStatus"}},
        {"TKdUrlLabel", {"HotTextColor", "URLString", "Caption"}},
        {"TValidateEdit", {"ValidateType", "ValidateString"}},
        {"TKdUpDownEdit", {"Value", "MinValue", "MaxValue", "ValidateType", "ValidateString"}},
    };
    for (const auto& [name, order] : orders) {
        TClass cls = GetClass(name);
        ASSERT_NE(cls, nullptr) << name;
        std::vector<std::string> seen;
        for (const auto& p : cls->Properties())
            if (std::find(order.begin(), order.end(), p->Name) != order.end()) seen.push_back(p->Name);
        EXPECT_EQ(seen, order) << name;
    }
}

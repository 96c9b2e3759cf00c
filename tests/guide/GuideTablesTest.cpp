// The guide's property tables against the class registry (the build checks their accessors and
// types, see guidegen): each class's table lists, in published order, what the class publishes
// besides the properties every control shares, each with the value a new control has, and names
// its getter and setter after the property; the shared table names only what documented controls
// publish, and nothing a control publishes is left out of both.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "tests/SourceDir.h"
#include "tests/guide/GuideText.h"

using namespace lumivane;

namespace {

guide::Guide ReadGuide() {
    std::vector<uint8_t> bytes = ReadFileBytes(SourceDir() + "/docs/library.md", 1 << 20);
    return guide::Parse(std::string(bytes.begin(), bytes.end()));
}

// What a layout says for each property of a new instance: "Name = value" of --dump-all, for the
// component itself or (with a prefix) for one of its persistent objects.
std::map<std::string, std::string> Values(TComponent* c, const std::string& prefix) {
    std::map<std::string, std::string> out;
    std::istringstream in(WriteForm(c, true));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("  " + prefix, 0) != 0 || line[2 + prefix.size()] == ' ') continue;
        const size_t eq = line.find(" = ");
        if (eq == std::string::npos) continue;
        out[line.substr(2 + prefix.size(), eq - 2 - prefix.size())] = line.substr(eq + 3);
    }
    return out;
}

}  // namespace

TEST(GuideTables, EachTableIsWhatItsClassPublishes) {
    HeadlessSession session;
    ImButton::Register();
    ImImage::Register();
    ImPanel::Register();
    KdBackImage::Register();
    KdUpDownEdit::Register();
    KdUrlLabel::Register();
    ValidateEdit::Register();
    const guide::Guide g = ReadGuide();

    std::set<std::string> shared, published;
    std::map<std::string, const guide::Table*> tables;
    for (const guide::Table& t : g.tables) {
        if (t.cls == "Every control")
            for (const guide::Row& r : t.rows) shared.insert(r.property);
        else
            tables[t.cls] = &t;
    }
    ASSERT_FALSE(shared.empty()) << "no table of what every control publishes";

    // A persistent object's class (a colour set) is reached through a control that owns one.
    std::map<std::string, std::pair<std::string, std::string>> owners;  // class -> control, property
    for (auto& [cls, t] : tables)
        for (const guide::Row& r : t->rows)
            if (r.type.ends_with("*") && tables.count(r.type.substr(0, r.type.size() - 1)))
                owners.emplace(r.type.substr(0, r.type.size() - 1), std::pair{cls, r.property});

    for (auto& [name, t] : tables) {
        const bool component = !owners.count(name);
        TClass cls = GetClass(component ? name : owners[name].first);
        ASSERT_NE(cls, nullptr) << "docs/library.md:" << t->line << ": no registered class " << name;
        std::unique_ptr<TComponent> instance(CreateComponent(cls, nullptr));
        instance->SetName("C");
        const std::string prefix = component ? "" : owners[name].second + ".";
        const std::map<std::string, std::string> values = Values(instance.get(), prefix);
        TObject* object = instance.get();
        if (!component) object = cls->FindProperty(owners[name].second)->GetObject(instance.get());

        const auto& props = object->ClassType()->Properties();
        std::set<std::string> listed;
        if (!t->also.empty()) {
            ASSERT_TRUE(tables.count(t->also)) << "docs/library.md:" << t->line << ": no table of " << t->also;
            for (const guide::Row& r : tables[t->also]->rows) listed.insert(r.property);
        }
        size_t last = 0;
        for (const guide::Row& r : t->rows) {
            const std::string where = "docs/library.md:" + std::to_string(r.line) + ": " + name + "." + r.property;
            listed.insert(r.property);
            size_t at = 0;
            while (at < props.size() && !SameText(props[at]->Name, r.property)) ++at;
            ASSERT_LT(at, props.size()) << where << " is not published";
            EXPECT_TRUE(at >= last) << where << " stands out of published order";
            last = at;
            const TPropInfo& p = *props[at];
            const bool event = p.Kind == TPropKind::Event;
            const bool nested = p.Kind == TPropKind::Object || p.Kind == TPropKind::Component;
            EXPECT_EQ(guide::IsEvent(r), event) << where << ": an event's type ends in Event, a property's does not";
            if (event || nested)
                EXPECT_EQ(r.value, "—") << where << " has no value of its own";
            else
                EXPECT_EQ(r.value, values.count(p.Name) ? values.at(p.Name) : "?") << where << ": a new one's value";
            const std::vector<std::string> named =
                event ? std::vector<std::string>{p.Name} : std::vector<std::string>{p.Name + "()", "Set" + p.Name + "()"};
            ASSERT_GE(r.accessors.size(), named.size()) << where;
            EXPECT_EQ(std::vector<std::string>(r.accessors.begin(), r.accessors.begin() + named.size()), named)
                << where << ": the public accessors are named after the property";
        }
        if (!component) continue;
        for (const auto& p : props) {
            published.insert(p->Name);
            EXPECT_TRUE(listed.count(p->Name) || shared.count(p->Name))
                << name << " publishes " << p->Name << ", which neither its table nor the shared one lists";
        }
    }
    for (const std::string& s : shared) EXPECT_TRUE(published.count(s)) << "no documented control publishes " << s;
}

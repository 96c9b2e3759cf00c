// The bridge's object paths, read back from what another program sends.
#include <gtest/gtest.h>

#include <string>

#include "lumivane/accessibility/ObjectPath.h"

using namespace lumivane;

TEST(ObjectPath, OnlyThePathsTheBridgeGivesNameAnObject) {
    using K = TObjectPath;
    struct Case {
        std::string path;
        TObjectPath expected;
    };
    const Case cases[] = {
        {"/org/a11y/atspi/accessible/root", {K::Root, 0}},
        {"/org/a11y/atspi/accessible/1", {K::Control, 1}},
        {"/org/a11y/atspi/accessible/42", {K::Control, 42}},
        {"/org/a11y/atspi/accessible/999999999", {K::Control, 999999999}},
        {"/org/a11y/atspi/accessible/1000000000", {}},  // ten digits: never given
        {"/org/a11y/atspi/accessible/4294967297", {}},  // would wrap to 1
        {"/org/a11y/atspi/accessible/0", {}},
        {"/org/a11y/atspi/accessible/007", {}},
        {"/org/a11y/atspi/accessible/", {}},
        {"/org/a11y/atspi/accessible/-1", {}},
        {"/org/a11y/atspi/accessible/1a", {}},
        {"/org/a11y/atspi/accessible/1/2", {}},
        {"/org/a11y/atspi/accessible/rootx", {}},
        {"/org/a11y/atspi/accessible", {}},
        {"/org/a11y/atspi/null", {}},
        {"/org/a11y/atspi/cache", {}},
        {"", {}},
        {std::string("/org/a11y/atspi/accessible/1\0", 29), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ParseObjectPath(c.path), c.expected);
    }
}

TEST(ObjectPath, GivenPathsReadBack) {
    for (uint32_t id : {1u, 9u, 10u, 123456789u, 999999999u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(ParseObjectPath(ControlObjectPath(id)), (TObjectPath{TObjectPath::Control, id}));
    }
    EXPECT_EQ(ParseObjectPath(kRootObjectPath).Kind, TObjectPath::Root);
}

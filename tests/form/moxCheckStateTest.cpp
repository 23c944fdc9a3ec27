// The self-persisting check box's decisions, without a toolkit: the state it shows after
// loading, and what it stores when it goes.
#include <gtest/gtest.h>

#include <optional>

#include "RegistrySandbox.h"
#include "platform/Registry.h"
#include "settings/RegistryVariables.h"
#include "settings/moxCheckState.h"

namespace gridloom::test {
namespace {

class moxCheckState : public ::testing::Test {
protected:
    static std::optional<int32_t> Stored(const std::string& name) {
        TRegistry registry;
        if (!registry.OpenKey(SettingsKeyPath(), false) || !registry.ValueExists(name)) return std::nullopt;
        return registry.ReadInteger(name);
    }

    TRegistrySandbox Sandbox;
};

TEST_F(moxCheckState, AFirstRunShowsTheDesignStateAndTheChoiceIsStoredOnlyAtTheEnd) {
    TmoxCheckState box;
    box.SetNamedAs("ShowBoundaries");
    EXPECT_EQ(box.StoredState(), nullptr);
    EXPECT_TRUE(box.Loaded("CheckBoxShowBoundaries", true));
    EXPECT_EQ(Stored("ShowBoundaries"), std::nullopt);  // loading creates nothing
    box.Destroying(false);
    EXPECT_EQ(Stored("ShowBoundaries"), 0);
    EXPECT_EQ(box.StoredState(), nullptr);

    // The next start shows the stored state, not the design's; loading twice changes nothing.
    TmoxCheckState next;
    next.SetNamedAs("ShowBoundaries");
    EXPECT_FALSE(next.Loaded("CheckBoxShowBoundaries", true));
    const TRegistryBoolean* made = next.StoredState();
    EXPECT_TRUE(next.Loaded("CheckBoxShowBoundaries", true));  // the box's state stands
    EXPECT_EQ(next.StoredState(), made);
}

TEST_F(moxCheckState, TheNameIsNamedAsOrTheBoxsOwnAndIsFixedOnceLoaded) {
    {
        TmoxCheckState unnamed;
        unnamed.Loaded("CheckBoxShowBoundaries", true);
        EXPECT_EQ(unnamed.NamedAs(), "CheckBoxShowBoundaries");
        unnamed.Destroying(false);
    }
    {
        TmoxCheckState renamed;
        renamed.SetNamedAs("ShowBoundaries");
        renamed.Loaded("CheckBoxShowBoundaries", true);
        renamed.SetNamedAs("Elsewhere");
        renamed.Destroying(true);
    }
    EXPECT_EQ(Stored("CheckBoxShowBoundaries"), 0);
    EXPECT_EQ(Stored("ShowBoundaries"), 1);
    EXPECT_EQ(Stored("Elsewhere"), std::nullopt);
}

TEST_F(moxCheckState, ABoxBeingDesignedNeitherReadsNorStores) {
    { TRegistryBoolean stored("ShowBoundaries"); }  // stores false
    TmoxCheckState box;
    box.SetNamedAs("ShowBoundaries");
    box.SetDesigning(true);
    EXPECT_TRUE(box.Loaded("CheckBoxShowBoundaries", true));
    EXPECT_EQ(box.StoredState(), nullptr);
    box.Destroying(true);
    EXPECT_EQ(Stored("ShowBoundaries"), 0);
}

}  // namespace
}  // namespace gridloom::test

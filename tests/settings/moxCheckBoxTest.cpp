// The self-persisting check box: its stored state, taken without running the window's
// handlers, and stored when it is destroyed.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "RegistryFixture.h"
#include "settings/moxCheckBox.h"

namespace gridloom {
namespace {

class moxCheckBox : public test::RegistryFixture {
protected:
    static void SetUpTestSuite() {
        if (QApplication::instance() != nullptr) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gridloom_settings_tests";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }

    // The main window's check box as its design makes it: checked, named, NamedAs set.
    static std::unique_ptr<TmoxCheckBox> ShowBoundaries() {
        auto box = std::make_unique<TmoxCheckBox>("Show boundaries");
        box->setObjectName("CheckBoxShowBoundaries");
        box->setChecked(true);
        box->SetNamedAs("ShowBoundaries");
        return box;
    }
};

TEST_F(moxCheckBox, FirstRunKeepsTheDesignStateAndStoresTheUsersChoice) {
    auto box = ShowBoundaries();
    EXPECT_EQ(box->StoredState(), nullptr);
    box->Loaded();
    ASSERT_NE(box->StoredState(), nullptr);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(std::filesystem::exists(UserFile()));  // loading creates nothing
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Stored("ShowBoundaries"), std::nullopt);  // clicks store nothing until destruction
    box.reset();
    EXPECT_EQ(Stored("ShowBoundaries"), 0);

    auto next = ShowBoundaries();
    next->Loaded();
    EXPECT_FALSE(next->isChecked());
}

TEST_F(moxCheckBox, TwoWindowsBoxesKeepTheOthersChange) {
    auto a = ShowBoundaries();
    auto b = ShowBoundaries();
    a->Loaded();
    b->Loaded();
    a->click();  // a unticks, b leaves it
    a.reset();
    b.reset();
    EXPECT_EQ(Stored("ShowBoundaries"), 0);
}

TEST_F(moxCheckBox, TheStoredStateIsAppliedWithoutRunningTheWindowsHandlers) {
    { TRegistryBoolean stored("ShowBoundaries"); }  // stores false
    auto box = ShowBoundaries();
    int handled = 0;
    QObject::connect(box.get(), &QCheckBox::clicked, [&] { ++handled; });
    QObject::connect(box.get(), &QCheckBox::toggled, [&] { ++handled; });
    QObject::connect(box.get(), &QCheckBox::stateChanged, [&] { ++handled; });
    box->Loaded();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(handled, 0);
    EXPECT_FALSE(box->signalsBlocked());

    box->click();  // a later user click runs the handlers as usual
    EXPECT_EQ(handled, 3);
    EXPECT_TRUE(box->isChecked());
}

TEST_F(moxCheckBox, AnEmptyNamedAsTakesTheObjectName) {
    {
        auto box = ShowBoundaries();
        box->SetNamedAs("");
        box->Loaded();
        EXPECT_EQ(box->NamedAs(), "CheckBoxShowBoundaries");
        box->setChecked(false);
    }
    EXPECT_EQ(Stored("CheckBoxShowBoundaries"), 0);
    EXPECT_EQ(Stored("ShowBoundaries"), std::nullopt);
}

TEST_F(moxCheckBox, RenamingAfterLoadingDoesNotMoveTheStoredState) {
    {
        auto box = ShowBoundaries();
        box->Loaded();
        box->SetNamedAs("Elsewhere");
        EXPECT_EQ(box->property("NamedAs").toString(), "Elsewhere");
    }
    EXPECT_EQ(Stored("ShowBoundaries"), 1);
    EXPECT_EQ(Stored("Elsewhere"), std::nullopt);
}

TEST_F(moxCheckBox, ASecondLoadedNeitherRemakesNorReapplies) {
    auto box = ShowBoundaries();
    box->Loaded();
    const TRegistryBoolean* variable = box->StoredState();
    box->setChecked(false);
    box->Loaded();
    EXPECT_EQ(box->StoredState(), variable);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(moxCheckBox, ABoxBeingDesignedNeverTouchesTheRegistry) {
    { TRegistryBoolean stored("ShowBoundaries"); }  // stores false
    std::string before = ReadText(UserFile());
    {
        auto box = ShowBoundaries();
        box->SetDesigning(true);
        box->Loaded();
        EXPECT_EQ(box->StoredState(), nullptr);
        EXPECT_TRUE(box->isChecked());
    }
    EXPECT_EQ(ReadText(UserFile()), before);
}

}  // namespace
}  // namespace gridloom

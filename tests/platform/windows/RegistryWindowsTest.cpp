// TRegistry against the Windows registry itself, in a key of the tests' own that is removed
// again after each test.
#include <gtest/gtest.h>

#include <string>

#include "platform/Registry.h"
#include "platform/windows/WinApi.h"

namespace gridloom {
namespace {

class WindowsRegistry : public ::testing::Test {
protected:
    const std::string Key = "Software\\Tarnwick\\Gridloom tests " + std::to_string(::GetCurrentProcessId());
    const std::string Absolute = "\\" + Key;

    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }

    void Remove() { ::RegDeleteTreeA(reinterpret_cast<::HKEY>(ULONG_PTR(LONG(HKEY_CURRENT_USER))), Key.c_str()); }

    // The type and bytes of a value as the system holds them.
    std::pair<DWORD, std::string> Raw(const std::string& subKey, const std::string& name) {
        DWORD type = 0;
        char data[256];
        DWORD size = sizeof data;
        const LONG status =
            ::RegGetValueA(reinterpret_cast<::HKEY>(ULONG_PTR(LONG(HKEY_CURRENT_USER))), (Key + subKey).c_str(),
                           name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
        if (status != ERROR_SUCCESS) return {0, "missing"};
        return {type, std::string(data, size)};
    }
};

TEST_F(WindowsRegistry, ValuesAreStoredInTheSystemRegistryWithTheirTypes) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(Absolute + "\\Gridloom", true));
    registry.WriteInteger("GridSpacing", 3);
    registry.WriteBool("GridOnTop", true);
    registry.WriteString("FontName", std::string("Arial\0ignored", 13));
    registry.WriteString("Degree", "10\xB0N");  // 8-bit text in the system code page

    EXPECT_EQ(Raw("\\Gridloom", "GridSpacing"), std::make_pair(DWORD(4), std::string("\3\0\0\0", 4)));
    EXPECT_EQ(Raw("\\Gridloom", "GridOnTop"), std::make_pair(DWORD(4), std::string("\1\0\0\0", 4)));
    EXPECT_EQ(Raw("\\Gridloom", "FontName"), std::make_pair(DWORD(1), std::string("Arial\0", 6)));

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey(Absolute + "\\GRIDLOOM", false));  // names ignore letter case
    EXPECT_EQ(reader.ReadInteger("gridspacing"), 3);
    EXPECT_TRUE(reader.ReadBool("GridOnTop"));
    EXPECT_EQ(reader.ReadString("FontName"), "Arial");
    EXPECT_EQ(reader.ReadString("Degree"), "10\xB0N");
}

TEST_F(WindowsRegistry, KeysAreOpenedRelativeToTheOpenKeyOrFromTheRoot) {
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists(Absolute));
    EXPECT_FALSE(registry.OpenKey(Absolute + "\\A", false));
    EXPECT_EQ(registry.CurrentPath(), "");
    ASSERT_TRUE(registry.OpenKey(Absolute + "\\A\\B", true));  // the parents are made too
    EXPECT_TRUE(registry.KeyExists(Absolute + "\\A"));
    EXPECT_EQ(registry.CurrentPath(), Absolute + "\\A\\B");
    ASSERT_TRUE(registry.OpenKey("C", true));
    EXPECT_EQ(registry.CurrentPath(), Absolute + "\\A\\B\\C");
    EXPECT_TRUE(registry.KeyExists("\\Software"));
    ASSERT_TRUE(registry.OpenKey(Absolute + "\\A", false));
    EXPECT_EQ(registry.CurrentPath(), Absolute + "\\A");
    registry.CloseKey();
    EXPECT_EQ(registry.CurrentPath(), "");
}

TEST_F(WindowsRegistry, MissingValuesAndOtherTypesRaise) {
    TRegistry registry;
    EXPECT_THROW(registry.ReadInteger("Anything"), ERegistryException);  // no key open
    EXPECT_THROW(registry.WriteInteger("Anything", 1), ERegistryException);
    EXPECT_FALSE(registry.ValueExists("Anything"));
    ASSERT_TRUE(registry.OpenKey(Absolute, true));
    EXPECT_FALSE(registry.ValueExists("Missing"));
    EXPECT_THROW(registry.ReadString("Missing"), ERegistryException);
    registry.WriteString("Text", "12");
    EXPECT_THROW(registry.ReadInteger("Text"), ERegistryException);
    registry.WriteInteger("Text", 12);  // replaces the string whatever its type
    EXPECT_EQ(registry.ReadInteger("Text"), 12);
    EXPECT_THROW(registry.ReadString("Text"), ERegistryException);
    EXPECT_TRUE(registry.ValueExists("TEXT"));
}

TEST_F(WindowsRegistry, AValueWhoseKeyWasRemovedMeanwhileIsNotLost) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(Absolute + "\\Gridloom", true));
    Remove();
    registry.WriteInteger("GridSpacing", 5);
    EXPECT_EQ(Raw("\\Gridloom", "GridSpacing").first, DWORD(4));
    EXPECT_EQ(registry.ReadInteger("GridSpacing"), 5);
}

}  // namespace
}  // namespace gridloom

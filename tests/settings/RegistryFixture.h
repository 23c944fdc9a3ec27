// Points the whole registry at a fresh temporary folder for the length of one test, so tests
// never touch the real settings of the user running them.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ProgramName.h"
#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "settings/RegistryVariables.h"
#include "tests/platform/TempFolder.h"

namespace gridloom::test {

class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FTemp.Path().empty()) << "no temporary folder";
        Folder = FTemp.Path();
        Keep("XDG_CONFIG_HOME", FSavedHome);
        Keep("GRIDLOOM_MACHINE_REGISTRY", FSavedMachine);
        Keep("XDG_CONFIG_DIRS", FSavedDirs);
        Keep("HOME", FSavedHomeFolder);
        ::setenv("XDG_CONFIG_HOME", (Folder / "home").c_str(), 1);
        ::setenv("GRIDLOOM_MACHINE_REGISTRY", (Folder / "etc" / "HKEY_LOCAL_MACHINE.reg").c_str(), 1);
        RegistryCompanyName = "Tarnwick";
        RegistryRootKey = HKEY_CURRENT_USER;
        SetProgramFileName("Gridloom");
        // Waiting out a lock takes milliseconds here; one test keeps the real patience.
        SetRegistryLockPatience({std::chrono::milliseconds(20), std::chrono::milliseconds(50)});
    }

    void TearDown() override {
        Restore("XDG_CONFIG_HOME", FSavedHome);
        Restore("GRIDLOOM_MACHINE_REGISTRY", FSavedMachine);
        Restore("XDG_CONFIG_DIRS", FSavedDirs);
        Restore("HOME", FSavedHomeFolder);
        RegistryCompanyName = "Tarnwick";
        RegistryRootKey = HKEY_CURRENT_USER;
        SetProgramFileName("");
        SetRegistryLockPatience({});
    }

    static inline const std::string SettingsKey = "\\Software\\Tarnwick\\Gridloom";

    static std::filesystem::path UserFile() { return RegistryFilePath(HKEY_CURRENT_USER); }
    static std::filesystem::path MachineFile() { return RegistryFilePath(HKEY_LOCAL_MACHINE); }

    static std::string ReadText(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void WriteText(const std::filesystem::path& file, const std::string& text) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // Opens key, creating it, and lets write store values in it.
    static void Store(const std::string& key, const std::function<void(TRegistry&)>& write,
                      HKEY root = HKEY_CURRENT_USER) {
        TRegistry registry;
        registry.SetRootKey(root);
        ASSERT_TRUE(registry.OpenKey(key, true));
        write(registry);
    }

    // The integer stored under name, or nothing when there is no such key or value.
    static std::optional<int32_t> Stored(const std::string& name, HKEY root = HKEY_CURRENT_USER,
                                         const std::string& key = SettingsKey) {
        TRegistry registry;
        registry.SetRootKey(root);
        if (!registry.OpenKey(key, false) || !registry.ValueExists(name)) return std::nullopt;
        return registry.ReadInteger(name);
    }

    static std::string StoredString(const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(SettingsKey, false));
        return registry.ReadString(name);
    }

    // The names of the values in the settings key, in the order they were first stored.
    static std::vector<std::string> StoredNames() {
        std::vector<std::string> names;
        const auto doc = LoadRegistryFile(UserFile());
        if (const TRegKey* found = doc->Find({"HKEY_CURRENT_USER", "Software", "Tarnwick", "Gridloom"}))
            for (const auto& value : found->Values()) names.push_back(value.Name);
        return names;
    }

    // Makes every store under the root refused, as an ordinary user's stores under
    // HKEY_LOCAL_MACHINE are; works for root too, where file permissions would not.
    void MakeUnwritable(const char* variable) {
        WriteText(Folder / "plain-file", "not a folder");
        ::setenv(variable, (Folder / "plain-file" / "config").c_str(), 1);
    }

    std::filesystem::path Folder;

private:
    TTempFolder FTemp;
    std::optional<std::string> FSavedHome, FSavedMachine, FSavedDirs, FSavedHomeFolder;

    static void Keep(const char* name, std::optional<std::string>& saved) {
        const char* value = std::getenv(name);
        saved = value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
};

}  // namespace gridloom::test

// Points the whole registry at a fresh temporary folder for the length of one test, so tests
// never touch the real settings of the user running them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/ProgramName.h"
#include "platform/Registry.h"
#include "settings/RegistryVariables.h"

namespace gridloom::test {

class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "gridloom-registry-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        Folder = pattern;
        Keep("XDG_CONFIG_HOME", FSavedHome);
        Keep("XDG_CONFIG_DIRS", FSavedDirs);
        Keep("HOME", FSavedHomeFolder);
        ::setenv("XDG_CONFIG_HOME", (Folder / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (Folder / "etc" / "xdg").string().append(":/etc/xdg").c_str(), 1);
        RegistryCompanyName = "Tarnwick";
        RegistryRootKey = HKEY_CURRENT_USER;
        SetProgramFileName("Gridloom");
    }

    void TearDown() override {
        Restore("XDG_CONFIG_HOME", FSavedHome);
        Restore("XDG_CONFIG_DIRS", FSavedDirs);
        Restore("HOME", FSavedHomeFolder);
        RegistryCompanyName = "Tarnwick";
        RegistryRootKey = HKEY_CURRENT_USER;
        SetProgramFileName("");
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

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

    // Makes every store under the root refused, as an ordinary user's stores under
    // HKEY_LOCAL_MACHINE are; works for root too, where file permissions would not.
    void MakeUnwritable(const char* variable) {
        WriteText(Folder / "plain-file", "not a folder");
        ::setenv(variable, (Folder / "plain-file" / "config").c_str(), 1);
    }

    std::filesystem::path Folder;

private:
    std::optional<std::string> FSavedHome, FSavedDirs, FSavedHomeFolder;

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

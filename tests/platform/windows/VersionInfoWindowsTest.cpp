// The version API of version.dll reading this test program's own version resource, which
// the build made from the program's identity.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GridloomIdentity.h"
#include "platform/ModuleFile.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

namespace gridloom {
namespace {

std::vector<uint8_t> OwnBlock() {
    const std::string self = ExecutableFileName();
    uint32_t handle = 1;
    const uint32_t size = GetFileVersionInfoSizeA(self.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoA(self.c_str(), handle, size, block.data())) block.clear();
    return block;
}

std::string Text(const std::vector<uint8_t>& block, const std::string& path) {
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length)) return "(none)";
    return std::string(static_cast<const char*>(value));
}

TEST(WindowsVersionInfo, TheProgramsResourceCarriesTheIdentity) {
    const std::vector<uint8_t> block = OwnBlock();
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    const auto& v = identity::FileVersion;
    EXPECT_EQ(fixed.dwFileVersionMS, uint32_t(v[0]) << 16 | v[1]);
    EXPECT_EQ(fixed.dwFileVersionLS, uint32_t(v[2]) << 16 | v[3]);
    EXPECT_EQ(fixed.dwFileOS, identity::FileOS);
    EXPECT_EQ(fixed.dwFileType, identity::FileType);

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    uint16_t translation[2];
    std::memcpy(translation, value, sizeof translation);
    EXPECT_EQ(translation[0], identity::Language);
    EXPECT_EQ(translation[1], identity::CodePage);

    const std::string table = "\\StringFileInfo\\" + TranslationKey(identity::Language, identity::CodePage) + "\\";
    EXPECT_EQ(Text(block, table + "ProductName"), identity::ProductName);
    EXPECT_EQ(Text(block, table + "fileversion"), identity::Version);  // keys ignore case
    // The copyright sign, in the 8-bit text of code page 1252.
    EXPECT_NE(Text(block, table + "LegalCopyright").find("Copyright \xA9 1998"), std::string::npos);
    EXPECT_EQ(Text(block, table + "No such value"), "(none)");
}

TEST(WindowsVersionInfo, AFileWithoutAResourceHasNone) {
    uint32_t handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA("C:\\no such file.exe", &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, &handle), 0u);
    std::vector<uint8_t> block(64);
    EXPECT_FALSE(GetFileVersionInfoA("C:\\no such file.exe", 0, uint32_t(block.size()), block.data()));
}

}  // namespace
}  // namespace gridloom

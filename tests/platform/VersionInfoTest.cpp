// The version API on files made here: ELF and PE files carrying a block, files without
// one, and blocks damaged in the ways a crafted file would damage them.
#include "platform/VersionInfo.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "VersionFiles.h"
#include "platform/ModuleFile.h"

namespace gridloom {
namespace {

std::vector<uint8_t> ReadCopy(const std::string& path) {
    uint32_t handle = 99;
    uint32_t size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<uint8_t> copy(size);
    if (size != 0) {
        EXPECT_TRUE(GetFileVersionInfoA(path.c_str(), handle, size, copy.data()));
    }
    return copy;
}

std::string Text(std::vector<uint8_t>& copy, const std::string& path) {
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueA(copy.data(), path.c_str(), &value, &length)) return "<none>";
    EXPECT_GE(static_cast<uint8_t*>(value), copy.data());
    EXPECT_LE(static_cast<uint8_t*>(value) + length, copy.data() + copy.size());
    EXPECT_EQ(length, std::strlen(static_cast<char*>(value)) + 1);
    return static_cast<char*>(value);
}

using TContainer = std::vector<uint8_t> (*)(const std::vector<uint8_t>&);
std::vector<uint8_t> InElf(const std::vector<uint8_t>& block) { return test::ElfFile(block); }

class VersionInfoFile : public ::testing::TestWithParam<TContainer> {
protected:
    std::vector<uint8_t> CopyOf(const TVersionDescription& d) {
        std::string path = Folder / "program";
        test::WriteBytes(path, GetParam()(BuildVersionBlock(d)));
        return ReadCopy(path);
    }
    test::TTempFolder Folder;
};

TEST_P(VersionInfoFile, GivesTheFixedRecordTheTranslationsAndTheStrings) {
    TVersionDescription d = test::ProgramLikeDescription();
    d.FileFlags = 0x12;
    d.ProductVersion[3] = 11;
    std::vector<uint8_t> copy = CopyOf(d);
    ASSERT_FALSE(copy.empty());

    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueA(copy.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010004u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x0000000Au);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x0000000Bu);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0x12u);
    EXPECT_EQ(fixed.dwFileOS, 4u);
    EXPECT_EQ(fixed.dwFileType, 1u);

    ASSERT_TRUE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const uint8_t* entry = static_cast<uint8_t*>(value);
    EXPECT_EQ(entry[0] | entry[1] << 8, 0x0809);
    EXPECT_EQ(entry[2] | entry[3] << 8, 1252);

    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\ProductName"), "Skylune - Make master overlay");
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\Web site"), "www.tarnwick.example");
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\LegalCopyright"), "Copyright \xC2\xA9 1998-2002 Tarnwick");
    // Keys are found whatever the case of their letters, as the system's own call finds them.
    EXPECT_EQ(Text(copy, "\\stringfileinfo\\080904e4\\productversion"), "1.4");
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\LegalTrademarks"), "<none>");
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\040904E4\\ProductName"), "<none>");
}

TEST_P(VersionInfoFile, EmptyAndWideStringsComeBackWhole) {
    TVersionDescription d = test::ProgramLikeDescription();
    std::string wide = "\xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x8C\x8D";  // two CJK letters and a globe
    d.Strings = {{"Comments", ""}, {"Motto", wide}, {"Long", std::string(3000, 'x')}};
    std::vector<uint8_t> copy = CopyOf(d);
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\Comments"), "");
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\Motto"), wide);
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\080904E4\\Long"), std::string(3000, 'x'));
}

TEST_P(VersionInfoFile, ABlockWithoutTranslationsHasNoTranslationArray) {
    TVersionDescription d = test::ProgramLikeDescription();
    d.Translations.clear();
    std::vector<uint8_t> copy = CopyOf(d);
    void* value = nullptr;
    uint32_t length = 0;
    EXPECT_FALSE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ(Text(copy, "\\StringFileInfo\\040904E4\\ProductName"), "Skylune - Make master overlay");
}

INSTANTIATE_TEST_SUITE_P(Containers, VersionInfoFile, ::testing::Values(&InElf, &test::PeFile),
                         [](const auto& info) { return info.index == 0 ? "Elf" : "Pe"; });

// Files that hold no block all give size 0, and no copy.
TEST(VersionInfoNoBlock, FilesWithoutABlockHaveSizeZero) {
    test::TTempFolder folder;
    std::vector<uint8_t> block = BuildVersionBlock(test::ProgramLikeDescription());
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"text", {'h', 'e', 'l', 'l', 'o'}},
        {"empty", {}},
        {"elf-without-section", test::ElfFile(block, ".data")},
        {"elf-cut-short",
         [&] {
             auto f = test::ElfFile(block);
             f.resize(f.size() - 100);
             return f;
         }()},
        {"pe-cut-short",
         [&] {
             auto f = test::PeFile(block);
             f.resize(0x280);
             return f;
         }()},
        {"block-claims-more-than-it-has", test::ElfFile({block.begin(), block.begin() + 100})},
    };
    for (const auto& [name, bytes] : files) {
        test::WriteBytes(folder / name, bytes);
        uint8_t untouched[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(GetFileVersionInfoSizeA((folder / name).c_str(), nullptr), 0u) << name;
        EXPECT_FALSE(GetFileVersionInfoA((folder / name).c_str(), 0, sizeof untouched, untouched)) << name;
        EXPECT_EQ(untouched[0], 1) << name;
    }
    EXPECT_EQ(GetFileVersionInfoSizeA((folder / "missing").c_str(), nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(folder.Path().c_str(), nullptr), 0u);  // a folder
    EXPECT_EQ(GetFileVersionInfoSizeA("", nullptr), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

TEST(VersionInfoNoBlock, ABufferSmallerThanTheBlockIsLeftAlone) {
    test::TTempFolder folder;
    test::WriteBytes(folder / "program", test::ElfFile(BuildVersionBlock(test::ProgramLikeDescription())));
    uint32_t size = GetFileVersionInfoSizeA((folder / "program").c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> buffer(size - 1, 0xAA);
    EXPECT_FALSE(GetFileVersionInfoA((folder / "program").c_str(), 0, size - 1, buffer.data()));
    EXPECT_EQ(buffer[0], 0xAA);
}

// Blocks damaged after building; each must give what survives and nothing from outside.
struct TDamage {
    const char* Name;
    void (*Apply)(std::vector<uint8_t>& block);
    bool FixedRecordSurvives;
    bool ProductNameSurvives;
};

void SetWord(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
// The offset of the first node with the given key, found by scanning for its UTF-16 text.
std::size_t NodeOf(const std::vector<uint8_t>& b, const std::string& key) {
    for (std::size_t at = 0; at + 6 + key.size() * 2 <= b.size(); at += 2) {
        bool match = true;
        for (std::size_t i = 0; i < key.size() && match; ++i)
            match = b[at + 6 + i * 2] == uint8_t(key[i]) && b[at + 7 + i * 2] == 0;
        if (match) return at;
    }
    ADD_FAILURE() << key;
    return 0;
}

const TDamage Damages[] = {
    {"string length past its table", [](auto& b) { SetWord(b, NodeOf(b, "ProductName"), 0xFFF0); }, true, true},
    {"table length past the block", [](auto& b) { SetWord(b, NodeOf(b, "080904E4"), 0xFFF0); }, true, true},
    {"string length shorter than its header", [](auto& b) { SetWord(b, NodeOf(b, "CompanyName"), 3); }, true, false},
    {"text length past its node", [](auto& b) { SetWord(b, NodeOf(b, "ProductName") + 2, 0x7FFF); }, true, true},
    {"key without terminator",
     [](auto& b) {
         std::size_t table = NodeOf(b, "080904E4");
         for (std::size_t at = table + 6; at < b.size(); at += 2) SetWord(b, at, 'A');
     },
     true, false},
    {"fixed record with a wrong signature", [](auto& b) { b[40] ^= 0xFF; }, false, true},
    // The children are then looked for inside the record, as the system's own reader would.
    {"fixed record cut short", [](auto& b) { SetWord(b, 2, 20); }, false, false},
};

TEST(VersionInfoDamaged, ABlockDamagedInsideKeepsWhatItCan) {
    for (const TDamage& damage : Damages) {
        std::vector<uint8_t> block = BuildVersionBlock(test::ProgramLikeDescription());
        damage.Apply(block);
        std::vector<uint8_t> copy = MakeVersionInfoCopy(block);
        ASSERT_FALSE(copy.empty()) << damage.Name;
        void* value = nullptr;
        uint32_t length = 0;
        EXPECT_EQ(VerQueryValueA(copy.data(), "\\", &value, &length), damage.FixedRecordSurvives) << damage.Name;
        std::string name = Text(copy, "\\StringFileInfo\\080904E4\\ProductName");
        EXPECT_EQ(name == "Skylune - Make master overlay", damage.ProductNameSurvives) << damage.Name << ": " << name;
    }
}

// A binary value's length is its byte count: only the node's end bounds it.
TEST(VersionInfoDamaged, ABinaryValueLongerThanItsNodeIsCutAtTheNode) {
    std::vector<uint8_t> block = BuildVersionBlock(test::ProgramLikeDescription());
    SetWord(block, NodeOf(block, "Translation") + 2, 0x7FFF);
    std::vector<uint8_t> copy = MakeVersionInfoCopy(block);
    ASSERT_FALSE(copy.empty());
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ(length, 4u);  // the one language and code page the node holds
    const auto* words = static_cast<const uint8_t*>(value);
    EXPECT_EQ(words[0] | words[1] << 8, 0x0809);
    EXPECT_EQ(words[2] | words[3] << 8, 0x04E4);
}

TEST(VersionInfoDamaged, EndlessNestingIsCutOff) {
    // Each node holds the next, 200 deep, every one keyed "A": far deeper than any block.
    const int depth = 200, stride = 12;  // header, "A", terminator, padding
    std::vector<uint8_t> block(depth * stride + stride, 0);
    for (int i = 0; i < depth; ++i) {
        SetWord(block, i * stride, static_cast<uint16_t>(block.size() - i * stride));
        SetWord(block, i * stride + 4, 1);
        SetWord(block, i * stride + 6, 'A');
    }
    std::vector<uint8_t> copy = MakeVersionInfoCopy(block);
    ASSERT_FALSE(copy.empty());
    std::string deep;
    for (int i = 0; i < depth - 1; ++i) deep += "\\A";
    void* value = nullptr;
    uint32_t length = 0;
    EXPECT_FALSE(VerQueryValueA(copy.data(), deep.c_str(), &value, &length));
    EXPECT_TRUE(VerQueryValueA(copy.data(), "\\A\\A\\A", &value, &length));
    EXPECT_EQ(length, 1u);
}

TEST(VersionInfoDamaged, ACopyMadeElsewhereGivesNoTexts) {
    // A block copied without the text area behind it: the texts are not there to hand out.
    std::vector<uint8_t> block = BuildVersionBlock(test::ProgramLikeDescription());
    block.resize(block.size() + 8, 0);
    void* value = nullptr;
    uint32_t length = 0;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\ProductName", &value, &length));
    EXPECT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
}

TEST(ModuleFile, CodeInTheProgramIsNotInALibrary) {
    char name[256];
    uint32_t n = GetModuleFileNameA(reinterpret_cast<const void*>(&ReadCopy), name, sizeof name);
    EXPECT_EQ(std::string(name, n), ExecutableFileName());
    EXPECT_FALSE(IsInsideLibrary(reinterpret_cast<const void*>(&ReadCopy)));

    void* libc = ::dlsym(RTLD_DEFAULT, "gnu_get_libc_version");
    ASSERT_NE(libc, nullptr);
    EXPECT_TRUE(IsInsideLibrary(libc));
    n = GetModuleFileNameA(libc, name, sizeof name);
    EXPECT_NE(std::string(name, n).find("libc"), std::string::npos) << name;

    char shortBuffer[5];
    EXPECT_EQ(GetModuleFileNameA(libc, shortBuffer, sizeof shortBuffer), 4u);
    EXPECT_EQ(std::strlen(shortBuffer), 4u);
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, sizeof name), 0u);
}

// The loader names the program by the name it was started with (argv[0]), which whoever
// starts it may set to anything, another file's path among them.
TEST(ModuleFile, TheProgramIsFoundWhateverNameItWasStartedWith) {
    const std::string started = program_invocation_name;
    ASSERT_GE(started.size(), 1u);
    std::strcpy(program_invocation_name, "/");  // no longer than the name it replaces
    char name[4096];
    uint32_t n = GetModuleFileNameA(reinterpret_cast<const void*>(&ReadCopy), name, sizeof name);
    const bool inside = IsInsideLibrary(reinterpret_cast<const void*>(&ReadCopy));
    std::strcpy(program_invocation_name, started.c_str());
    EXPECT_EQ(std::string(name, n), ExecutableFileName());
    EXPECT_FALSE(inside);
}

}  // namespace
}  // namespace gridloom

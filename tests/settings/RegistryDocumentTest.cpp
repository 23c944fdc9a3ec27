// The registry file's text: what is written, what is read back, and what hostile or broken
// text does to the parse.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/RegistryDocument.h"

namespace gridloom {
namespace {

using Path = std::vector<std::string>;

std::string Text(const std::string& value) { return value + '\0'; }

TEST(RegistryDocument, WritesTheRegistryExportFormat) {
    TRegDocument doc;
    TRegKey& key = doc.Create({"HKEY_CURRENT_USER", "Software", "Tarnwick", "Gridloom"});
    key.Set({"GridSpacing", REG_DWORD, DwordData(3)});
    key.Set({"Minus", REG_DWORD, DwordData(uint32_t(-1))});
    key.Set({"FontName", REG_SZ, Text(R"(C:\Fonts\"Arial")")});
    key.Set({"", REG_SZ, Text("default")});
    key.Set({"Expand", REG_EXPAND_SZ, Text("%A%")});
    EXPECT_EQ(doc.Serialize(),
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n"
              "\"GridSpacing\"=dword:00000003\r\n"
              "\"Minus\"=dword:ffffffff\r\n"
              "\"FontName\"=\"C:\\\\Fonts\\\\\\\"Arial\\\"\"\r\n"
              "@=\"default\"\r\n"
              "\"Expand\"=hex(2):25,41,25,00\r\n");
}

TEST(RegistryDocument, ReadsBackEveryTypeUnchanged) {
    TRegDocument doc;
    TRegKey& key = doc.Create({"HKEY_CURRENT_USER", "A"});
    key.Set({"multi", 7, std::string("a\0b\0\0", 5)});
    key.Set({"binary", REG_BINARY, std::string(200, '\xAB')});  // wraps over several lines
    key.Set({"none", REG_NONE, ""});
    key.Set({"lines", REG_SZ, Text("two\r\nlines")});               // not quotable: kept as hex(1)
    key.Set({"nul inside", REG_SZ, std::string("a\0b\0", 4)});      // likewise
    key.Set({"short dword", REG_DWORD, "\x01\x02"});               // kept as hex(4)
    key.Set({"big type", 0x12345678, "x"});
    key.Set({"high bytes", REG_SZ, Text("caf\xE9 \xFF")});
    std::string text = doc.Serialize();

    TRegDocument back = TRegDocument::Parse(text);
    EXPECT_FALSE(back.Damaged()) << text;
    const TRegKey* read = back.Find({"HKEY_CURRENT_USER", "A"});
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Values.size(), key.Values.size());
    for (size_t i = 0; i < key.Values.size(); ++i) {
        EXPECT_EQ(read->Values[i].Name, key.Values[i].Name);
        EXPECT_EQ(read->Values[i].Type, key.Values[i].Type) << key.Values[i].Name;
        EXPECT_EQ(read->Values[i].Data, key.Values[i].Data) << key.Values[i].Name;
    }
    EXPECT_EQ(back.Serialize(), text);
}

TEST(RegistryDocument, ReadsWhatAPersonOrRegeditWrites) {
    TRegDocument doc = TRegDocument::Parse(
        "REGEDIT4\n"
        "; settings of Gridloom\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick\\App Paths]   \n"
        "\"Skylune\" = \"D:\\\\Apps\\\\Skylune\\\\Skylune.exe\"\n"
        "\"Long\"=hex(2):25,53,59,\\\n"
        "  53,25,00\n"
        "\"Bin\"=hex:\n"
        "\"Dword\"=dword:1F\n");
    EXPECT_FALSE(doc.Damaged());
    EXPECT_NE(doc.Find({"hkey_current_user", "SOFTWARE"}), nullptr);  // parents exist too
    const TRegKey* key = doc.Find({"HKEY_CURRENT_USER", "software", "tarnwick", "app paths"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Path, (Path{"HKEY_CURRENT_USER", "Software", "Tarnwick", "App Paths"}));
    ASSERT_NE(key->Find("SKYLUNE"), nullptr);
    EXPECT_EQ(key->Find("skylune")->Data, Text(R"(D:\Apps\Skylune\Skylune.exe)"));
    EXPECT_EQ(key->Find("Long")->Data, Text("%SYS%"));
    EXPECT_EQ(key->Find("Long")->Type, REG_EXPAND_SZ);
    EXPECT_EQ(key->Find("Bin")->Data, "");
    EXPECT_EQ(key->Find("Dword")->Data, DwordData(0x1F));
}

TEST(RegistryDocument, NamesIgnoreCaseAndKeepTheirFirstCase) {
    TRegDocument doc;
    TRegKey& key = doc.Create({"HKEY_CURRENT_USER", "Mixed"});
    key.Set({"GridSpacing", REG_DWORD, DwordData(1)});
    key.Set({"GRIDSPACING", REG_SZ, Text("x")});
    ASSERT_EQ(key.Values.size(), 1u);
    EXPECT_EQ(key.Values[0].Name, "GridSpacing");
    EXPECT_EQ(key.Values[0].Type, REG_SZ);
    EXPECT_EQ(&doc.Create({"HKEY_CURRENT_USER", "MIXED"}), &key);
    EXPECT_FALSE(SameName("\xC9", "\xE9"));  // only A-Z fold: the code page is not known
}

TEST(RegistryDocument, RemovalLinesRemoveKeysAndValues) {
    TRegDocument doc = TRegDocument::Parse(
        "REGEDIT4\n[HKEY_CURRENT_USER\\A\\B]\n\"x\"=dword:1\n\"y\"=dword:2\n"
        "[HKEY_CURRENT_USER\\C]\n"
        "[HKEY_CURRENT_USER\\A\\B]\n\"x\"=-\n"
        "[-HKEY_CURRENT_USER\\C]\n");
    EXPECT_FALSE(doc.Damaged());
    EXPECT_EQ(doc.Find({"HKEY_CURRENT_USER", "C"}), nullptr);
    const TRegKey* b = doc.Find({"HKEY_CURRENT_USER", "A", "B"});
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Find("x"), nullptr);
    EXPECT_NE(b->Find("y"), nullptr);
}

// Each broken line must cost only itself: the values around it survive.
TEST(RegistryDocument, BrokenTextKeepsTheParseablePart) {
    const std::vector<std::string> broken = {
        "\"unterminated\"=\"abc",
        "\"bad escape\"=\"C:\\Apps\"",
        "\"trailing\"=\"abc\" junk",
        "\"long dword\"=dword:123456789",
        "\"odd dword\"=dword:12g4",
        "\"empty dword\"=dword:",
        "\"absurd type\"=hex(ffffffffffffffffffff):00",
        "\"bad type\"=hex(zz):00",
        "\"bad byte\"=hex:1g,02",
        "\"long byte\"=hex:123,02",
        "\"empty byte\"=hex:01,,02",
        "\"unknown\"=qword:1",
        "\"no equals\" dword:1",
        "unquoted=dword:1",
        "[HKEY_CURRENT_USER\\no end",
        "[]",
        "[HKEY_CURRENT_USER\\\\empty name]\n\"lost\"=dword:1",
        std::string("\0\x01\xFF\xFE garbage \0", 14),
        std::string(10'000'000, 'x'),
        "[HKEY_CURRENT_USER\\" + std::string(300, 'k') + "]",
        "\"" + std::string(MaxValueNameLength + 1, 'n') + "\"=dword:1",
    };
    for (const auto& line : broken) {
        std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\Good]\n\"Keep\"=dword:00000001\n" + line +
                           "\n[HKEY_CURRENT_USER\\After]\n\"Also\"=\"yes\"\n";
        TRegDocument doc = TRegDocument::Parse(text);
        SCOPED_TRACE(line.substr(0, 60));
        EXPECT_TRUE(doc.Damaged());
        const TRegKey* good = doc.Find({"HKEY_CURRENT_USER", "Good"});
        ASSERT_NE(good, nullptr);
        ASSERT_NE(good->Find("Keep"), nullptr);
        EXPECT_EQ(good->Find("Keep")->Data, DwordData(1));
        const TRegKey* after = doc.Find({"HKEY_CURRENT_USER", "After"});
        ASSERT_NE(after, nullptr);
        EXPECT_NE(after->Find("Also"), nullptr);
        EXPECT_FALSE(TRegDocument::Parse(doc.Serialize()).Damaged());
    }
}

TEST(RegistryDocument, MissingHeaderAndCutOffEndAreDamage) {
    EXPECT_TRUE(TRegDocument::Parse("[HKEY_CURRENT_USER\\A]\n").Damaged());
    EXPECT_TRUE(TRegDocument::Parse("Windows Registry Editor Version 5.00\n").Damaged());
    TRegDocument cut = TRegDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n");
    EXPECT_TRUE(cut.Damaged());
    EXPECT_FALSE(TRegDocument::Parse("").Damaged());
    EXPECT_FALSE(TRegDocument::Parse("REGEDIT4\r\n").Damaged());
}

TEST(RegistryDocument, KeyPathsDeeperThanTheRegistryAllowsAreRefused) {
    std::string deep = "[HKEY_CURRENT_USER";
    for (size_t i = 0; i <= MaxKeyDepth; ++i) deep += "\\k";
    TRegDocument doc = TRegDocument::Parse("REGEDIT4\n" + deep + "]\n");
    EXPECT_TRUE(doc.Damaged());
    EXPECT_TRUE(doc.Keys().empty());
}

// Whatever bytes the file holds, the parse ends, and what it keeps writes and reads back the same.
TEST(RegistryDocument, RandomBytesNeverBreakTheParse) {
    std::mt19937 random(20240601);
    const std::string alphabet = "REGEDIT4[]\\\"=@:,-;hexdword()0123456789abcdefHKEY_CURRENT_USER\r\n \t\x01\xFF";
    for (int round = 0; round < 300; ++round) {
        std::string text = round % 2 ? "REGEDIT4\n" : "";
        size_t length = random() % 2000;
        for (size_t i = 0; i < length; ++i)
            text += round % 3 ? alphabet[random() % alphabet.size()] : char(random() & 0xFF);
        TRegDocument doc = TRegDocument::Parse(text);
        std::string written = doc.Serialize();
        TRegDocument back = TRegDocument::Parse(written);
        EXPECT_FALSE(back.Damaged()) << written;
        EXPECT_EQ(back.Serialize(), written);
    }
}

}  // namespace
}  // namespace gridloom

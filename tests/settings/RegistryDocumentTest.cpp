// The registry file's text: what is written, what is read back, and what hostile or broken
// text does to the parse.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "HeapCount.h"
#include "platform/RegistryDocument.h"
#include "platform/Windows1252.h"

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
    key.Set({"lines", REG_SZ, Text("two\r\nlines")});           // not quotable: kept as hex(1)
    key.Set({"nul inside", REG_SZ, std::string("a\0b\0", 4)});  // likewise
    key.Set({"short dword", REG_DWORD, "\x01\x02"});            // kept as hex(4)
    key.Set({"big type", 0x12345678, "x"});
    key.Set({"high bytes", REG_SZ, Text("caf\xE9 \xFF")});
    std::string text = doc.Serialize();

    TRegDocument back = TRegDocument::Parse(text);
    EXPECT_FALSE(back.Damaged()) << text;
    const TRegKey* read = back.Find({"HKEY_CURRENT_USER", "A"});
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Values().size(), key.Values().size());
    for (auto wrote = key.Values().begin(), got = read->Values().begin(); got != read->Values().end(); ++wrote, ++got) {
        EXPECT_EQ(got->Name, wrote->Name);
        EXPECT_EQ(got->Type, wrote->Type) << wrote->Name;
        EXPECT_EQ(got->Data, wrote->Data) << wrote->Name;
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
    EXPECT_EQ(key->Path(), (Path{"HKEY_CURRENT_USER", "Software", "Tarnwick", "App Paths"}));
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
    ASSERT_EQ(key.Values().size(), 1u);
    EXPECT_EQ(key.Values().front().Name, "GridSpacing");
    EXPECT_EQ(key.Values().front().Type, REG_SZ);
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
    EXPECT_EQ(doc.KeyCount(), 0u);
}

// A Windows registry editor's own export, as UTF-16LE with its byte-order mark.
std::string Utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    return bytes;
}

// Values of a registry editor's export: a name and text with characters beyond ASCII that
// the 8-bit text has (e, euro sign), an expandable string as UTF-16LE hex bytes, a dword.
const std::u16string EditorExport =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Tarnwick\\Caf\u00e9]\r\n"
    u"\"FontName\"=\"Caf\u00e9 \u20ac\"\r\n"
    u"\"Path\"=hex(2):25,00,41,00,25,00,e9,00,00,00\r\n"
    u"\"GridSpacing\"=dword:00000002\r\n"
    u"\r\n";

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) AppendUtf8(out, unit);
    return out;
}

TEST(RegistryDocument, ReadsARegistryEditorsUnicodeExports) {
    const std::vector<std::pair<const char*, std::string>> files = {
        {"UTF-16LE", Utf16(EditorExport)},
        {"UTF-8", Utf8(EditorExport)},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + Utf8(EditorExport)},
    };
    for (const auto& [encoding, text] : files) {
        SCOPED_TRACE(encoding);
        TRegDocument doc = TRegDocument::Parse(text);
        EXPECT_FALSE(doc.Damaged());
        const TRegKey* key = doc.Find({"HKEY_CURRENT_USER", "Software", "Tarnwick", "Caf\xE9"});
        ASSERT_NE(key, nullptr);
        ASSERT_NE(key->Find("FontName"), nullptr);
        EXPECT_EQ(key->Find("FontName")->Data, Text("Caf\xE9 \x80"));
        ASSERT_NE(key->Find("Path"), nullptr);
        EXPECT_EQ(key->Find("Path")->Type, REG_EXPAND_SZ);
        EXPECT_EQ(key->Find("Path")->Data, Text("%A%\xE9"));
        ASSERT_NE(key->Find("GridSpacing"), nullptr);
        EXPECT_EQ(key->Find("GridSpacing")->Data, DwordData(2));
        EXPECT_TRUE(doc.Serialize().starts_with("REGEDIT4\r\n"));
    }
}

// Text the 8-bit code page cannot hold would be lost by writing the document back, so the
// document counts as damaged and the store keeps the original beside it first.
TEST(RegistryDocument, UnicodeTheCodePageCannotHoldIsDamage) {
    const std::u16string header = u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n";
    const std::vector<std::pair<const char*, std::string>> files = {
        {"Greek letter", Utf16(header + u"\"x\"=\"\u03a9\"\r\n")},
        {"Greek letter in UTF-8", Utf8(header + u"\"x\"=\"\u03a9\"\r\n")},
        {"character beyond 16 bits", Utf16(header + u"\"x\"=\"\xD83D\xDE00\"\r\n")},
        {"lone surrogate", Utf16(header + u"\"x\"=\"\xDC00\"\r\n")},
        {"odd byte count", Utf16(header + u"\"x\"=\"?\"\r\n").append(1, 'x')},
        {"odd hex string", Utf16(header + u"\"x\"=hex(2):3f,00,3f\r\n")},
    };
    for (const auto& [what, text] : files) {
        SCOPED_TRACE(what);
        TRegDocument doc = TRegDocument::Parse(text);
        EXPECT_TRUE(doc.Damaged());
        const TRegKey* key = doc.Find({"HKEY_CURRENT_USER", "A"});
        ASSERT_NE(key, nullptr);
        ASSERT_NE(key->Find("x"), nullptr);
        EXPECT_EQ(key->Find("x")->Data.substr(0, 1), "?");
    }
    // Invalid UTF-8 is kept byte for byte rather than dropped.
    TRegDocument doc = TRegDocument::Parse(Utf8(header) + "\"x\"=\"\xC3(\"\r\n");
    EXPECT_TRUE(doc.Damaged());
    EXPECT_EQ(doc.Find({"HKEY_CURRENT_USER", "A"})->Find("x")->Data, Text("\xC3("));
}

// What parsing the text claims at its peak, beyond what was held before.
size_t ParsePeak(const std::string& text, TRegDocument& doc) {
    size_t before = test::LiveHeapBytes();
    test::ResetHeapPeak();
    doc = TRegDocument::Parse(text);
    return test::PeakHeapBytes() - before;
}

constexpr size_t Megabyte = size_t(1) << 20;

// Keys of paths as deep and names as long as the registry allows: each line holds some five
// hundred keys, each of which has its whole path above it.
TEST(RegistryDocument, DeepKeysOfLongNamesTakeMemoryInProportionToTheText) {
    std::string text = "REGEDIT4\r\n";
    for (int line = 0; line < 4; ++line) {
        text += "\r\n[HKEY_CURRENT_USER";
        for (size_t depth = 1; depth < MaxKeyDepth - 2; ++depth)
            text += "\\" + std::string(MaxKeyNameLength - 3, char('a' + line)) + std::to_string(depth % 100);
        text += "]\r\n\"x\"=dword:00000001\r\n";
    }
    TRegDocument doc;
    size_t peak = ParsePeak(text, doc);
    EXPECT_FALSE(doc.Damaged());
    EXPECT_LE(peak, 4 * text.size() + Megabyte) << text.size();
    EXPECT_EQ(doc.KeyCount(), 4 * (MaxKeyDepth - 3));

    // Its text would be hundreds of times longer, since every key line spells the whole path:
    // the writing stops at the limit, before it has made that much.
    size_t written = 0;
    bool whole = doc.Serialize(
        [&](std::string_view piece) {
            written += piece.size();
            return true;
        },
        4 * text.size());
    EXPECT_FALSE(whole);
    EXPECT_LE(written, 4 * text.size());
}

// Names two bytes of text each would cost far more than that as keys: the budget leaves out
// what the text cannot pay for, and what is kept is whole.
TEST(RegistryDocument, ShortNamedDeepKeysAreCutAtTheBudget) {
    std::string text = "REGEDIT4\n";
    for (int line = 0; line < 4000; ++line) {
        text += "[HKEY_CURRENT_USER\\" + std::to_string(line);
        for (size_t depth = 2; depth < MaxKeyDepth; ++depth) text += "\\k";
        text += "]\n";
    }
    TRegDocument doc;
    size_t peak = ParsePeak(text, doc);
    EXPECT_TRUE(doc.Damaged());
    EXPECT_LE(peak, 4 * text.size() + Megabyte) << text.size();
    // What was kept is whole: the first line's key and every key above it.
    std::vector<std::string> first{"HKEY_CURRENT_USER", "0"};
    for (size_t depth = 2; depth < MaxKeyDepth; ++depth) {
        first.push_back("k");
        ASSERT_NE(doc.Find(first), nullptr) << depth;
    }
}

// A real file of many values is read whole, within the same bound.
TEST(RegistryDocument, ManyValuesAreReadWholeWithinTheBound) {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Gridloom]\r\n";
    char line[64];
    for (int i = 0; i < 200000; ++i) {
        std::snprintf(line, sizeof line, "\"V%07d\"=dword:%08x\r\n", i, unsigned(i));
        text += line;
    }
    for (int i = 0; i < 100; ++i) text += "[HKEY_CURRENT_USER\\Software\\Small" + std::to_string(i) + "]\r\n@=\"\"\r\n";
    TRegDocument doc;
    size_t peak = ParsePeak(text, doc);
    EXPECT_FALSE(doc.Damaged());
    EXPECT_LE(peak, 4 * text.size() + Megabyte) << text.size();
    const TRegKey* key = doc.Find({"HKEY_CURRENT_USER", "Software", "Tarnwick", "Gridloom"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Values().size(), 200000u);
    ASSERT_NE(key->Find("v0199999"), nullptr);
    EXPECT_EQ(key->Find("v0199999")->Data, DwordData(199999));
}

TEST(RegistryDocument, ManyValuesInOneKeyKeepTheirOrderThroughChanges) {
    TRegKey key;
    for (int i = 0; i < 1000; ++i) key.Set({"V" + std::to_string(i), REG_DWORD, DwordData(uint32_t(i))});
    for (int i = 0; i < 1000; i += 2) EXPECT_TRUE(key.Remove("v" + std::to_string(i)));
    EXPECT_FALSE(key.Remove("V0"));
    key.Set({"v0", REG_SZ, Text("back")});      // new again: goes last, in its new case
    key.Set({"v1", REG_SZ, Text("replaced")});  // keeps its place and its first case
    ASSERT_EQ(key.Values().size(), 501u);
    EXPECT_EQ(key.Values().front().Name, "V1");
    EXPECT_EQ(key.Values().front().Data, Text("replaced"));
    EXPECT_EQ(key.Values().back().Name, "v0");
    int expected = 1;
    for (auto it = key.Values().begin(); expected < 1000; ++it, expected += 2) {
        EXPECT_EQ(it->Name, "V" + std::to_string(expected));
        ASSERT_EQ(key.Find(it->Name), &*it);
    }
}

// A copied key finds its own values, not the original's, and outlives it.
TEST(RegistryDocument, CopiedKeysAndDocumentsStandAlone) {
    auto original = std::make_unique<TRegDocument>(
        TRegDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:1\n\"y\"=dword:2\n"));
    TRegDocument copy = *original;
    TRegKey assigned;
    assigned = *original->Find({"HKEY_CURRENT_USER", "A"});
    original->Find({"HKEY_CURRENT_USER", "A"})->Set({"x", REG_DWORD, DwordData(9)});
    original.reset();
    const TRegKey* copied = copy.Find({"HKEY_CURRENT_USER", "A"});
    for (const TRegKey* key : {copied, static_cast<const TRegKey*>(&assigned)}) {
        ASSERT_NE(key, nullptr);
        ASSERT_NE(key->Find("X"), nullptr);
        EXPECT_EQ(key->Find("X")->Data, DwordData(1));
        EXPECT_EQ(key->Find("X"), &key->Values().front());
    }
}

// Text handed over in pieces of every size, as a file is read, parses as the whole text does.
void ExpectTheSameInPieces(const std::string& text, const TRegDocument& whole) {
    for (size_t pieceSize : {size_t(1), size_t(3), size_t(64), size_t(1000)}) {
        TRegParser parser(text.size());
        for (size_t at = 0; at < text.size(); at += pieceSize)
            parser.Feed(std::string_view(text).substr(at, pieceSize));
        TRegDocument pieces = parser.Finish();
        EXPECT_EQ(pieces.Damaged(), whole.Damaged()) << pieceSize;
        EXPECT_EQ(pieces.Serialize(), whole.Serialize()) << pieceSize;
    }
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
        ExpectTheSameInPieces(text, doc);
    }
    for (const std::string& text : {Utf16(EditorExport), Utf8(EditorExport), "\xEF\xBB\xBF" + Utf8(EditorExport),
                                    std::string("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n")})
        ExpectTheSameInPieces(text, TRegDocument::Parse(text));
}

}  // namespace
}  // namespace gridloom

// The content of one registry file: keys and their named values, as a registry export
// ("REGEDIT4") text holds them.
//
// The text is what a person reads and edits, and what `regedit` imports on Windows:
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\Software\Tarnwick\Gridloom]
//     "GridSpacing"=dword:00000003
//     "FontName"="Arial"
//     "Path"=hex(2):25,48,4f,4d,45,25,00
//
// Files a Windows registry editor exports today are read too: "Windows Registry Editor
// Version 5.00" in UTF-16LE with a byte-order mark, or in UTF-8. Their text, the names and
// the string values written as hex bytes included, becomes our 8-bit text (Windows-1252).
// Documents are always written as REGEDIT4.
//
// Parsing never fails: whatever cannot be understood is left out and the document is
// marked damaged, so the caller can keep the original text before replacing it. So is a
// character the 8-bit text has no byte for (read as "?"), since writing the document back
// would lose it. Parsing takes time linear in the text's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gridloom {

// Registry value types, numbered as the Windows registry numbers them.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;         // text, stored with its terminating NUL
constexpr uint32_t REG_EXPAND_SZ = 2;  // text with %VARIABLES%, stored with its terminating NUL
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;     // 32-bit integer, little-endian
constexpr uint32_t REG_MULTI_SZ = 7;  // texts, each ending in a NUL, then one more NUL

// Limits of the real registry, enforced so that a hostile file cannot grow without bound.
constexpr size_t MaxKeyNameLength = 255;
constexpr size_t MaxKeyDepth = 512;
constexpr size_t MaxValueNameLength = 16383;

struct TRegValue {
    std::string Name;  // "" is the key's default value, written as @
    uint32_t Type = REG_NONE;
    std::string Data;  // the raw bytes, exactly as the registry holds them
};

// One key and its values. Values are found through their folded names, not by a search, so
// that a key holding very many values is still read and written in linear time.
class TRegKey {
public:
    std::vector<std::string> Path;  // the root's name first, each name in its own letter case

    TRegKey() = default;
    TRegKey(const TRegKey& other);
    TRegKey& operator=(const TRegKey& other);
    TRegKey(TRegKey&&) noexcept = default;
    TRegKey& operator=(TRegKey&&) noexcept = default;

    // In the order they were first stored.
    const std::list<TRegValue>& Values() const { return FValues; }
    const TRegValue* Find(std::string_view name) const;
    // Replaces a value of the same name whatever its type, keeping its place and the letter
    // case of its name; new values go last.
    void Set(TRegValue value);
    bool Remove(std::string_view name);

private:
    struct TFoldedHash {
        size_t operator()(std::string_view name) const;
    };
    struct TFoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::list<TRegValue> FValues;
    // Each value's own name, viewed where the value lies; list nodes never move, not even
    // when the key itself is moved, so only a copy has to build the index anew.
    std::unordered_map<std::string_view, std::list<TRegValue>::iterator, TFoldedHash, TFoldedEqual> FIndex;

    void Reindex();
};

// Key and value names compare without regard to the letter case of A-Z, as in the registry.
std::string FoldCase(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// Whether a name can be written to the file and read back unchanged.
bool IsValidKeyName(std::string_view name);
bool IsValidValueName(std::string_view name);

class TRegDocument {
public:
    static TRegDocument Parse(std::string_view text);
    // Always REGEDIT4, in 8-bit text.
    std::string Serialize() const;

    // True when some of the parsed text could not be understood and was left out.
    bool Damaged() const { return FDamaged; }

    const TRegKey* Find(const std::vector<std::string>& path) const;
    TRegKey* Find(const std::vector<std::string>& path);
    // Creates the key and every missing key above it (below the root) and returns it.
    TRegKey& Create(const std::vector<std::string>& path);
    // Removes the key and everything below it.
    void Remove(const std::vector<std::string>& path);

    const std::map<std::vector<std::string>, TRegKey>& Keys() const { return FKeys; }

private:
    // Folded path -> key; ordered by path so that parents come before their children.
    std::map<std::vector<std::string>, TRegKey> FKeys;
    bool FDamaged = false;
    // While parsing: how many more key names the keys may hold. A key creates every key above
    // it, each holding its whole path, so a deep path costs the square of its depth; the
    // budget keeps the memory a hostile text can claim in proportion to its length.
    size_t FNameBudget = SIZE_MAX;
    bool FUnicodeStrings = false;  // string values given as hex bytes are UTF-16LE

    void ParseLine(std::string_view line, TRegKey*& current);
    void ParseText(std::string_view text);
};

// The 32-bit value as REG_DWORD data, and back (false unless the data is exactly 4 bytes).
std::string DwordData(uint32_t value);
bool DataToDword(std::string_view data, uint32_t& value);

}  // namespace gridloom

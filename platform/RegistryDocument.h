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
// would lose it. Parsing takes time about linear in the text's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <string_view>
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

class TRegKey;

// The values of one key, in the order they were first stored.
class TRegValues {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TRegValue;
        using difference_type = std::ptrdiff_t;
        using pointer = const TRegValue*;
        using reference = const TRegValue&;

        const_iterator() = default;
        reference operator*() const { return **FAt; }
        pointer operator->() const { return FAt->get(); }
        const_iterator& operator++() {
            ++FAt;
            SkipRemoved();
            return *this;
        }
        bool operator==(const const_iterator& other) const { return FAt == other.FAt; }

    private:
        friend class TRegValues;
        using TSlot = std::vector<std::unique_ptr<TRegValue>>::const_iterator;
        const_iterator(TSlot at, TSlot end) : FAt(at), FEnd(end) { SkipRemoved(); }
        void SkipRemoved() {
            while (FAt != FEnd && *FAt == nullptr) ++FAt;
        }
        TSlot FAt, FEnd;
    };

    const_iterator begin() const { return {FItems->begin(), FItems->end()}; }
    const_iterator end() const { return {FItems->end(), FItems->end()}; }
    size_t size() const { return FCount; }
    bool empty() const { return FCount == 0; }
    const TRegValue& front() const { return *begin(); }
    const TRegValue& back() const;

private:
    friend class TRegKey;
    TRegValues(const std::vector<std::unique_ptr<TRegValue>>& items, size_t count) : FItems(&items), FCount(count) {}
    const std::vector<std::unique_ptr<TRegValue>>* FItems;
    size_t FCount;
};

// One key: its name, its values and its subkeys. Each key keeps only its own name; its path
// is the names of the keys above it, so a deep key costs no more than its own line of text.
// Values are found through a table of their folded names once a key holds more than a few,
// so that a key holding very many values is still read and written in linear time.
class TRegKey {
public:
    TRegKey() = default;
    // Copies the name and the values, not the subkeys: the copy stands alone.
    TRegKey(const TRegKey& other);
    TRegKey& operator=(const TRegKey& other);
    ~TRegKey();

    const std::string& Name() const { return FName; }
    // The root's name first, each name in its own letter case.
    std::vector<std::string> Path() const;

    TRegValues Values() const { return {FValues, FLive}; }
    const TRegValue* Find(std::string_view name) const;
    // Replaces a value of the same name whatever its type, keeping its place and the letter
    // case of its name; new values go last.
    void Set(TRegValue value);
    bool Remove(std::string_view name);

private:
    friend class TRegDocument;
    struct TByFoldedName {
        using is_transparent = void;
        bool operator()(const std::unique_ptr<TRegKey>& a, const std::unique_ptr<TRegKey>& b) const;
        bool operator()(const std::unique_ptr<TRegKey>& a, std::string_view b) const;
        bool operator()(std::string_view a, const std::unique_ptr<TRegKey>& b) const;
    };
    using TSubkeys = std::set<std::unique_ptr<TRegKey>, TByFoldedName>;

    std::string FName;
    TRegKey* FParent = nullptr;  // none for a root
    // Written as a section of its own. Every key below a root is; a root only when it was
    // made itself (values stored right in it), not just as the place of its subkeys.
    bool FListed = false;
    TSubkeys FSubkeys;                                // in the order of their folded names
    std::vector<std::unique_ptr<TRegValue>> FValues;  // none where a value was removed
    size_t FLive = 0;                                 // values not removed
    std::vector<uint32_t> FSlots;                     // the hash table: 0 free, else position in FValues + 1

    size_t Slot(std::string_view name) const;  // where the name is, or the free slot it would take
    void Reindex();
    void Compact();
};

// Key and value names compare without regard to the letter case of A-Z, as in the registry.
std::string FoldCase(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// Whether a name can be written to the file and read back unchanged.
bool IsValidKeyName(std::string_view name);
bool IsValidValueName(std::string_view name);

class TRegDocument {
public:
    TRegDocument() = default;
    TRegDocument(const TRegDocument& other);
    TRegDocument& operator=(const TRegDocument& other);
    TRegDocument(TRegDocument&&) noexcept = default;
    TRegDocument& operator=(TRegDocument&&) noexcept = default;

    // The parsed document holds at most about four times the text's size in memory (plus a
    // constant): text beyond that is left out as damaged, so that no file, however crafted,
    // can make it claim memory out of proportion to its size.
    static TRegDocument Parse(std::string_view text);
    // Always REGEDIT4, in 8-bit text.
    std::string Serialize() const;
    // The text, handed to `sink` in pieces as it is made. False, as soon as it is known, when
    // the text would be longer than `limit` bytes, or when the sink returns false.
    bool Serialize(const std::function<bool(std::string_view)>& sink, size_t limit) const;

    // True when some of the parsed text could not be understood and was left out.
    bool Damaged() const { return FDamaged; }

    const TRegKey* Find(const std::vector<std::string>& path) const;
    TRegKey* Find(const std::vector<std::string>& path);
    // Creates the key and every missing key above it (below the root) and returns it.
    TRegKey& Create(const std::vector<std::string>& path);
    // Removes the key and everything below it.
    void Remove(const std::vector<std::string>& path);

    // Every key, parents before their children, in the order they are written.
    void ForEachKey(const std::function<void(const TRegKey&)>& visit) const;
    size_t KeyCount() const;

private:
    TRegKey::TSubkeys FRoots;
    bool FDamaged = false;
    // While parsing: how many more bytes of memory new keys and values may take.
    size_t FBudget = SIZE_MAX;
    bool FUnicodeStrings = false;  // string values given as hex bytes are UTF-16LE

    friend class TRegParser;
    // Where parsing stands between one piece of text and the next.
    struct TLineState {
        TRegKey* Current = nullptr;  // the key the value lines go to
        std::string Logical;         // a value continued over several lines, so far
        bool Continued = false;
        bool FirstLine = true;
    };
    static size_t MemoryBudget(size_t textSize);
    // Parses whole lines; a line continued beyond the text waits in `state`.
    void ParseLines(std::string_view text, TLineState& state);
    // The text has ended: a value still waiting for its continuation is damaged.
    void FinishLines(TLineState& state);

    TRegKey* FindKey(const std::vector<std::string>& path) const;
    // Charges `bytes` to the budget; false (and damaged) when it is spent.
    bool Spend(size_t bytes);
    void ParseLine(std::string_view line, TRegKey*& current);
    void ParseText(std::string_view text);
};

// Parses text handed over a piece at a time, as it is read from a file, so that the whole text
// of an 8-bit file is never held at once: each line is parsed as soon as it is complete. A
// file in Unicode is decoded whole at the end. The result is what TRegDocument::Parse gives
// for the whole text.
class TRegParser {
public:
    // `textSize`: the whole text's length, which sets the memory budget.
    explicit TRegParser(size_t textSize);
    void Feed(std::string_view piece);
    TRegDocument Finish();

private:
    enum class TMode { Undecided, Lines, Whole };
    size_t FTextSize;
    TMode FMode = TMode::Undecided;
    std::string FPending;  // an unfinished line, or the whole text of a Unicode file
    TRegDocument FDocument;
    TRegDocument::TLineState FState;

    void Decide();
};

// The 32-bit value as REG_DWORD data, and back (false unless the data is exactly 4 bytes).
std::string DwordData(uint32_t value);
bool DataToDword(std::string_view data, uint32_t& value);

}  // namespace gridloom

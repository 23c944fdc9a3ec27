#include "platform/RegistryDocument.h"

#include <algorithm>
#include <chrono>

#include "platform/Windows1252.h"

namespace gridloom {

namespace {

constexpr std::string_view Header = "REGEDIT4";
constexpr std::string_view UnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view Utf16Mark = "\xFF\xFE";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Newline = "\r\n";  // as regedit writes it, so Windows imports it as is
constexpr size_t HexLineWidth = 76;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Appends a character as its 8-bit byte, or as "?" (and false) when the code page has none.
bool AppendAs8Bit(std::string& out, char32_t character) {
    int byte = UnicodeToWindows1252(character);
    out += byte < 0 ? '?' : char(byte);
    return byte >= 0;
}

// UTF-16LE as 8-bit text; false when some of it could not be decoded or has no byte.
bool Utf16ToText(std::string_view bytes, std::string& out) {
    bool whole = bytes.size() % 2 == 0;
    auto unitAt = [&](size_t i) { return char32_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)); };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t character = unitAt(i);
        // A pair of surrogates is one character (and one "?"), not two.
        if (character >= 0xD800 && character < 0xDC00 && i + 3 < bytes.size()) {
            char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                character = 0x10000 + ((character - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        whole = AppendAs8Bit(out, character) && whole;
    }
    return whole;
}

bool IsStringType(uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits, nothing else.
bool ParseHex32(std::string_view s, uint32_t& value) {
    if (s.empty() || s.size() > 8) return false;
    value = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0) return false;
        value = (value << 4) | uint32_t(d);
    }
    return true;
}

// A quoted name or text, whose only escapes are \\ and \". On success `s` is left after the
// closing quote.
bool ParseQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"') return false;
    out.clear();
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            out += s[i + 1];
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return false;  // unterminated
}

// Comma-separated bytes of one or two hex digits each; an empty list is no bytes.
bool ParseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    s = Trim(s);
    if (s.empty()) return true;
    while (true) {
        size_t comma = s.find(',');
        std::string_view token = Trim(s.substr(0, comma));
        if (token.empty() || token.size() > 2) return false;
        int value = 0;
        for (char c : token) {
            int d = HexDigit(c);
            if (d < 0) return false;
            value = value * 16 + d;
        }
        out += char(value);
        if (comma == std::string_view::npos) return true;
        s.remove_prefix(comma + 1);
    }
}

bool SplitKeyPath(std::string_view text, std::vector<std::string>& path) {
    path.clear();
    while (true) {
        size_t slash = text.find('\\');
        std::string_view name = text.substr(0, slash);
        if (!IsValidKeyName(name) || path.size() > MaxKeyDepth) return false;
        path.emplace_back(name);
        if (slash == std::string_view::npos) return true;
        text.remove_prefix(slash + 1);
    }
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

// Plain text is written as a quoted string when that reads back byte for byte.
bool QuotableText(const TRegValue& value) {
    const std::string& d = value.Data;
    if (value.Type != REG_SZ || d.empty() || d.back() != '\0') return false;
    return std::none_of(d.begin(), d.end() - 1, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

void AppendData(std::string& out, const TRegValue& value) {
    static const char digits[] = "0123456789abcdef";
    uint32_t dword = 0;
    if (QuotableText(value)) {
        AppendQuoted(out, std::string_view(value.Data).substr(0, value.Data.size() - 1));
        return;
    }
    if (value.Type == REG_DWORD && DataToDword(value.Data, dword)) {
        out += "dword:";
        for (int shift = 28; shift >= 0; shift -= 4) out += digits[(dword >> shift) & 0xF];
        return;
    }
    if (value.Type == REG_BINARY) {
        out += "hex:";
    } else {
        out += "hex(";
        bool started = false;
        for (int shift = 28; shift >= 0; shift -= 4) {
            unsigned d = (value.Type >> shift) & 0xF;
            if (d != 0 || started || shift == 0) {
                out += digits[d];
                started = true;
            }
        }
        out += "):";
    }
    size_t lineStart = out.rfind('\n') + 1;  // npos + 1 == 0
    for (size_t i = 0; i < value.Data.size(); ++i) {
        auto byte = static_cast<unsigned char>(value.Data[i]);
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
        if (i + 1 < value.Data.size()) {
            out += ',';
            if (out.size() - lineStart >= HexLineWidth) {
                out += '\\';
                out += Newline;
                lineStart = out.size();
                out += "  ";
            }
        }
    }
}

}  // namespace

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = FoldChar(c);
    return folded;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldChar(x) == FoldChar(y); });
}

bool IsValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > MaxKeyNameLength) return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '\\' || c == '\0' || c == '\r' || c == '\n'; });
}

bool IsValidValueName(std::string_view name) {
    if (name.size() > MaxValueNameLength) return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

std::string DwordData(uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = char((value >> (8 * i)) & 0xFF);
    return data;
}

bool DataToDword(std::string_view data, uint32_t& value) {
    if (data.size() != 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[i]);
    return true;
}

namespace {

// FNV-1a over the folded bytes, from a start that differs from run to run, so that no file
// can be made whose names all fall into one slot and make the parse quadratic again.
size_t FoldedHash(std::string_view name) {
    static const uint64_t start =
        14695981039346656037ull ^ uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t hash = start;
    for (char c : name) hash = (hash ^ uint8_t(FoldChar(c))) * 1099511628211ull;
    return size_t(hash);
}

// Ordered as the folded names are: byte by byte, unsigned.
bool FoldedLess(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = uint8_t(FoldChar(a[i])), y = uint8_t(FoldChar(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

// A key holding no more values than this finds them by looking at each.
constexpr size_t LinearSearchLimit = 8;

// What a new key or value takes in memory, near enough to hold the parse to its budget: the
// objects themselves, the tree's and the list's share, and any name or data too long to be
// kept inside its string.
constexpr size_t KeyCost = sizeof(TRegKey) + 64;
constexpr size_t ValueCost = sizeof(TRegValue) + 32;
size_t HeapCost(const std::string& text) { return text.size() > 15 ? text.size() + 1 : 0; }

}  // namespace

const TRegValue& TRegValues::back() const {
    auto last = FItems->end();
    while (*--last == nullptr) {
    }
    return **last;
}

bool TRegKey::TByFoldedName::operator()(const std::unique_ptr<TRegKey>& a, const std::unique_ptr<TRegKey>& b) const {
    return FoldedLess(a->FName, b->FName);
}
bool TRegKey::TByFoldedName::operator()(const std::unique_ptr<TRegKey>& a, std::string_view b) const {
    return FoldedLess(a->FName, b);
}
bool TRegKey::TByFoldedName::operator()(std::string_view a, const std::unique_ptr<TRegKey>& b) const {
    return FoldedLess(a, b->FName);
}

TRegKey::TRegKey(const TRegKey& other) : FName(other.FName) { *this = other; }

TRegKey& TRegKey::operator=(const TRegKey& other) {
    if (this == &other) return *this;
    FName = other.FName;
    FValues.clear();
    for (const TRegValue& value : other.Values()) FValues.push_back(std::make_unique<TRegValue>(value));
    FLive = FValues.size();
    Reindex();
    return *this;
}

TRegKey::~TRegKey() {
    // Subkeys are freed from the deepest up, without recursion, so that no depth of keys can
    // exhaust the stack.
    std::vector<std::unique_ptr<TRegKey>> pending;
    auto take = [&](TSubkeys& subkeys) {
        while (!subkeys.empty()) pending.push_back(std::move(subkeys.extract(subkeys.begin()).value()));
    };
    take(FSubkeys);
    while (!pending.empty()) {
        std::unique_ptr<TRegKey> key = std::move(pending.back());
        pending.pop_back();
        take(key->FSubkeys);
    }
}

std::vector<std::string> TRegKey::Path() const {
    std::vector<std::string> path;
    for (const TRegKey* key = this; key != nullptr; key = key->FParent) path.push_back(key->FName);
    std::reverse(path.begin(), path.end());
    return path;
}

size_t TRegKey::Slot(std::string_view name) const {
    size_t mask = FSlots.size() - 1;
    for (size_t i = FoldedHash(name) & mask;; i = (i + 1) & mask) {
        uint32_t at = FSlots[i];
        if (at == 0 || SameName(FValues[at - 1]->Name, name)) return i;
    }
}

void TRegKey::Reindex() {
    FSlots.clear();
    if (FLive <= LinearSearchLimit) return;
    size_t size = 16;
    while (size < FLive * 2) size *= 2;
    FSlots.assign(size, 0);
    for (size_t i = 0; i < FValues.size(); ++i)
        if (FValues[i] != nullptr) FSlots[Slot(FValues[i]->Name)] = uint32_t(i + 1);
}

// Drops the places of removed values once they outnumber the values left.
void TRegKey::Compact() {
    if (FValues.size() < 2 * FLive + LinearSearchLimit) return;
    std::erase(FValues, nullptr);
    Reindex();
}

const TRegValue* TRegKey::Find(std::string_view name) const {
    if (FSlots.empty()) {
        for (const auto& value : FValues)
            if (value != nullptr && SameName(value->Name, name)) return value.get();
        return nullptr;
    }
    uint32_t at = FSlots[Slot(name)];
    return at == 0 ? nullptr : FValues[at - 1].get();
}

void TRegKey::Set(TRegValue value) {
    if (auto* found = const_cast<TRegValue*>(Find(value.Name))) {
        // The name keeps the letter case it was first stored with, as in the registry.
        found->Type = value.Type;
        found->Data = std::move(value.Data);
        return;
    }
    FValues.push_back(std::make_unique<TRegValue>(std::move(value)));
    ++FLive;
    if (FSlots.empty() ? FLive > LinearSearchLimit : FLive * 4 > FSlots.size() * 3) {
        Reindex();
        return;
    }
    if (!FSlots.empty()) FSlots[Slot(FValues.back()->Name)] = uint32_t(FValues.size());
}

bool TRegKey::Remove(std::string_view name) {
    size_t position = 0;
    if (FSlots.empty()) {
        while (position < FValues.size() && (FValues[position] == nullptr || !SameName(FValues[position]->Name, name)))
            ++position;
        if (position == FValues.size()) return false;
    } else {
        size_t slot = Slot(name);
        if (FSlots[slot] == 0) return false;
        position = FSlots[slot] - 1;
        // Open addressing: the values after the freed slot that would no longer be found
        // move back into it.
        size_t mask = FSlots.size() - 1;
        FSlots[slot] = 0;
        for (size_t next = (slot + 1) & mask; FSlots[next] != 0; next = (next + 1) & mask) {
            size_t home = FoldedHash(FValues[FSlots[next] - 1]->Name) & mask;
            bool stays = slot <= next ? (slot < home && home <= next) : (slot < home || home <= next);
            if (stays) continue;
            FSlots[slot] = FSlots[next];
            FSlots[next] = 0;
            slot = next;
        }
    }
    FValues[position].reset();
    --FLive;
    Compact();
    return true;
}

TRegDocument::TRegDocument(const TRegDocument& other) { *this = other; }

TRegDocument& TRegDocument::operator=(const TRegDocument& other) {
    if (this == &other) return *this;
    FRoots.clear();
    FDamaged = other.FDamaged;
    // Level by level, without recursion: each key copied with its values, then its subkeys.
    std::vector<std::pair<const TRegKey*, TRegKey*>> pending;
    auto copyLevel = [&](const TRegKey::TSubkeys& from, TRegKey::TSubkeys& to, TRegKey* parent) {
        for (const auto& key : from) {
            auto copy = std::make_unique<TRegKey>(*key);
            copy->FParent = parent;
            copy->FListed = key->FListed;
            pending.emplace_back(key.get(), copy.get());
            to.insert(to.end(), std::move(copy));
        }
    };
    copyLevel(other.FRoots, FRoots, nullptr);
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        copyLevel(from->FSubkeys, to->FSubkeys, to);
    }
    return *this;
}

TRegKey* TRegDocument::FindKey(const std::vector<std::string>& path) const {
    const TRegKey::TSubkeys* level = &FRoots;
    TRegKey* key = nullptr;
    for (const std::string& name : path) {
        auto it = level->find(std::string_view(name));
        if (it == level->end()) return nullptr;
        key = it->get();
        level = &key->FSubkeys;
    }
    return key != nullptr && key->FListed ? key : nullptr;
}

const TRegKey* TRegDocument::Find(const std::vector<std::string>& path) const { return FindKey(path); }

TRegKey* TRegDocument::Find(const std::vector<std::string>& path) { return FindKey(path); }

TRegKey& TRegDocument::Create(const std::vector<std::string>& path) {
    TRegKey::TSubkeys* level = &FRoots;
    TRegKey* parent = nullptr;
    for (size_t i = 0; i < path.size(); ++i) {
        auto it = level->find(std::string_view(path[i]));
        if (it == level->end()) {
            auto key = std::make_unique<TRegKey>();
            key->FName = path[i];
            key->FParent = parent;
            it = level->insert(std::move(key)).first;
        }
        TRegKey* key = it->get();
        // The root itself is only a section of its own when values are stored right in it.
        if (i > 0 || path.size() == 1) key->FListed = true;
        parent = key;
        level = &key->FSubkeys;
    }
    return *parent;
}

void TRegDocument::Remove(const std::vector<std::string>& path) {
    if (path.empty()) return;
    std::vector<std::string> above(path.begin(), path.end() - 1);
    TRegKey::TSubkeys* level = &FRoots;
    for (const std::string& name : above) {
        auto it = level->find(std::string_view(name));
        if (it == level->end()) return;
        level = &(*it)->FSubkeys;
    }
    auto it = level->find(std::string_view(path.back()));
    if (it != level->end()) level->erase(it);
}

void TRegDocument::ForEachKey(const std::function<void(const TRegKey&)>& visit) const {
    // Depth first, without recursion: a stack of the levels being walked.
    std::vector<std::pair<TRegKey::TSubkeys::const_iterator, TRegKey::TSubkeys::const_iterator>> stack;
    stack.emplace_back(FRoots.begin(), FRoots.end());
    while (!stack.empty()) {
        auto& [at, end] = stack.back();
        if (at == end) {
            stack.pop_back();
            continue;
        }
        const TRegKey& key = **at;
        ++at;
        if (key.FListed) visit(key);
        stack.emplace_back(key.FSubkeys.begin(), key.FSubkeys.end());
    }
}

size_t TRegDocument::KeyCount() const {
    size_t count = 0;
    ForEachKey([&](const TRegKey&) { ++count; });
    return count;
}

bool TRegDocument::Spend(size_t bytes) {
    if (bytes > FBudget) {
        FDamaged = true;
        return false;
    }
    FBudget -= bytes;
    return true;
}

void TRegDocument::ParseLine(std::string_view line, TRegKey*& current) {
    line = Trim(line);
    if (line.empty() || line.front() == ';') return;

    if (line.front() == '[') {
        current = nullptr;
        if (line.size() < 2 || line.back() != ']') {
            FDamaged = true;
            return;
        }
        std::string_view inner = line.substr(1, line.size() - 2);
        bool removal = !inner.empty() && inner.front() == '-';
        if (removal) inner.remove_prefix(1);
        std::vector<std::string> path;
        if (!SplitKeyPath(inner, path)) {
            FDamaged = true;  // the values that follow have no key to go to and are skipped too
            return;
        }
        if (removal) {
            Remove(path);
            return;
        }
        // What the keys this line adds would take; a line the budget cannot pay for is left
        // out whole, so that what is kept is a key with every key above it.
        size_t cost = 0;
        const TRegKey::TSubkeys* level = &FRoots;
        for (const std::string& name : path) {
            if (level != nullptr) {
                auto it = level->find(std::string_view(name));
                level = it == level->end() ? nullptr : &(*it)->FSubkeys;
            }
            if (level == nullptr) cost += KeyCost + HeapCost(name);
        }
        if (!Spend(cost)) return;
        current = &Create(path);
        return;
    }

    if (current == nullptr || (line.front() != '"' && line.front() != '@')) {
        FDamaged = true;
        return;
    }
    TRegValue value;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (!ParseQuoted(line, value.Name) || !IsValidValueName(value.Name)) {
        FDamaged = true;
        return;
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') {
        FDamaged = true;
        return;
    }
    line = Trim(line.substr(1));

    bool ok = false;
    if (line == "-") {
        current->Remove(value.Name);
        return;
    } else if (!line.empty() && line.front() == '"') {
        std::string text;
        ok = ParseQuoted(line, text) && Trim(line).empty();
        value.Type = REG_SZ;
        value.Data = std::move(text);
        value.Data += '\0';
    } else if (line.starts_with("dword:")) {
        uint32_t dword = 0;
        ok = ParseHex32(Trim(line.substr(6)), dword);
        value.Type = REG_DWORD;
        value.Data = DwordData(dword);
    } else if (line.starts_with("hex:")) {
        value.Type = REG_BINARY;
        ok = ParseHexBytes(line.substr(4), value.Data);
    } else if (line.starts_with("hex(")) {
        size_t close = line.find("):");
        ok = close != std::string_view::npos && ParseHex32(line.substr(4, close - 4), value.Type) &&
             ParseHexBytes(line.substr(close + 2), value.Data);
        if (ok && FUnicodeStrings && IsStringType(value.Type)) {
            std::string text;
            FDamaged = !Utf16ToText(value.Data, text) || FDamaged;
            value.Data = std::move(text);
        }
    }
    if (!ok) {
        FDamaged = true;
        return;
    }
    const TRegValue* existing = current->Find(value.Name);
    size_t cost = HeapCost(value.Data) + (existing != nullptr ? 0 : ValueCost + HeapCost(value.Name));
    if (!Spend(cost)) return;
    current->Set(std::move(value));
}

size_t TRegDocument::MemoryBudget(size_t textSize) {
    // A value line of a real file (a name, a dword) takes some three times its text in
    // memory; the constant leaves small files room for a few deep keys.
    return textSize * 4 + (size_t(1) << 20);
}

TRegDocument TRegDocument::Parse(std::string_view text) {
    TRegDocument doc;
    if (text.empty()) return doc;  // a file not yet written holds nothing and is not damaged

    // A file in Unicode is read as the 8-bit text it holds.
    std::string decoded;
    bool whole = true;
    if (text.starts_with(Utf16Mark)) {
        whole = Utf16ToText(text.substr(Utf16Mark.size()), decoded);
        text = decoded;
    } else if (text.starts_with(Utf8Mark)) {
        whole = Utf8ToWindows1252(text.substr(Utf8Mark.size()), decoded);
        text = decoded;
    } else if (Trim(text.substr(0, text.find('\n'))) == UnicodeHeader) {
        whole = Utf8ToWindows1252(text, decoded);
        text = decoded;
    }
    doc.FDamaged = !whole;
    doc.FBudget = MemoryBudget(text.size());
    doc.ParseText(text);
    doc.FBudget = SIZE_MAX;
    doc.FUnicodeStrings = false;
    return doc;
}

void TRegDocument::ParseText(std::string_view text) {
    TLineState state;
    ParseLines(text, state);
    FinishLines(state);
}

void TRegDocument::ParseLines(std::string_view text, TLineState& state) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;

        if (state.FirstLine) {
            state.FirstLine = false;
            if (Trim(line) == Header) continue;
            if (Trim(line) == UnicodeHeader) {
                FUnicodeStrings = true;
                continue;
            }
            FDamaged = true;  // no header: not our file, or its start was lost
        }

        // Long binary values run over several lines, each but the last ending in a backslash.
        std::string& logical = state.Logical;
        logical += Trim(line);
        size_t n = logical.size();
        bool continues = n >= 2 && logical[n - 1] == '\\' && (logical[n - 2] == ',' || logical[n - 2] == ':') &&
                         logical.front() != '[';
        if (continues) {
            logical.pop_back();
            state.Continued = true;
            continue;
        }
        state.Continued = false;
        ParseLine(logical, state.Current);
        logical.clear();
    }
}

void TRegDocument::FinishLines(TLineState& state) {
    if (!state.Continued) return;
    FDamaged = true;  // the text ends in the middle of a value
    ParseLine(state.Logical, state.Current);
    state.Logical.clear();
    state.Continued = false;
}

TRegParser::TRegParser(size_t textSize) : FTextSize(textSize) {}

void TRegParser::Feed(std::string_view piece) {
    FPending += piece;
    if (FMode == TMode::Undecided) {
        // The first line tells a file in Unicode, which is decoded whole, from one in 8-bit
        // text, which is parsed line by line as it comes.
        size_t newline = FPending.find('\n');
        bool marked =
            std::string_view(FPending).starts_with(Utf16Mark) || std::string_view(FPending).starts_with(Utf8Mark);
        if (!marked && newline == std::string::npos) return;
        Decide();
    }
    if (FMode != TMode::Lines) return;
    size_t last = FPending.rfind('\n');
    if (last == std::string::npos) return;
    FDocument.ParseLines(std::string_view(FPending).substr(0, last + 1), FState);
    FPending.erase(0, last + 1);
}

void TRegParser::Decide() {
    std::string_view text = FPending;
    bool unicode = text.starts_with(Utf16Mark) || text.starts_with(Utf8Mark) ||
                   Trim(text.substr(0, text.find('\n'))) == UnicodeHeader;
    FMode = unicode ? TMode::Whole : TMode::Lines;
    if (FMode == TMode::Lines) FDocument.FBudget = TRegDocument::MemoryBudget(FTextSize);
}

TRegDocument TRegParser::Finish() {
    if (FMode == TMode::Undecided && !FPending.empty()) Decide();
    if (FMode == TMode::Whole) return TRegDocument::Parse(FPending);
    FDocument.ParseLines(FPending, FState);
    FDocument.FinishLines(FState);
    FPending.clear();
    FDocument.FBudget = SIZE_MAX;
    FDocument.FUnicodeStrings = false;
    return std::move(FDocument);
}

bool TRegDocument::Serialize(const std::function<bool(std::string_view)>& sink, size_t limit) const {
    constexpr size_t PieceSize = 65536;
    std::string piece;
    size_t total = 0;
    bool ok = true;
    auto emit = [&](std::string_view text, bool flush) {
        total += text.size();
        if (total > limit) ok = false;
        if (!ok) return;
        piece += text;
        if (piece.size() >= PieceSize || (flush && !piece.empty())) {
            ok = sink(piece);
            piece.clear();
        }
    };
    emit(Header, false);
    emit(Newline, false);
    std::string line;
    ForEachKey([&](const TRegKey& key) {
        if (!ok) return;
        line.assign(Newline);
        line += '[';
        // The path is the same at every key of a long line of keys; the limit ends the text
        // before such paths could add up.
        std::vector<const TRegKey*> above;
        for (const TRegKey* k = &key; k != nullptr; k = k->FParent) above.push_back(k);
        for (size_t i = above.size(); i-- > 0;) {
            line += above[i]->Name();
            if (i > 0) line += '\\';
            if (total + line.size() > limit) {
                ok = false;
                return;
            }
        }
        line += ']';
        line += Newline;
        emit(line, false);
        for (const TRegValue& value : key.Values()) {
            line.clear();
            if (value.Name.empty()) {
                line += '@';
            } else {
                AppendQuoted(line, value.Name);
            }
            line += '=';
            AppendData(line, value);
            line += Newline;
            emit(line, false);
            if (!ok) return;
        }
    });
    emit({}, true);
    return ok;
}

std::string TRegDocument::Serialize() const {
    std::string out;
    Serialize(
        [&](std::string_view piece) {
            out += piece;
            return true;
        },
        SIZE_MAX);
    return out;
}

}  // namespace gridloom

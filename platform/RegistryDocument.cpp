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

// UTF-8 as 8-bit text. A byte that does not start a valid sequence is kept as it is; that,
// and a character with no byte, make the result false.
bool Utf8ToText(std::string_view bytes, std::string& out) {
    bool whole = true;
    size_t i = 0;
    while (i < bytes.size()) {
        auto lead = uint8_t(bytes[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t character = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + length <= bytes.size();
        for (size_t k = 1; valid && k < length; ++k) {
            auto next = uint8_t(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            character = (character << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += char(lead);
            whole = false;
            ++i;
            continue;
        }
        whole = AppendAs8Bit(out, character) && whole;
        i += length;
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

std::vector<std::string> FoldPath(const std::vector<std::string>& path) {
    std::vector<std::string> folded;
    folded.reserve(path.size());
    for (const auto& name : path) folded.push_back(FoldCase(name));
    return folded;
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

size_t TRegKey::TFoldedHash::operator()(std::string_view name) const {
    // FNV-1a over the folded bytes, from a start that differs from run to run, so that no file
    // can be made whose names all fall into one bucket and make the parse quadratic again.
    static const uint64_t start =
        14695981039346656037ull ^ uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t hash = start;
    for (char c : name) hash = (hash ^ uint8_t(FoldChar(c))) * 1099511628211ull;
    return size_t(hash);
}

bool TRegKey::TFoldedEqual::operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }

TRegKey::TRegKey(const TRegKey& other) : Path(other.Path), FValues(other.FValues) { Reindex(); }

TRegKey& TRegKey::operator=(const TRegKey& other) {
    if (this != &other) {
        Path = other.Path;
        FValues = other.FValues;
        Reindex();
    }
    return *this;
}

void TRegKey::Reindex() {
    FIndex.clear();
    for (auto it = FValues.begin(); it != FValues.end(); ++it) FIndex.emplace(it->Name, it);
}

const TRegValue* TRegKey::Find(std::string_view name) const {
    auto found = FIndex.find(name);
    return found == FIndex.end() ? nullptr : &*found->second;
}

void TRegKey::Set(TRegValue value) {
    auto found = FIndex.find(value.Name);
    if (found != FIndex.end()) {
        // The name keeps the letter case it was first stored with, as in the registry.
        found->second->Type = value.Type;
        found->second->Data = std::move(value.Data);
        return;
    }
    FValues.push_back(std::move(value));
    auto last = std::prev(FValues.end());
    FIndex.emplace(last->Name, last);
}

bool TRegKey::Remove(std::string_view name) {
    auto found = FIndex.find(name);
    if (found == FIndex.end()) return false;
    auto value = found->second;
    FIndex.erase(found);  // before the name it views goes
    FValues.erase(value);
    return true;
}

const TRegKey* TRegDocument::Find(const std::vector<std::string>& path) const {
    auto it = FKeys.find(FoldPath(path));
    return it == FKeys.end() ? nullptr : &it->second;
}

TRegKey* TRegDocument::Find(const std::vector<std::string>& path) {
    auto it = FKeys.find(FoldPath(path));
    return it == FKeys.end() ? nullptr : &it->second;
}

TRegKey& TRegDocument::Create(const std::vector<std::string>& path) {
    std::vector<std::string> folded = FoldPath(path);
    if (auto it = FKeys.find(folded); it != FKeys.end()) return it->second;
    // The root itself is only a section of its own when values are stored right in it.
    size_t first = std::min<size_t>(2, path.size());
    TRegKey* key = nullptr;
    for (size_t n = first; n <= path.size(); ++n) {
        std::vector<std::string> prefix(folded.begin(), folded.begin() + long(n));
        auto [it, inserted] = FKeys.try_emplace(std::move(prefix));
        if (inserted) it->second.Path.assign(path.begin(), path.begin() + long(n));
        key = &it->second;
    }
    return *key;
}

void TRegDocument::Remove(const std::vector<std::string>& path) {
    std::vector<std::string> folded = FoldPath(path);
    auto it = FKeys.lower_bound(folded);
    while (it != FKeys.end() && it->first.size() >= folded.size() &&
           std::equal(folded.begin(), folded.end(), it->first.begin()))
        it = FKeys.erase(it);
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
        if (Find(path) == nullptr) {
            size_t cost = path.size() * (path.size() + 1) / 2;  // at most: it and every key above it
            if (cost > FNameBudget) {
                FDamaged = true;
                return;
            }
            FNameBudget -= cost;
        }
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
    current->Set(std::move(value));
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
        whole = Utf8ToText(text.substr(Utf8Mark.size()), decoded);
        text = decoded;
    } else if (Trim(text.substr(0, text.find('\n'))) == UnicodeHeader) {
        whole = Utf8ToText(text, decoded);
        text = decoded;
    }
    doc.FDamaged = !whole;
    // Real files hold far fewer names than a quarter of their bytes (a key line of four names
    // is some fifty bytes); the constant leaves small files room for a few deep keys.
    doc.FNameBudget = text.size() / 4 + 65536;
    doc.ParseText(text);
    doc.FNameBudget = SIZE_MAX;
    doc.FUnicodeStrings = false;
    return doc;
}

void TRegDocument::ParseText(std::string_view text) {
    TRegKey* current = nullptr;
    std::string logical;
    bool firstLine = true;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;

        if (firstLine) {
            firstLine = false;
            if (Trim(line) == Header) continue;
            if (Trim(line) == UnicodeHeader) {
                FUnicodeStrings = true;
                continue;
            }
            FDamaged = true;  // no header: not our file, or its start was lost
        }

        // Long binary values run over several lines, each but the last ending in a backslash.
        logical += Trim(line);
        size_t n = logical.size();
        bool continues = n >= 2 && logical[n - 1] == '\\' && (logical[n - 2] == ',' || logical[n - 2] == ':') &&
                         logical.front() != '[';
        if (continues) {
            logical.pop_back();
            if (pos < text.size()) continue;
            FDamaged = true;  // the file ends in the middle of a value
        }
        ParseLine(logical, current);
        logical.clear();
    }
}

std::string TRegDocument::Serialize() const {
    std::string out;
    out += Header;
    out += Newline;
    for (const auto& [folded, key] : FKeys) {
        out += Newline;
        out += '[';
        for (size_t i = 0; i < key.Path.size(); ++i) {
            if (i > 0) out += '\\';
            out += key.Path[i];
        }
        out += ']';
        out += Newline;
        for (const auto& value : key.Values()) {
            if (value.Name.empty()) {
                out += '@';
            } else {
                AppendQuoted(out, value.Name);
            }
            out += '=';
            AppendData(out, value);
            out += Newline;
        }
    }
    return out;
}

}  // namespace gridloom

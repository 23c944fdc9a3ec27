#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/VersionBlock.h"

namespace gridloom {

namespace {

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t code = 0xFFFD;
        std::size_t length = 1;
        if (c < 0x80) {
            code = c;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
        }
        if (length > 1) {
            if (i + length > text.size()) {
                length = 1;
            } else {
                code = c & (0x7F >> length);
                for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (text[i + k] & 0x3F);
            }
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

// Writes one node at a time; the lengths are filled in when a node is closed, since they
// cover the children written after the header.
class TBlockWriter {
public:
    std::size_t Open(const std::string& key, uint16_t type) {
        Align();
        std::size_t start = FBytes.size();
        Word(0);
        Word(0);
        Word(type);
        for (char16_t unit : Utf8ToUtf16(key)) Word(unit);
        Word(0);
        Align();
        return start;
    }
    void Close(std::size_t start) {
        std::size_t length = FBytes.size() - start;
        if (length > 0xFFFF) throw std::length_error("version block longer than 65535 bytes");
        Put(start, static_cast<uint16_t>(length));
    }
    // A value's length is in characters for text and in bytes for binary values.
    void Text(std::size_t start, const std::string& value) {
        std::u16string units = Utf8ToUtf16(value);
        for (char16_t unit : units) Word(unit);
        Word(0);
        Put(start + 2, static_cast<uint16_t>(units.size() + 1));
    }
    void Binary(std::size_t start, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        FBytes.insert(FBytes.end(), bytes, bytes + size);
        Put(start + 2, static_cast<uint16_t>(size));
    }
    void Align() {
        while (FBytes.size() % 4 != 0) FBytes.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(FBytes); }

private:
    void Word(uint16_t w) {
        FBytes.push_back(static_cast<uint8_t>(w));
        FBytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    void Put(std::size_t at, uint16_t w) {
        FBytes[at] = static_cast<uint8_t>(w);
        FBytes[at + 1] = static_cast<uint8_t>(w >> 8);
    }
    std::vector<uint8_t> FBytes;
};

void PutLittleEndian(uint8_t* out, const uint32_t* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<uint8_t>(values[i] >> (8 * b));
}

}  // namespace

std::string TranslationKey(uint16_t language, uint16_t codePage) {
    char key[9];
    std::snprintf(key, sizeof key, "%.4X%.4X", language, codePage);
    return key;
}

std::vector<uint8_t> BuildVersionBlock(const TVersionDescription& d) {
    TBlockWriter w;
    std::size_t root = w.Open("VS_VERSION_INFO", 0);
    auto half = [](uint16_t high, uint16_t low) { return (uint32_t(high) << 16) | low; };
    const uint32_t fixed[13] = {VS_FFI_SIGNATURE,
                                VS_FFI_STRUCVERSION,
                                half(d.FileVersion[0], d.FileVersion[1]),
                                half(d.FileVersion[2], d.FileVersion[3]),
                                half(d.ProductVersion[0], d.ProductVersion[1]),
                                half(d.ProductVersion[2], d.ProductVersion[3]),
                                d.FileFlagsMask,
                                d.FileFlags,
                                d.FileOS,
                                d.FileType,
                                d.FileSubtype,
                                d.FileDateMS,
                                d.FileDateLS};
    uint8_t fixedBytes[sizeof fixed];
    PutLittleEndian(fixedBytes, fixed, 13);
    w.Binary(root, fixedBytes, sizeof fixedBytes);

    std::size_t stringInfo = w.Open("StringFileInfo", 1);
    std::string tableKey = d.StringTableKey;
    if (tableKey.empty())
        tableKey =
            d.Translations.empty() ? "040904E4" : TranslationKey(d.Translations[0].first, d.Translations[0].second);
    std::size_t table = w.Open(tableKey, 1);
    for (const auto& [key, value] : d.Strings) {
        std::size_t node = w.Open(key, 1);
        w.Text(node, value);
        w.Close(node);
    }
    w.Close(table);
    w.Close(stringInfo);

    if (!d.Translations.empty()) {
        std::size_t varInfo = w.Open("VarFileInfo", 1);
        std::size_t var = w.Open("Translation", 0);
        std::vector<uint8_t> entries;
        for (auto [language, codePage] : d.Translations)
            for (uint16_t v : {language, codePage}) {
                entries.push_back(static_cast<uint8_t>(v));
                entries.push_back(static_cast<uint8_t>(v >> 8));
            }
        w.Binary(var, entries.data(), entries.size());
        w.Close(var);
        w.Close(varInfo);
    }
    w.Close(root);
    return w.Take();
}

}  // namespace gridloom

#include "platform/Windows1252.h"

#include <cstdint>

namespace gridloom {

namespace {

constexpr char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t Windows1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return High[byte - 0x80];
    return byte;
}

int UnicodeToWindows1252(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return int(character);
    for (int i = 0; i < 32; ++i)
        if (High[i] == character) return 0x80 + i;
    return -1;
}

void AppendUtf8(std::string& out, char32_t character) {
    if (character < 0x80) {
        out += char(character);
    } else if (character < 0x800) {
        out += char(0xC0 | (character >> 6));
        out += char(0x80 | (character & 0x3F));
    } else {
        out += char(0xE0 | (character >> 12));
        out += char(0x80 | ((character >> 6) & 0x3F));
        out += char(0x80 | (character & 0x3F));
    }
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (unsigned char byte : text) AppendUtf8(out, Windows1252ToUnicode(byte));
    return out;
}

bool Utf8ToWindows1252(std::string_view bytes, std::string& out) {
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
        int byte = UnicodeToWindows1252(character);
        out += byte < 0 ? '?' : char(byte);
        whole = whole && byte >= 0;
        i += length;
    }
    return whole;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    Utf8ToWindows1252(utf8, out);
    return out;
}

}  // namespace gridloom

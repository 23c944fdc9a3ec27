// Program files made in the test, carrying a given version block: a minimal 64-bit ELF
// file with the block in its section, and a minimal 32-bit PE file with the block as its
// RT_VERSION resource. Enough of each format for a reader; neither would run.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ExecutableImage.h"
#include "platform/VersionBlock.h"

namespace gridloom::test {

inline void PutLE(std::vector<uint8_t>& bytes, std::size_t at, uint64_t value, int width) {
    if (bytes.size() < at + width) bytes.resize(at + width);
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// An ELF file whose sections are the null section, one named sectionName holding payload,
// and the section-name table.
inline std::vector<uint8_t> ElfFile(const std::vector<uint8_t>& payload,
                                    const std::string& sectionName = VersionSectionName) {
    std::vector<uint8_t> f(64, 0);
    std::memcpy(f.data(),
                "\x7F"
                "ELF",
                4);
    f[4] = 2;  // 64-bit
    f[5] = 1;  // little-endian
    f[6] = 1;
    PutLE(f, 16, 2, 2);     // executable
    PutLE(f, 18, 0x3E, 2);  // x86-64
    PutLE(f, 20, 1, 4);
    auto append = [&f](const void* bytes, std::size_t size) {
        std::size_t at = f.size();
        f.resize(at + size);
        if (size != 0) std::memcpy(f.data() + at, bytes, size);
        return at;
    };
    std::size_t data = append(payload.data(), payload.size());
    std::string names = std::string("\0", 1) + sectionName + std::string("\0.shstrtab\0", 11);
    std::size_t namesAt = append(names.data(), names.size());
    while (f.size() % 8) f.push_back(0);
    std::size_t headers = f.size();
    f.resize(headers + 3 * 64, 0);
    auto section = [&](int index, uint32_t name, uint32_t type, uint64_t offset, uint64_t size) {
        std::size_t h = headers + index * 64;
        PutLE(f, h, name, 4);
        PutLE(f, h + 4, type, 4);
        PutLE(f, h + 24, offset, 8);
        PutLE(f, h + 32, size, 8);
    };
    section(1, 1, 1, data, payload.size());                            // PROGBITS
    section(2, 1 + sectionName.size() + 1, 3, namesAt, names.size());  // STRTAB
    PutLE(f, 0x28, headers, 8);
    PutLE(f, 0x34, 64, 2);
    PutLE(f, 0x3A, 64, 2);
    PutLE(f, 0x3C, 3, 2);
    PutLE(f, 0x3E, 2, 2);
    return f;
}

// A PE file with one section, ".rsrc", whose resource tree holds payload as version
// resource 1, language 0x0809.
inline std::vector<uint8_t> PeFile(const std::vector<uint8_t>& payload) {
    const uint32_t SectionRva = 0x1000, SectionFile = 0x200;
    std::vector<uint8_t> f(SectionFile, 0);
    f[0] = 'M';
    f[1] = 'Z';
    PutLE(f, 0x3C, 0x40, 4);
    std::memcpy(f.data() + 0x40, "PE\0\0", 4);
    const std::size_t coff = 0x44, optional = coff + 20;
    PutLE(f, coff, 0x14C, 2);      // i386
    PutLE(f, coff + 2, 1, 2);      // one section
    PutLE(f, coff + 16, 224, 2);   // optional header size
    PutLE(f, optional, 0x10B, 2);  // PE32
    PutLE(f, optional + 92, 16, 4);

    std::vector<uint8_t> r;
    auto directory = [&](std::size_t at, uint32_t id, uint32_t target) {
        PutLE(r, at + 14, 1, 2);  // one entry, by id
        PutLE(r, at + 16, id, 4);
        PutLE(r, at + 20, target, 4);
    };
    directory(0x00, 16, 0x80000000 | 0x18);  // RT_VERSION
    directory(0x18, 1, 0x80000000 | 0x30);   // resource 1
    directory(0x30, 0x0809, 0x48);           // language: a data entry
    PutLE(r, 0x48, SectionRva + 0x58, 4);
    PutLE(r, 0x4C, payload.size(), 4);
    r.resize(0x58);
    r.insert(r.end(), payload.begin(), payload.end());
    while (r.size() % 0x200) r.push_back(0);

    PutLE(f, optional + 96 + 16, SectionRva, 4);
    PutLE(f, optional + 96 + 20, r.size(), 4);
    const std::size_t table = optional + 224;
    std::memcpy(f.data() + table, ".rsrc", 5);
    PutLE(f, table + 8, r.size(), 4);
    PutLE(f, table + 12, SectionRva, 4);
    PutLE(f, table + 16, r.size(), 4);
    PutLE(f, table + 20, SectionFile, 4);
    f.insert(f.end(), r.begin(), r.end());
    return f;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A block like the program's own: version 1.4.0.10, translation (0x0809, 1252).
inline TVersionDescription ProgramLikeDescription() {
    TVersionDescription d;
    uint16_t version[4] = {1, 4, 0, 10};
    std::copy(version, version + 4, d.FileVersion);
    std::copy(version, version + 4, d.ProductVersion);
    d.Translations = {{0x0809, 1252}};
    d.Strings = {{"CompanyName", "Tarnwick, Kellsmouth"},
                 {"FileVersion", "1.4.0.10"},
                 {"LegalCopyright", "Copyright \xC2\xA9 1998-2002 Tarnwick"},
                 {"ProductName", "Skylune - Make master overlay"},
                 {"ProductVersion", "1.4"},
                 {"Comments", "2002 Apr 04"},
                 {"Web site", "www.tarnwick.example"}};
    return d;
}

}  // namespace gridloom::test

#include "platform/ExecutableImage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace gridloom {

namespace {

// Reads little- or big-endian integers at offsets that are always checked first.
class TReader {
public:
    TReader(std::span<const uint8_t> bytes, bool bigEndian) : FBytes(bytes), FBig(bigEndian) {}
    bool Has(uint64_t offset, uint64_t count) const {
        return offset <= FBytes.size() && count <= FBytes.size() - offset;
    }
    uint64_t Get(uint64_t offset, int width) const {
        uint64_t v = 0;
        for (int i = 0; i < width; ++i) {
            uint64_t b = FBytes[offset + (FBig ? i : width - 1 - i)];
            v = (v << 8) | b;
        }
        return v;
    }
    std::span<const uint8_t> Bytes() const { return FBytes; }

private:
    std::span<const uint8_t> FBytes;
    bool FBig;
};

std::optional<std::span<const uint8_t>> FindInElf(std::span<const uint8_t> file) {
    if (file.size() < 0x34) return std::nullopt;
    bool wide = file[4] == 2;
    if ((file[4] != 1 && !wide) || (file[5] != 1 && file[5] != 2)) return std::nullopt;
    TReader r(file, file[5] == 2);
    if (wide && !r.Has(0, 0x40)) return std::nullopt;
    const int word = wide ? 8 : 4;
    uint64_t shoff = r.Get(wide ? 0x28 : 0x20, word);
    uint64_t shentsize = r.Get(wide ? 0x3A : 0x2E, 2);
    uint64_t shnum = r.Get(wide ? 0x3C : 0x30, 2);
    uint64_t shstrndx = r.Get(wide ? 0x3E : 0x32, 2);
    const uint64_t minEntry = wide ? 0x40 : 0x28;
    if (shoff == 0 || shentsize < minEntry || !r.Has(shoff, shentsize)) return std::nullopt;
    // Files with many sections keep the true count and string-table index in section 0.
    const uint64_t offsetField = wide ? 24 : 16, sizeField = wide ? 32 : 20, linkField = wide ? 40 : 24;
    if (shnum == 0) shnum = r.Get(shoff + sizeField, word);
    if (shstrndx == 0xFFFF) shstrndx = r.Get(shoff + linkField, 4);
    if (shnum > (file.size() - shoff) / shentsize) return std::nullopt;
    if (shstrndx >= shnum) return std::nullopt;

    auto section = [&](uint64_t index) -> std::optional<std::span<const uint8_t>> {
        uint64_t header = shoff + index * shentsize;
        const uint32_t SHT_NOBITS = 8;
        if (r.Get(header + 4, 4) == SHT_NOBITS) return std::nullopt;
        uint64_t offset = r.Get(header + offsetField, word), size = r.Get(header + sizeField, word);
        if (!r.Has(offset, size)) return std::nullopt;
        return file.subspan(offset, size);
    };
    auto names = section(shstrndx);
    if (!names) return std::nullopt;
    const std::string_view wanted = VersionSectionName;
    for (uint64_t i = 0; i < shnum; ++i) {
        uint64_t name = r.Get(shoff + i * shentsize, 4);
        if (name >= names->size() || names->size() - name < wanted.size() + 1) continue;
        if (std::memcmp(names->data() + name, wanted.data(), wanted.size()) != 0 || (*names)[name + wanted.size()] != 0)
            continue;
        return section(i);
    }
    return std::nullopt;
}

std::optional<std::span<const uint8_t>> FindInPe(std::span<const uint8_t> file) {
    TReader r(file, false);
    if (!r.Has(0, 0x40)) return std::nullopt;
    uint64_t pe = r.Get(0x3C, 4);
    if (!r.Has(pe, 24) || std::memcmp(file.data() + pe, "PE\0\0", 4) != 0) return std::nullopt;
    uint64_t sectionCount = r.Get(pe + 6, 2);
    uint64_t optionalSize = r.Get(pe + 20, 2);
    uint64_t optional = pe + 24;
    if (!r.Has(optional, optionalSize) || optionalSize < 2) return std::nullopt;
    uint64_t magic = r.Get(optional, 2);
    uint64_t countField = magic == 0x20B ? 108 : 92, directories = magic == 0x20B ? 112 : 96;
    if ((magic != 0x10B && magic != 0x20B) || optionalSize < directories + uint64_t{3} * 8) return std::nullopt;
    if (r.Get(optional + countField, 4) < 3) return std::nullopt;
    uint64_t resourceRva = r.Get(optional + directories + 16, 4);
    uint64_t sections = optional + optionalSize;
    if (resourceRva == 0 || !r.Has(sections, sectionCount * 40)) return std::nullopt;

    // Maps an address in the loaded image to the file offset, and how many bytes from there
    // the file holds of that section.
    auto locate = [&](uint64_t rva, uint64_t* available) -> std::optional<uint64_t> {
        for (uint64_t s = 0; s < sectionCount; ++s) {
            uint64_t header = sections + s * 40;
            uint64_t va = r.Get(header + 12, 4), rawSize = r.Get(header + 16, 4), raw = r.Get(header + 20, 4);
            if (rva < va || rva - va >= rawSize) continue;
            uint64_t offset = raw + (rva - va);
            if (!r.Has(offset, 0)) return std::nullopt;
            *available = std::min(rawSize - (rva - va), file.size() - offset);
            return offset;
        }
        return std::nullopt;
    };
    uint64_t resourceSize = 0;
    auto base = locate(resourceRva, &resourceSize);
    if (!base) return std::nullopt;
    TReader res(file.subspan(*base, resourceSize), false);

    // Three levels: type (RT_VERSION is 16), name, language; the first of each for the
    // last two. Fixed depth, so a directory pointing back at itself cannot loop.
    const uint64_t RT_VERSION = 16, Subdirectory = 0x80000000;
    uint64_t directory = 0;
    for (int level = 0; level < 3; ++level) {
        if (!res.Has(directory, 16)) return std::nullopt;
        uint64_t count = res.Get(directory + 12, 2) + res.Get(directory + 14, 2);
        std::optional<uint64_t> next;
        for (uint64_t e = 0; e < count && res.Has(directory + 16 + e * 8, 8); ++e) {
            uint64_t entry = directory + 16 + e * 8;
            uint64_t id = res.Get(entry, 4), target = res.Get(entry + 4, 4);
            bool isDirectory = (target & Subdirectory) != 0;
            if (level == 0 && id != RT_VERSION) continue;
            if (isDirectory != (level < 2)) continue;
            next = target & ~Subdirectory;
            break;
        }
        if (!next) return std::nullopt;
        directory = *next;
    }
    if (!res.Has(directory, 16)) return std::nullopt;
    uint64_t dataRva = res.Get(directory, 4), dataSize = res.Get(directory + 4, 4), available = 0;
    auto data = locate(dataRva, &available);
    if (!data || dataSize > available) return std::nullopt;
    return file.subspan(*data, dataSize);
}

}  // namespace

std::optional<std::span<const uint8_t>> FindVersionResource(std::span<const uint8_t> file) {
    if (file.size() >= 4 && std::memcmp(file.data(),
                                        "\x7F"
                                        "ELF",
                                        4) == 0)
        return FindInElf(file);
    if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z') return FindInPe(file);
    return std::nullopt;
}

}  // namespace gridloom

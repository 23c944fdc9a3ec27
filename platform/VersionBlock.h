// The binary layout of a version-information block, as Windows programs carry it in their
// resources: a tree of nodes, each a 16-bit length, a 16-bit value length, a 16-bit type
// (1 for text, 0 for binary), a zero-terminated UTF-16 key, then the value and the
// children, every part starting on a 32-bit boundary. The root, "VS_VERSION_INFO", holds
// the fixed record; its children are "StringFileInfo" with one string table per
// translation, and "VarFileInfo" with the "Translation" array.
//
// Both directions live here: the builder that makes the block our executables carry, and
// the reader that walks a block from any source without ever reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace gridloom {

// The fixed record (VS_FIXEDFILEINFO), 52 bytes, little-endian in the block.
struct VS_FIXEDFILEINFO {
    uint32_t dwSignature;
    uint32_t dwStrucVersion;
    uint32_t dwFileVersionMS;
    uint32_t dwFileVersionLS;
    uint32_t dwProductVersionMS;
    uint32_t dwProductVersionLS;
    uint32_t dwFileFlagsMask;
    uint32_t dwFileFlags;
    uint32_t dwFileOS;
    uint32_t dwFileType;
    uint32_t dwFileSubtype;
    uint32_t dwFileDateMS;
    uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr uint32_t VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr uint32_t VS_FFI_STRUCVERSION = 0x00010000;
constexpr uint32_t VS_FF_DEBUG = 0x01;
constexpr uint32_t VS_FF_PRERELEASE = 0x02;
constexpr uint32_t VS_FF_PATCHED = 0x04;
constexpr uint32_t VS_FF_PRIVATEBUILD = 0x08;
constexpr uint32_t VS_FF_INFOINFERRED = 0x10;
constexpr uint32_t VS_FF_SPECIALBUILD = 0x20;
constexpr uint32_t VOS__WINDOWS32 = 0x4;
constexpr uint32_t VFT_APP = 0x1;

// What a block says, in the order the block says it. Texts are UTF-8.
struct TVersionDescription {
    uint16_t FileVersion[4] = {0, 0, 0, 0};
    uint16_t ProductVersion[4] = {0, 0, 0, 0};
    uint32_t FileFlagsMask = 0x3F;
    uint32_t FileFlags = 0;
    uint32_t FileOS = VOS__WINDOWS32;
    uint32_t FileType = VFT_APP;
    uint32_t FileSubtype = 0;
    uint32_t FileDateMS = 0;
    uint32_t FileDateLS = 0;
    // The "Translation" array; a block may have none, and then no "VarFileInfo" either.
    std::vector<std::pair<uint16_t, uint16_t>> Translations;  // language, code page
    // The string table's key; empty: made from the first translation ("080904E4"), or
    // "040904E4" when there is none.
    std::string StringTableKey;
    std::vector<std::pair<std::string, std::string>> Strings;  // key, value, in order
};

// The block in its binary layout. Throws std::length_error when it would not fit the
// 16-bit lengths.
std::vector<uint8_t> BuildVersionBlock(const TVersionDescription& description);

// The eight hexadecimal digits of a translation, upper case: (0x0809, 1252) -> "080904E4".
std::string TranslationKey(uint16_t language, uint16_t codePage);

// One node of a block, as found by the reader. Offsets are from the start of the block.
struct TVersionNode {
    std::size_t Offset = 0;       // first byte of the node
    std::size_t End = 0;          // one past its last byte (its length, bounded by the parent)
    uint16_t Type = 0;            // 1 text, 0 binary
    std::string Key;              // UTF-8
    std::size_t ValueOffset = 0;  // first byte of the value
    std::size_t ValueBytes = 0;   // bytes of the value that lie inside the node
    std::size_t ChildrenOffset = 0;
};

// Nesting deeper than this is taken as a crafted block; real blocks are four levels deep.
constexpr int MaxVersionNodeDepth = 16;

// Reads the node at offset within block[0, limit). Nothing when the node's header or key
// does not fit, its length is shorter than its header, or its key is not terminated.
std::optional<TVersionNode> ReadVersionNode(std::span<const uint8_t> block, std::size_t offset, std::size_t limit);

// The children of node, in order; stops at the first one that cannot be read.
std::vector<TVersionNode> VersionNodeChildren(std::span<const uint8_t> block, const TVersionNode& node);

// The root node, bounded by both its own length and the block's size.
std::optional<TVersionNode> VersionRootNode(std::span<const uint8_t> block);

// UTF-16 code units (little-endian bytes) to UTF-8; stops at the first zero unit. Unpaired
// surrogates become U+FFFD. Never more than three bytes for each unit read.
std::string Utf16ToUtf8(std::span<const uint8_t> littleEndianUnits);

}  // namespace gridloom

#include <algorithm>

#include "platform/VersionBlock.h"

namespace gridloom {

namespace {

constexpr std::size_t HeaderBytes = 6;

uint16_t Word(std::span<const uint8_t> block, std::size_t at) {
    return static_cast<uint16_t>(block[at] | (block[at + 1] << 8));
}

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t(3); }

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string Utf16ToUtf8(std::span<const uint8_t> units) {
    std::string out;
    std::size_t count = units.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t unit = Word(units, i * 2);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
            uint32_t low = Word(units, (i + 1) * 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    return out;
}

std::optional<TVersionNode> ReadVersionNode(std::span<const uint8_t> block, std::size_t offset, std::size_t limit) {
    if (limit > block.size()) limit = block.size();
    if (offset >= limit || limit - offset < HeaderBytes + 2) return std::nullopt;
    TVersionNode node;
    node.Offset = offset;
    std::size_t length = Word(block, offset);
    if (length < HeaderBytes + 2) return std::nullopt;
    node.End = length > limit - offset ? limit : offset + length;
    std::size_t valueLength = Word(block, offset + 2);
    node.Type = Word(block, offset + 4);

    std::size_t keyEnd = offset + HeaderBytes;
    while (true) {
        if (keyEnd + 2 > node.End) return std::nullopt;
        if (Word(block, keyEnd) == 0) break;
        keyEnd += 2;
    }
    node.Key = Utf16ToUtf8(block.subspan(offset + HeaderBytes, keyEnd - offset - HeaderBytes));
    node.ValueOffset = Align4(keyEnd + 2);
    if (node.ValueOffset > node.End) node.ValueOffset = node.End;
    // Text values count characters; some writers count bytes instead, so a text value is
    // bounded by its node as well.
    std::size_t wanted = node.Type == 1 ? valueLength * 2 : valueLength;
    node.ValueBytes = std::min(wanted, node.End - node.ValueOffset);
    node.ChildrenOffset = std::min(Align4(node.ValueOffset + node.ValueBytes), node.End);
    return node;
}

std::vector<TVersionNode> VersionNodeChildren(std::span<const uint8_t> block, const TVersionNode& node) {
    std::vector<TVersionNode> children;
    std::size_t at = node.ChildrenOffset;
    while (at < node.End) {
        auto child = ReadVersionNode(block, at, node.End);
        if (!child) break;
        children.push_back(*child);
        at = Align4(child->End);  // every node is at least 8 bytes long, so this ends
    }
    return children;
}

std::optional<TVersionNode> VersionRootNode(std::span<const uint8_t> block) {
    return ReadVersionNode(block, 0, block.size());
}

}  // namespace gridloom

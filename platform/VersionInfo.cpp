#include "platform/VersionInfo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/ExecutableImage.h"
#include "platform/VersionBlock.h"

namespace gridloom {

namespace {

// Marks the text area behind the block, so that a block copied some other way is never
// taken to have one.
constexpr char TextAreaMark[4] = {'G', 'L', 'T', '8'};

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t(3); }

// The text of a value at block offset o lies at TextArea + o * 3 / 2: each UTF-16 unit
// needs at most three bytes, and the next value starts at least eight bytes (a node
// header and a key terminator) after this one ends, so the texts never overlap.
std::size_t TextAreaOffset(std::size_t blockLength) { return Align4(blockLength) + sizeof TextAreaMark; }
std::size_t CopySize(std::size_t blockLength) { return TextAreaOffset(blockLength) + blockLength * 3 / 2 + 4; }
std::size_t TextPosition(std::size_t blockLength, std::size_t valueOffset) {
    return TextAreaOffset(blockLength) + valueOffset * 3 / 2;
}

uint16_t BlockLength(const uint8_t* block) { return static_cast<uint16_t>(block[0] | (block[1] << 8)); }

void WriteTexts(std::vector<uint8_t>& copy, std::span<const uint8_t> block, const TVersionNode& node, int depth) {
    if (node.Type == 1) {
        std::string text = Utf16ToUtf8(block.subspan(node.ValueOffset, node.ValueBytes));
        std::memcpy(copy.data() + TextPosition(block.size(), node.ValueOffset), text.c_str(), text.size() + 1);
    }
    if (depth + 1 >= MaxVersionNodeDepth) return;
    for (const TVersionNode& child : VersionNodeChildren(block, node)) WriteTexts(copy, block, child, depth + 1);
}

// The whole file, mapped read-only for as long as the object lives; empty for anything
// that is not a readable regular file (a FIFO or a device would block or never end).
class TMappedFile {
public:
    explicit TMappedFile(const char* path) {
        if (path == nullptr || *path == 0) return;
        int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (p != MAP_FAILED) {
                FData = static_cast<const uint8_t*>(p);
                FSize = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    ~TMappedFile() {
        if (FData) ::munmap(const_cast<uint8_t*>(FData), FSize);
    }
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;
    std::span<const uint8_t> Bytes() const { return {FData, FSize}; }

private:
    const uint8_t* FData = nullptr;
    std::size_t FSize = 0;
};

std::vector<uint8_t> CopyOfFileBlock(const char* file) {
    TMappedFile mapped(file);
    auto block = FindVersionResource(mapped.Bytes());
    if (!block) return {};
    return MakeVersionInfoCopy(*block);
}

bool KeyEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> MakeVersionInfoCopy(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2) return {};
    std::size_t length = BlockLength(bytes.data());
    if (length > bytes.size()) return {};
    std::span<const uint8_t> block = bytes.first(length);
    auto root = VersionRootNode(block);
    if (!root) return {};
    std::vector<uint8_t> copy(CopySize(length), 0);
    std::memcpy(copy.data(), block.data(), length);
    std::memcpy(copy.data() + Align4(length), TextAreaMark, sizeof TextAreaMark);
    WriteTexts(copy, block, *root, 0);
    return copy;
}

uint32_t GetFileVersionInfoSizeA(const char* file, uint32_t* handle) {
    if (handle) *handle = 0;
    return static_cast<uint32_t>(CopyOfFileBlock(file).size());
}

bool GetFileVersionInfoA(const char* file, uint32_t /*handle*/, uint32_t size, void* data) {
    if (data == nullptr) return false;
    std::vector<uint8_t> copy = CopyOfFileBlock(file);
    if (copy.empty() || size < copy.size()) return false;
    std::memcpy(data, copy.data(), copy.size());
    return true;
}

bool VerQueryValueA(const void* blockCopy, const char* subBlock, void** buffer, uint32_t* length) {
    if (blockCopy == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) return false;
    auto* bytes = static_cast<uint8_t*>(const_cast<void*>(blockCopy));
    std::span<const uint8_t> block(bytes, BlockLength(bytes));
    auto node = VersionRootNode(block);
    if (!node) return false;

    std::string_view path = subBlock;
    int depth = 0;
    while (!path.empty()) {
        std::size_t start = path.find_first_not_of('\\');
        if (start == std::string_view::npos) break;
        path.remove_prefix(start);
        std::size_t end = path.find('\\');
        std::string_view key = path.substr(0, end);
        path.remove_prefix(end == std::string_view::npos ? path.size() : end);
        if (++depth >= MaxVersionNodeDepth) return false;
        std::optional<TVersionNode> found;
        for (const TVersionNode& child : VersionNodeChildren(block, *node))
            if (KeyEquals(child.Key, key)) {
                found = child;
                break;
            }
        if (!found) return false;
        node = found;
    }

    if (depth == 0) {
        VS_FIXEDFILEINFO fixed;
        if (node->ValueBytes < sizeof fixed) return false;
        std::memcpy(&fixed, bytes + node->ValueOffset, sizeof fixed);
        if (fixed.dwSignature != VS_FFI_SIGNATURE) return false;
    }
    if (node->Type == 1) {
        std::size_t at = TextPosition(block.size(), node->ValueOffset);
        if (std::memcmp(bytes + Align4(block.size()), TextAreaMark, sizeof TextAreaMark) != 0) return false;
        char* text = reinterpret_cast<char*>(bytes + at);
        *buffer = text;
        *length = static_cast<uint32_t>(std::strlen(text) + 1);
        return true;
    }
    *buffer = bytes + node->ValueOffset;
    *length = static_cast<uint32_t>(node->ValueBytes);
    return true;
}

}  // namespace gridloom

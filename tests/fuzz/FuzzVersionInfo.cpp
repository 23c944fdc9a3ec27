// libFuzzer target for the version-block reader: the input is taken both as a whole
// program file, in which the block is looked for, and as a block itself. Every node the
// reader can reach is then looked up by its path, as the About box's queries would.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/ExecutableImage.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

namespace {

void QueryAll(std::vector<uint8_t>& copy, std::span<const uint8_t> block, const gridloom::TVersionNode& node,
              const std::string& path, int depth) {
    void* value = nullptr;
    uint32_t length = 0;
    gridloom::VerQueryValueA(copy.data(), path.empty() ? "\\" : path.c_str(), &value, &length);
    if (depth >= 5) return;
    for (const auto& child : gridloom::VersionNodeChildren(block, node))
        QueryAll(copy, block, child, path + "\\" + child.Key, depth + 1);
}

void Exercise(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> copy = gridloom::MakeVersionInfoCopy(bytes);
    if (copy.empty()) return;
    std::span<const uint8_t> block(copy.data(), copy[0] | (copy[1] << 8));
    if (auto root = gridloom::VersionRootNode(block)) QueryAll(copy, block, *root, "", 0);
    void* value = nullptr;
    uint32_t length = 0;
    for (const char* path : {"\\VarFileInfo\\Translation", "\\StringFileInfo\\080904E4\\ProductName",
                             "\\StringFileInfo\\040904E4\\Web site", "\\\\\\", "\\A\\B\\C\\D\\E\\F"})
        gridloom::VerQueryValueA(copy.data(), path, &value, &length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::span<const uint8_t> input(data, size);
    if (auto found = gridloom::FindVersionResource(input)) Exercise(*found);
    Exercise(input);
    return 0;
}

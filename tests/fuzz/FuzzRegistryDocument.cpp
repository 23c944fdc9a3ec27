// Feeds arbitrary bytes to the settings file parser, writes what it kept and parses that
// again: the second parse must understand every line and give the same document, or a
// store would lose or change settings the first read had kept.
#include "platform/RegistryDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const gridloom::TRegDocument document =
        gridloom::TRegDocument::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = document.Serialize();
    const gridloom::TRegDocument again = gridloom::TRegDocument::Parse(written);
    if (again.Damaged() || again.KeyCount() != document.KeyCount() || again.Serialize() != written) __builtin_trap();
    return 0;
}

#include "platform/ModuleFile.h"

#include <vector>

#include "platform/windows/WinApi.h"

namespace gridloom {

namespace {

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(address), &module))
        return nullptr;
    return module;
}

// The whole file name of a module, however long.
std::string ModulePath(HMODULE module) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(module, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

uint32_t GetModuleFileNameA(const void* address, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    const HMODULE module = ModuleOf(address);
    if (module == nullptr) return 0;
    const std::string path = ModulePath(module);
    const std::size_t n = std::min<std::size_t>(path.size(), size - 1);
    path.copy(buffer, n);
    buffer[n] = '\0';
    return uint32_t(n);
}

std::string ExecutableFileName() { return ModulePath(nullptr); }

// Windows opens the program's own file by its full name, however long it is.
std::string ExecutableOpenName() { return ExecutableFileName(); }

bool IsInsideLibrary(const void* address) {
    const HMODULE module = ModuleOf(address);
    return module != nullptr && module != ::GetModuleHandleA(nullptr);
}

}  // namespace gridloom

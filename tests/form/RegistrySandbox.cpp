#include "RegistrySandbox.h"

namespace gridloom::test {

std::filesystem::path MakeTestFolder() {
    static unsigned made = 0;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("gridloom-form-" + std::to_string(ProcessNumber()) + "-" + std::to_string(++made));
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

void RemoveTestFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    // The run leaves its image read-only; that must not stop the clean-up.
    for (auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace gridloom::test

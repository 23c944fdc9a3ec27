#include "about/VersionValues.h"

#include <cstring>

#include "platform/ModuleFile.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

namespace gridloom {

TVersionBlockRead ReadVersionBlock(const std::string& file) {
    TVersionBlockRead read;
    if (file.size() > MaxVersionNameBytes) return read;
    uint32_t handle = 0;
    read.ReportedSize = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (read.ReportedSize == 0) return read;
    read.Block = std::make_unique<uint8_t[]>(read.ReportedSize);
    // A block that could not be read is not parsed: it is as if there were none.
    if (!GetFileVersionInfoA(file.c_str(), handle, read.ReportedSize, read.Block.get())) read.Block.reset();
    return read;
}

uint8_t* FixedRecordOf(const void* block) {
    void* value = nullptr;
    uint32_t length = 0;
    if (block == nullptr || !VerQueryValueA(block, "\\", &value, &length)) return nullptr;
    return static_cast<uint8_t*>(value);
}

std::vector<std::string> ReadTranslationKeys(void* block) {
    std::vector<std::string> keys;
    void* value = nullptr;
    uint32_t length = 0;
    if (block == nullptr || !VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length)) return keys;
    auto* entries = static_cast<uint8_t*>(value);
    for (uint32_t i = 0; i < length / 4; ++i) {
        uint8_t* entry = entries + std::size_t(i) * 4;
        uint16_t language = static_cast<uint16_t>(entry[0] | (entry[1] << 8));
        uint16_t codePage = static_cast<uint16_t>(entry[2] | (entry[3] << 8));
        if (language == 0) language = 1033;
        if (codePage == 0) codePage = 1252;
        entry[0] = static_cast<uint8_t>(language);
        entry[1] = static_cast<uint8_t>(language >> 8);
        entry[2] = static_cast<uint8_t>(codePage);
        entry[3] = static_cast<uint8_t>(codePage >> 8);
        keys.push_back(TranslationKey(language, codePage));
    }
    return keys;
}

std::string LookUpStringValue(const void* block, const std::string& translationKey, const std::string& name) {
    if (block == nullptr) return {};
    const std::string path = "\\StringFileInfo\\" + translationKey + "\\" + name;
    if (path.size() > MaxVersionNameBytes) return {};
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValueA(block, path.c_str(), &value, &length)) return {};
    return std::string(static_cast<const char*>(value));
}

std::string VersionNumberText(uint32_t versionMS, uint32_t versionLS, const std::string& text) {
    if (!text.empty()) return text;
    return std::to_string(versionMS >> 16) + "." + std::to_string(versionMS & 0xFFFF) + "." +
           std::to_string(versionLS >> 16) + "." + std::to_string(versionLS & 0xFFFF);
}

TAboutValues ReadAboutValues(const std::string& file) {
    TAboutValues values;
    TVersionBlockRead read = ReadVersionBlock(file);
    void* block = read.Block.get();
    if (block == nullptr) return values;
    const std::vector<std::string> translations = ReadTranslationKeys(block);
    const std::string table = translations.empty() ? DefaultTranslationKey : translations.front();
    auto value = [&](const char* name) { return LookUpStringValue(block, table, name); };
    values.ProductName = value("ProductName");
    values.LegalCopyright = value("LegalCopyright");
    values.Comments = value("Comments");
    values.WebSite = value("Web site");
    // A block without a fixed record still has a version: its text, or four zeros.
    uint32_t ms = 0;
    uint32_t ls = 0;
    if (const uint8_t* fixed = FixedRecordOf(block)) {
        std::memcpy(&ms, fixed + offsetof(VS_FIXEDFILEINFO, dwFileVersionMS), 4);
        std::memcpy(&ls, fixed + offsetof(VS_FIXEDFILEINFO, dwFileVersionLS), 4);
    }
    values.FileVersion = VersionNumberText(ms, ls, value("FileVersion"));
    return values;
}

TAboutValues ReadOwnAboutValues() { return ReadAboutValues(ExecutableOpenName()); }

std::string RunningProgramFile() {
    // Windows takes either slash; a POSIX file name never holds a backslash in practice.
    const std::string path = ExecutableFileName();
    return path.substr(path.find_last_of("/\\") + 1);
}

}  // namespace gridloom

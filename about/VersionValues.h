// Reading a program file's version block for the About box, without any toolkit: the steps
// the version-information component takes (the block's copy, its translations, a value of
// its string table, a version number's text), and the handful of values the box shows.
//
// Everything goes through the version API of platform/VersionInfo.h, which on Windows is
// the system's own, so the values are those of the file's real version resource. Texts are
// the block's 8-bit text: UTF-8 here, the system's code page on Windows. Nothing is ever
// reported: a file without a block gives empty values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gridloom {

// The string table looked in when the block lists no translation.
inline constexpr const char* DefaultTranslationKey = "040904E4";

// The platform's calls take file names and value paths of at most this many bytes; a longer
// one is read as nothing rather than cut short (which could name something else).
inline constexpr std::size_t MaxVersionNameBytes = 255;

// A copy of a file's version block, and the size the version API reported for it: 0 when
// the file has none, non-zero with no copy when the copy could not be made.
struct TVersionBlockRead {
    std::unique_ptr<uint8_t[]> Block;
    uint32_t ReportedSize = 0;
};
TVersionBlockRead ReadVersionBlock(const std::string& file);

// The fixed record (VS_FIXEDFILEINFO) inside a copy, or null when the block has none.
uint8_t* FixedRecordOf(const void* block);

// One eight-digit key per entry of the block's translation array, in order ("080904E4").
// A neutral entry stands for US English in the Western code page (1033, 1252), and is
// corrected in the copy, so that whoever reads the copy next sees the same.
std::vector<std::string> ReadTranslationKeys(void* block);

// The value of key name in the string table translationKey; empty when there is none.
std::string LookUpStringValue(const void* block, const std::string& translationKey, const std::string& name);

// A four-part version number's text: the string table's text when it has one, else
// "major.minor.release.build" from the two halves of the fixed record.
std::string VersionNumberText(uint32_t versionMS, uint32_t versionLS, const std::string& text);

// What the About box shows from a program's version block.
struct TAboutValues {
    std::string ProductName;     // "ProductName"
    std::string LegalCopyright;  // "LegalCopyright"
    std::string FileVersion;     // the file version's text; empty without a block
    std::string Comments;        // "Comments": the release date
    std::string WebSite;         // "Web site": a host name, usually without a scheme
};

// The values of file's block, looked up in the block's first translation.
TAboutValues ReadAboutValues(const std::string& file);

// The values of the running program's own block.
TAboutValues ReadOwnAboutValues();

// The running program's file name without its folder, extension included ("gridloom.exe").
std::string RunningProgramFile();

}  // namespace gridloom

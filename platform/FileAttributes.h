// A file's attribute word, the way the rest of the program expects it from Windows, kept
// on a POSIX file system.
//
// The low half holds the Windows attribute bits the program uses: read-only (bit 0),
// directory, and device for anything else that is not a regular file (a device node, a
// pipe, a socket), which no save may replace. "Read-only" means that no write permission bit (owner, group or other) is
// set. The high half carries the file's POSIX permission bits, marked by AttributeHasMode, so that writing back a word
// read earlier restores the mode exactly as it was, even after the read-only bit has been cleared and set again in
// between.
#pragma once

#include <cstdint>
#include <string>

namespace gridloom {

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr uint32_t FILE_ATTRIBUTE_DEVICE = 0x0040;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x0080;  // a plain writable file with no other bit
// Returned for a missing or inaccessible file. Every bit is set, the read-only bit
// included, so "the file is read-only" must first rule this value out.
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// Set when bits 16..27 hold the permission bits (mode & 07777) the word was read with.
constexpr uint32_t AttributeHasMode = 0x8000;

// The attribute word of path, or INVALID_FILE_ATTRIBUTES. Symbolic links are followed.
uint32_t GetFileAttributes(const std::string& path);

// Gives path the attributes. With AttributeHasMode the recorded permissions are the
// starting point, otherwise the file's current ones. Then the read-only bit decides:
// set clears all three write bits; clear leaves a mode that has a write bit as it is and
// gives a mode that has none the owner's write bit. False when the file cannot be changed
// or attributes is INVALID_FILE_ATTRIBUTES.
bool SetFileAttributes(const std::string& path, uint32_t attributes);

// True when the word describes an existing file whose read-only bit is set.
constexpr bool IsReadOnlyAttributes(uint32_t attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// True when the word describes an existing regular file whose read-only bit is set: the
// only kind of file that clearing the bit, or a forced save, can replace.
constexpr bool IsReadOnlyRegularFile(uint32_t attributes) {
    return IsReadOnlyAttributes(attributes) && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

}  // namespace gridloom

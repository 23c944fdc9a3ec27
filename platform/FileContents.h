// Reading a whole file into memory, without ever hanging on something that is not a file.
#pragma once

#include <cstddef>
#include <string>

namespace gridloom {

struct TFileContents {
    enum class TStatus {
        Read,        // Bytes and Size hold the file (Bytes is null for an empty file)
        Missing,     // no file of that name, or a folder on the way is missing
        NotRegular,  // a device, a pipe or the like: its size is nothing to go by
        Failed,      // Error says why (a folder in the file's place is EISDIR)
    };
    TStatus Status = TStatus::Failed;
    int Error = 0;                   // an errno value, whatever the system
    unsigned char* Bytes = nullptr;  // from std::malloc; the caller frees it
    std::size_t Size = 0;
};

// Reads the regular file at path whole. A file that shrinks while it is read is taken as far
// as it goes. Opening never blocks, so a pipe in the file's place cannot hang the caller.
TFileContents ReadWholeFile(const std::string& path);

}  // namespace gridloom

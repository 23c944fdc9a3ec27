// A file that replaces its target whole or not at all. It is written under a fresh name
// beside the target and renamed over it only once every byte is written and the file is
// closed, so a reader sees either the old file or the complete new one, and a failure at
// any step (disk full, I/O error, a folder in the target's place) leaves the target as it
// was and no temporary file behind. The image, the settings and the importer's boundary
// file are all saved this way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <sys/uio.h>

namespace gridloom {

// Writes all of the bytes, resuming after short writes and interruptions.
bool WriteFully(int fd, const void* data, std::size_t size);

class TReplacementFile {
public:
    // The step that failed first; every later step then does nothing and fails too.
    enum class TStep { None, Create, Write, Permissions, Sync, Close, Rename };

    // Creates the temporary file beside target with mode (less the umask), as for any
    // ordinarily created file.
    explicit TReplacementFile(std::string target, mode_t mode = 0666);
    // Removes the temporary file unless Commit succeeded.
    ~TReplacementFile();
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Writes all of the vectors; they are consumed as they are written.
    bool WriteVectors(iovec* vectors, int count);
    // Gives the file exactly this mode, umask or not.
    bool SetMode(mode_t mode);

    // Closes the file and renames it over the target. With syncToDisk the file is flushed
    // to the disk before and its folder after, so that the new content survives a power cut
    // as well; without it, a rename that replaces a file still orders the new data first
    // on Linux file systems, and costs nothing for a large file.
    bool Commit(bool syncToDisk);

    TStep FailedStep() const { return FFailedStep; }
    int FailedErrno() const { return FErrno; }  // errno of the failed step
    const std::string& Target() const { return FTarget; }
    // The folder the files are written in, as the user would name it.
    std::string Folder() const;

private:
    bool Fail(TStep step);

    std::string FTarget;
    std::string FTemporary;
    int FFd = -1;
    bool FCommitted = false;
    TStep FFailedStep = TStep::None;
    int FErrno = 0;
};

}  // namespace gridloom

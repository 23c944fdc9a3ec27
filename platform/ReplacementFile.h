// A file that replaces its target whole or not at all. It is written under a fresh name
// beside the target and renamed over it only once every byte is written, on the disk and
// the file closed, so a reader sees either the old file or the complete new one, and a
// failure at any step (disk full, a file-size limit, I/O error, a folder in the target's
// place) leaves the target as it was and no temporary file behind. The image, the settings
// and the importer's boundary file are all saved this way, so they share these rules:
//
//  - A symbolic link is followed, once, to the file it names, and that file is replaced;
//    the link stays a link. A link to nothing yet creates the file it names.
//  - Only a regular file is ever replaced. A folder, a device, a pipe or a socket in the
//    target's place (after following links) is refused before anything is written, so that
//    a save to /dev/null never replaces the device with a file.
//  - The new file takes the old one's permission bits, masked to 0777 so that a set-user or
//    set-group bit never passes to a file this process wrote, and its owner and group where
//    the process may set them (as root).
//  - A run killed between writing and renaming, however it dies, leaves its temporary file
//    behind; the next replacement of the same target removes it. A temporary file is locked
//    while its writer lives, so only those whose writer is gone are removed.
//  - A file-size limit ends the write with an error instead of killing the process silently
//    (SIGXFSZ is ignored unless the program has a handler of its own).
#pragma once

#include <cstddef>
#include <string>
#include <span>
#include <string_view>
#include <sys/types.h>

namespace gridloom {

// Writes all of the bytes, resuming after short writes and interruptions.
bool WriteFully(int fd, const void* data, std::size_t size);

// A run of bytes to write, one of many written in a single gather.
struct TByteRange {
    const void* Data;
    std::size_t Size;
};

class TReplacementFile {
public:
    // The step that failed first; every later step then does nothing and fails too.
    // Target: the target exists and is not a regular file; see TargetKind.
    enum class TStep { None, Create, Write, Permissions, Sync, Close, Rename, Target };

    // Creates the temporary file beside the target (links followed). A new target gets mode
    // less the umask, as any ordinarily created file; a replaced one keeps its permissions
    // and, where allowed, its owner and group.
    explicit TReplacementFile(std::string target, mode_t mode = 0666);
    // Removes the temporary file unless Commit succeeded.
    ~TReplacementFile();
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Writes the ranges one after the other, in as few system calls as the system allows.
    bool WriteRanges(std::span<const TByteRange> ranges);
    // Gives the file this mode, umask or not, less any set-user, set-group or sticky bit.
    bool SetMode(mode_t mode);

    // Flushes the file's data to the disk, closes it and renames it over the target, so that
    // a crash just after never leaves an empty or partial file in the target's place. With
    // syncToDisk the file's metadata is flushed too and the folder after the rename, so that
    // the replacement itself also survives a power cut.
    bool Commit(bool syncToDisk);

    TStep FailedStep() const { return FFailedStep; }
    int FailedErrno() const { return FErrno; }  // errno of the failed step; 0 for Target
    // The name the file was asked for.
    const std::string& Target() const { return FTarget; }
    // The file actually replaced: the target with its symbolic links followed.
    const std::string& RealTarget() const { return FRealTarget; }
    // The folder the files are written in, as the user would name it.
    std::string Folder() const;
    // True when a file already lies at the real target and is being replaced.
    bool Replacing() const { return FReplacing; }
    // What lies in the target's place when it is not a regular file: "a folder", "a device",
    // "a pipe", "a socket"; empty otherwise.
    const std::string& TargetKind() const { return FTargetKind; }

private:
    bool Fail(TStep step);
    void Create(mode_t mode);

    std::string FTarget;
    std::string FRealTarget;
    std::string FTemporary;
    std::string FTargetKind;
    int FFd = -1;
    int FLockFd = -1;  // holds the temporary file's lock until it has been renamed
    bool FReplacing = false;
    bool FCommitted = false;
    TStep FFailedStep = TStep::None;
    int FErrno = 0;
};

}  // namespace gridloom

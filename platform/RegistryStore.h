// Reading and rewriting one registry file so that no running copy of the program loses
// another's values and no crash leaves a half-written file.
//
// Readers take a shared lock and never create anything. A change is a read-modify-write of
// the whole file under an exclusive lock on "<file>.lock": the new text goes to a temporary
// file beside it, is flushed to disk and renamed over the old one, so a reader sees either
// the old file or the new one, never a mixture.
//
// A file that is a symbolic link stands for the file it leads to: that file is read and
// replaced, the link is kept, and the lock is taken on the real file's name, so that copies
// reaching one file through different links still exclude each other.
//
// A file that cannot be fully understood is never silently replaced: before the first change
// that rewrites it, the original is kept beside it as "<file>.corrupt-YYYYMMDD-HHMMSS".
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/types.h>

#include "platform/RegistryDocument.h"
#include "platform/RegistrySession.h"

namespace gridloom {

// What a change made of the document.
enum class TRegChange {
    Refused,    // the change cannot be made: nothing is written, the caller reports failure
    Unchanged,  // nothing to write
    Changed,
};

// The content of the file; a missing, unreadable or non-regular file reads as empty. Within a
// session (RegistrySession.h) the document is shared with the session's other loads while the
// file is unchanged.
std::shared_ptr<const TRegDocument> LoadRegistryFile(const std::filesystem::path& file);

// Applies `change` to the current content and writes the result. False when the store is
// refused: no right to create the folder or file, the existing file cannot be read (and so
// cannot be kept), the lock is not granted in time, the disk refuses the write, or the text
// would grow beyond MaxRegistryFileSize. An existing file its owner may not write to (mode
// 0444) is the owner's wish to keep it as it is: it is never rewritten.
// `newFileMode` is the permission of a file created afresh; an existing file keeps its own.
// Within a session the change is applied to the session's document at once and written to
// the file when the session ends.
bool UpdateRegistryFile(const std::filesystem::path& file, mode_t newFileMode,
                        const std::function<TRegChange(TRegDocument&)>& change);

// How long a load waits for a store in progress before reading anyway (a rename never shows
// it a half-written file), and how long a store waits for the lock before it is refused. A
// store takes milliseconds, so these let every other copy finish its own, yet a lock held by
// a stuck process never hangs the program.
struct TLockPatience {
    std::chrono::milliseconds Load{1000};
    std::chrono::milliseconds Store{5000};
};

// The patience of every load and store from now on; tests shorten it so that waiting out a
// stuck lock takes milliseconds.
void SetRegistryLockPatience(const TLockPatience& patience);
TLockPatience RegistryLockPatience();

// Files larger than this are not read beyond it (and count as damaged).
constexpr size_t MaxRegistryFileSize = size_t(64) << 20;

}  // namespace gridloom

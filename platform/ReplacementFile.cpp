#include "platform/ReplacementFile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace gridloom {

bool WriteFully(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= std::size_t(n);
    }
    return true;
}

namespace {

constexpr char TemporaryInfix[] = ".tmp";
constexpr std::size_t TemporarySuffixLength = 8;
constexpr char SuffixLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int MaxLinkHops = 40;

// A file-size limit raises SIGXFSZ, whose default action kills the process on the spot,
// leaving the temporary file and telling no one. Ignored, the write fails with EFBIG and
// takes the ordinary way out. A handler the program installed itself is left alone.
void IgnoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) != 0) return;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// How much of the target's name starts its temporary files' names: all of it, unless the
// infix and suffix would then make a name longer than a folder can hold.
constexpr std::size_t MaxTemporaryBaseLength = NAME_MAX - (sizeof(TemporaryInfix) - 1) - TemporarySuffixLength;

std::string TemporaryBaseOf(const std::string& name) { return name.substr(0, MaxTemporaryBaseLength); }

// Follows path's symbolic links, each relative one from the folder of the link that holds
// it, until a name that is not a link, or not there at all. False with errno on a loop or
// a name that cannot be looked at.
bool FollowLinks(const std::string& path, std::string& real) {
    real = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(real.c_str(), &info) != 0) return errno == ENOENT;
        if (!S_ISLNK(info.st_mode)) return true;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(real.c_str(), target.data(), target.size());
        if (n < 0) return false;
        if (std::size_t(n) >= target.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        target.resize(std::size_t(n));
        if (target.empty()) {
            errno = ENOENT;
            return false;
        }
        if (target.front() == '/' || real.find('/') == std::string::npos)
            real = target;
        else
            real = FolderOf(real) + "/" + target;
    }
    errno = ELOOP;
    return false;
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

bool IsTemporaryNameOf(const std::string& name, const std::string& base) {
    const std::string prefix = base + TemporaryInfix;
    if (name.size() != prefix.size() + TemporarySuffixLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes the temporary files of target that a writer killed before its rename left behind.
// A live writer holds the lock on its file, so a file whose lock can be taken has no writer.
// Only single-linked regular files are touched: anything else under such a name is not ours.
void RemoveLeftovers(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string base = TemporaryBaseOf(NameOf(target));
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsTemporaryNameOf(name, base)) continue;
        const std::string path = folder + "/" + name;
        constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        int fd = ::open(path.c_str(), O_RDONLY | flags);
        if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | flags);
        if (fd < 0) continue;
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1 &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(opened, named))
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

TReplacementFile::TReplacementFile(std::string target, mode_t mode) : FTarget(std::move(target)) {
    IgnoreFileSizeSignal();
    Create(mode);
}

void TReplacementFile::Create(mode_t mode) {
    if (FTarget.empty()) {
        errno = ENOENT;
        Fail(TStep::Create);
        return;
    }
    if (!FollowLinks(FTarget, FRealTarget)) {
        Fail(TStep::Create);
        return;
    }
    struct stat existing {};
    if (::stat(FRealTarget.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            FTargetKind = KindOf(existing.st_mode);
            errno = 0;
            Fail(TStep::Target);
            return;
        }
        FReplacing = true;
    }

    RemoveLeftovers(FRealTarget);

    // A fresh, uniquely named file, locked as long as this object lives. Unlike mkstemp,
    // the umask chooses the permissions of a new target.
    std::random_device device;
    std::mt19937_64 random((uint64_t(device()) << 32) ^ device() ^ uint64_t(::getpid()));
    const std::string realName = NameOf(FRealTarget);
    const std::string prefix =
        FRealTarget.substr(0, FRealTarget.size() - realName.size()) + TemporaryBaseOf(realName) + TemporaryInfix;
    for (int attempt = 0; attempt < 100 && FFd < 0; ++attempt) {
        std::string name = prefix;
        for (std::size_t i = 0; i < TemporarySuffixLength; ++i)
            name += SuffixLetters[random() % (sizeof(SuffixLetters) - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            Fail(TStep::Create);
            return;
        }
        // Another save of this target cleaning up may have seen the file before it was
        // locked and be removing it: then this name is lost, and another is tried. A file
        // system without locks is written all the same, only never cleaned up.
        struct stat opened {
        }, named{};
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if ((!locked && errno == EWOULDBLOCK) || ::fstat(fd, &opened) != 0 || ::stat(name.c_str(), &named) != 0 ||
            !SameFile(opened, named)) {
            ::close(fd);
            continue;
        }
        FFd = fd;
        FTemporary = std::move(name);
        // The lock belongs to the open file, and a duplicate keeps it after the file is
        // closed for the rename.
        FLockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    }
    if (FFd < 0) {
        errno = EEXIST;
        Fail(TStep::Create);
        return;
    }

    if (FReplacing) {
        struct stat created {};
        if (::fstat(FFd, &created) == 0 && (created.st_uid != existing.st_uid || created.st_gid != existing.st_gid)) {
            // Root keeps owner and group; a member of the old group keeps at least that.
            if (::fchown(FFd, existing.st_uid, existing.st_gid) != 0) {
                // Failing that too, the new file keeps our own group.
                [[maybe_unused]] const int groupKept = ::fchown(FFd, uid_t(-1), existing.st_gid);
            }
        }
        SetMode(existing.st_mode);
    }
}

TReplacementFile::~TReplacementFile() {
    if (FFd >= 0) ::close(FFd);
    if (!FCommitted && !FTemporary.empty()) ::unlink(FTemporary.c_str());
    if (FLockFd >= 0) ::close(FLockFd);
}

std::string TReplacementFile::Folder() const { return FolderOf(FRealTarget.empty() ? FTarget : FRealTarget); }

bool TReplacementFile::Fail(TStep step) {
    if (FFailedStep == TStep::None) {
        FFailedStep = step;
        FErrno = errno;
    }
    return false;
}

bool TReplacementFile::Write(const void* data, std::size_t size) {
    if (FFailedStep != TStep::None) return false;
    return WriteFully(FFd, data, size) || Fail(TStep::Write);
}

bool TReplacementFile::WriteRanges(std::span<const TByteRange> ranges) {
    if (FFailedStep != TStep::None) return false;
    std::vector<iovec> vectors;
    vectors.reserve(std::min<std::size_t>(ranges.size(), IOV_MAX));
    while (!ranges.empty()) {
        const std::size_t batch = std::min<std::size_t>(ranges.size(), IOV_MAX);
        vectors.clear();
        for (const TByteRange& range : ranges.first(batch))
            vectors.push_back({const_cast<void*>(range.Data), range.Size});
        ranges = ranges.subspan(batch);
        iovec* next = vectors.data();
        int count = int(vectors.size());
        while (count > 0) {
            const ssize_t written = ::writev(FFd, next, count);
            if (written < 0) {
                if (errno == EINTR) continue;
                return Fail(TStep::Write);
            }
            std::size_t left = std::size_t(written);
            while (count > 0 && left >= next->iov_len) {
                left -= next->iov_len;
                ++next;
                --count;
            }
            if (count > 0) {
                next->iov_base = static_cast<uint8_t*>(next->iov_base) + left;
                next->iov_len -= left;
            }
        }
    }
    return true;
}

bool TReplacementFile::SetMode(mode_t mode) {
    if (FFailedStep != TStep::None) return false;
    return ::fchmod(FFd, mode & 0777) == 0 || Fail(TStep::Permissions);
}

bool TReplacementFile::Commit(bool syncToDisk) {
    if (FFailedStep != TStep::None) return false;
    // Without this, a crash soon after the rename can leave an empty file on file systems
    // that write the data later than the rename (XFS; ext4 for a new file or with
    // noauto_da_alloc), and the old file would be gone too.
    if ((syncToDisk ? ::fsync(FFd) : ::fdatasync(FFd)) != 0) return Fail(TStep::Sync);
    // A failed close may mean data that never reached the file.
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) return Fail(TStep::Close);
    if (::rename(FTemporary.c_str(), FRealTarget.c_str()) != 0) return Fail(TStep::Rename);
    FCommitted = true;
    if (syncToDisk) SyncFolder(Folder());
    return true;
}

}  // namespace gridloom

#include "platform/ReplacementFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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

// A new, uniquely named file beside the target. Unlike mkstemp it lets the umask choose
// the permissions.
int CreateBeside(const std::string& target, mode_t mode, std::string& temporary) {
    std::random_device device;
    std::mt19937_64 random((uint64_t(device()) << 32) ^ device() ^ uint64_t(::getpid()));
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp";
        for (int i = 0; i < 8; ++i) temporary += Letters[random() % (sizeof(Letters) - 1)];
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

TReplacementFile::TReplacementFile(std::string target, mode_t mode) : FTarget(std::move(target)) {
    FFd = CreateBeside(FTarget, mode, FTemporary);
    if (FFd < 0) Fail(TStep::Create);
}

TReplacementFile::~TReplacementFile() {
    if (FFd >= 0) ::close(FFd);
    if (!FCommitted && !FTemporary.empty() && FFailedStep != TStep::Create) ::unlink(FTemporary.c_str());
}

std::string TReplacementFile::Folder() const {
    const auto slash = FTarget.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return FTarget.substr(0, slash);
}

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

bool TReplacementFile::WriteVectors(iovec* vectors, int count) {
    if (FFailedStep != TStep::None) return false;
    while (count > 0) {
        const ssize_t written = ::writev(FFd, vectors, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail(TStep::Write);
        }
        std::size_t left = std::size_t(written);
        while (count > 0 && left >= vectors->iov_len) {
            left -= vectors->iov_len;
            ++vectors;
            --count;
        }
        if (count > 0) {
            vectors->iov_base = static_cast<uint8_t*>(vectors->iov_base) + left;
            vectors->iov_len -= left;
        }
    }
    return true;
}

bool TReplacementFile::SetMode(mode_t mode) {
    if (FFailedStep != TStep::None) return false;
    return ::fchmod(FFd, mode) == 0 || Fail(TStep::Permissions);
}

bool TReplacementFile::Commit(bool syncToDisk) {
    if (FFailedStep != TStep::None) return false;
    if (syncToDisk && ::fsync(FFd) != 0) return Fail(TStep::Sync);
    // A failed close may mean data that never reached the file.
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) return Fail(TStep::Close);
    if (::rename(FTemporary.c_str(), FTarget.c_str()) != 0) return Fail(TStep::Rename);
    FCommitted = true;
    if (syncToDisk) SyncFolder(Folder());
    return true;
}

}  // namespace gridloom

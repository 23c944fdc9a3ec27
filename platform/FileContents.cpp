#include "platform/FileContents.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gridloom {

TFileContents ReadWholeFile(const std::string& path) {
    TFileContents contents;
    // Non-blocking, so that a pipe in the file's place cannot hang the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        contents.Error = errno;
        if (errno == ENOENT || errno == ENOTDIR) contents.Status = TFileContents::TStatus::Missing;
        return contents;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        contents.Error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        contents.Error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        contents.Status = TFileContents::TStatus::NotRegular;
    } else {
        contents.Status = TFileContents::TStatus::Read;
        const auto wanted = static_cast<std::size_t>(info.st_size);
        if (wanted > 0) {
            contents.Bytes = static_cast<unsigned char*>(std::malloc(wanted));
            if (contents.Bytes == nullptr) contents.Error = ENOMEM;
        }
        while (contents.Bytes != nullptr && contents.Size < wanted) {
            const ssize_t n = ::read(fd, contents.Bytes + contents.Size, wanted - contents.Size);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                contents.Error = errno;
                break;
            }
            if (n == 0) break;
            contents.Size += std::size_t(n);
        }
        if (contents.Error != 0) {
            std::free(contents.Bytes);
            contents = TFileContents{TFileContents::TStatus::Failed, contents.Error};
        }
    }
    ::close(fd);
    return contents;
}

}  // namespace gridloom

#include "platform/RegistryStore.h"

#include "platform/ReplacementFile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace gridloom {

namespace {

constexpr auto LockPollInterval = std::chrono::milliseconds(2);

TLockPatience& Patience() {
    static TLockPatience patience;
    return patience;
}

class TFileHandle {
public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    ~TFileHandle() {
        if (FFd >= 0) ::close(FFd);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    // Closes now and reports whether the close succeeded (a failed close may mean lost data).
    bool Close() {
        int fd = FFd;
        FFd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int FFd;
};

bool IsRegularFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool WaitForLock(int fd, int operation, std::chrono::steady_clock::duration patience) {
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (::flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(LockPollInterval);
    }
}

enum class TReadResult { Read, Missing, Failed };

struct TFileContent {
    std::string Text;
    bool Truncated = false;  // longer than MaxRegistryFileSize
    mode_t Mode = 0;
};

TReadResult ReadRegistryText(const std::filesystem::path& file, TFileContent& content) {
    // Non-blocking, so that a pipe put where the file should be does not hang the open.
    TFileHandle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) return errno == ENOENT ? TReadResult::Missing : TReadResult::Failed;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return TReadResult::Failed;
    content.Mode = st.st_mode & 07777;
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return TReadResult::Failed;
        }
        if (n == 0) break;
        content.Text.append(buffer, size_t(n));
        if (content.Text.size() > MaxRegistryFileSize) {
            content.Text.resize(MaxRegistryFileSize);
            content.Truncated = true;
            break;
        }
    }
    return TReadResult::Read;
}

// The file to read and replace, whose name also names the lock: a link's real file. Empty
// when a link leads nowhere (a loop, a missing file).
std::filesystem::path RealFile(const std::filesystem::path& file) {
    struct stat linkStat {};
    if (::lstat(file.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode)) return file;
    char* real = ::realpath(file.c_str(), nullptr);
    if (real == nullptr) return {};
    std::filesystem::path target = real;
    std::free(real);
    return target;
}

std::string LockName(const std::filesystem::path& realFile) { return realFile.string() + ".lock"; }

std::string TimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "00000000-000000";
    if (::localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Keeps the damaged original beside the file, under a name no earlier copy has.
bool KeepDamagedOriginal(const std::filesystem::path& file, const TFileContent& original) {
    const std::string base = file.string() + ".corrupt-" + TimeStamp();
    for (int n = 1; n < 1000; ++n) {
        std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        // A hard link keeps the whole original, however large, without copying it.
        if (::link(file.c_str(), name.c_str()) == 0) return true;
        if (errno == EEXIST) continue;
        if (original.Truncated) return false;  // what was read is not the whole file
        TFileHandle fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
        if (!fd.Valid()) {
            if (errno == EEXIST) continue;
            return false;
        }
        bool ok =
            WriteFully(fd.Get(), original.Text.data(), original.Text.size()) && ::fsync(fd.Get()) == 0 && fd.Close();
        if (!ok) ::unlink(name.c_str());
        return ok;
    }
    return false;
}

bool ReplaceFile(const std::filesystem::path& file, std::string_view text, mode_t mode) {
    TReplacementFile replacement(file.string(), 0600);  // private until its mode is set
    replacement.SetMode(mode);
    replacement.Write(text);
    return replacement.Commit(true);
}

}  // namespace

void SetRegistryLockPatience(const TLockPatience& patience) { Patience() = patience; }

TLockPatience RegistryLockPatience() { return Patience(); }

TRegDocument LoadRegistryFile(const std::filesystem::path& file) {
    std::filesystem::path target = RealFile(file);
    if (target.empty()) return {};
    // Loads never create anything: without a lock file there has been no store to wait for.
    TFileHandle lock(::open(LockName(target).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (lock.Valid() && IsRegularFile(lock.Get())) {
        WaitForLock(lock.Get(), LOCK_SH, Patience().Load);
    }
    TFileContent content;
    if (ReadRegistryText(target, content) != TReadResult::Read) return {};
    return TRegDocument::Parse(content.Text);
}

bool UpdateRegistryFile(const std::filesystem::path& file, mode_t newFileMode,
                        const std::function<TRegChange(TRegDocument&)>& change) {
    if (file.empty() || !file.has_parent_path()) return false;

    // A linked file (settings kept elsewhere) is rewritten where it lies, not replaced by a copy.
    std::filesystem::path target = RealFile(file);
    if (target.empty()) return false;

    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) return false;

    TFileHandle lock(
        ::open(LockName(target).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, newFileMode));
    if (!lock.Valid() || !IsRegularFile(lock.Get()) || !WaitForLock(lock.Get(), LOCK_EX, Patience().Store))
        return false;

    TFileContent original;
    TReadResult read = ReadRegistryText(target, original);
    if (read == TReadResult::Failed) return false;  // what cannot be read cannot be kept
    TRegDocument document = TRegDocument::Parse(original.Text);
    bool damaged = read == TReadResult::Read && (document.Damaged() || original.Truncated);

    switch (change(document)) {
    case TRegChange::Refused: return false;
    case TRegChange::Unchanged: return true;
    case TRegChange::Changed: break;
    }
    std::string text = document.Serialize();
    if (text.size() > MaxRegistryFileSize) return false;
    if (damaged && !KeepDamagedOriginal(target, original)) return false;
    mode_t mode = read == TReadResult::Read ? original.Mode : newFileMode;
    return ReplaceFile(target, text, mode);
}

}  // namespace gridloom

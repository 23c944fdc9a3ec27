#include "platform/RegistryStore.h"

#include "platform/ReplacementFile.h"

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <climits>
#include <map>
#include <vector>
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
    // Takes another descriptor, closing the one held.
    void Reset(int fd) {
        if (FFd >= 0) ::close(FFd);
        FFd = fd;
    }
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

// What tells one state of a file from another without reading it.
struct TFileIdentity {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    long ModifiedSeconds = 0;
    long ModifiedNanoseconds = 0;

    bool operator==(const TFileIdentity&) const = default;
};

TFileIdentity IdentityOf(const struct stat& st) {
    return {true, st.st_dev, st.st_ino, st.st_size, long(st.st_mtim.tv_sec), long(st.st_mtim.tv_nsec)};
}

// The parsed content of a file, and what is needed to write it back.
struct TFileState {
    TReadResult Read = TReadResult::Failed;  // until it is read: stands for no file yet
    TFileIdentity Identity;
    mode_t Mode = 0;
    bool Damaged = false;  // some of the text was not understood, or it was too long to read whole
    std::shared_ptr<TRegDocument> Document = std::make_shared<TRegDocument>();
};

// Reads and parses the text of an open file, at most MaxRegistryFileSize bytes of it, a piece
// at a time: the text is never held whole.
bool ReadDocument(int fd, off_t size, TRegDocument& document, bool& truncated) {
    size_t expected = size_t(std::min<off_t>(std::max<off_t>(size, 0), off_t(MaxRegistryFileSize)));
    TRegParser parser(expected);
    std::vector<char> buffer(65536);
    size_t total = 0;
    while (true) {
        ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        size_t take = std::min(size_t(n), MaxRegistryFileSize - total);
        parser.Feed(std::string_view(buffer.data(), take));
        total += take;
        if (total == MaxRegistryFileSize) {
            char more = 0;
            truncated = ::read(fd, &more, 1) > 0;
            break;
        }
    }
    document = parser.Finish();
    return true;
}

// Opens the file (non-blocking, so that a pipe put where the file should be does not hang the
// open) and tells what it is. `fd` is left open only for a regular file.
TReadResult OpenRegistryFile(const std::filesystem::path& file, TFileHandle& fd, struct stat& st) {
    fd.Reset(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) return errno == ENOENT ? TReadResult::Missing : TReadResult::Failed;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return TReadResult::Failed;
    return TReadResult::Read;
}

// Brings `state` up to the file as it is now: reuses its document while the file is the one
// it was read from, else reads and parses the file afresh (`fresh` then says so).
void Refresh(const std::filesystem::path& file, TFileState& state, bool& fresh) {
    TFileHandle fd(-1);
    struct stat st {};
    TReadResult read = OpenRegistryFile(file, fd, st);
    TFileIdentity identity = read == TReadResult::Read ? IdentityOf(st) : TFileIdentity{};
    fresh = !(read == state.Read && identity == state.Identity && read != TReadResult::Failed);
    if (!fresh) return;
    state = TFileState{};
    state.Read = read;
    state.Identity = identity;
    if (read != TReadResult::Read) return;
    state.Mode = st.st_mode & 07777;
    bool truncated = false;
    if (!ReadDocument(fd.Get(), st.st_size, *state.Document, truncated)) {
        state.Read = TReadResult::Failed;
        return;
    }
    state.Damaged = state.Document->Damaged() || truncated;
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

// Copies the file, as it is while the lock is held, to a new file of that name.
bool CopyFile(const std::filesystem::path& file, const std::string& name) {
    TFileHandle in(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!in.Valid()) return false;
    TFileHandle out(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
    if (!out.Valid()) return false;
    char buffer[65536];
    bool ok = true;
    while (ok) {
        ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteFully(out.Get(), buffer, size_t(n));
    }
    ok = ok && ::fsync(out.Get()) == 0 && out.Close();
    if (!ok) ::unlink(name.c_str());
    return ok;
}

// Keeps the damaged original beside the file, under a name no earlier copy has.
bool KeepDamagedOriginal(const std::filesystem::path& file) {
    const std::string base = file.string() + ".corrupt-" + TimeStamp();
    for (int n = 1; n < 1000; ++n) {
        std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        // A hard link keeps the whole original, however large, without copying it.
        if (::link(file.c_str(), name.c_str()) == 0) return true;
        if (errno == EEXIST) continue;
        if (std::filesystem::exists(name)) continue;
        return CopyFile(file, name);
    }
    return false;
}

using TChange = std::function<TRegChange(TRegDocument&)>;

// Applies the changes in order; a refused one is left out. True when any changed the document.
bool ApplyAll(TRegDocument& document, const std::vector<TChange>& changes) {
    bool changed = false;
    for (const TChange& change : changes) changed = change(document) == TRegChange::Changed || changed;
    return changed;
}

// The read-modify-write of one file under its exclusive lock. `cached`, when given, is a
// document read before with `changes` already applied (`cachedChanged` saying whether they
// changed it); it is used as it is while the file has not changed since.
bool WriteChanges(const std::filesystem::path& file, mode_t newFileMode, std::chrono::steady_clock::duration patience,
                  const std::vector<TChange>& changes, TFileState* cached = nullptr, bool cachedChanged = false) {
    if (file.empty() || !file.has_parent_path()) return false;

    // A linked file (settings kept elsewhere) is rewritten where it lies, not replaced by a copy.
    std::filesystem::path target = RealFile(file);
    if (target.empty()) return false;

    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) return false;

    TFileHandle lock(
        ::open(LockName(target).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, newFileMode));
    if (!lock.Valid() || !IsRegularFile(lock.Get()) || !WaitForLock(lock.Get(), LOCK_EX, patience)) return false;

    TFileState own;
    TFileState& state = cached != nullptr ? *cached : own;
    bool fresh = true;
    Refresh(target, state, fresh);
    if (state.Read == TReadResult::Failed) return false;  // what cannot be read cannot be kept
    // A file its owner may not write to is kept as the owner made it.
    if (state.Read == TReadResult::Read && (state.Mode & S_IWUSR) == 0) return false;
    bool changed = fresh ? ApplyAll(*state.Document, changes) : cachedChanged;
    if (!changed) return true;

    // The text goes to the new file as it is made, never whole in memory; a text that would
    // pass the limit leaves only a temporary file, which is removed.
    TReplacementFile replacement(target.string(), 0600);  // private until its mode is set
    replacement.SetMode(state.Read == TReadResult::Read ? state.Mode : newFileMode);
    bool written = state.Document->Serialize([&](std::string_view piece) { return replacement.Write(piece); },
                                             MaxRegistryFileSize) &&
                   (!state.Damaged || KeepDamagedOriginal(target)) && replacement.Commit(true);
    // The session's document no longer stands for the file on disk.
    if (cached != nullptr) *cached = TFileState{};
    return written;
}

std::chrono::steady_clock::duration Remaining(std::chrono::steady_clock::time_point deadline) {
    return std::max(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero());
}

}  // namespace

struct TRegistrySession::TState {
    std::chrono::steady_clock::time_point Deadline;
    struct TFile {
        TFileState State;
        std::vector<TChange> Pending;
        bool Changed = false;  // some pending change changed the document
        mode_t NewFileMode = 0600;
    };
    std::map<std::string, TFile> Files;  // by the real file's name
};

namespace {

thread_local TRegistrySession::TState* CurrentSession = nullptr;

// The session's copy of a file, brought up to the file as it is now. The lock is waited for
// within what is left of the session's patience; without it the file is read anyway (a
// rename never shows a half-written file).
TRegistrySession::TState::TFile* SessionFile(const std::filesystem::path& target) {
    TRegistrySession::TState& session = *CurrentSession;
    TFileHandle lock(::open(LockName(target).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (lock.Valid() && IsRegularFile(lock.Get())) WaitForLock(lock.Get(), LOCK_SH, Remaining(session.Deadline));
    auto& entry = session.Files[target.string()];
    bool fresh = false;
    Refresh(target, entry.State, fresh);
    if (fresh) entry.Changed = ApplyAll(*entry.State.Document, entry.Pending);
    return &entry;
}

}  // namespace

TRegistrySession::TRegistrySession(TPurpose purpose) {
    if (CurrentSession != nullptr) return;
    FState = std::make_unique<TState>();
    FState->Deadline =
        std::chrono::steady_clock::now() + (purpose == TPurpose::Loading ? Patience().Load : Patience().Store);
    CurrentSession = FState.get();
}

TRegistrySession::~TRegistrySession() {
    if (!FState) return;
    CurrentSession = nullptr;
    for (auto& [name, file] : FState->Files) {
        if (file.Pending.empty() || !file.Changed) continue;
        try {
            WriteChanges(name, file.NewFileMode, Remaining(FState->Deadline), file.Pending, &file.State, file.Changed);
        } catch (...) {
            // a failed store is skipped, and nothing may leave a destructor
        }
    }
}

void SetRegistryLockPatience(const TLockPatience& patience) { Patience() = patience; }

TLockPatience RegistryLockPatience() { return Patience(); }

std::shared_ptr<const TRegDocument> LoadRegistryFile(const std::filesystem::path& file) {
    std::filesystem::path target = RealFile(file);
    if (target.empty()) return std::make_shared<TRegDocument>();
    if (CurrentSession != nullptr) {
        TRegistrySession::TState::TFile* entry = SessionFile(target);
        if (entry->State.Read == TReadResult::Failed) return std::make_shared<TRegDocument>();
        return entry->State.Document;
    }
    // Loads never create anything: without a lock file there has been no store to wait for.
    TFileHandle lock(::open(LockName(target).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (lock.Valid() && IsRegularFile(lock.Get())) WaitForLock(lock.Get(), LOCK_SH, Patience().Load);
    TFileState state;
    bool fresh = true;
    Refresh(target, state, fresh);
    if (state.Read == TReadResult::Failed) return std::make_shared<TRegDocument>();
    return state.Document;
}

bool UpdateRegistryFile(const std::filesystem::path& file, mode_t newFileMode, const TChange& change) {
    if (CurrentSession == nullptr) return WriteChanges(file, newFileMode, Patience().Store, {change});
    if (file.empty() || !file.has_parent_path()) return false;
    std::filesystem::path target = RealFile(file);
    if (target.empty()) return false;
    TRegistrySession::TState::TFile* entry = SessionFile(target);
    TFileState& state = entry->State;
    if (state.Read == TReadResult::Failed) return false;
    if (state.Read == TReadResult::Read && (state.Mode & S_IWUSR) == 0) return false;
    // A document a caller still holds from a load is left as that caller saw it.
    if (state.Document.use_count() > 1) state.Document = std::make_shared<TRegDocument>(*state.Document);
    TRegChange result = change(*state.Document);
    if (result == TRegChange::Refused) return false;
    entry->Pending.push_back(change);
    entry->NewFileMode = newFileMode;
    entry->Changed = entry->Changed || result == TRegChange::Changed;
    return true;
}

}  // namespace gridloom

// The whole-or-nothing save on Windows. The new file is written under a fresh name beside
// the target, flushed to the disk, and then takes the target's place:
//   - a new target: MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
//   - a writable target: ReplaceFileA, which keeps the old file's attributes and security;
//   - a read-only target (which neither call may replace): the old file is first renamed
//     aside, keeping its read-only bit, the new file moved in, and the old one deleted only
//     then; when the move fails the old file is put back as it was.
// The temporary file is opened without sharing, so a writer that is still alive keeps its
// file; the next save of the same target deletes those left by writers that were killed.
// Errors are reported as errno values, like those of the POSIX implementation.
#include "platform/ReplacementFile.h"

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <vector>

#include "platform/windows/DeviceNames.h"
#include "platform/windows/WinApi.h"
#include "platform/windows/WindowsError.h"

namespace gridloom {

namespace {

constexpr char TemporaryInfix[] = ".tmp";
constexpr std::size_t TemporarySuffixLength = 8;
constexpr char SuffixLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr char AsideInfix[] = ".old";
// Gathered writes are copied into a buffer of this size, so the image goes out in a few
// large WriteFile calls rather than one per row.
constexpr std::size_t GatherSize = std::size_t(1) << 20;

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

std::string FolderOf(const std::string& path) {
    const auto slash = LastSeparator(path);
    if (slash == std::string::npos) return ".";
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Prefix(const std::string& target) { return target.substr(0, target.size() - NameOf(target).size()); }

// Deletes the temporary files of target whose writers are gone: a live writer holds its file
// open without sharing, and then the deletion fails.
void RemoveLeftovers(const std::string& target) {
    const std::string pattern = target + TemporaryInfix + "*";
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    const std::string stem = NameOf(target) + TemporaryInfix;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        if (name.size() != stem.size() + TemporarySuffixLength) continue;
        ::DeleteFileA((Prefix(target) + name).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

HANDLE Handle(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace

TReplacementFile::TReplacementFile(std::string target, mode_t mode) : FTarget(std::move(target)) { Create(mode); }

void TReplacementFile::Create(mode_t) {
    FRealTarget = FTarget;
    if (FTarget.empty()) {
        errno = ENOENT;
        Fail(TStep::Create);
        return;
    }
    if (IsDeviceName(FTarget)) {
        FTargetKind = "a device";
        errno = 0;
        Fail(TStep::Target);
        return;
    }
    const DWORD existing = ::GetFileAttributesA(FTarget.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            FTargetKind = "a folder";
            errno = 0;
            Fail(TStep::Target);
            return;
        }
        FReplacing = true;
    }

    RemoveLeftovers(FTarget);

    std::random_device device;
    std::mt19937_64 random((uint64_t(device()) << 32) ^ device() ^ uint64_t(::GetCurrentProcessId()));
    for (int attempt = 0; attempt < 100 && FFd < 0; ++attempt) {
        std::string name = FTarget + TemporaryInfix;
        for (std::size_t i = 0; i < TemporarySuffixLength; ++i)
            name += SuffixLetters[random() % (sizeof(SuffixLetters) - 1)];
        HANDLE file =
            ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            errno = ErrnoFromWindowsError(error);
            Fail(TStep::Create);
            return;
        }
        FFd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
        if (FFd < 0) {
            ::CloseHandle(file);
            ::DeleteFileA(name.c_str());
            errno = ENOMEM;
            Fail(TStep::Create);
            return;
        }
        FTemporary = std::move(name);
    }
    if (FFd < 0) {
        errno = EEXIST;
        Fail(TStep::Create);
    }
}

TReplacementFile::~TReplacementFile() {
    if (FFd >= 0) ::_close(FFd);
    if (!FCommitted && !FTemporary.empty()) ::DeleteFileA(FTemporary.c_str());
}

std::string TReplacementFile::Folder() const { return FolderOf(FTarget); }

bool TReplacementFile::Fail(TStep step) {
    if (FFailedStep == TStep::None) {
        FFailedStep = step;
        FErrno = errno;
    }
    return false;
}

bool TReplacementFile::Write(const void* data, std::size_t size) {
    if (FFailedStep != TStep::None) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const DWORD chunk = DWORD(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(Handle(FFd), bytes, chunk, &written, nullptr) || written == 0) {
            errno = ErrnoFromWindowsError(::GetLastError());
            if (errno == 0) errno = EIO;
            return Fail(TStep::Write);
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool TReplacementFile::WriteRanges(std::span<const TByteRange> ranges) {
    std::vector<uint8_t> gathered;
    gathered.reserve(GatherSize);
    for (const TByteRange& range : ranges) {
        if (gathered.size() + range.Size > GatherSize) {
            if (!Write(gathered.data(), gathered.size())) return false;
            gathered.clear();
        }
        if (range.Size >= GatherSize) {
            if (!Write(range.Data, range.Size)) return false;
            continue;
        }
        const auto* bytes = static_cast<const uint8_t*>(range.Data);
        gathered.insert(gathered.end(), bytes, bytes + range.Size);
    }
    return gathered.empty() || Write(gathered.data(), gathered.size());
}

// Windows files have attributes, not permission bits; those of a replaced file pass to its
// successor with the replacement itself.
bool TReplacementFile::SetMode(mode_t) { return FFailedStep == TStep::None; }

bool TReplacementFile::Commit(bool) {
    if (FFailedStep != TStep::None) return false;
    auto fail = [this](TStep step) {
        errno = ErrnoFromWindowsError(::GetLastError());
        if (errno == 0) errno = EIO;
        return Fail(step);
    };
    if (!::FlushFileBuffers(Handle(FFd))) return fail(TStep::Sync);
    const int fd = FFd;
    FFd = -1;
    if (::_close(fd) != 0) {
        errno = EIO;
        return Fail(TStep::Close);
    }
    const char* temporary = FTemporary.c_str();
    const char* target = FTarget.c_str();
    constexpr DWORD MoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const DWORD existing = ::GetFileAttributesA(target);
    if (existing == INVALID_FILE_ATTRIBUTES) {
        if (!::MoveFileExA(temporary, target, MoveFlags)) return fail(TStep::Rename);
    } else if ((existing & FILE_ATTRIBUTE_READONLY) == 0) {
        if (!::ReplaceFileA(target, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) &&
            !::MoveFileExA(temporary, target, MoveFlags))
            return fail(TStep::Rename);
    } else {
        const std::string aside = FTemporary + AsideInfix;
        if (!::MoveFileExA(target, aside.c_str(), MOVEFILE_WRITE_THROUGH)) return fail(TStep::Rename);
        if (!::MoveFileExA(temporary, target, MoveFlags)) {
            const DWORD error = ::GetLastError();
            ::MoveFileExA(aside.c_str(), target, MOVEFILE_WRITE_THROUGH);
            ::SetLastError(error);
            return fail(TStep::Rename);
        }
        ::SetFileAttributesA(aside.c_str(), existing & ~DWORD(FILE_ATTRIBUTE_READONLY));
        ::DeleteFileA(aside.c_str());
    }
    FCommitted = true;
    return true;
}

}  // namespace gridloom

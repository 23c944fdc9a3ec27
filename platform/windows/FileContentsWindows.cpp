#include "platform/FileContents.h"

#include <cerrno>
#include <cstdlib>

#include "platform/windows/DeviceNames.h"
#include "platform/windows/WinApi.h"
#include "platform/windows/WindowsError.h"

namespace gridloom {

TFileContents ReadWholeFile(const std::string& path) {
    TFileContents contents;
    // A device is never opened: reading a console or a printer port could wait for ever.
    if (IsDeviceName(path)) {
        contents.Status = TFileContents::TStatus::NotRegular;
        return contents;
    }
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        contents.Error = EISDIR;
        return contents;
    }
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        contents.Error = ErrnoFromWindowsError(::GetLastError());
        if (contents.Error == ENOENT) contents.Status = TFileContents::TStatus::Missing;
        return contents;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        contents.Status = TFileContents::TStatus::NotRegular;
    } else if (!::GetFileSizeEx(file, &size)) {
        contents.Error = ErrnoFromWindowsError(::GetLastError());
    } else if (uint64_t(size.QuadPart) > SIZE_MAX) {
        contents.Error = ENOMEM;
    } else {
        contents.Status = TFileContents::TStatus::Read;
        const auto wanted = std::size_t(size.QuadPart);
        if (wanted > 0) {
            contents.Bytes = static_cast<unsigned char*>(std::malloc(wanted));
            if (contents.Bytes == nullptr) contents.Error = ENOMEM;
        }
        while (contents.Bytes != nullptr && contents.Size < wanted) {
            DWORD n = 0;
            const DWORD chunk = DWORD(std::min<std::size_t>(wanted - contents.Size, 1u << 30));
            if (!::ReadFile(file, contents.Bytes + contents.Size, chunk, &n, nullptr)) {
                contents.Error = ErrnoFromWindowsError(::GetLastError());
                break;
            }
            if (n == 0) break;
            contents.Size += n;
        }
        if (contents.Error != 0) {
            std::free(contents.Bytes);
            contents = TFileContents{TFileContents::TStatus::Failed, contents.Error};
        }
    }
    ::CloseHandle(file);
    return contents;
}

}  // namespace gridloom

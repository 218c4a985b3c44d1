#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "journal/journal_file.h"

namespace wordpour::journal {

namespace {

class WindowsLock final : public FolderLock {
public:
    explicit WindowsLock(HANDLE file) : file_(file) {}
    ~WindowsLock() override {
        OVERLAPPED whole{};
        UnlockFileEx(file_, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(file_);
    }
    WindowsLock(const WindowsLock&) = delete;
    WindowsLock& operator=(const WindowsLock&) = delete;

private:
    HANDLE file_;
};

}  // namespace

std::unique_ptr<FolderLock> FolderLock::take(const std::filesystem::path& folder,
                                             std::optional<base::FileError>& failed) {
    const HANDLE file =
        CreateFileW((folder / L"journal.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failed = base::systemError(static_cast<int>(GetLastError()));
        return nullptr;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        failed = base::systemError(static_cast<int>(GetLastError()));
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<WindowsLock>(file);
}

std::optional<base::FileError> appendFlushed(const std::filesystem::path& file,
                                             std::string_view bytes) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return base::systemError(static_cast<int>(GetLastError()));
    std::string line;
    LARGE_INTEGER size{};
    // A line cut short by a crash is ended first: the new record must not
    // run on from it, or both would be lost.
    if (GetFileSizeEx(handle, &size) && size.QuadPart > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>((size.QuadPart - 1) & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
        char last = '\n';
        DWORD read = 0;
        if (ReadFile(handle, &last, 1, &read, &at) && read == 1 && last != '\n') line += '\n';
    }
    line += bytes;
    DWORD written = 0;
    const bool ok =
        WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size() && FlushFileBuffers(handle);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!ok) return base::systemError(static_cast<int>(error));
    return std::nullopt;
}

std::filesystem::path dataFolder() {
    PWSTR path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

}  // namespace wordpour::journal

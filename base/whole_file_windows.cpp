// Whole-file reads and atomic replacement on Windows.
#include <atomic>
#include <climits>
#include <new>
#include <string>
#include <utility>

#include <windows.h>

#include "base/whole_file.h"

namespace wordpour::base {

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_;
};

FileError lastError() {
    return systemError(static_cast<int>(GetLastError()));
}

std::filesystem::path temporaryBeside(const std::filesystem::path& path, int attempt) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path name = path;
    name.replace_filename(L"." + path.filename().wstring() + L".wordpour-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter) + L"-" + std::to_wstring(attempt));
    return name;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A file that another program (or a save of ours) has open for a moment
// refuses a replacement or an opening with a sharing error: try again for
// up to a second before calling it a failure.
template <class Attempt>
bool retryingWhileShared(Attempt attempt) {
    for (int i = 0;; ++i) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        const bool shared = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                            error == ERROR_LOCK_VIOLATION;
        if (!shared || i == 40) return false;
        Sleep(25);
        SetLastError(error);
    }
}

}  // namespace

std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return systemError(ERROR_DIRECTORY);
    HANDLE raw = INVALID_HANDLE_VALUE;
    retryingWhileShared([&] {
        raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return raw != INVALID_HANDLE_VALUE;
    });
    Handle file(raw);
    if (!file.valid()) return lastError();
    // Only a file on a disk is read: a device or a pipe could give bytes for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return FileError{FileCause::NotRegular, 0};
    try {
        std::string bytes;
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return lastError();
            if (got == 0) return bytes;
            bytes.append(buffer, got);
        }
    } catch (const std::bad_alloc&) {
        return systemError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const std::length_error&) {
        return systemError(ERROR_NOT_ENOUGH_MEMORY);
    }
}

std::optional<FileError> replaceWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return systemError(ERROR_DIRECTORY);

    std::filesystem::path temporary;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; raw == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = temporaryBeside(path, attempt);
        raw = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (raw == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return lastError();
    }
    if (raw == INVALID_HANDLE_VALUE) return lastError();
    Handle file(raw);

    auto fail = [&]() -> std::optional<FileError> {
        const FileError error = lastError();
        if (file.valid()) file.close();
        DeleteFileW(temporary.c_str());
        return error;
    };
    if (!writeAll(file.get(), bytes)) return fail();
    if (!FlushFileBuffers(file.get())) return fail();
    if (!file.close()) return fail();
    const bool moved = retryingWhileShared([&] {
        return MoveFileExW(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
    if (!moved) return fail();
    return std::nullopt;
}

}  // namespace wordpour::base

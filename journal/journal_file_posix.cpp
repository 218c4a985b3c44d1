#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "journal/journal_file.h"

namespace wordpour::journal {

namespace {

class PosixLock final : public FolderLock {
public:
    explicit PosixLock(int fd) : fd_(fd) {}
    ~PosixLock() override {
        flock(fd_, LOCK_UN);
        close(fd_);
    }
    PosixLock(const PosixLock&) = delete;
    PosixLock& operator=(const PosixLock&) = delete;

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::unique_ptr<FolderLock> FolderLock::take(const std::filesystem::path& folder,
                                             std::optional<base::FileError>& failed) {
    const int fd = open((folder / "journal.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        failed = base::systemError(errno);
        return nullptr;
    }
    while (flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        failed = base::systemError(errno);
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixLock>(fd);
}

std::optional<base::FileError> appendFlushed(const std::filesystem::path& file,
                                             std::string_view bytes) {
    const bool existed = access(file.c_str(), F_OK) == 0;
    const int fd = open(file.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return base::systemError(errno);
    std::string line;
    struct stat status {};
    char last = '\n';
    // A line cut short by a crash is ended first: the new record must not
    // run on from it, or both would be lost.
    if (fstat(fd, &status) == 0 && status.st_size > 0 &&
        pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n')
        line += '\n';
    line += bytes;
    if (!writeAll(fd, line.data(), line.size()) || fdatasync(fd) != 0) {
        const int error = errno;
        close(fd);
        return base::systemError(error);
    }
    close(fd);
    if (!existed) {
        // The new file's name reaches the disk too.
        const int dir = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
    }
    return std::nullopt;
}

std::filesystem::path dataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return data;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share";
}

}  // namespace wordpour::journal

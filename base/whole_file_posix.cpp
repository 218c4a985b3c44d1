// Whole-file reads and atomic replacement on POSIX.
#include <atomic>
#include <cerrno>
#include <new>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/whole_file.h"

namespace wordpour::base {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now: a close can report a write that failed late (NFS, quotas).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

FileError lastError() {
    return systemError(errno);
}

// A name beside the target that no other save, of this process or another,
// is using at the same moment.
std::filesystem::path temporaryBeside(const std::filesystem::path& path, int attempt) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path name = path;
    name.replace_filename("." + path.filename().string() + ".wordpour-" +
                          std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" +
                          std::to_string(attempt));
    return name;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncFolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // The new file is in place either way; this only makes the rename last
    // through a power cut, where the file system supports it.
    if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path) {
    // Without blocking: opening a named pipe nobody writes to would wait for
    // ever. Only a regular file is read; a device could give bytes for ever.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return lastError();
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return lastError();
    if (S_ISDIR(info.st_mode)) return systemError(EISDIR);
    if (!S_ISREG(info.st_mode)) return FileError{FileCause::NotRegular, 0};
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                return lastError();
            }
            if (n == 0) return bytes;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        return systemError(ENOMEM);
    } catch (const std::length_error&) {
        return systemError(ENOMEM);
    }
}

std::optional<FileError> replaceWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes) {
    // The new file takes the old one's permissions; a new "List" gets the
    // usual ones (0666 less the umask).
    mode_t mode = 0666;
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    if (!hadOld && errno == ELOOP) return systemError(ELOOP);
    if (hadOld && S_ISDIR(old.st_mode)) return systemError(EISDIR);
    if (hadOld && !S_ISREG(old.st_mode)) return FileError{FileCause::NotRegular, 0};
    // A "List" that is a symbolic link (to a list shared with others) stays
    // one: the file it leads to is replaced, in its own folder.
    std::filesystem::path target = path;
    std::error_code unresolved;
    for (int hop = 0; std::filesystem::is_symlink(target, unresolved); ++hop) {
        if (hop == 40) return systemError(ELOOP);
        const std::filesystem::path next = std::filesystem::read_symlink(target, unresolved);
        if (unresolved) return systemError(unresolved.value());
        target = next.is_absolute() ? next : target.parent_path() / next;
    }

    std::filesystem::path temporary;
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 100; ++attempt) {
        temporary = temporaryBeside(target, attempt);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (raw < 0 && errno != EEXIST) return lastError();
    }
    if (raw < 0) return lastError();
    Fd fd(raw);

    auto fail = [&](int code) -> std::optional<FileError> {
        if (fd.get() >= 0) fd.close();
        ::unlink(temporary.c_str());
        return systemError(code);
    };
    if (hadOld && ::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
    if (!writeAll(fd.get(), bytes)) return fail(errno);
    if (::fsync(fd.get()) != 0) return fail(errno);
    if (!fd.close()) return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
    syncFolderOf(target);
    return std::nullopt;
}

}  // namespace wordpour::base

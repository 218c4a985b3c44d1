// Why a file could not be read or replaced, in terms a user can act on.
#pragma once

namespace wordpour::base {

enum class FileCause {
    NoSpace,             // the disk (or the user's quota) is full
    PermissionDenied,    // the user may not read or write there
    ReadOnlyFileSystem,  // the disk is mounted read-only
    NotFound,            // the file or its folder does not exist
    IsFolder,            // the name is a folder's
    TooLarge,            // past the largest file the system allows this program
    NotRegular,          // a named pipe, a device or a socket: never read or replaced
    LinkLoop,            // symbolic links that lead round in a circle
    NotAFolder,          // a file stands where the path needs a folder
    Other,               // anything else: the detail holds the system's code
};

struct FileError {
    FileCause cause = FileCause::Other;
    int code = 0;  // errno, or the Windows error code

    bool operator==(const FileError&) const = default;
};

// The cause of the system's last error code (errno on POSIX, GetLastError()
// on Windows).
FileError systemError(int code);

}  // namespace wordpour::base

#include "base/file_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace wordpour::base {

FileError systemError(int code) {
#ifdef _WIN32
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return {FileCause::NoSpace, code};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {FileCause::PermissionDenied, code};
        case ERROR_WRITE_PROTECT:
            return {FileCause::ReadOnlyFileSystem, code};
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return {FileCause::NotFound, code};
        case ERROR_DIRECTORY:
            return {FileCause::IsFolder, code};
        case ERROR_CANT_RESOLVE_FILENAME:
            return {FileCause::LinkLoop, code};
        case ERROR_FILE_TOO_LARGE:
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return {FileCause::TooLarge, code};
        default:
            return {FileCause::Other, code};
    }
#else
    switch (code) {
        case ENOSPC:
        case EDQUOT:
            return {FileCause::NoSpace, code};
        case EACCES:
        case EPERM:
            return {FileCause::PermissionDenied, code};
        case EROFS:
            return {FileCause::ReadOnlyFileSystem, code};
        case ENOENT:
            return {FileCause::NotFound, code};
        case ENOTDIR:
            return {FileCause::NotAFolder, code};
        case EISDIR:
            return {FileCause::IsFolder, code};
        case ELOOP:
            return {FileCause::LinkLoop, code};
        case EFBIG:
        case ENOMEM:
            return {FileCause::TooLarge, code};
        default:
            return {FileCause::Other, code};
    }
#endif
}

}  // namespace wordpour::base

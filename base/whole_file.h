// Reading a file whole, and replacing one whole so that nobody, not even a
// crash or a full disk, ever sees half of it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

#include "base/file_error.h"

namespace wordpour::base {

// The path made absolute, so that a message names the file the person can
// find; the path as it is when that fails.
inline std::filesystem::path absolutePath(const std::filesystem::path& path) {
    std::error_code failed;
    std::filesystem::path whole = std::filesystem::absolute(path, failed);
    return failed ? path : whole;
}

// Every byte of the file.
std::variant<std::string, FileError> readWholeFile(const std::filesystem::path& path);

// Writes `bytes` into a new file beside `path`, checks every write, flushes
// it to the disk, and only then renames it over `path` (then flushes the
// folder). On any failure the new file is removed and `path` keeps its old
// content byte for byte; a reader sees the whole old or the whole new file.
std::optional<FileError> replaceWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes);

}  // namespace wordpour::base

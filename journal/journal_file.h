// The system's part of the journal: a lock that keeps other Wordpours out
// while one appends, and an append that reaches the disk.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "base/file_error.h"

namespace wordpour::journal {

// Held while it lives: the journal's lock file in `folder`, taken for
// this process alone (other processes wait for it).
class FolderLock {
public:
    static std::unique_ptr<FolderLock> take(const std::filesystem::path& folder,
                                            std::optional<base::FileError>& failed);
    virtual ~FolderLock() = default;
};

// Appends `bytes` to the file (made when missing) with one write, after a
// line feed if the file's last line was cut short, then flushes it to the
// disk (and the folder, for a new file).
std::optional<base::FileError> appendFlushed(const std::filesystem::path& file,
                                             std::string_view bytes);

// The user's folder for data kept between runs.
std::filesystem::path dataFolder();

}  // namespace wordpour::journal

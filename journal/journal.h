// The journal of every entry and undo: records appended to files of
// Wordpour's own, each flushed to the disk before the next, so that a
// crash of the spreadsheet, of the computer or of Wordpour itself loses no
// word that was written. Its size is bounded: once the files pass the
// limit, the oldest file goes as a whole, never part of a record. Several
// running Wordpours append to the same journal without mixing their lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/file_error.h"
#include "journal/record.h"

namespace wordpour::journal {

struct Limits {
    std::uintmax_t fileBytes = 1 << 20;  // a file is closed past this size
    std::size_t files = 16;              // and the oldest goes past this many
};

class Journal {
public:
    Journal() = default;
    explicit Journal(std::filesystem::path folder, Limits limits = {})
        : folder_(std::move(folder)), limits_(limits) {}

    // Appends the record and flushes it to the disk; the folder is made
    // when missing. A failure leaves every earlier record as it was.
    std::optional<base::FileError> append(const Record& record) {
        return append(std::vector<Record>{record});
    }
    // The same for several, with one write and one flush.
    std::optional<base::FileError> append(const std::vector<Record>& records);
    // Every whole record of every file, the oldest first; from `since` on
    // (a record's time), a file last written before it is not read.
    std::vector<Record> read(std::int64_t since = 0) const;

    const std::filesystem::path& folder() const { return folder_; }

    // Where the journal lives: $XDG_DATA_HOME/wordpour (~/.local/share)
    // on Linux, %LOCALAPPDATA%\wordpour on Windows.
    static std::filesystem::path defaultFolder();

private:
    // The journal's files, the oldest first.
    std::vector<std::filesystem::path> files() const;

    std::filesystem::path folder_;
    Limits limits_;
};

}  // namespace wordpour::journal

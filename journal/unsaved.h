// Which entries of the journal a workbook may have lost: those made into it
// since its file was last saved, not taken back, the last one of each cell.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "journal/record.h"

namespace wordpour::journal {

// The entries of `book` made since its file was last written at `savedAt`
// (milliseconds since 1970, as a record's time), in their order; an entry
// taken back since is left out, and so is one whose cell a later entry
// wrote again. `now` is the clock's time: a file newer than now means the
// clock was set back since it was saved, and then every entry after the
// journal's last step back in time counts as made since, whatever its time.
std::vector<Record> unsavedEntries(const std::vector<Record>& records, std::u16string_view book,
                                   std::int64_t savedAt, std::int64_t now);
// The time from which the journal's files must be read for them: all of
// them when the clock was set back since the save.
std::int64_t readFrom(std::int64_t savedAt, std::int64_t now);

// When the file was last written, in a record's time; nothing for a file
// that cannot be read.
std::optional<std::int64_t> savedAt(const std::filesystem::path& file);

}  // namespace wordpour::journal

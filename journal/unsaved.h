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

// The entries of `book` from `savedAt` on (milliseconds since 1970, as a
// record's time), in their order; an entry taken back since is left out,
// and so is one whose cell a later entry wrote again.
std::vector<Record> unsavedEntries(const std::vector<Record>& records, std::u16string_view book,
                                   std::int64_t savedAt);

// When the file was last written, in a record's time; nothing for a file
// that cannot be read.
std::optional<std::int64_t> savedAt(const std::filesystem::path& file);

}  // namespace wordpour::journal

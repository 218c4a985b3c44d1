#include "journal/unsaved.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace wordpour::journal {

std::vector<Record> unsavedEntries(const std::vector<Record>& records, std::u16string_view book,
                                   std::int64_t savedAt) {
    std::vector<Record> entries;
    for (const Record& record : records) {
        // One made in the very millisecond of the save may not be in it;
        // offered, it is found still in the cell and left alone.
        if (record.book != book || record.time < savedAt) continue;
        switch (record.kind) {
            case Record::Kind::Entry:
                // A later entry into the same cell wrote over this one.
                std::erase_if(entries, [&](const Record& e) { return e.cell == record.cell; });
                entries.push_back(record);
                break;
            case Record::Kind::Undo: {
                // Taken back: the latest entry of that word, where its cell was.
                const auto taken =
                    std::find_if(entries.rbegin(), entries.rend(), [&](const Record& e) {
                        return e.word == record.word && e.cell == record.cell;
                    });
                const auto anyCell =
                    std::find_if(entries.rbegin(), entries.rend(),
                                 [&](const Record& e) { return e.word == record.word; });
                const auto gone = taken != entries.rend() ? taken : anyCell;
                if (gone != entries.rend()) entries.erase(std::next(gone).base());
                break;
            }
        }
    }
    return entries;
}

std::optional<std::int64_t> savedAt(const std::filesystem::path& file) {
    std::error_code failed;
    const auto written = std::filesystem::last_write_time(file, failed);
    if (failed) return std::nullopt;
    const auto system = std::chrono::file_clock::to_sys(written);
    return std::chrono::duration_cast<std::chrono::milliseconds>(system.time_since_epoch()).count();
}

}  // namespace wordpour::journal

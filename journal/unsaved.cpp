#include "journal/unsaved.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace wordpour::journal {

namespace {

// Two Wordpours appending at once, or the journal's own batching, leave
// times a little out of order; a step back longer than this is the clock's.
constexpr std::int64_t kClockStep = 60'000;

bool clockBehind(std::int64_t savedAt, std::int64_t now) {
    return savedAt > now + kClockStep;
}

}  // namespace

std::int64_t readFrom(std::int64_t savedAt, std::int64_t now) {
    return clockBehind(savedAt, now) ? 0 : savedAt;
}

std::vector<Record> unsavedEntries(const std::vector<Record>& records, std::u16string_view book,
                                   std::int64_t savedAt, std::int64_t now) {
    // Where the journal last stepped back in time: with the clock behind
    // the file, what follows was made after the save, in the clock's new time.
    std::size_t since = records.size();
    if (clockBehind(savedAt, now))
        for (std::size_t i = 1; i < records.size(); ++i)
            if (records[i].time + kClockStep < records[i - 1].time) since = i;
    std::vector<Record> entries;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        // One made in the very millisecond of the save may not be in it;
        // offered, it is found still in the cell and left alone.
        if (record.book != book || (record.time < savedAt && i < since)) continue;
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

#include "journal/journal.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>

#include "base/whole_file.h"
#include "journal/journal_file.h"
#include "journal/unsaved.h"

namespace wordpour::journal {

namespace {

// "journal-000001.log": numbered, so that names sort as the files were made.
constexpr std::string_view kPrefix = "journal-";
constexpr std::string_view kSuffix = ".log";

std::filesystem::path fileNumbered(const std::filesystem::path& folder, unsigned long number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%06lu%s", kPrefix.data(), number, kSuffix.data());
    return folder / name;
}

unsigned long numberOf(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return std::stoul(name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size()));
}

}  // namespace

std::filesystem::path Journal::defaultFolder() {
    return dataFolder() / "wordpour";
}

std::vector<std::filesystem::path> Journal::files() const {
    std::vector<std::filesystem::path> found;
    std::error_code failed;
    for (const auto& item : std::filesystem::directory_iterator(folder_, failed)) {
        const std::string name = item.path().filename().string();
        if (name.size() == kPrefix.size() + 6 + kSuffix.size() && name.starts_with(kPrefix) &&
            name.ends_with(kSuffix) &&
            std::all_of(name.begin() + kPrefix.size(), name.end() - kSuffix.size(),
                        [](char c) { return c >= '0' && c <= '9'; }))
            found.push_back(item.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<base::FileError> Journal::append(const std::vector<Record>& records) {
    std::error_code made;
    std::filesystem::create_directories(folder_, made);
    std::optional<base::FileError> failed;
    const auto lock = FolderLock::take(folder_, failed);
    if (!lock) return failed;
    std::string line;
    for (const Record& record : records) line += encode(record);
    auto all = files();
    std::filesystem::path current = all.empty() ? fileNumbered(folder_, 1) : all.back();
    std::error_code sized;
    const auto size = std::filesystem::file_size(current, sized);
    if (!sized && size > 0 && size + line.size() > limits_.fileBytes) {
        current = fileNumbered(folder_, numberOf(current) + 1);
        all.push_back(current);
    }
    if (all.empty()) all.push_back(current);
    if (auto error = appendFlushed(current, line)) return error;
    // Past the bound, the oldest files go whole: a record is never cut.
    while (all.size() > limits_.files) {
        std::error_code ignored;
        std::filesystem::remove(all.front(), ignored);
        all.erase(all.begin());
    }
    return std::nullopt;
}

std::vector<Record> Journal::read(std::int64_t since) const {
    std::vector<Record> records;
    for (const auto& file : files()) {
        // Its records are all older than its last write.
        if (since > 0 && savedAt(file).value_or(since) < since) continue;
        auto bytes = base::readWholeFile(file);
        if (auto* text = std::get_if<std::string>(&bytes)) {
            auto more = decode(*text);
            records.insert(records.end(), std::make_move_iterator(more.begin()),
                           std::make_move_iterator(more.end()));
        }
    }
    return records;
}

}  // namespace wordpour::journal

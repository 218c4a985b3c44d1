#include "app/form/write_back.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "app/form/session_view.h"
#include "app/form/wording.h"
#include "base/unicode.h"
#include "journal/unsaved.h"

namespace wordpour::form {

Lost findLost(link::WorkbookLink& link, const journal::Journal& journal, const std::u16string& book,
              std::int64_t now) {
    const std::int64_t saved = journal::savedAt(std::filesystem::path(book)).value_or(0);
    std::vector<link::WorkbookLink::Made> made;
    // Only the journal's files written since the workbook was saved are read.
    // A row is written back whole: its values as the entry made them.
    for (auto& record :
         journal::unsavedEntries(journal.read(journal::readFrom(saved, now)), book, saved, now)) {
        link::Entry entry{std::move(record.cell), std::move(record.word)};
        for (auto& cell : record.beside) entry.beside.push_back(std::move(cell.value));
        made.push_back({std::move(entry), std::move(record.before)});
    }
    if (made.empty()) return {};
    const auto checked = link.check(made);
    if (checked.failure) {
        wording::logDiagnostic(checked.failure);
        return {};
    }
    Lost found;
    for (std::size_t i = 0; i < made.size() && i < checked.kept.size(); ++i) {
        switch (checked.kept[i]) {
            case link::WorkbookLink::Kept::Holds:
                break;
            case link::WorkbookLink::Kept::Lost:
                found.lost.push_back(made[i].entry);
                break;
            case link::WorkbookLink::Kept::Other:
                found.changed.push_back(made[i].entry.cell);
                break;
            case link::WorkbookLink::Kept::Unchecked:
                std::fprintf(stderr, "wordpour: journal record for cell %s skipped\n",
                             base::encodeUtf8(made[i].entry.cell.substr(0, 40)).c_str());
                break;
        }
    }
    return found;
}

void WriteBack::offer(const Lost& found, std::function<void()> then) {
    if (found.lost.empty() ||
        view_.messageBox(wording::lostEntriesQuestion(found.lost, found.changed)) != Answer::Yes) {
        if (then) then();
        return;
    }
    left_.assign(found.lost.begin(), found.lost.end());
    then_ = std::move(then);
    active_ = true;
    next();
}

void WriteBack::next() {
    if (left_.empty()) {
        active_ = false;
        if (auto then = std::exchange(then_, nullptr)) then();
        return;
    }
    link::Entry entry = std::move(left_.front());
    left_.pop_front();
    write_(std::move(entry));
}

void WriteBack::stop() {
    active_ = false;
    left_.clear();
    then_ = nullptr;
}

}  // namespace wordpour::form

#include "app/form/entry_history.h"

namespace wordpour::form {

void EntryHistory::add(Record record) {
    records_.push_back(std::move(record));
    if (records_.size() > kDepth) records_.pop_front();
}

std::vector<link::OwnCell> EntryHistory::ownCells() const {
    std::vector<link::OwnCell> own;
    own.reserve(records_.size());
    for (const Record& record : records_)
        own.push_back({record.keptCell, record.entry.word, record.entry.cell});
    return own;
}

}  // namespace wordpour::form

// What this run wrote: one record an entry not taken back, the newest last.
// It is both what undo takes back and which words in the sheet are this
// run's own. A record is known by the cell the link keeps for it, which
// follows the rows and columns the person inserts or deletes, never by the
// cell's name, which then names another cell.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/workbook_link.h"

namespace wordpour::form {

class EntryHistory {
public:
    struct Record {
        link::Entry entry;                      // the word and the cell's name when written
        link::spreadsheet::CellContent before;  // what the cell held
        std::u16string nameBefore;              // the cell name before the entry
        std::uint64_t keptCell;                 // the cell the link keeps for it
        link::WorkbookLink::Row beside = {};    // the cells right of it, written with it
        std::optional<long> number = {};        // the running number it wrote
    };

    // As many as the link keeps cells for.
    static constexpr std::size_t kDepth = link::kKeptCells;

    // The oldest record goes past kDepth.
    void add(Record record);
    bool empty() const { return records_.empty(); }
    const Record& last() const { return records_.back(); }
    // The last entry was taken back, or leaves the history as it is.
    void dropLast() { records_.pop_back(); }

    // The words this run left, each with its kept cell: an entry writes over
    // them without a question. A word taken back is no longer one of them;
    // the word it had written over, if this run's, is one again.
    std::vector<link::OwnCell> ownCells() const;

private:
    std::deque<Record> records_;
};

}  // namespace wordpour::form

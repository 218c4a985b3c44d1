// One record of the journal: an entry or an undo, with all that is needed
// to tell later whether the workbook still holds it. Each record is one
// line of UTF-8 with a checksum in front, so that a line cut short by a
// crash, or two lines run together, is known and skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell_content.h"
#include "cells/cell_value.h"

namespace wordpour::journal {

// A cell right of the word, written with it: the value as the entry made
// it, what the cell held then, and what it held before.
struct Beside {
    cells::CellValue value;
    cells::CellContent written;
    cells::CellContent before;

    bool operator==(const Beside&) const = default;
};

struct Record {
    enum class Kind { Entry, Undo };
    Kind kind = Kind::Entry;
    std::int64_t time = 0;  // milliseconds since 1970, UTC
    std::u16string book;    // the workbook's path
    std::u16string sheet;   // the sheet's name as taken
    std::u16string cell;
    std::u16string word;              // written, or taken back
    cells::CellContent before;        // what the cell held before the entry
    std::vector<Beside> beside = {};  // the cells right of it, in order

    bool operator==(const Record&) const = default;
};

// The record's line, ended by a line feed.
std::string encode(const Record& record);
// The whole records of a journal file's bytes, in order: a line that is cut
// short or whose checksum does not match is skipped.
std::vector<Record> decode(std::string_view bytes);

}  // namespace wordpour::journal

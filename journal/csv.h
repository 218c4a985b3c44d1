// The journal as a CSV file a spreadsheet opens: UTF-8 with a byte-order
// mark (so that Excel and Calc read it as such), a header row, then one row
// a record: time, workbook, sheet, cell, word, what was done.
#pragma once

#include <string>
#include <vector>

#include "journal/record.h"

namespace wordpour::journal {

std::string toCsv(const std::vector<Record>& records);
// A record's time as the person's clock shows it: "2026-12-08 19:06:31".
std::u16string localTime(std::int64_t time);

}  // namespace wordpour::journal

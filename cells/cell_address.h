// Where an A1-style cell name points on a sheet of a given size: what a
// spreadsheet would resolve the name to, computed without asking it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wordpour::cells {

struct SheetSize {
    std::int32_t columns;
    std::int32_t rows;
};

// Zero-based, as a spreadsheet's API counts.
struct CellAddress {
    std::int32_t column;
    std::int32_t row;
    bool operator==(const CellAddress&) const = default;
};

// The cell a name of column letters ("A"-"Z") followed by a row number
// names, if the sheet has it. Nothing for a name without letters or digits,
// with anything else in it, with row 0, or past the sheet's last row or
// column.
std::optional<CellAddress> cellAddress(std::u16string_view name, SheetSize size);
// The A1-style name of a cell: the inverse of cellAddress.
std::u16string cellName(CellAddress at);

}  // namespace wordpour::cells

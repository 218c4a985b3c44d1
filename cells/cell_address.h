// Where an A1-style cell name points on a sheet of a given size: what a
// spreadsheet would resolve the name to, computed without asking it.
#pragma once

#include <cstddef>
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
// The name of the cell `offset` columns right of the one `name` names, on
// the largest sheet any spreadsheet has; empty for a name it lacks.
std::u16string besideName(std::u16string_view name, std::size_t offset);
// The largest sheet: Excel's since 2007, and Calc's.
inline constexpr SheetSize kLargestSheet{.columns = 16384, .rows = 1048576};

}  // namespace wordpour::cells

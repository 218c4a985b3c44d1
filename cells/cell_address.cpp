#include "cells/cell_address.h"

namespace wordpour::cells {

std::optional<CellAddress> cellAddress(std::u16string_view name, SheetSize size) {
    std::size_t i = 0;
    // Columns count A = 1 … Z = 26, AA = 27: bijective base 26. Stop as soon
    // as the sheet is passed, so no name is too long to count.
    std::int64_t column = 0;
    for (; i < name.size() && name[i] >= u'A' && name[i] <= u'Z'; ++i) {
        column = column * 26 + (name[i] - u'A' + 1);
        if (column > size.columns) return std::nullopt;
    }
    if (i == 0 || i == name.size()) return std::nullopt;
    std::int64_t row = 0;
    for (; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') return std::nullopt;
        row = row * 10 + (name[i] - u'0');
        if (row > size.rows) return std::nullopt;
    }
    if (row == 0) return std::nullopt;
    return CellAddress{static_cast<std::int32_t>(column - 1), static_cast<std::int32_t>(row - 1)};
}

}  // namespace wordpour::cells

namespace wordpour::cells {

std::u16string cellName(CellAddress at) {
    std::u16string letters;
    for (std::int64_t column = std::int64_t{at.column} + 1; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char16_t>(u'A' + (column - 1) % 26));
    const std::string row = std::to_string(std::int64_t{at.row} + 1);
    return letters + std::u16string(row.begin(), row.end());
}

std::u16string besideName(std::u16string_view name, std::size_t offset) {
    const auto at = cellAddress(name, kLargestSheet);
    if (!at) return {};
    return cellName({at->column + static_cast<std::int32_t>(offset), at->row});
}

}  // namespace wordpour::cells

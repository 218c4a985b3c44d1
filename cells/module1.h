// The current cell name: read it, and advance it one row per word entry.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "cells/cell_name.h"

namespace wordpour::cells {

// The one store of the current cell name (the text box of the cell-position
// dialog). Implementations create the box, hidden, on first access.
class CellNameBox {
public:
    virtual ~CellNameBox() = default;
    virtual std::u16string text() = 0;
    virtual void setText(const std::u16string& text) = 0;
};

}  // namespace wordpour::cells

namespace Module1 {

using wordpour::cells::CellNameBox;
using wordpour::cells::NextRow;

// The current cell name: the box's text, or "A1" when it is empty. Never
// changes the box.
std::u16string GetCellName(CellNameBox& box);

// Writes at the cell one row below the current one, then stores that name in
// the box and returns it. `writeAt` may throw: the name is stored only after
// it returned, so a failed write leaves the box as it was and the next entry
// does not skip a row. A wrong or overflowing name is returned as a problem
// and `writeAt` is not called.
NextRow AdvanceCellName(CellNameBox& box,
                        const std::function<void(const std::u16string& cell)>& writeAt);

}  // namespace Module1

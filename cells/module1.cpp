#include "cells/module1.h"

namespace Module1 {

std::u16string GetCellName(CellNameBox& box) {
    std::u16string name = box.text();
    if (name.empty()) return std::u16string(wordpour::cells::kEmptyNameMeans);
    return name;
}

NextRow AdvanceCellName(CellNameBox& box,
                        const std::function<void(const std::u16string& cell)>& writeAt) {
    NextRow next = wordpour::cells::nextRowName(GetCellName(box));
    if (next.problem != wordpour::cells::NameProblem::None) return next;
    writeAt(next.name);
    box.setText(next.name);
    return next;
}

}  // namespace Module1

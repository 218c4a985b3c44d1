// What a cell holds, exactly enough to put it back: the link reads and
// restores it, the journal keeps it beside each entry.
#pragma once

#include <string>
#include <string_view>

namespace wordpour::cells {

struct CellContent {
    enum class Kind {
        Empty,
        Text,    // literal text
        Number,  // a number (or a date), exactly as the cell holds it
        Input,   // anything else, as typed in the application's own (English) syntax:
                 // a formula, or a value the backend can only give as input
    };
    Kind kind = Kind::Empty;
    std::u16string text;  // the text, or the input; empty for an empty cell or a number
    double number = 0;    // the number

    bool operator==(const CellContent&) const = default;
    // What a cell holds once `word` was written into it.
    static CellContent written(std::u16string_view word) {
        return word.empty() ? CellContent{} : CellContent{Kind::Text, std::u16string(word)};
    }
};

}  // namespace wordpour::cells

// How a word is handed to a spreadsheet so that the cell holds it as text,
// exactly: never a number, date, formula or boolean.
#pragma once

#include <string>
#include <string_view>

namespace wordpour::link::spreadsheet {

// The word behind the spreadsheet's text prefix, an apostrophe, which the
// cell does not keep: "=1+1" stays "=1+1", "'abc" stays "'abc". Excel's
// Value and Calc's formula take it alike. The empty word stays empty, so
// the cell is emptied.
inline std::u16string literalText(std::u16string_view word) {
    if (word.empty()) return {};
    std::u16string text;
    text.reserve(word.size() + 1);
    text += u'\'';
    text += word;
    return text;
}

}  // namespace wordpour::link::spreadsheet

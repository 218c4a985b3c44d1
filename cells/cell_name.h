// The next-row arithmetic on A1-style cell names, as a pure function.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wordpour::cells {

// Lengths and character positions are 16-bit signed counts: a name must be
// shorter than this many characters.
inline constexpr std::size_t kNameLengthLimit = 32767;
// The letters part may hold at most this many letters.
inline constexpr std::size_t kMaxLetters = 1261;
// What an empty cell-name box stands for.
inline constexpr std::u16string_view kEmptyNameMeans = u"A1";

enum class NameProblem {
    None,
    WrongCharacter,  // a character other than "A"-"Z" and "0"-"9"
    Overflow,        // too long, or too many letters
};

struct NextRow {
    NameProblem problem = NameProblem::None;
    std::u16string name;  // the next-row name; empty unless problem is None
};

// The name of the cell one row below `name`: its letters in order, then the
// value of its digits plus one ("A1B2" gives "AB13", "C" gives "C1").
NextRow nextRowName(std::u16string_view name);

}  // namespace wordpour::cells

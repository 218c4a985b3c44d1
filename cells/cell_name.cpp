#include "cells/cell_name.h"

namespace wordpour::cells {

namespace {

// Adds one to a string of decimal digits with no leading zeros ("" is zero).
// Exact at any length: for rows below 10^15 this is the same text a double
// would give, and above that it still names the next row instead of rounding.
std::u16string incremented(std::u16string digits) {
    if (digits.empty()) return u"1";
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != u'9') {
            ++*it;
            return digits;
        }
        *it = u'0';
    }
    digits.insert(digits.begin(), u'1');
    return digits;
}

}  // namespace

NextRow nextRowName(std::u16string_view name) {
    if (name.size() > kNameLengthLimit) return {NameProblem::Overflow, {}};

    std::u16string letters;
    std::u16string digits;
    for (char16_t c : name) {
        if (c >= u'0' && c <= u'9') {
            // Leading zeros count for nothing.
            if (c != u'0' || !digits.empty()) digits.push_back(c);
        } else if (c >= u'A' && c <= u'Z') {
            letters.push_back(c);
        } else {
            return {NameProblem::WrongCharacter, {}};
        }
    }
    // A name of exactly the limit passes the character test but its length
    // does not fit a 16-bit position counter once the scan steps past it.
    if (name.size() == kNameLengthLimit || letters.size() > kMaxLetters) {
        return {NameProblem::Overflow, {}};
    }
    return {NameProblem::None, letters + incremented(std::move(digits))};
}

}  // namespace wordpour::cells

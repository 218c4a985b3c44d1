#include <string>

#include <gtest/gtest.h>

#include "cells/cell_name.h"

namespace {

using wordpour::cells::kMaxLetters;
using wordpour::cells::kNameLengthLimit;
using wordpour::cells::NameProblem;
using wordpour::cells::nextRowName;

struct Case {
    std::u16string name;
    NameProblem problem;
    std::u16string next;
};

std::u16string repeated(char16_t c, std::size_t n) {
    return std::u16string(n, c);
}

// `head`, then `n` times `c`, then `tail`: appended, since GCC 12 misreports
// some operator+ chains on long strings as overlapping copies.
std::u16string name(std::u16string head, char16_t c, std::size_t n, std::u16string_view tail = {}) {
    return head.append(n, c).append(tail);
}

TEST(CellName, NextRowName) {
    const Case cases[] = {
        {u"A1", NameProblem::None, u"A2"},
        {u"AB12", NameProblem::None, u"AB13"},
        {u"A9", NameProblem::None, u"A10"},
        {u"A0", NameProblem::None, u"A1"},
        {u"A", NameProblem::None, u"A1"},
        {u"C", NameProblem::None, u"C1"},
        {u"1", NameProblem::None, u"2"},
        {u"0", NameProblem::None, u"1"},
        {u"A01", NameProblem::None, u"A2"},
        {u"A000", NameProblem::None, u"A1"},
        {u"1A", NameProblem::None, u"A2"},
        {u"A1B2", NameProblem::None, u"AB13"},
        {u"B2A1", NameProblem::None, u"BA22"},
        {u"AA9", NameProblem::None, u"AA10"},
        {u"A32767", NameProblem::None, u"A32768"},
        {u"B65535", NameProblem::None, u"B65536"},
        {u"A999999999999999", NameProblem::None, u"A1000000000000000"},
        // Wrong characters, tested by code: case, blanks, signs, full width.
        {u"a1", NameProblem::WrongCharacter, u""},
        {u"A1 ", NameProblem::WrongCharacter, u""},
        {u" ", NameProblem::WrongCharacter, u""},
        {u"A-1", NameProblem::WrongCharacter, u""},
        {u"A1.5", NameProblem::WrongCharacter, u""},
        {u"Ａ１", NameProblem::WrongCharacter, u""},
        {u"A1:B2", NameProblem::WrongCharacter, u""},
        {u"$A$1", NameProblem::WrongCharacter, u""},
        // Limits: letters, then the whole length.
        {repeated(u'A', kMaxLetters), NameProblem::None, name(u"", u'A', kMaxLetters, u"1")},
        {repeated(u'A', kMaxLetters + 1), NameProblem::Overflow, u""},
        {name(u"", u'A', kMaxLetters + 1, u"a"), NameProblem::WrongCharacter, u""},
        {name(u"A", u'1', kNameLengthLimit - 2), NameProblem::None,
         name(u"A", u'1', kNameLengthLimit - 3, u"2")},
        {name(u"A", u'1', kNameLengthLimit - 1), NameProblem::Overflow, u""},
        {name(u"a", u'1', kNameLengthLimit - 1), NameProblem::WrongCharacter, u""},
        {name(u"a", u'1', kNameLengthLimit), NameProblem::Overflow, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::string(c.name.begin(), c.name.begin() + std::min<std::size_t>(c.name.size(), 20)));
        const auto result = nextRowName(c.name);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_TRUE(result.name == c.next);
    }
}

}  // namespace

// What is written beside each word, in the columns to the right of its
// cell: the kinds the person chose for this workbook, the fixed texts and
// the running number's next value. Kept per workbook in the settings.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell_value.h"

namespace wordpour::form {

enum class CompanionKind { None, DateTime, Date, Time, Counter, FixedText };

// How many columns right of the word's can be given a companion.
inline constexpr std::size_t kMaxCompanions = 4;

struct CompanionKindDef {
    CompanionKind kind;
    std::u16string_view caption;  // as the dialog lists it
    std::string_view stored;      // as the settings keep it
};
// clang-format off
inline constexpr CompanionKindDef kCompanionKinds[] = {
    {.kind = CompanionKind::None, .caption = u"なし", .stored = "none"},
    {.kind = CompanionKind::DateTime, .caption = u"日時", .stored = "datetime"},
    {.kind = CompanionKind::Date, .caption = u"日付", .stored = "date"},
    {.kind = CompanionKind::Time, .caption = u"時刻", .stored = "time"},
    {.kind = CompanionKind::Counter, .caption = u"連番", .stored = "number"},
    {.kind = CompanionKind::FixedText, .caption = u"固定の文字", .stored = "text"},
};
// clang-format on

struct Companion {
    CompanionKind kind = CompanionKind::None;
    std::u16string text;  // a fixed text's
    bool operator==(const Companion&) const = default;
};

struct Companions {
    std::array<Companion, kMaxCompanions> columns{};
    long nextNumber = 1;  // the running number the next entry writes
    bool operator==(const Companions&) const = default;

    // The columns written: those before the first なし. A column after it
    // would leave a gap that one row call could not skip.
    std::size_t width() const;
    bool counts() const;  // whether a column writes the running number
    // The values of an entry made at `now`.
    std::vector<cells::CellValue> valuesAt(const cells::LocalTime& now) const;
};

// The settings key of a workbook's companions, and their stored text: the
// workbook's path is kept in it, so that another file never takes them.
std::string companionsKey(std::u16string_view bookPath);
std::u16string storedCompanions(const Companions& companions, std::u16string_view bookPath);
std::optional<Companions> readCompanions(std::u16string_view stored, std::u16string_view bookPath);

// The clock's time now, as the person reads it.
cells::LocalTime localNow();

}  // namespace wordpour::form

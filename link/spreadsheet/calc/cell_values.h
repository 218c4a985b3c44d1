// The values written beside a word, as Calc keeps them: a date is a serial
// number from the workbook's null date, shown by the cell's number format.
#pragma once

#include <map>
#include <mutex>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include "cells/cell_value.h"

namespace wordpour::link::spreadsheet::calc {

// How a cell's number format shows a date put into it.
enum class DateShowing {
    Shown,    // it shows a date or a time: the person's own format, kept
    General,  // the standard format, which a typed date replaces with a date format
    Hidden,   // a text, percentage or number format, which must be replaced
};

// A workbook's dates: the day its serial numbers count from, the formats a
// date, a time and a date-time take, and what each cell format does with a
// date. Asked once a workbook (a format once a key), from any thread.
class DateFormats {
public:
    explicit DateFormats(const css::uno::Reference<css::util::XNumberFormatsSupplier>& supplier)
        : supplier_(supplier) {}

    cells::LocalTime nullDate();
    sal_Int32 formatFor(cells::CellValue::Kind kind);
    DateShowing showing(sal_Int32 key);

private:
    void ask();  // under mutex_

    css::uno::Reference<css::util::XNumberFormatsSupplier> supplier_;
    std::mutex mutex_;
    bool asked_ = false;
    cells::LocalTime nullDate_;
    sal_Int32 date_ = 0, time_ = 0, dateTime_ = 0;
    std::map<sal_Int32, DateShowing> showings_;
};

// The date or time as ISO 8601 input ("2026-12-09 13:45:30", "2026-12-09",
// "13:45:30"), which Calc reads in every language.
std::u16string typedDate(const cells::CellValue& value);

// Whether a value is a date or a time, which the cell must show as one.
bool isDate(const cells::CellValue& value);

// Whether writeValue() gives the cell another number format than it had.
bool replacesFormat(const cells::CellValue& value, DateShowing showing);

// Writes a value beside the word into its cell, whose format shows dates
// as `showing` says, in one call wherever the cell allows: a text as literal
// text, a date into a cell of the standard format as typed input, so that
// the value and a date format arrive together. `serial` is the date's value;
// `taken`, the cell's properties if they were asked for already.
void writeValue(const css::uno::Reference<css::table::XCell>& cell,
                const css::uno::Reference<css::beans::XPropertySet>& taken,
                const cells::CellValue& value, double serial, DateShowing showing,
                DateFormats& formats);

}  // namespace wordpour::link::spreadsheet::calc

#include "link/spreadsheet/calc/cell_values.h"

#include <cstdio>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/i18n/NumberFormatIndex.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>

#include "link/spreadsheet/calc/uno_connection.h"
#include "link/spreadsheet/literal_text.h"

namespace wordpour::link::spreadsheet::calc {

using cells::CellValue;
using css::uno::Reference;
namespace Type = css::util::NumberFormat;

cells::LocalTime DateFormats::nullDate() {
    std::lock_guard lock(mutex_);
    ask();
    return nullDate_;
}

sal_Int32 DateFormats::formatFor(CellValue::Kind kind) {
    std::lock_guard lock(mutex_);
    ask();
    switch (kind) {
        case CellValue::Kind::Date:
            return date_;
        case CellValue::Kind::Time:
            return time_;
        case CellValue::Kind::DateTime:
        case CellValue::Kind::Text:
        case CellValue::Kind::Number:
            return dateTime_;
    }
    return dateTime_;
}

DateShowing DateFormats::showing(sal_Int32 key) {
    std::lock_guard lock(mutex_);
    const auto known = showings_.find(key);
    if (known != showings_.end()) return known->second;
    const auto format = supplier_->getNumberFormats()->getByKey(key);
    sal_Int16 type = 0;
    bool standard = false;
    format->getPropertyValue("Type") >>= type;
    format->getPropertyValue("StandardFormat") >>= standard;
    const auto kind = static_cast<sal_Int16>(type & ~Type::DEFINED);
    return showings_[key] = (kind & (Type::DATE | Type::TIME)) != 0 ? DateShowing::Shown
                            : standard && kind == Type::NUMBER      ? DateShowing::General
                                                                    : DateShowing::Hidden;
}

void DateFormats::ask() {
    if (asked_) return;
    css::util::Date day;
    if (supplier_->getNumberFormatSettings()->getPropertyValue("NullDate") >>= day)
        nullDate_ = {.year = day.Year, .month = day.Month, .day = day.Day};
    Reference<css::util::XNumberFormatTypes> types(supplier_->getNumberFormats(),
                                                   css::uno::UNO_QUERY_THROW);
    const css::lang::Locale locale;  // the office's own language
    date_ = types->getStandardFormat(Type::DATE, locale);
    time_ = types->getFormatIndex(css::i18n::NumberFormatIndex::TIME_HHMMSS, locale);
    dateTime_ =
        types->getFormatIndex(css::i18n::NumberFormatIndex::DATETIME_SYS_DDMMYYYY_HHMMSS, locale);
    asked_ = true;
}

std::u16string typedDate(const CellValue& value) {
    const auto& t = value.time;
    char text[32];
    switch (value.kind) {
        case CellValue::Kind::Date:
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
            break;
        case CellValue::Kind::Time:
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
            break;
        case CellValue::Kind::DateTime:
        case CellValue::Kind::Text:
        case CellValue::Kind::Number:
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month,
                          t.day, t.hour, t.minute, t.second);
            break;
    }
    return {text, text + std::char_traits<char>::length(text)};
}

bool isDate(const CellValue& value) {
    switch (value.kind) {
        case CellValue::Kind::Text:
        case CellValue::Kind::Number:
            return false;
        case CellValue::Kind::DateTime:
        case CellValue::Kind::Date:
        case CellValue::Kind::Time:
            return true;
    }
    return false;
}

bool replacesFormat(const CellValue& value, DateShowing showing) {
    return isDate(value) && showing != DateShowing::Shown;
}

void writeValue(const Reference<css::table::XCell>& cell,
                const Reference<css::beans::XPropertySet>& taken, const CellValue& value,
                double serial, DateShowing showing, DateFormats& formats) {
    switch (value.kind) {
        case CellValue::Kind::Text:
            cell->setFormula(toUno(literalText(value.text)));
            return;
        case CellValue::Kind::Number:
            cell->setValue(value.number);
            return;
        case CellValue::Kind::DateTime:
        case CellValue::Kind::Date:
        case CellValue::Kind::Time:
            break;
    }
    // A format set on its own costs the entry a second, slow change of the
    // cell (the office repaints it): typed input brings its format along.
    Reference<css::beans::XPropertySet> properties = taken;
    if (!properties.is()) properties.set(cell, css::uno::UNO_QUERY_THROW);
    switch (showing) {
        case DateShowing::Shown:
            cell->setValue(serial);
            return;
        case DateShowing::General:
            properties->setPropertyValue("FormulaLocal", css::uno::Any(toUno(typedDate(value))));
            return;
        case DateShowing::Hidden:
            cell->setValue(serial);
            properties->setPropertyValue("NumberFormat",
                                         css::uno::Any(formats.formatFor(value.kind)));
            return;
    }
}

}  // namespace wordpour::link::spreadsheet::calc

// What an entry writes beside its word: a text, a number, or the moment the
// person pressed the key, as a spreadsheet keeps a date and a time.
#pragma once

#include <cstdint>
#include <string>

namespace wordpour::cells {

// A moment on the person's clock: a spreadsheet's date has no time zone.
struct LocalTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const LocalTime&) const = default;
};

struct CellValue {
    enum class Kind {
        Text,      // literal text, as every word
        Number,    // a number
        DateTime,  // the moment, as a date-time value
        Date,      // its day
        Time,      // its time of day
    };
    Kind kind = Kind::Text;
    std::u16string text;  // Text
    double number = 0;    // Number
    LocalTime time;       // DateTime, Date, Time
    bool operator==(const CellValue&) const = default;
};

// Days from 1970-01-01 to a day of the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// The spreadsheet's serial number of a date or time value: days since the
// workbook's null date (1899-12-30 unless the workbook says otherwise),
// the time of day as the fraction.
inline double serialOf(const CellValue& value, const LocalTime& nullDate = {}) {
    const LocalTime& t = value.time;
    const double day = static_cast<double>(
        daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) -
        daysFromCivil(nullDate.year, static_cast<unsigned>(nullDate.month),
                      static_cast<unsigned>(nullDate.day)));
    const double time = (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
    switch (value.kind) {
        case CellValue::Kind::DateTime:
            return day + time;
        case CellValue::Kind::Date:
            return day;
        case CellValue::Kind::Time:
            return time;
        case CellValue::Kind::Text:
        case CellValue::Kind::Number:
            return value.number;
    }
    return value.number;
}

}  // namespace wordpour::cells

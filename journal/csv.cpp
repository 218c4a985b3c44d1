#include "journal/csv.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "base/unicode.h"

namespace wordpour::journal {

namespace {

// Quoted whenever it holds a comma, a quote or a line end; a quote doubled.
// A field that a spreadsheet would read as a formula (one that begins with
// "=", "+", "-", "@", a tab or a carriage return) gets an apostrophe in
// front: the words were written into the workbook as text, and their
// record must not turn into live formulas in the next spreadsheet that
// opens it.
std::string field(std::u16string_view text) {
    std::string utf8 = base::encodeUtf8(text);
    if (!utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos)
        utf8.insert(utf8.begin(), '\'');
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::u16string localTime(std::int64_t time) {
    const std::time_t seconds = static_cast<std::time_t>(time / 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

namespace {

std::u16string digits(int value, int width) {
    std::string text = std::to_string(value);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return {text.begin(), text.end()};
}

// A value written beside a word as the person set it: a date and time as
// the record's time is shown, a number as it is.
std::u16string shown(const cells::CellValue& value) {
    const auto& t = value.time;
    std::u16string day = digits(t.year, 4) + u"-" + digits(t.month, 2) + u"-" + digits(t.day, 2);
    std::u16string time =
        digits(t.hour, 2) + u":" + digits(t.minute, 2) + u":" + digits(t.second, 2);
    switch (value.kind) {
        case cells::CellValue::Kind::Text:
            return value.text;
        case cells::CellValue::Kind::Number: {
            char text[32];
            std::snprintf(text, sizeof text, "%.15g", value.number);
            return std::u16string(text, text + std::char_traits<char>::length(text));
        }
        case cells::CellValue::Kind::DateTime:
            return day + u" " + time;
        case cells::CellValue::Kind::Date:
            return day;
        case cells::CellValue::Kind::Time:
            return time;
    }
    return value.text;
}

}  // namespace

std::string toCsv(const std::vector<Record>& records) {
    // A column for each cell written beside a word, as many as the widest row.
    std::size_t besides = 0;
    for (const Record& r : records) besides = std::max(besides, r.beside.size());
    std::string csv = "\xEF\xBB\xBF";
    csv += field(u"時刻") + ',' + field(u"ブック") + ',' + field(u"シート") + ',' + field(u"セル") +
           ',' + field(u"単語");
    for (std::size_t i = 1; i <= besides; ++i)
        csv += ',' + field(digits(static_cast<int>(i), 1) + u"列右");
    csv += ',' + field(u"操作") + "\r\n";
    for (const Record& r : records) {
        const std::u16string_view done = r.kind == Record::Kind::Entry ? u"入力" : u"元に戻す";
        csv += field(localTime(r.time)) + ',' + field(r.book) + ',' + field(r.sheet) + ',' +
               field(r.cell) + ',' + field(r.word);
        for (std::size_t i = 0; i < besides; ++i)
            csv += ',' + (i < r.beside.size() ? field(shown(r.beside[i].value)) : std::string());
        csv += ',' + field(done) + "\r\n";
    }
    return csv;
}

}  // namespace wordpour::journal

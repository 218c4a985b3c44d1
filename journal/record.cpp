#include "journal/record.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

#include "base/tab_fields.h"

namespace wordpour::journal {

namespace {

// The format's first field: a later format is skipped, not misread. A
// record with cells beside its word is of the second, which adds them.
constexpr std::string_view kVersion = "1";
constexpr std::string_view kRowVersion = "2";
// The fields of a cell beside: its value's kind, text, number and moment
// (six fields), then what it held after and before (three each).
constexpr std::size_t kBesideFields = 4 + 5 + 6;

std::uint32_t crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

template <typename Number>
std::optional<Number> number(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> real(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void appendReal(std::string& payload, double value) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    payload.append(text.data(), written.ptr);
}

void appendContent(std::string& payload, const cells::CellContent& content) {
    payload += '\t' + std::to_string(static_cast<int>(content.kind)) + '\t';
    base::appendField(payload, content.text);
    payload += '\t';
    appendReal(payload, content.number);
}

std::optional<cells::CellContent> content(const std::vector<std::string_view>& fields,
                                          std::size_t at) {
    const auto kind = number<int>(fields[at]);
    auto text = base::fieldText(fields[at + 1]);
    const auto value = real(fields[at + 2]);
    if (!kind || *kind < 0 || *kind > 3 || !text || !value) return std::nullopt;
    return cells::CellContent{static_cast<cells::CellContent::Kind>(*kind), std::move(*text),
                              *value};
}

std::optional<Beside> beside(const std::vector<std::string_view>& fields, std::size_t at) {
    const auto kind = number<int>(fields[at]);
    auto text = base::fieldText(fields[at + 1]);
    const auto value = real(fields[at + 2]);
    int moment[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        const auto part = number<int>(fields[at + 3 + i]);
        if (!part) return std::nullopt;
        moment[i] = *part;
    }
    auto written = content(fields, at + 9);
    auto before = content(fields, at + 12);
    if (!kind || *kind < 0 || *kind > 4 || !text || !value || !written || !before)
        return std::nullopt;
    return Beside{
        .value = {.kind = static_cast<cells::CellValue::Kind>(*kind),
                  .text = std::move(*text),
                  .number = *value,
                  .time = {moment[0], moment[1], moment[2], moment[3], moment[4], moment[5]}},
        .written = std::move(*written),
        .before = std::move(*before)};
}

std::optional<Record> parse(std::string_view payload) {
    const auto fields = base::splitFields(payload);
    const bool row = fields.size() > 11 && fields[0] == kRowVersion;
    if (!row && (fields.size() != 10 || fields[0] != kVersion)) return std::nullopt;
    Record record;
    const auto time = number<std::int64_t>(fields[1]);
    const auto kind = number<int>(fields[2]);
    const auto contentKind = number<int>(fields[7]);
    if (!time || !kind || !contentKind || *kind < 0 || *kind > 1 || *contentKind < 0 ||
        *contentKind > 3)
        return std::nullopt;
    record.time = *time;
    record.kind = static_cast<Record::Kind>(*kind);
    std::u16string* texts[] = {&record.book, &record.sheet, &record.cell, &record.word,
                               &record.before.text};
    const std::size_t at[] = {3, 4, 5, 6, 8};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        auto text = base::fieldText(fields[at[i]]);
        if (!text) return std::nullopt;
        *texts[i] = std::move(*text);
    }
    record.before.kind = static_cast<cells::CellContent::Kind>(*contentKind);
    // The number as written: shortest text that reads back the same double.
    double value = 0;
    const auto [end, error] =
        std::from_chars(fields[9].data(), fields[9].data() + fields[9].size(), value);
    if (error != std::errc() || end != fields[9].data() + fields[9].size()) return std::nullopt;
    record.before.number = value;
    if (!row) return record;
    const auto count = number<std::size_t>(fields[10]);
    if (!count || *count > fields.size() || fields.size() != 11 + *count * kBesideFields)
        return std::nullopt;
    for (std::size_t i = 0; i < *count; ++i) {
        auto cell = beside(fields, 11 + i * kBesideFields);
        if (!cell) return std::nullopt;
        record.beside.push_back(std::move(*cell));
    }
    return record;
}

}  // namespace

std::string encode(const Record& record) {
    std::string payload(record.beside.empty() ? kVersion : kRowVersion);
    payload += '\t' + std::to_string(record.time);
    payload += '\t' + std::to_string(static_cast<int>(record.kind));
    for (const std::u16string* text : {&record.book, &record.sheet, &record.cell, &record.word}) {
        payload += '\t';
        base::appendField(payload, *text);
    }
    payload += '\t' + std::to_string(static_cast<int>(record.before.kind)) + '\t';
    base::appendField(payload, record.before.text);
    payload += '\t';
    appendReal(payload, record.before.number);
    if (!record.beside.empty()) payload += '\t' + std::to_string(record.beside.size());
    for (const Beside& cell : record.beside) {
        payload += '\t' + std::to_string(static_cast<int>(cell.value.kind)) + '\t';
        base::appendField(payload, cell.value.text);
        payload += '\t';
        appendReal(payload, cell.value.number);
        const auto& t = cell.value.time;
        for (int part : {t.year, t.month, t.day, t.hour, t.minute, t.second})
            payload += '\t' + std::to_string(part);
        appendContent(payload, cell.written);
        appendContent(payload, cell.before);
    }
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(payload));
    return std::string(crc) + '\t' + payload + '\n';
}

std::vector<Record> decode(std::string_view bytes) {
    std::vector<Record> records;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != bytes.npos;
         start = end + 1, end = bytes.find('\n', start)) {
        const std::string_view line = bytes.substr(start, end - start);
        if (line.size() < 10 || line[8] != '\t') continue;
        std::uint32_t expected = 0;
        const auto [at, error] = std::from_chars(line.data(), line.data() + 8, expected, 16);
        if (error != std::errc() || at != line.data() + 8) continue;
        const std::string_view payload = line.substr(9);
        if (crc32(payload) != expected) continue;
        if (auto record = parse(payload)) records.push_back(std::move(*record));
    }
    // What follows the last line end is a record cut short: skipped.
    return records;
}

}  // namespace wordpour::journal

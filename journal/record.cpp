#include "journal/record.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

#include "base/tab_fields.h"

namespace wordpour::journal {

namespace {

// The format's first field: a later format is skipped, not misread.
constexpr std::string_view kVersion = "1";

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

std::optional<Record> parse(std::string_view payload) {
    const auto fields = base::splitFields(payload);
    if (fields.size() != 10 || fields[0] != kVersion) return std::nullopt;
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
    return record;
}

}  // namespace

std::string encode(const Record& record) {
    std::string payload(kVersion);
    payload += '\t' + std::to_string(record.time);
    payload += '\t' + std::to_string(static_cast<int>(record.kind));
    for (const std::u16string* text : {&record.book, &record.sheet, &record.cell, &record.word}) {
        payload += '\t';
        base::appendField(payload, *text);
    }
    payload += '\t' + std::to_string(static_cast<int>(record.before.kind)) + '\t';
    base::appendField(payload, record.before.text);
    std::array<char, 32> number{};
    const auto written =
        std::to_chars(number.data(), number.data() + number.size(), record.before.number);
    payload += '\t';
    payload.append(number.data(), written.ptr);
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

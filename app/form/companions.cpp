#include "app/form/companions.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <ctime>

namespace wordpour::form {

namespace {

// Between the stored fields: no text a person types holds it.
constexpr char16_t kSeparator = u'\x1f';
constexpr std::u16string_view kVersion = u"1";

std::u16string wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::vector<std::u16string_view> fields(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    for (;;) {
        const auto end = text.find(kSeparator);
        parts.push_back(text.substr(0, end));
        if (end == std::u16string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

std::size_t Companions::width() const {
    const auto none = std::find_if(columns.begin(), columns.end(), [](const Companion& c) {
        return c.kind == CompanionKind::None;
    });
    return static_cast<std::size_t>(none - columns.begin());
}

bool Companions::counts() const {
    return std::any_of(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(width()),
                       [](const Companion& c) { return c.kind == CompanionKind::Counter; });
}

std::vector<cells::CellValue> Companions::valuesAt(const cells::LocalTime& now) const {
    using Kind = cells::CellValue::Kind;
    std::vector<cells::CellValue> values;
    for (std::size_t i = 0; i < width(); ++i) {
        const Companion& column = columns[i];
        switch (column.kind) {
            case CompanionKind::None:
                break;
            case CompanionKind::DateTime:
                values.push_back({.kind = Kind::DateTime, .text = {}, .number = 0, .time = now});
                break;
            case CompanionKind::Date:
                values.push_back({.kind = Kind::Date, .text = {}, .number = 0, .time = now});
                break;
            case CompanionKind::Time:
                values.push_back({.kind = Kind::Time, .text = {}, .number = 0, .time = now});
                break;
            case CompanionKind::Counter:
                values.push_back({.kind = Kind::Number,
                                  .text = {},
                                  .number = static_cast<double>(nextNumber),
                                  .time = {}});
                break;
            case CompanionKind::FixedText:
                values.push_back(
                    {.kind = Kind::Text, .text = column.text, .number = 0, .time = {}});
                break;
        }
    }
    return values;
}

std::string companionsKey(std::u16string_view bookPath) {
    // FNV-1a of the path: a settings key has no room for a path's characters.
    std::uint64_t hash = 14695981039346656037ULL;
    for (char16_t c : bookPath) {
        hash = (hash ^ (c & 0xff)) * 1099511628211ULL;
        hash = (hash ^ (c >> 8)) * 1099511628211ULL;
    }
    char digits[17];
    auto [end, ignored] = std::to_chars(digits, digits + 16, hash, 16);
    return "companions_" + std::string(digits, end);
}

std::u16string storedCompanions(const Companions& companions, std::u16string_view bookPath) {
    std::u16string text(kVersion);
    for (const Companion& column : companions.columns) {
        for (const auto& def : kCompanionKinds)
            if (def.kind == column.kind) text += kSeparator + wide(def.stored);
        text += kSeparator;
        for (char16_t c : column.text)
            if (c != kSeparator) text += c;
    }
    text += kSeparator + wide(std::to_string(companions.nextNumber));
    text += kSeparator;
    text += bookPath;
    return text;
}

std::optional<Companions> readCompanions(std::u16string_view stored, std::u16string_view bookPath) {
    const auto parts = fields(stored);
    if (parts.size() != 2 * kMaxCompanions + 3 || parts[0] != kVersion || parts.back() != bookPath)
        return std::nullopt;
    Companions companions;
    for (std::size_t i = 0; i < kMaxCompanions; ++i) {
        const auto kind = std::find_if(
            std::begin(kCompanionKinds), std::end(kCompanionKinds),
            [&](const CompanionKindDef& def) { return wide(def.stored) == parts[1 + 2 * i]; });
        if (kind == std::end(kCompanionKinds)) return std::nullopt;
        companions.columns[i] = {kind->kind, std::u16string(parts[2 + 2 * i])};
    }
    const std::u16string_view number = parts[1 + 2 * kMaxCompanions];
    const std::string digits(number.begin(), number.end());
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), companions.nextNumber);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return companions;
}

cells::LocalTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {.year = local.tm_year + 1900,
            .month = local.tm_mon + 1,
            .day = local.tm_mday,
            .hour = local.tm_hour,
            .minute = local.tm_min,
            .second = local.tm_sec};
}

}  // namespace wordpour::form

#include "wordlist/list_file.h"

#include "wordlist/code_page.h"
#include "wordlist/unicode.h"

namespace wordpour::wordlist {

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool isLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// Consumes the comma or line end at `pos`, if any; CR LF counts as one.
std::size_t pastDelimiter(std::u16string_view text, std::size_t pos) {
    if (pos >= text.size()) return pos;
    if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') return pos + 2;
    return pos + 1;
}

}  // namespace

std::variant<std::string, Unencodable> writeList(const Entries& entries) {
    std::string bytes;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto line = encodeCp932(entries[i]);
        // A character that only maps one way ("¬" is written as the code of
        // "￢") would come back as another word: refuse it like "é".
        if (!line || decodeCp932(*line) != entries[i]) return Unencodable{i};
        bytes += *line;
        bytes += "\r\n";
    }
    return bytes;
}

Entries readFields(std::u16string_view text) {
    Entries fields;
    // Mostly one field a line: one allocation for the list, not dozens.
    std::size_t lines = 1;
    for (char16_t c : text) lines += c == u'\n';
    fields.reserve(lines);
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        std::u16string field;
        if (pos < text.size() && text[pos] == u'"') {
            const std::size_t close = text.find(u'"', pos + 1);
            const std::size_t end = close == text.npos ? text.size() : close;
            field.assign(text.substr(pos + 1, end - pos - 1));
            pos = end == text.size() ? end : end + 1;
            while (pos < text.size() && text[pos] != u',' && !isLineEnd(text[pos])) ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && text[pos] != u',' && !isLineEnd(text[pos])) ++pos;
            std::size_t end = pos;
            while (end > start && isBlank(text[end - 1])) --end;
            field.assign(text.substr(start, end - start));
        }
        pos = pastDelimiter(text, pos);
        fields.push_back(std::move(field));
    }
    return fields;
}

DetectedEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return {ListEncoding::Utf8, 3};
    if (bytes.starts_with("\xFF\xFE")) return {ListEncoding::Utf16Le, 2};
    if (bytes.starts_with("\xFE\xFF")) return {ListEncoding::Utf16Be, 2};
    const Utf8Scan utf8 = scanUtf8(bytes);
    if (utf8.valid && utf8.multiByte && (utf8.longSequence || !decodeCp932(bytes)))
        return {ListEncoding::Utf8, 0};
    return {ListEncoding::Cp932, 0};
}

std::variant<Entries, InvalidBytes> readList(std::string_view bytes) {
    const DetectedEncoding detected = detectEncoding(bytes);
    bytes.remove_prefix(detected.byteOrderMark);
    std::optional<std::u16string> text;
    switch (detected.encoding) {
        case ListEncoding::Cp932:
            text = decodeCp932(bytes);
            break;
        case ListEncoding::Utf8:
            text = decodeUtf8(bytes);
            break;
        case ListEncoding::Utf16Le:
        case ListEncoding::Utf16Be:
            text = decodeUtf16(bytes, detected.encoding == ListEncoding::Utf16Be);
            break;
    }
    if (!text) return InvalidBytes{};
    return readFields(*text);
}

}  // namespace wordpour::wordlist

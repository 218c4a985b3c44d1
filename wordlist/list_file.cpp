#include "wordlist/list_file.h"

#include "wordlist/code_page.h"

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
        if (!line) return Unencodable{i};
        bytes += *line;
        bytes += "\r\n";
    }
    return bytes;
}

Entries readFields(std::u16string_view text) {
    Entries fields;
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

std::variant<Entries, InvalidBytes> readList(std::string_view bytes) {
    auto text = decodeCp932(bytes);
    if (!text) return InvalidBytes{};
    return readFields(*text);
}

}  // namespace wordpour::wordlist

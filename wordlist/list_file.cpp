#include "wordlist/list_file.h"

#include <algorithm>

#include "base/unicode.h"
#include "wordlist/charset_guess.h"
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

namespace {

bool asciiLetter(std::size_t at, std::string_view bytes) {
    if (at >= bytes.size()) return false;
    const char c = bytes[at];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Well-formed UTF-8 whose every two-byte sequence is a Latin letter
// (U+00C0–U+024F) with an ASCII letter just before or after it: words such
// as "Müller" or "naïve", which code page 932 would read as half-width
// katakana between letters.
bool latinLetters(std::string_view bytes) {
    bool any = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        if (lead < 0xC0 || lead >= 0xE0 || i + 1 >= bytes.size()) return false;
        const unsigned code =
            ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(bytes[i + 1]) & 0x3Fu);
        if (code < 0xC0 || code > 0x24F) return false;
        if (!(i > 0 && asciiLetter(i - 1, bytes)) && !asciiLetter(i + 2, bytes)) return false;
        any = true;
        ++i;
    }
    return any;
}

// EUC-JP rather than code page 932: no byte from 0x80 to 0xA0, which every
// full-width character of code page 932 but the rarest kanji starts with,
// and a byte from 0xE0 up, which half-width katakana never are and EUC-JP
// kana and kanji nearly always hold.
bool looksLikeEucJp(std::string_view bytes) {
    bool high = false;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0xA0) return false;
        if (b >= 0xE0) high = true;
    }
    return high;
}

// Every byte past ASCII is a half-width katakana of code page 932
// (0xA1–0xDF): the lines a List of half-width words is made of, which can
// read as two-byte UTF-8 or as EUC-JP by chance.
bool halfWidthKanaOnly(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
    });
}

// Read as half-width katakana, EUC-JP's hiragana and katakana are every
// other character a half-width mark (｡｢｣､･, 0xA1–0xA5, their rows' first
// bytes); a word of half-width katakana holds few of those.
bool halfWidthMarksAbound(std::string_view bytes) {
    std::size_t high = 0, marks = 0;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        high += b >= 0x80;
        marks += b >= 0xA1 && b <= 0xA5;
    }
    return marks * 3 >= high;
}

// A detector's answer it is sure of, as ICU's is past a few characters.
constexpr int kConfident = 50;

}  // namespace

namespace {

// The encoding, with the text when finding it decoded the bytes already:
// a List is decoded once.
struct Reading {
    DetectedEncoding detected;
    std::optional<std::u16string> text;
};

// EUC-JP has no byte from 0x80 to 0xA0 but its two single shifts (0x8E,
// 0x8F); code page 932's kanji nearly all start with one.
bool mayBeEucJp(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 && b <= 0xA0 && b != 0x8E && b != 0x8F;
    });
}

Reading detect(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return {{ListEncoding::Utf8, 3}, {}};
    if (bytes.starts_with("\xFF\xFE")) return {{ListEncoding::Utf16Le, 2}, {}};
    if (bytes.starts_with("\xFE\xFF")) return {{ListEncoding::Utf16Be, 2}, {}};
    // No text Wordpour reads holds a NUL byte without a byte-order mark:
    // these are UTF-16 without one, or UTF-32.
    if (bytes.find('\0') != std::string_view::npos) return {{ListEncoding::Unreadable, 0}, {}};
    auto cp932 = decodeCp932(bytes);
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return {{ListEncoding::Cp932, 0}, std::move(cp932)};
    const base::Utf8Scan utf8 = base::scanUtf8(bytes);
    // UTF-8 that code page 932 cannot be, or that holds what a List in code
    // page 932 never does, needs no detector.
    if (utf8.valid && (!cp932 || utf8.longSequence || latinLetters(bytes)))
        return {{ListEncoding::Utf8, 0}, {}};
    const bool kanaOnly = halfWidthKanaOnly(bytes);
    auto eucJp = mayBeEucJp(bytes) ? decodeEucJp(bytes) : std::nullopt;
    // Asked only where encodings compete: most Lists need no detector.
    const auto guess = utf8.valid || eucJp ? guessCharset(bytes) : std::nullopt;
    if (utf8.valid) {
        // A few half-width katakana that pair up as UTF-8 ("ﾘｽ") stay what
        // they always were; past that, the detector decides (Иван, Ωμέγα
        // are valid code page 932 too, as nonsense).
        if (kanaOnly && utf8.sequences <= 3) return {{ListEncoding::Cp932, 0}, std::move(cp932)};
        if (!guess || guess->utf8 >= std::max(guess->shiftJis, guess->eucJp))
            return {{ListEncoding::Utf8, 0}, {}};
    }
    if (eucJp) {
        const bool sureOfEucJp =
            !cp932 || (guess && guess->eucJp >= kConfident && guess->eucJp > guess->shiftJis);
        const bool sureOfCp932 =
            guess && guess->shiftJis >= kConfident && guess->shiftJis > guess->eucJp;
        // Too short for the detector to be sure: EUC-JP's kana read as
        // half-width marks, its kanji as bytes from 0xE0 up.
        if (sureOfEucJp ||
            (!sureOfCp932 && (looksLikeEucJp(bytes) || (kanaOnly && halfWidthMarksAbound(bytes)))))
            return {{ListEncoding::EucJp, 0}, std::move(eucJp)};
    }
    if (cp932) return {{ListEncoding::Cp932, 0}, std::move(cp932)};
    return {{ListEncoding::Unreadable, 0}, {}};
}

}  // namespace

DetectedEncoding detectEncoding(std::string_view bytes) {
    return detect(bytes).detected;
}

std::variant<Entries, InvalidBytes> readList(std::string_view bytes) {
    auto [detected, text] = detect(bytes);
    bytes.remove_prefix(detected.byteOrderMark);
    switch (detected.encoding) {
        case ListEncoding::Cp932:
        case ListEncoding::EucJp:
            break;  // decoded while detected
        case ListEncoding::Utf8:
            text = base::decodeUtf8(bytes);
            break;
        case ListEncoding::Utf16Le:
        case ListEncoding::Utf16Be:
            text = base::decodeUtf16(bytes, detected.encoding == ListEncoding::Utf16Be);
            break;
        case ListEncoding::Unreadable:
            break;
    }
    // A NUL is never loaded: no word holds one.
    if (!text || text->find(u'\0') != std::u16string::npos) return InvalidBytes{};
    return readFields(*text);
}

}  // namespace wordpour::wordlist

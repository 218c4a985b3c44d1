// The format of the file "List": how save writes a word list and how load
// reads one back, on bytes in code page 932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace wordpour::wordlist {

// Counts and indices of the word list are 16-bit signed integers.
inline constexpr std::size_t kMaxEntries = 32767;

using Entries = std::vector<std::u16string>;

// Save's bytes: each entry exactly as held, then CR LF.
struct Unencodable {
    std::size_t index;  // the first entry code page 932 cannot hold
};
std::variant<std::string, Unencodable> writeList(const Entries& entries);

// Splits text into fields the way BASIC's `Input #` reads them:
// - Leading spaces and tabs are skipped.
// - A field that then begins with a double quote runs to the next double
//   quote (line ends included; an unclosed quote runs to the end). Text
//   after the closing quote, up to the next comma or line end, is dropped.
// - Any other field runs to the next comma or line end; trailing spaces and
//   tabs are dropped, and a double quote inside it is kept.
// - A line end is CR LF, or a lone CR or LF. The comma or line end ending a
//   field is consumed with it, so a file ending with a line end gives no
//   extra empty field, while an empty line gives one empty field.
// - The end of the text is tested before each field: empty text gives none,
//   and a last line without a line end is read like any other.
// So every entry save wrote that holds no comma or double quote and neither
// begins nor ends with a space or tab comes back unchanged.
Entries readFields(std::u16string_view text);

// The encoding load reads a "List" in. Save always writes code page 932,
// but a "List" written by another editor is often UTF-8, UTF-16 with a
// byte-order mark, or, from older Unix editors, EUC-JP.
// Unreadable: bytes that are none of these: NULs (UTF-16 without a
// byte-order mark, UTF-32), or bytes no encoding reads.
enum class ListEncoding { Cp932, Utf8, Utf16Le, Utf16Be, EucJp, Unreadable };

struct DetectedEncoding {
    ListEncoding encoding = ListEncoding::Cp932;
    std::size_t byteOrderMark = 0;  // bytes to skip before the text
};

// A byte-order mark decides. Without one, what only one encoding can read
// is read so; UTF-8 that holds a sequence of three bytes or more (every
// kana and kanji) or Latin letters beside ASCII ones ("Müller") is UTF-8.
// Between encodings that all read the bytes, the charset detector decides
// (charset_guess.h), under two rules of the List's own: a few half-width
// katakana that pair up like UTF-8 or EUC-JP stay code page 932, and a text
// too short for the detector is EUC-JP when its kana read as half-width
// marks or its kanji hold bytes from 0xE0 up. So a List is read as its
// words or refused, never as other characters.
DetectedEncoding detectEncoding(std::string_view bytes);

// Load's reading of bytes: nothing when they are not valid text in the
// encoding detected.
struct InvalidBytes {};
std::variant<Entries, InvalidBytes> readList(std::string_view bytes);

}  // namespace wordpour::wordlist

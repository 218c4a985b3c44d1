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
// but a "List" written by another editor is often UTF-8, or UTF-16 with a
// byte-order mark.
// Unreadable: bytes that are none of these, as far as they tell: NULs
// (UTF-16 without a byte-order mark, UTF-32), or EUC-JP.
enum class ListEncoding { Cp932, Utf8, Utf16Le, Utf16Be, Unreadable };

struct DetectedEncoding {
    ListEncoding encoding = ListEncoding::Cp932;
    std::size_t byteOrderMark = 0;  // bytes to skip before the text
};

// A byte-order mark decides. Without one, bytes that are well-formed UTF-8
// with multi-byte sequences are UTF-8 when they hold a sequence of three
// bytes or more (every kana and kanji), when each two-byte sequence is a
// Latin letter beside an ASCII letter ("Müller", "café"), or when they are
// not code page 932 at all; everything else is code page 932. So lines of
// half-width katakana, whose byte pairs can look like two-byte UTF-8, stay
// code page 932.
DetectedEncoding detectEncoding(std::string_view bytes);

// Load's reading of bytes: nothing when they are not valid text in the
// encoding detected.
struct InvalidBytes {};
std::variant<Entries, InvalidBytes> readList(std::string_view bytes);

}  // namespace wordpour::wordlist

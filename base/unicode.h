// Unicode text as other programs write it: UTF-8 and UTF-16 decoding, and
// the test for well-formed UTF-16.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wordpour::base {

// The position of the first surrogate that is not half of a pair, or npos.
std::size_t firstUnpairedSurrogate(std::u16string_view text);

struct Utf8Scan {
    bool valid = false;         // well-formed UTF-8: no overlong form, no surrogate
    bool multiByte = false;     // holds a sequence of two bytes or more
    bool longSequence = false;  // holds a sequence of three or four bytes
    std::size_t sequences = 0;  // how many multi-byte sequences it holds
};
Utf8Scan scanUtf8(std::string_view bytes);

// The text as UTF-8; an unpaired surrogate is encoded as it stands.
std::string encodeUtf8(std::u16string_view text);

// The text of the bytes, or nothing when they are not well-formed.
std::optional<std::u16string> decodeUtf8(std::string_view bytes);
std::optional<std::u16string> decodeUtf16(std::string_view bytes, bool bigEndian);

}  // namespace wordpour::base

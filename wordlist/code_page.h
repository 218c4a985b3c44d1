// Text in Microsoft's code page 932 (Windows Shift-JIS), the encoding of
// the file "List".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wordpour::wordlist {

// The bytes of `text` in code page 932, or nothing when a character has no
// code there (such as "😀" or "한"): never a silent "?".
std::optional<std::string> encodeCp932(std::u16string_view text);

// The text of code-page-932 bytes, or nothing when they are not valid.
std::optional<std::u16string> decodeCp932(std::string_view bytes);

// The text of EUC-JP bytes (as Unix editors of old wrote Japanese), or
// nothing when they are not valid EUC-JP. Only read: save writes code page 932.
std::optional<std::u16string> decodeEucJp(std::string_view bytes);

}  // namespace wordpour::wordlist

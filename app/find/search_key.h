// The form of a text in which the type-to-find list compares it: the
// differences a Japanese user does not mean are gone. NFKC (full-width
// "ＡＢＣ" and half-width "ﾘｽﾄ" become "ABC" and "リスト"), then ASCII
// lower case, then hiragana as katakana.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wordpour::app {

std::u16string searchKey(std::u16string_view text);
// Appends the key of `text` to `keys`, without a string of its own.
void appendSearchKey(std::u16string& keys, std::u16string_view text);

// Unicode normalization form KC, by the platform (ICU on Linux, the
// system's NormalizeString on Windows). The text as it is if it cannot be
// normalized (an unpaired surrogate, say).
std::u16string nfkc(std::u16string_view text);

}  // namespace wordpour::app

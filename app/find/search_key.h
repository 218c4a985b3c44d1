// The form of a text in which the type-to-find list compares it: the
// differences a user does not mean are gone. NFKC (full-width "ＡＢＣ" and
// half-width "ﾘｽﾄ" become "ABC" and "リスト") with full Unicode case folding
// ("Straße" is "strasse", "ÉCOLE" is "école", "Ω" is "ω"), then hiragana as
// katakana.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wordpour::app {

std::u16string searchKey(std::u16string_view text);
// Appends the key of `text` to `keys`, without a string of its own.
void appendSearchKey(std::u16string& keys, std::u16string_view text);

// Unicode normalization form KC with full case folding, by the platform
// (ICU's NFKC_Casefold on Linux; on Windows the system's NormalizeString and
// LCMapStringEx's linguistic lower case, with the folds that lengthen a
// letter, such as ß to ss). The text as it is if it cannot be normalized (an
// unpaired surrogate, say).
std::u16string nfkcCaseFold(std::u16string_view text);

}  // namespace wordpour::app

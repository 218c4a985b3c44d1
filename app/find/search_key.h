// The form of a text in which the type-to-find list compares it: the
// differences a user does not mean are gone. NFKC (full-width "ＡＢＣ" and
// half-width "ﾘｽﾄ" become "ABC" and "リスト") with full Unicode case folding
// ("Straße" is "strasse", "ÉCOLE" is "école", "Ω" is "ω"), then hiragana as
// katakana.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wordpour::find {

std::u16string searchKey(std::u16string_view text);
// Appends the key of `text` to `keys`, without a string of its own.
void appendSearchKey(std::u16string& keys, std::u16string_view text);

// Unicode normalization form KC with full case folding, by the platform
// (ICU's NFKC_Casefold on Linux; on Windows the system's NormalizeString and
// LCMapStringEx's linguistic lower case, with the folds that lengthen a
// letter, such as ß to ss), then without the accents of Latin, Greek and
// Cyrillic letters: "ecole" finds "école", "istanbul" finds "İstanbul",
// whose folding leaves a combining dot. The sound marks of kana are no
// accents: "か" does not find "が", another word. The text as it is if it
// cannot be normalized (an unpaired surrogate, say).
std::u16string nfkcCaseFold(std::u16string_view text);

// The combining marks of the Latin, Greek and Cyrillic alphabets
// (U+0300–U+036F), which a decomposed text holds apart from their letters.
inline bool isAccent(char16_t c) {
    return c >= 0x0300 && c <= 0x036F;
}
// Whether a composed text may hold such a mark: any letter past ASCII
// below the kana, or a mark itself.
inline bool hasAccentToDrop(std::u16string_view text) {
    for (char16_t c : text)
        if (c >= 0xC0 && c < 0x3000) return true;
    return false;
}
// Drops them from a decomposed text, in place.
inline void dropAccents(std::u16string& decomposed) {
    std::erase_if(decomposed, isAccent);
}

}  // namespace wordpour::find

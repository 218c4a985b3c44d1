// Readings: a word as it is read, in hiragana, and what a person types to
// name one: kana, or romaji as the input methods and Hepburn spell it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::find {

// Katakana as hiragana (ヴ as ゔ); everything else as it is.
std::u16string toHiragana(std::u16string_view text);
// Whether the text is kana alone (hiragana, full-width katakana, ー), so
// that it is its own reading. The empty text is not.
bool isKana(std::u16string_view text);
// Whether the text can be a reading: kana, with digits read as written
// ("2ごうかん").
bool isReading(std::u16string_view text);
// A reading (hiragana) as romaji on signs writes it, its long vowels left
// out: "ー", う after an o or u sound, お after an o sound. とうきょう is
// ときょ ("tokyo"), おおさか おさか ("osaka"), りゅうがさき りゅがさき.
std::u16string withoutLongVowels(std::u16string_view reading);

// What a typed text can mean as a reading: each of `forms` (hiragana) is one
// way to read it. A syllable still being typed at the end gives one form per
// way it can go on: "kan" is かな, かに, …, かん; "toukyo" is とうきょ. Empty
// when the text is no reading: it holds anything but lower-case ASCII
// romaji, hiragana, ー, "-" and digits, or romaji no syllable spells ("q",
// "xz"). Digits stand for themselves, as readings hold them ("2ごうかん").
struct TypedReading {
    std::vector<std::u16string> forms;
};
// `key` is in the search key's form: NFKC, case-folded, katakana as the key
// makes it (hiragana is taken as well).
TypedReading typedReading(std::u16string_view key);

// A whole reading typed in romaji or kana, as the reading's correction takes
// it; nothing for a text that is neither, or ends inside a syllable (a lone
// "n" is ん).
std::optional<std::u16string> readingOf(std::u16string_view typed);

}  // namespace wordpour::find

// The keys a person types into a Japanese input method for a reading.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace wordpour::bench {

// The fewest romaji keys of a hiragana reading, as Japanese input methods
// take them: si, tu, ti, hu, zi; nn for ん before a vowel, y, n or at the end.
inline std::string romajiOf(std::u16string_view kana) {
    static const std::map<char16_t, std::string> one = {
        {u'あ', "a"},   {u'い', "i"},   {u'う', "u"},   {u'え', "e"},   {u'お', "o"},
        {u'か', "ka"},  {u'き', "ki"},  {u'く', "ku"},  {u'け', "ke"},  {u'こ', "ko"},
        {u'さ', "sa"},  {u'し', "si"},  {u'す', "su"},  {u'せ', "se"},  {u'そ', "so"},
        {u'た', "ta"},  {u'ち', "ti"},  {u'つ', "tu"},  {u'て', "te"},  {u'と', "to"},
        {u'な', "na"},  {u'に', "ni"},  {u'ぬ', "nu"},  {u'ね', "ne"},  {u'の', "no"},
        {u'は', "ha"},  {u'ひ', "hi"},  {u'ふ', "hu"},  {u'へ', "he"},  {u'ほ', "ho"},
        {u'ま', "ma"},  {u'み', "mi"},  {u'む', "mu"},  {u'め', "me"},  {u'も', "mo"},
        {u'や', "ya"},  {u'ゆ', "yu"},  {u'よ', "yo"},  {u'ら', "ra"},  {u'り', "ri"},
        {u'る', "ru"},  {u'れ', "re"},  {u'ろ', "ro"},  {u'わ', "wa"},  {u'を', "wo"},
        {u'が', "ga"},  {u'ぎ', "gi"},  {u'ぐ', "gu"},  {u'げ', "ge"},  {u'ご', "go"},
        {u'ざ', "za"},  {u'じ', "zi"},  {u'ず', "zu"},  {u'ぜ', "ze"},  {u'ぞ', "zo"},
        {u'だ', "da"},  {u'ぢ', "di"},  {u'づ', "du"},  {u'で', "de"},  {u'ど', "do"},
        {u'ば', "ba"},  {u'び', "bi"},  {u'ぶ', "bu"},  {u'べ', "be"},  {u'ぼ', "bo"},
        {u'ぱ', "pa"},  {u'ぴ', "pi"},  {u'ぷ', "pu"},  {u'ぺ', "pe"},  {u'ぽ', "po"},
        {u'ゔ', "vu"},  {u'ぁ', "xa"},  {u'ぃ', "xi"},  {u'ぅ', "xu"},  {u'ぇ', "xe"},
        {u'ぉ', "xo"},  {u'ゃ', "xya"}, {u'ゅ', "xyu"}, {u'ょ', "xyo"}, {u'ー', "-"},
        {u'ゐ', "wyi"}, {u'ゑ', "wye"}, {u'ゎ', "xwa"},
    };
    std::string out;
    for (std::size_t i = 0; i < kana.size(); ++i) {
        const char16_t c = kana[i];
        const char16_t next = i + 1 < kana.size() ? kana[i + 1] : u'\0';
        if (c == u'ん') {
            const std::string after = one.count(next) ? one.at(next) : "";
            const bool single =
                !after.empty() && std::string("aiueoyn").find(after[0]) == std::string::npos;
            out += single ? "n" : "nn";
            continue;
        }
        if (c == u'っ' && next && one.count(next) &&
            std::string("aiueo-").find(one.at(next)[0]) == std::string::npos) {
            out += one.at(next)[0];
            continue;
        }
        if (!one.count(c)) return {};
        std::string syllable = one.at(c);
        // A small ゃゅょ after an i-syllable joins it: kya, sya, zya.
        if ((next == u'ゃ' || next == u'ゅ' || next == u'ょ') && syllable.size() == 2 &&
            syllable[1] == 'i') {
            syllable = syllable.substr(0, 1) + one.at(next).substr(1);
            ++i;
        }
        out += syllable;
    }
    return out;
}

}  // namespace wordpour::bench

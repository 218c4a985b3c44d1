#include "app/find/search_key.h"

#include <array>
#include <string_view>

namespace wordpour::find {

namespace {

// Half-width katakana U+FF61–U+FF9F as NFKC gives them: full-width forms;
// the two sound marks as the combining ones, composed below.
constexpr std::array<char16_t, 63> kHalfWidth = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ',     u'ィ',    u'ゥ', u'ェ', u'ォ',
    u'ャ', u'ュ', u'ョ', u'ッ', u'ー', u'ア', u'イ',     u'ウ',    u'エ', u'オ', u'カ',
    u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス',     u'セ',    u'ソ', u'タ', u'チ',
    u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ',     u'ノ',    u'ハ', u'ヒ', u'フ',
    u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ',     u'ヤ',    u'ユ', u'ヨ', u'ラ',
    u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'\u3099', u'\u309A'};

// The katakana a voiced (゛) or semi-voiced (゜) mark composes with, and what
// it makes; 0 for any other pair, which the library then decides.
char16_t composed(char16_t base, char16_t mark) {
    constexpr std::u16string_view kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
    constexpr std::u16string_view kSemiVoiceable = u"ハヒフヘホ";
    if (mark == u'\u3099') {
        if (kVoiceable.find(base) != kVoiceable.npos) return static_cast<char16_t>(base + 1);
        switch (base) {
            case u'ウ':
                return u'ヴ';
            case u'ワ':
                return u'ヷ';
            case u'ヰ':
                return u'ヸ';
            case u'ヱ':
                return u'ヹ';
            case u'ヲ':
                return u'ヺ';
        }
    } else if (kSemiVoiceable.find(base) != kSemiVoiceable.npos) {
        return static_cast<char16_t>(base + 2);
    }
    return 0;
}

// Characters NFKC leaves as they are and that lists are mostly made of.
bool stable(char16_t c) {
    return c < 0x80 || (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E ||
           (c >= 0x30A1 && c <= 0x30FE) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0x3001 && c <= 0x3003) || (c >= 0x3005 && c <= 0x3011);
}

// NFKC of the common characters without a library call, or false for a
// text that holds any other: the width forms of Japanese text and ASCII.
bool quickNfkc(std::u16string_view text, std::u16string& out) {
    out.clear();
    for (char16_t c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c = static_cast<char16_t>(c - 0xFF01 + 0x21);  // full-width ASCII
        } else if (c == 0x3000) {
            c = u' ';  // ideographic space
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            c = kHalfWidth[c - 0xFF61];
        } else if (!stable(c)) {
            return false;
        }
        if (c == 0x3099 || c == 0x309A) {
            if (out.empty()) return false;  // a mark on its own: the library decides
            if (const char16_t made = composed(out.back(), c)) {
                out.back() = made;
                continue;
            }
            return false;
        }
        out.push_back(c);
    }
    return true;
}

// ASCII lower case (the quick path's case folding) and katakana for
// hiragana, in place, from `from` on.
void fold(std::u16string& key, std::size_t from = 0) {
    for (std::size_t i = from; i < key.size(); ++i) {
        char16_t& c = key[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        } else if ((c >= u'\u3041' && c <= u'\u3096') || c == u'\u309D' || c == u'\u309E') {
            c = static_cast<char16_t>(c + 0x60);  // ぁ…ゖ, ゝゞ: their katakana
        }
    }
}

}  // namespace

std::u16string searchKey(std::u16string_view text) {
    std::u16string key;
    if (!quickNfkc(text, key)) key = nfkcCaseFold(text);
    fold(key);
    return key;
}

void appendSearchKey(std::u16string& keys, std::u16string_view text) {
    thread_local std::u16string quick;
    const std::size_t from = keys.size();
    if (quickNfkc(text, quick))
        keys += quick;
    else
        keys += nfkcCaseFold(text);
    fold(keys, from);
}

}  // namespace wordpour::find

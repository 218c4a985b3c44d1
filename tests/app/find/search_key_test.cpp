// Each entry's search key: the same key for what a person would call the
// same text, whatever its case, width or kana, and the quick path always
// equal to the library's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/find/search_key.h"

namespace {

TEST(SearchKey, FindsAcrossCaseInEveryScript) {
    using wordpour::find::searchKey;
    struct Row {
        const char* why;
        std::u16string entry, typed;
    };
    const Row rows[] = {
        {"umlauts", u"Ärger", u"ärger"},
        {"accents", u"ÉCOLE", u"école"},
        {"Greek", u"ΩΜΕΓΑ", u"ωμεγα"},
        {"Greek final sigma", u"ΟΔΟΣ", u"οδος"},
        {"sharp s folds to ss", u"Straße", u"strasse"},
        {"and back", u"STRASSE", u"straße"},
        {"Cyrillic", u"МОСКВА", u"москва"},
        {"full-width Latin", u"ＡＢＣ", u"abc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(searchKey(r.entry), searchKey(r.typed));
    }
}

TEST(SearchKey, ForgetsWidthCaseAndKana) {
    using wordpour::find::searchKey;
    EXPECT_EQ(searchKey(u"ﾘｽﾄ"), searchKey(u"リスト"));
    EXPECT_EQ(searchKey(u"ＡＢＣ"), u"abc");
    EXPECT_EQ(searchKey(u"ひらがな"), u"ヒラガナ");
    EXPECT_EQ(searchKey(u"ｶﾞｯｺｳ"), u"ガッコウ");
    EXPECT_EQ(searchKey(u"①"), u"1");
    EXPECT_EQ(searchKey(std::u16string(1, u'\xD800')), std::u16string(1, u'\xD800'));  // kept
    // The common characters are keyed without the library: exactly as NFKC
    // keys them, alone and each followed by either sound mark.
    std::u16string one16(1, u'\0');
    auto viaLibrary = [](std::u16string text) {
        std::u16string key = wordpour::find::nfkcCaseFold(text);
        for (char16_t& c : key) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            if ((c >= u'\u3041' && c <= u'\u3096') || c == u'\u309D' || c == u'\u309E')
                c = static_cast<char16_t>(c + 0x60);
        }
        return key;
    };
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        for (const char16_t* mark : {u"", u"\uFF9E", u"\uFF9F", u"\u3099"}) {
            const std::u16string text = std::u16string(1, static_cast<char16_t>(c)) + mark;
            ASSERT_EQ(searchKey(text), viaLibrary(text))
                << static_cast<unsigned>(c) << " " << (*mark ? "with a mark" : "");
        }
    }
    // Many at once: the same keys, a NUL inside a text included.
    const std::vector<std::u16string> texts = {u"ﾘｽﾄ", u"", u"ＡＢＣ", std::u16string(u"a\0b", 3),
                                               u"ひらがな"};
    std::vector<std::u16string> one;
    for (const auto& text : texts) one.push_back(searchKey(text));
    std::u16string joined, expected;
    for (const auto& text : texts) wordpour::find::appendSearchKey(joined, text);
    for (const auto& key : one) expected += key;
    EXPECT_EQ(joined, expected);
}

}  // namespace

// The type-to-find list in the main window's logic: which entries it shows
// for what is typed, and what a pick does.
#include "app/find/search_key.h"
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::testing::SessionTest;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;

class SessionFind : public SessionTest {
protected:
    std::optional<Words> typed(std::u16string text) {
        view.typed = std::move(text);
        view.current = -1;
        form->wordTyped();
        return view.matches;
    }
};

TEST_F(SessionFind, TheListShowsTheEntriesThatContainTheTextInTheirOrder) {
    ASSERT_TRUE(start());
    const std::u16string tooLong = u"長い" + std::u16string(5000, u'x');
    add({u"リスト表示", u"りんごジュース", u"ABC商事", u"東京都港区", u"ﾊﾞﾅﾅ", u"abcdef", u"Excel",
         u"パイナップル", u"東京", u"İstanbul", u"École", u"ガス", tooLong});
    struct Case {
        std::u16string typed;
        std::optional<Words> shown;  // nothing: no list
    };
    const Case cases[] = {
        {u"東京", Words{u"東京都港区", u"東京"}},   // anywhere, in the list's order
        {u"港", Words{u"東京都港区"}},              // not only at the start
        {u"ﾘｽﾄ", Words{u"リスト表示"}},             // half-width katakana
        {u"リンゴ", Words{u"りんごジュース"}},      // katakana finds hiragana
        {u"じゅーす", Words{u"りんごジュース"}},    // and hiragana katakana
        {u"バナナ", Words{u"ﾊﾞﾅﾅ"}},                // voiced half-width
        {u"ＡＢＣ", Words{u"ABC商事", u"abcdef"}},  // full-width, any case
        {u"abc", Words{u"ABC商事", u"abcdef"}},
        {u"EXCEL", Words{u"Excel"}},
        {u"ぱい", Words{u"パイナップル"}},
        // Accents are not meant, kana sound marks are: another word.
        {u"istanbul", Words{u"İstanbul"}},
        {u"ecole", Words{u"École"}},
        {u"ÉCOLE", Words{u"École"}},
        {u"カス", std::nullopt},
        // An entry of thousands of characters is shown cut, with its length.
        {u"長い", Words{tooLong.substr(0, 1000) + u"…（全5002文字）"}},
        {u"大阪", std::nullopt},  // nothing matches: no list
        {u"", std::nullopt},      // nothing typed: no list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        EXPECT_EQ(typed(c.typed), c.shown);
    }
}

TEST_F(SessionFind, APickPutsTheEntryIntoTheBoxAndWritesNothing) {
    ASSERT_TRUE(start());
    add({u"東京都", u"京都府", u"東京"});
    ASSERT_EQ(typed(u"京"), (Words{u"東京都", u"京都府", u"東京"}));
    const auto calls = sheet.calls.size();
    form->pickMatch(1);
    EXPECT_EQ(view.typed, u"京都府");
    EXPECT_EQ(view.current, 1);  // the entry itself: リスト削除 would remove it
    EXPECT_FALSE(view.matches.has_value());
    EXPECT_EQ(sheet.calls.size(), calls);
    // The list follows deletions and loads.
    form->deleteWord();
    writeBytes("List", "\x8B\x9E\x93\x73\r\n");  // 京都 in code page 932
    view.answers = {Answer::Yes};
    form->loadList();
    EXPECT_EQ(typed(u"京都"), (Words{u"東京都", u"京都"}));
}

TEST(SearchKey, FindsAcrossCaseInEveryScript) {
    using wordpour::app::searchKey;
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
    using wordpour::app::searchKey;
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
        std::u16string key = wordpour::app::nfkcCaseFold(text);
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
    for (const auto& text : texts) wordpour::app::appendSearchKey(joined, text);
    for (const auto& key : one) expected += key;
    EXPECT_EQ(joined, expected);
}

}  // namespace

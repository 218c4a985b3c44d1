// Where readings come from on Linux: the SKK dictionaries looked up from
// the word (whole, or split at their words), MeCab's likeliest ways, and
// the two together as installed.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/find/reading_sources.h"
#include "base/unicode.h"
#include "tests/support/utf8.h"

namespace {

namespace fs = std::filesystem;
namespace find = wordpour::find;
using Readings = std::vector<std::u16string>;

// An SKK-JISYO file, in the EUC-JP its files are kept in.
fs::path skkFile(const fs::path& folder, const std::string& name, const std::string& utf8) {
    iconv_t convert = iconv_open("EUC-JP", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    char* to = out.data();
    iconv(convert, &in, &inLeft, &to, &outLeft);
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    std::ofstream(folder / name, std::ios::binary) << out;
    return folder / name;
}

bool holds(const Readings& readings, std::u16string_view reading) {
    return std::find(readings.begin(), readings.end(), reading) != readings.end();
}

class SkkReadings : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("wordpour-skk-" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(SkkReadings, WordsAreReadWholeOrSplitAtTheDictionariesWords) {
    const auto names = skkFile(folder_, "names",
                               ";; okuri-ari entries.\n"
                               "おびらk /尾平/\n"
                               ";; okuri-nasi entries.\n"
                               "かくだ /角田;地名/\n"
                               "つのだ /角田/\n"
                               "あみの /網野/\n"
                               "あさもがわ /浅茂川/\n"
                               "こだいら /小平/\n"
                               "おびら /小平/尾平/\n");
    const auto general = skkFile(folder_, "general",
                                 ";; okuri-nasi entries.\n"
                                 ">し /市/氏/\n"
                                 "まち /町/街/\n"
                                 "ちょう /町/長/\n"
                                 "かく /角/格/\n"
                                 "た /田/他/\n"
                                 "みどり /緑/\n"
                                 "#ばん /#1番/\n"
                                 "まち /(concat \"町\")/\n");
    auto skk = find::openSkkDictionary({folder_ / "missing", names, general});
    ASSERT_TRUE(skk);  // a missing file leaves the others working
    const std::u16string words[] = {u"角田市", u"網野町浅茂川", u"小平町", u"みどり市",
                                    u"角",     u"東京",         u"ABC町"};
    skk->expect(words);
    const struct {
        std::u16string word;
        std::u16string first;  // the fewest parts, the surest dictionary first
        std::vector<std::u16string> also;
        bool none = false;
    } rows[] = {
        {u"角田市", u"かくだし", {u"つのだし", u"かくたし"}},
        {u"網野町浅茂川", u"あみのまちあさもがわ", {u"あみのちょうあさもがわ"}},
        {u"小平町", u"こだいらまち", {u"おびらちょう", u"おびらまち"}},
        {u"みどり市", u"みどりし", {}},  // kana read as themselves
        {u"ABC町", u"abcまち", {}},      // Latin letters as typed
        {u"角", u"かく", {}},
        {u"東京", u"", {}, true},  // no dictionary word
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(wordpour::testing::toUtf8(row.word));
        const Readings readings = skk->read(row.word);
        if (row.none) {
            EXPECT_TRUE(readings.empty()) << wordpour::testing::toUtf8(readings.front());
            continue;
        }
        ASSERT_FALSE(readings.empty());
        EXPECT_EQ(wordpour::testing::toUtf8(readings.front()),
                  wordpour::testing::toUtf8(row.first));
        for (const auto& reading : row.also)
            EXPECT_TRUE(holds(readings, reading)) << wordpour::testing::toUtf8(reading);
        EXPECT_LE(readings.size(), find::kMostReadings);
    }
    EXPECT_FALSE(find::openSkkDictionary({folder_ / "missing"}));
}

// Names a dictionary's first guess reads wrong, read by the dictionaries
// installed here.
TEST(InstalledReadings, NamesAreReadTheWaysPeopleReadThem) {
    auto dictionary = find::openReadingDictionary();
    if (!dictionary) GTEST_SKIP() << "no dictionary installed";
    if (!fs::exists("/usr/share/skk/SKK-JISYO.geo")) GTEST_SKIP() << "skkdic-extra missing";
    const std::u16string words[] = {u"角田市", u"馬路村", u"小平町", u"垂水", u"東京都港区"};
    dictionary->expect(words);
    const struct {
        std::u16string word;
        std::u16string reading;
    } rows[] = {
        {u"角田市", u"かくだし"},   {u"角田市", u"つのだし"},
        {u"馬路村", u"うまじむら"}, {u"小平町", u"おびらちょう"},
        {u"垂水", u"たるみず"},     {u"東京都港区", u"とうきょうとみなとく"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(wordpour::testing::toUtf8(row.word + u" " + row.reading));
        EXPECT_TRUE(holds(dictionary->read(row.word), row.reading));
    }
    // MeCab's likeliest stays first, as it was.
    EXPECT_EQ(wordpour::testing::toUtf8(dictionary->read(u"東京都港区").front()),
              "とうきょうとみなとく");
}

}  // namespace

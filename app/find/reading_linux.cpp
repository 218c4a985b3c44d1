// On Linux a word's readings come from MeCab and from the SKK dictionaries
// of names, each where its package is installed.
#include "app/find/reading_sources.h"

namespace wordpour::find {

namespace {

// The SKK dictionaries read, the surest first: the names of places,
// persons and stations and other proper nouns (skkdic-extra), then the
// large general one (skkdic), whose single kanji read the parts of a name
// the others do not list. The postal code dictionaries are left out: they
// read numbers, not names.
constexpr const char* kSkkFolder = "/usr/share/skk/";
constexpr const char* kSkkFiles[] = {
    "SKK-JISYO.geo",      "SKK-JISYO.jinmei",  "SKK-JISYO.station", "SKK-JISYO.propernoun",
    "SKK-JISYO.fullname", "SKK-JISYO.okinawa", "SKK-JISYO.L"};

class Readings final : public ReadingDictionary {
public:
    Readings(std::unique_ptr<ReadingDictionary> mecab, std::unique_ptr<ReadingDictionary> skk)
        : mecab_(std::move(mecab)), skk_(std::move(skk)) {}

    void expect(std::span<const std::u16string> words) override {
        if (skk_) skk_->expect(words);
    }

    // MeCab's likeliest first, as before; then the names' dictionaries';
    // then MeCab's other ways.
    std::vector<std::u16string> read(std::u16string_view word) override {
        std::vector<std::u16string> mecab =
            mecab_ ? mecab_->read(word) : std::vector<std::u16string>();
        std::vector<std::u16string> readings;
        if (!mecab.empty()) addReadings(readings, {mecab.front()});
        if (skk_) addReadings(readings, skk_->read(word));
        addReadings(readings, std::move(mecab));
        return readings;
    }

private:
    std::unique_ptr<ReadingDictionary> mecab_;
    std::unique_ptr<ReadingDictionary> skk_;
};

}  // namespace

std::unique_ptr<ReadingDictionary> openReadingDictionary() {
    std::vector<std::filesystem::path> files;
    for (const char* file : kSkkFiles) files.push_back(std::filesystem::path(kSkkFolder) / file);
    auto mecab = openMecabDictionary();
    auto skk = openSkkDictionary(std::move(files));
    if (!mecab && !skk) return nullptr;
    return std::make_unique<Readings>(std::move(mecab), std::move(skk));
}

}  // namespace wordpour::find

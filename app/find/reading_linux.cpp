// On Linux a word's readings come from MeCab and from the SKK dictionaries
// of names, each where its package is installed.
#include "app/find/reading_sources.h"

#include <future>
#include <unordered_map>

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

// Found by a view of the word, without a copy of it.
struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view word) const {
        return std::hash<std::u16string_view>{}(word);
    }
};

class Readings final : public ReadingDictionary {
public:
    Readings(std::unique_ptr<ReadingDictionary> mecab, std::unique_ptr<ReadingDictionary> skk)
        : mecab_(std::move(mecab)), skk_(std::move(skk)) {}

    // The words are read on two threads: the names' dictionaries are
    // scanned on one while MeCab reads the words on the other, then each
    // splits half the words at the names' words. Each way alone takes
    // about as long as the other.
    void expect(std::span<const std::u16string> words) override {
        std::vector<std::u16string_view> once;
        for (const auto& word : words)
            if (!mecabRead_.contains(word) && !skkRead_.contains(word)) {
                once.push_back(word);
                mecabRead_.emplace(word, std::vector<std::u16string>());
            }
        auto scan = skk_ ? std::async(std::launch::async, [&] { skk_->expect(words); })
                         : std::future<void>();
        if (mecab_)
            for (const auto word : once) mecabRead_.find(word)->second = mecab_->read(word);
        if (!scan.valid()) return;
        scan.get();
        const auto half = once.begin() + static_cast<std::ptrdiff_t>(once.size() / 2);
        const auto split = [this](auto from, auto to) {
            Read read;
            for (auto word = from; word != to; ++word) read.emplace(*word, skk_->read(*word));
            return read;
        };
        auto second = std::async(std::launch::async, split, half, once.end());
        skkRead_ = split(once.begin(), half);
        skkRead_.merge(second.get());
    }

    // MeCab's likeliest first, as before; then the names' dictionaries';
    // then MeCab's other ways.
    std::vector<std::u16string> read(std::u16string_view word) override {
        std::vector<std::u16string> mecab = take(mecabRead_, word, mecab_.get());
        std::vector<std::u16string> skk = take(skkRead_, word, skk_.get());
        std::vector<std::u16string> readings;
        if (!mecab.empty()) addReadings(readings, {mecab.front()});
        addReadings(readings, std::move(skk));
        addReadings(readings, std::move(mecab));
        return readings;
    }

private:
    using Read =
        std::unordered_map<std::u16string, std::vector<std::u16string>, Hash, std::equal_to<>>;
    // The word's readings as expected, or read now by `dictionary`.
    static std::vector<std::u16string> take(Read& expected, std::u16string_view word,
                                            ReadingDictionary* dictionary) {
        if (auto found = expected.find(word); found != expected.end()) {
            auto readings = std::move(found->second);
            expected.erase(found);
            return readings;
        }
        return dictionary ? dictionary->read(word) : std::vector<std::u16string>();
    }
    std::unique_ptr<ReadingDictionary> mecab_;
    std::unique_ptr<ReadingDictionary> skk_;
    // Each dictionary's readings of the words expected, until each is read.
    Read mecabRead_;
    Read skkRead_;
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

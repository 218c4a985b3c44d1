// Readings from MeCab with IPAdic (Debian's libmecab2 and mecab-ipadic-utf8):
// a morphological analyser splits the word into the dictionary's words and
// gives each one's reading, so that compounds no dictionary lists whole
// (東京都港区) are read too. Its few likeliest ways are kept: names are
// often read otherwise than its first guess.
#include <mecab.h>

#include <algorithm>
#include <cstring>

#include "app/find/kana.h"
#include "app/find/reading_sources.h"
#include "app/find/search_key.h"
#include "base/unicode.h"

namespace wordpour::find {

namespace {

// The UTF-8 IPAdic first, wherever the system's default points; the
// lattice kept (-l1) for the ways after the best.
constexpr const char* kDictionaries[] = {"-l1 -d /var/lib/mecab/dic/ipadic-utf8", "-l1"};
// The ways asked for: the measure on real names found more ways to add
// little past five.
constexpr int kWays = 5;

// IPAdic's features: part of speech (4), conjugation (2), base form,
// reading, pronunciation.
constexpr std::size_t kReadingField = 7;

std::string_view field(std::string_view features, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t comma = features.find(',');
        if (comma == features.npos) return {};
        features.remove_prefix(comma + 1);
    }
    return features.substr(0, features.find(','));
}

// One way's reading, word by word; nothing when a word has none.
std::optional<std::u16string> readingOf(const mecab_node_t* node) {
    std::u16string reading;
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
        const auto surface = base::decodeUtf8(std::string_view(node->surface, node->length));
        if (!surface) return std::nullopt;
        const std::string_view read =
            node->stat == MECAB_UNK_NODE ? std::string_view() : field(node->feature, kReadingField);
        if (!read.empty() && read != "*") {
            const auto kana = base::decodeUtf8(read);
            if (!kana) return std::nullopt;
            reading += toHiragana(*kana);
        } else if (isKana(*surface)) {
            reading += toHiragana(*surface);
        } else {
            // Latin letters and digits are typed as they are.
            const std::u16string plain = nfkcCaseFold(*surface);
            if (!std::all_of(plain.begin(), plain.end(), [](char16_t c) { return c < 0x80; }))
                return std::nullopt;
            reading += plain;
        }
    }
    if (reading.empty()) return std::nullopt;
    return reading;
}

class MecabDictionary final : public ReadingDictionary {
public:
    explicit MecabDictionary(mecab_t* tagger) : tagger_(tagger) {}
    ~MecabDictionary() override { mecab_destroy(tagger_); }
    MecabDictionary(const MecabDictionary&) = delete;
    MecabDictionary& operator=(const MecabDictionary&) = delete;

    std::vector<std::u16string> read(std::u16string_view word) override {
        const std::string text = base::encodeUtf8(word);
        std::vector<std::u16string> readings;
        if (!mecab_nbest_init2(tagger_, text.data(), text.size())) return readings;
        for (int way = 0; way < kWays; ++way) {
            const mecab_node_t* node = mecab_nbest_next_tonode(tagger_);
            if (!node) break;
            if (auto reading = readingOf(node)) addReadings(readings, {std::move(*reading)});
        }
        return readings;
    }

private:
    mecab_t* tagger_;
};

}  // namespace

std::unique_ptr<ReadingDictionary> openMecabDictionary() {
    for (const char* arguments : kDictionaries) {
        mecab_t* tagger = mecab_new2(arguments);
        if (!tagger) continue;
        const mecab_dictionary_info_t* info = mecab_dictionary_info(tagger);
        if (info && info->charset &&
            (std::strcmp(info->charset, "utf-8") == 0 || std::strcmp(info->charset, "UTF-8") == 0 ||
             std::strcmp(info->charset, "utf8") == 0))
            return std::make_unique<MecabDictionary>(tagger);
        mecab_destroy(tagger);
    }
    return nullptr;
}

}  // namespace wordpour::find

// Readings from the SKK dictionaries (Debian's skkdic and skkdic-extra):
// plain text files, "reading /word/word;note/", kept by people for people
// who type names: places, persons, stations. Looked up backwards, from the
// word to its readings. A file is scanned once for the words expected, and
// only what they hold is kept, so that memory follows the list, not the
// dictionaries.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "app/find/kana.h"
#include "app/find/reading_sources.h"
#include "app/find/search_key.h"
#include "base/unicode.h"

namespace wordpour::find {

namespace {

// The longest part of a word looked up, in UTF-16 units: longer names are
// split at the dictionaries' words.
constexpr std::size_t kLongestPart = 10;
// Words longer than this are not split: nobody types such a reading.
constexpr std::size_t kLongestWord = 40;

std::uint64_t hashOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The file as UTF-8: the SKK dictionaries are EUC-JP, with JIS X 0213 in
// some. A byte that is no character is dropped.
std::string utf8Of(const std::string& eucJp) {
    iconv_t convert = iconv_open("UTF-8", "EUC-JISX0213");
    if (convert == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(eucJp.size() * 3 / 2 + 16, '\0');
    char* in = const_cast<char*>(eucJp.data());
    std::size_t inLeft = eucJp.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    while (inLeft > 0) {
        if (iconv(convert, &in, &inLeft, &to, &toLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(to - out.data());
            out.resize(out.size() * 2);
            to = out.data() + used;
            toLeft = out.size() - used;
        } else {  // EILSEQ, EINVAL: skip the byte
            ++in;
            --inLeft;
        }
    }
    iconv_close(convert);
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}

bool isKanaUnit(char16_t c) {
    return (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC;
}

// A word's parts: where each UTF-16 unit starts in its UTF-8 form, so that
// a part's bytes are a slice, hashed without a copy.
struct Spelled {
    std::string utf8;
    std::vector<std::size_t> at;  // at[i]: byte offset of unit i; at[n] = size
};

Spelled spelled(std::u16string_view word) {
    Spelled s;
    s.at.reserve(word.size() + 1);
    for (std::size_t i = 0; i < word.size(); ++i) {
        s.at.push_back(s.utf8.size());
        const bool pair = i + 1 < word.size() && word[i] >= 0xD800 && word[i] <= 0xDBFF &&
                          word[i + 1] >= 0xDC00 && word[i + 1] <= 0xDFFF;
        s.utf8 += base::encodeUtf8(word.substr(i, pair ? 2 : 1));
        if (pair) s.at.push_back(s.utf8.size());  // inside the pair: never a part's edge
        if (pair) ++i;
    }
    s.at.push_back(s.utf8.size());
    return s;
}

// Whether a part may start or end at unit `i`: never inside a surrogate pair.
bool edge(std::u16string_view word, std::size_t i) {
    return i == 0 || i >= word.size() || word[i] < 0xDC00 || word[i] > 0xDFFF;
}

bool isLatinOrDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Brackets, stops and marks: nobody types them to find a word, and the
// dictionary's readings of them (かっこ) are no part of a name's.
bool isMark(char16_t c) {
    const bool ideograph = (c >= 0x3005 && c <= 0x3007) || (c >= 0x3400 && c <= 0x9FFF) ||
                           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xD800 && c <= 0xDFFF);
    const bool fullWidthLetter = (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
                                 (c >= 0xFF41 && c <= 0xFF5A);
    return !ideograph && !fullWidthLetter && !isKanaUnit(c) && !isLatinOrDigit(c);
}

// Whether the part needs the dictionary: kana are read as they are, and
// marks not at all.
bool wanted(std::u16string_view part) {
    return std::any_of(part.begin(), part.end(), [](char16_t c) { return !isKanaUnit(c); }) &&
           std::none_of(part.begin(), part.end(), isMark);
}

class SkkDictionary final : public ReadingDictionary {
public:
    explicit SkkDictionary(std::vector<std::filesystem::path> files) : files_(std::move(files)) {}

    void expect(std::span<const std::u16string> words) override {
        std::vector<std::uint64_t> wantedParts;
        for (const auto& word : words) {
            if (word.size() > kLongestWord) continue;
            const Spelled s = spelled(word);
            for (std::size_t i = 0; i < word.size(); ++i) {
                if (!edge(word, i)) continue;
                for (std::size_t j = i + 1; j <= std::min(word.size(), i + kLongestPart); ++j) {
                    if (!edge(word, j) || !wanted(word.substr(i, j - i))) continue;
                    wantedParts.push_back(
                        hashOf(std::string_view(s.utf8).substr(s.at[i], s.at[j] - s.at[i])));
                }
            }
        }
        std::sort(wantedParts.begin(), wantedParts.end());
        wantedParts.erase(std::unique(wantedParts.begin(), wantedParts.end()), wantedParts.end());
        for (std::size_t file = 0; file < files_.size(); ++file) scan(file, wantedParts);
        for (auto& [hash, found] : found_) {
            std::stable_sort(found.begin(), found.end(), [](const Hit& a, const Hit& b) {
                return std::tie(a.file, a.rank) < std::tie(b.file, b.rank);
            });
            std::vector<Hit> once;
            for (auto& hit : found)
                if (std::none_of(once.begin(), once.end(),
                                 [&](const Hit& h) { return h.reading == hit.reading; }))
                    once.push_back(std::move(hit));
            if (once.size() > kMostReadings) once.resize(kMostReadings);
            found = std::move(once);
        }
    }

    std::vector<std::u16string> read(std::u16string_view word) override;

private:
    struct Hit {
        std::u16string reading;
        std::uint16_t file;
        std::uint16_t rank;  // the word's place among the reading's words
    };

    void scan(std::size_t file, const std::vector<std::uint64_t>& wantedParts);

    std::vector<std::filesystem::path> files_;
    std::unordered_map<std::uint64_t, std::vector<Hit>> found_;
};

void SkkDictionary::scan(std::size_t file, const std::vector<std::uint64_t>& wantedParts) {
    std::ifstream in(files_[file], std::ios::binary);
    if (!in) return;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = utf8Of(bytes.str());
    // Entries whose reading ends in a letter (okuri-ari) are verbs'
    // stems: only those after the okuri-nasi header name things.
    constexpr std::string_view kNames = ";; okuri-nasi entries.";
    std::size_t at = text.find(kNames);
    at = at == text.npos ? 0 : at + kNames.size();
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == text.npos) end = text.size();
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.empty() || line[0] == ';') continue;
        const std::size_t space = line.find(" /");
        if (space == line.npos) continue;
        std::string_view reading = line.substr(0, space);
        // ">し" reads a suffix, "しょう>" a prefix: the reading is the same.
        while (!reading.empty() && reading.front() == '>') reading.remove_prefix(1);
        while (!reading.empty() && reading.back() == '>') reading.remove_suffix(1);
        if (reading.empty() || reading.find('#') != reading.npos) continue;
        std::string_view words = line.substr(space + 2);
        std::uint16_t rank = 0;
        while (!words.empty()) {
            const std::size_t slash = words.find('/');
            std::string_view candidate = words.substr(0, slash);
            words = slash == words.npos ? std::string_view() : words.substr(slash + 1);
            candidate = candidate.substr(0, candidate.find(';'));
            if (candidate.empty() || candidate.find('(') != candidate.npos) continue;
            const std::uint64_t hash = hashOf(candidate);
            if (std::binary_search(wantedParts.begin(), wantedParts.end(), hash)) {
                const auto kana = base::decodeUtf8(reading);
                if (kana && isKana(*kana))
                    found_[hash].push_back(
                        {toHiragana(*kana), static_cast<std::uint16_t>(file), rank});
            }
            if (rank < 0xFFFF) ++rank;
        }
    }
}

std::vector<std::u16string> SkkDictionary::read(std::u16string_view word) {
    if (word.empty() || word.size() > kLongestWord) return {};
    const Spelled s = spelled(word);
    // The readings of the word's first i units, the fewest parts first,
    // then the likeliest: at most kMostReadings at each place.
    struct Way {
        std::size_t parts;
        std::size_t cost;
        std::u16string reading;
    };
    std::vector<std::vector<Way>> ways(word.size() + 1);
    ways[0].push_back({0, 0, {}});
    const auto extend = [&](std::size_t from, std::size_t to, std::u16string_view reading,
                            std::size_t cost) {
        for (const Way& way : ways[from])
            ways[to].push_back(
                {way.parts + 1, way.cost + cost, way.reading + std::u16string(reading)});
    };
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (ways[i].empty() || !edge(word, i)) continue;
        auto& here = ways[i];
        std::stable_sort(here.begin(), here.end(), [](const Way& a, const Way& b) {
            return std::tie(a.parts, a.cost) < std::tie(b.parts, b.cost);
        });
        if (here.size() > kMostReadings) here.resize(kMostReadings);
        // A run of kana reads as itself, Latin letters and digits as typed.
        std::size_t run = i;
        while (run < word.size() && isKanaUnit(word[run])) ++run;
        if (run > i) extend(i, run, toHiragana(word.substr(i, run - i)), 0);
        run = i;
        while (run < word.size() && isLatinOrDigit(word[run])) ++run;
        if (run > i) extend(i, run, nfkcCaseFold(word.substr(i, run - i)), 0);
        run = i;
        while (run < word.size() && isMark(word[run])) ++run;
        if (run > i) extend(i, run, u"", 0);
        for (std::size_t j = i + 1; j <= std::min(word.size(), i + kLongestPart); ++j) {
            if (!edge(word, j) || !wanted(word.substr(i, j - i))) continue;
            const auto hits =
                found_.find(hashOf(std::string_view(s.utf8).substr(s.at[i], s.at[j] - s.at[i])));
            if (hits == found_.end()) continue;
            for (std::size_t k = 0; k < hits->second.size(); ++k)
                extend(i, j, hits->second[k].reading, k);
        }
    }
    auto& whole = ways[word.size()];
    std::stable_sort(whole.begin(), whole.end(), [](const Way& a, const Way& b) {
        return std::tie(a.parts, a.cost) < std::tie(b.parts, b.cost);
    });
    std::vector<std::u16string> readings;
    for (auto& way : whole) {
        if (readings.size() == kMostReadings) break;
        if (std::find(readings.begin(), readings.end(), way.reading) == readings.end())
            readings.push_back(std::move(way.reading));
    }
    return readings;
}

}  // namespace

std::unique_ptr<ReadingDictionary> openSkkDictionary(std::vector<std::filesystem::path> files) {
    std::erase_if(files, [](const std::filesystem::path& file) {
        std::error_code error;
        return !std::filesystem::is_regular_file(file, error);
    });
    if (files.empty()) return nullptr;
    return std::make_unique<SkkDictionary>(std::move(files));
}

}  // namespace wordpour::find

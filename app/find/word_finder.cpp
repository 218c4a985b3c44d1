#include "app/find/word_finder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "app/find/byte_scan.h"
#include "app/find/kana.h"
#include "app/find/search_key.h"

namespace wordpour::find {

namespace {

// Runs shorter than this are keyed at once: a thread would cost more.
constexpr std::size_t kKeyAside = 256;

WordFinder::Keys keysOf(std::span<const std::u16string> words) {
    WordFinder::Keys keys;
    std::size_t characters = 0;
    for (const auto& word : words) characters += word.size() + 1;
    keys.text.reserve(characters);
    keys.starts.reserve(words.size());
    for (const auto& word : words) {
        keys.starts.push_back(static_cast<std::uint32_t>(keys.text.size()));
        appendSearchKey(keys.text, word);
        // A NUL in the entry itself stands for nothing typed can match.
        std::replace(keys.text.begin() + keys.starts.back(), keys.text.end(), u'\0', u'\uFFFF');
        keys.text += u'\0';
    }
    return keys;
}

}  // namespace

void WordFinder::append(const std::vector<std::u16string>& all, std::size_t from) {
    const std::span<const std::u16string> words(all.data() + from, all.size() - from);
    // No readings yet for the new entries.
    if (readings_.exact.empty()) {
        readings_.exact += '\0';
        readings_.shortened += '\0';
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        readings_.exactStarts.push_back(static_cast<std::uint32_t>(readings_.exact.size()));
        readings_.shortStarts.push_back(static_cast<std::uint32_t>(readings_.shortened.size()));
        readings_.exact += '\0';
        readings_.shortened += '\0';
    }
    if (words.size() < kKeyAside) {
        std::promise<Keys> now;
        now.set_value(keysOf(words));
        pending_.push_back(now.get_future());
    } else {
        pending_.push_back(std::async(std::launch::async, [words] { return keysOf(words); }));
    }
}

void WordFinder::keyPending() {
    for (auto& run : pending_) {
        Keys more = run.get();
        const auto offset = static_cast<std::uint32_t>(keys_.text.size());
        if (keys_.text.empty()) {
            keys_ = std::move(more);
            continue;
        }
        keys_.text += more.text;
        keys_.starts.reserve(keys_.starts.size() + more.starts.size());
        for (std::uint32_t start : more.starts) keys_.starts.push_back(offset + start);
    }
    pending_.clear();
}

void WordFinder::remove(std::size_t index) {
    keyPending();
    if (index < readings_.exactStarts.size()) {
        // Of the entry's readings only the NUL that ends them is left then.
        setReading(index, nullptr);
        readings_.exact.erase(readings_.exactStarts[index], 1);
        readings_.shortened.erase(readings_.shortStarts[index], 1);
        readings_.exactStarts.erase(readings_.exactStarts.begin() +
                                    static_cast<std::ptrdiff_t>(index));
        readings_.shortStarts.erase(readings_.shortStarts.begin() +
                                    static_cast<std::ptrdiff_t>(index));
        for (std::size_t i = index; i < readings_.exactStarts.size(); ++i) {
            --readings_.exactStarts[i];
            --readings_.shortStarts[i];
        }
    }
    auto& starts = keys_.starts;
    if (index >= starts.size()) return;
    const std::size_t begin = starts[index];
    const std::size_t end = index + 1 < starts.size() ? starts[index + 1] : keys_.text.size();
    keys_.text.erase(begin, end - begin);
    starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < starts.size(); ++i)
        starts[i] -= static_cast<std::uint32_t>(end - begin);
}

namespace {

constexpr char kNextReading = WordFinder::kNextReading;
// A character no reading holds: what was typed with it matches none.
constexpr char kUnread = '\x02';

char encoded(char16_t c) {
    if (c >= 0x3041 && c <= 0x30FF) return static_cast<char>(c - 0x3000);
    if (c >= u'0' && c <= u'9') return static_cast<char>(c);
    return kUnread;
}

char16_t decoded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x40 ? char16_t{byte} : static_cast<char16_t>(0x3000 + byte);
}

void appendEncoded(std::string& to, std::u16string_view reading) {
    for (char16_t c : reading) to += encoded(c);
}

// A reading as it is shown. One that held what the one-byte form keeps no
// place for (the Latin letters of "a4ようし") still matches by its kana,
// but cannot be given back as it was: none is shown for it.
std::u16string shown(std::string_view reading) {
    if (reading.find(kUnread) != reading.npos) return {};
    std::u16string text(reading.size(), u'\0');
    std::transform(reading.begin(), reading.end(), text.begin(), decoded);
    return text;
}

}  // namespace

WordFinder::Joined WordFinder::join(const std::vector<std::u16string>& readings) {
    Joined joined;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) {
            joined.exact += kNextReading;
            joined.shortened += kNextReading;
        }
        appendEncoded(joined.exact, readings[i]);
        // Only a reading that loses long vowels has a shorter form: any
        // other is its own, searched already in the exact text (where a
        // search typed with long vowels meets it too).
        if (const auto shorter = withoutLongVowels(readings[i]); shorter != readings[i])
            appendEncoded(joined.shortened, shorter);
    }
    return joined;
}

std::vector<std::u16string> WordFinder::split(const Joined& joined) {
    std::vector<std::u16string> readings;
    if (joined.exact.empty()) return readings;
    readings.emplace_back();
    for (char c : joined.exact) {
        if (c == kNextReading)
            readings.emplace_back();
        else
            readings.back() += decoded(c);
    }
    return readings;
}

std::u16string WordFinder::likeliest(const Joined& joined) {
    return shown(std::string_view(joined.exact).substr(0, joined.exact.find(kNextReading)));
}

WordFinder::Readings WordFinder::readingsOf(std::span<const Joined* const> entries) {
    std::size_t exact = entries.size(), shortened = entries.size();
    for (const Joined* entry : entries)
        if (entry) {
            exact += entry->exact.size();
            shortened += entry->shortened.size();
        }
    Readings run;
    run.exact.reserve(exact);
    run.shortened.reserve(shortened);
    run.exactStarts.reserve(entries.size());
    run.shortStarts.reserve(entries.size());
    for (const Joined* entry : entries) {
        run.exactStarts.push_back(static_cast<std::uint32_t>(run.exact.size()));
        run.shortStarts.push_back(static_cast<std::uint32_t>(run.shortened.size()));
        if (entry) {
            run.exact += entry->exact;
            run.shortened += entry->shortened;
        }
        run.exact += '\0';
        run.shortened += '\0';
    }
    return run;
}

namespace {

// Puts `run`'s texts and starts in place of entries `from` on in `text`
// and `starts`, as many as `run` holds.
void replaceRun(std::string& text, std::vector<std::uint32_t>& starts, std::size_t from,
                const std::string& runText, const std::vector<std::uint32_t>& runStarts) {
    const std::size_t begin = starts[from];
    const std::size_t last = from + runStarts.size();  // the first entry after the run
    const std::size_t end = last < starts.size() ? starts[last] : text.size();
    text.replace(begin, end - begin, runText);
    for (std::size_t i = 0; i < runStarts.size(); ++i)
        starts[from + i] = static_cast<std::uint32_t>(begin + runStarts[i]);
    const auto grown =
        static_cast<std::int64_t>(runText.size()) - static_cast<std::int64_t>(end - begin);
    for (std::size_t i = last; i < starts.size(); ++i)
        starts[i] = static_cast<std::uint32_t>(starts[i] + grown);
}

// Puts `now` in place of entry `index`'s readings in `text`.
void replaceOne(std::string& text, std::vector<std::uint32_t>& starts, std::size_t index,
                std::string_view now) {
    const std::size_t begin = starts[index];
    const std::size_t end = text.find('\0', begin);
    text.replace(begin, end - begin, now);
    const auto grown =
        static_cast<std::int64_t>(now.size()) - static_cast<std::int64_t>(end - begin);
    for (std::size_t i = index + 1; i < starts.size(); ++i)
        starts[i] = static_cast<std::uint32_t>(starts[i] + grown);
}

}  // namespace

bool WordFinder::setReadings(std::size_t from, const Readings& run) {
    if (from > readings_.exactStarts.size() ||
        run.exactStarts.size() > readings_.exactStarts.size() - from)
        return false;
    if (run.exactStarts.empty()) return true;
    replaceRun(readings_.exact, readings_.exactStarts, from, run.exact, run.exactStarts);
    replaceRun(readings_.shortened, readings_.shortStarts, from, run.shortened, run.shortStarts);
    return true;
}

void WordFinder::setReading(std::size_t index, const Joined* joined) {
    if (index >= readings_.exactStarts.size()) return;
    replaceOne(readings_.exact, readings_.exactStarts, index, joined ? joined->exact : "");
    replaceOne(readings_.shortened, readings_.shortStarts, index, joined ? joined->shortened : "");
}

std::u16string WordFinder::reading(std::size_t index, std::size_t which) const {
    if (index >= readings_.exactStarts.size()) return {};
    // An entry ends with the NUL before the next one's start.
    const std::size_t start = readings_.exactStarts[index];
    const std::size_t end = index + 1 < readings_.exactStarts.size()
                                ? readings_.exactStarts[index + 1] - 1
                                : readings_.exact.size() - 1;
    std::string_view entry =
        std::string_view(readings_.exact).substr(start, end > start ? end - start : 0);
    for (std::size_t i = 0; i < which; ++i) {
        const std::size_t next = entry.find(kNextReading);
        if (next == entry.npos) return {};
        entry.remove_prefix(next + 1);
    }
    return shown(entry.substr(0, entry.find(kNextReading)));
}

namespace {

// How well an entry matched, packed so that a better match is a larger
// number: at the start, then exact, then whole; then the likelier reading,
// the written form last.
using Score = std::uint32_t;
constexpr Score kFound = 1u << 19, kAtStart = 1u << 18, kExact = 1u << 17, kWhole = 1u << 16;
constexpr Score kNoReading = 0xFFFF;

constexpr Score rankOf(Score score) {
    return score >> 16;
}

Score readingScore(std::size_t reading) {
    return kNoReading - static_cast<Score>(std::min<std::size_t>(reading, kNoReading - 1));
}

// Marks the entries whose key holds `key`: where, and whether at the start
// of the key.
void mark(const WordFinder::Keys& keys, std::u16string_view key, std::vector<Score>& found) {
    const std::u16string_view all(keys.text);
    const auto& starts = keys.starts;
    for (std::size_t at = all.find(key); at != all.npos;) {
        // The entry whose key holds this place: a match never spans two,
        // since the key holds no NUL.
        const auto entry = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1);
        if (entry >= found.size()) break;
        const bool atStart = at == starts[entry];
        const char16_t after = at + key.size() < all.size() ? all[at + key.size()] : u'\0';
        const Score now =
            kFound | kExact | (atStart ? kAtStart : 0) | (atStart && after == u'\0' ? kWhole : 0);
        found[entry] = std::max(found[entry], now);
        // A written form can begin only at its first place.
        if (entry + 1 >= starts.size()) break;
        at = all.find(key, starts[entry + 1]);
    }
}

// The number of kNextReading in [from, to), eight at a time: a search
// counts them up to each match.
std::size_t countNext(const char* from, const char* to) {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kLow7 = 0x7F7F7F7F7F7F7F7F;
    std::size_t count = 0;
    for (; to - from >= 8; from += 8) {
        std::uint64_t word;
        std::memcpy(&word, from, sizeof word);
        // A byte of kNextReading becomes 0, and only a 0 byte keeps its
        // high bit clear below; the multiplication adds up those bits in
        // the top byte (a popcount without the instruction is a call).
        const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(kNextReading));
        const std::uint64_t zeros = ~(((x & kLow7) + kLow7) | x | kLow7);
        count += static_cast<std::size_t>(((zeros >> 7) * kOnes) >> 56);
    }
    return count + static_cast<std::size_t>(std::count(from, to, kNextReading));
}

// A form of what was typed, read as kana, encoded as the readings are.
struct Form {
    std::string text;
    bool mayBeWhole;
    bool syllable = false;  // one syllable: matched only where a reading begins
};

// Whether a form is one syllable: a kana, and the small ones it takes.
bool oneSyllable(const std::string& form) {
    const auto small = [](char c) {
        const char16_t kana = decoded(c);
        return kana == u'ゃ' || kana == u'ゅ' || kana == u'ょ' || kana == u'ぁ' || kana == u'ぃ' ||
               kana == u'ぅ' || kana == u'ぇ' || kana == u'ぉ';
    };
    return std::all_of(form.begin() + 1, form.end(), small);
}

// Marks the entries one of whose readings holds one of `forms`. A form of
// one syllable matches only where a reading begins: every reading holds
// most syllables somewhere. Passes over the rest of an entry once it can
// match no better.
void markReadings(std::string_view all, const std::vector<std::uint32_t>& starts,
                  std::vector<Form> forms, bool exact, std::vector<Score>& found) {
    std::erase_if(forms, [](const Form& form) {
        return form.text.empty() || form.text.find(kUnread) != form.text.npos;
    });
    const std::size_t entries = std::min(starts.size(), found.size());
    if (forms.empty() || entries == 0) return;
    // Matches are met in the order of the readings, so the first at the
    // best rank is also at the likeliest reading.
    const bool anyWhole =
        std::any_of(forms.begin(), forms.end(), [](const Form& form) { return form.mayBeWhole; });
    const Score found1 = kFound | (exact ? kExact : 0);
    const Score best = rankOf(found1 | kAtStart | (anyWhole ? kWhole : 0));
    const char* const text = all.data();
    // What the passes look for: the first bytes of the syllables, where a
    // reading begins (after the byte that ends the entry before, or the one
    // that parts readings; the text begins with the first); the first two
    // bytes of the longer forms, anywhere.
    std::string syllables;
    std::vector<BytePair> pairs;
    for (Form& form : forms) {
        form.syllable = oneSyllable(form.text);
        if (form.syllable) {
            if (syllables.find(form.text[0]) == syllables.npos) syllables += form.text[0];
        } else if (const BytePair pair{form.text[0], form.text[1]};
                   std::find(pairs.begin(), pairs.end(), pair) == pairs.end()) {
            pairs.push_back(pair);
        }
    }
    for (const bool atStarts : {true, false}) {
        const std::size_t wanted = atStarts ? syllables.size() : pairs.size();
        for (std::size_t group = 0; group < wanted; group += kMostPairs) {
            std::size_t entry = 0;
            std::size_t end = entries > 1 ? starts[1] : all.size();  // of the entry
            std::size_t reading = 0;                                 // within the entry
            std::size_t counted = starts[0];                         // readings counted up to here
            const auto visit = [&](std::size_t at) -> std::size_t {
                if (at >= end) {
                    while (entry + 1 < entries && starts[entry + 1] <= at) ++entry;
                    end = entry + 1 < entries ? starts[entry + 1] : all.size();
                    reading = 0;
                    counted = starts[entry];
                    if (rankOf(found[entry]) >= best) return end;
                }
                const bool atStart = text[at - 1] == '\0' || text[at - 1] == kNextReading;
                Score here = 0;
                for (const Form& form : forms) {
                    // The second byte first: most forms part there.
                    if (form.syllable != atStarts || form.text[0] != text[at] ||
                        (form.text.size() > 1 && form.text[1] != text[at + 1]) ||
                        all.compare(at, form.text.size(), form.text) != 0)
                        continue;
                    const char after = text[at + form.text.size()];  // the text ends with NUL
                    const bool whole =
                        form.mayBeWhole && atStart && (after == '\0' || after == kNextReading);
                    here = std::max(here, found1 | (atStart ? kAtStart : 0) | (whole ? kWhole : 0));
                }
                if (here == 0) return at + 1;
                reading += countNext(text + counted, text + at);
                counted = at;
                found[entry] = std::max(found[entry], here | readingScore(reading));
                return rankOf(found[entry]) >= best ? end : at + 1;
            };
            if (atStarts)
                scanForStarts(all, kNextReading, std::string_view(syllables).substr(group), visit);
            else
                scanForPairs(all, std::span(pairs).subspan(group), visit);
        }
    }
}

}  // namespace

std::vector<WordFinder::Found> WordFinder::matches(std::u16string_view typed) {
    keyPending();
    std::vector<Found> found;
    std::u16string key;
    appendSearchKey(key, typed);
    if (key.empty() || key.find(u'\0') != key.npos) return found;
    std::vector<Score> marks(keys_.starts.size());
    mark(keys_, key, marks);
    // Readings are kept only for the entries as they are now. A reading is
    // all of what was typed only when that ends with a whole syllable:
    // "kan" may be going on to かな, but it is かん.
    if (readings_.exactStarts.size() == marks.size()) {
        const auto complete = readingOf(key);
        // The forms without long vowels meet the readings without theirs;
        // those typed with long vowels meet also the readings that had
        // none, which the shorter text leaves out.
        std::vector<Form> exact, shortened, shortenedByTyping;
        for (auto& form : typedReading(key).forms) {
            if (form.empty()) continue;
            const bool mayBeWhole = complete && form == *complete;
            exact.push_back({.text = {}, .mayBeWhole = mayBeWhole});
            appendEncoded(exact.back().text, form);
            // Leaving out long vowels never makes one syllable begin a
            // reading it did not begin: the exact match of one is the best.
            if (oneSyllable(exact.back().text)) continue;
            const auto shorter = withoutLongVowels(form);
            shortened.push_back({.text = {}, .mayBeWhole = mayBeWhole});
            appendEncoded(shortened.back().text, shorter);
            if (shorter != form) shortenedByTyping.push_back(shortened.back());
        }
        markReadings(readings_.exact, readings_.exactStarts, std::move(exact), true, marks);
        markReadings(readings_.shortened, readings_.shortStarts, std::move(shortened), false,
                     marks);
        if (!shortenedByTyping.empty())
            markReadings(readings_.exact, readings_.exactStarts, std::move(shortenedByTyping),
                         false, marks);
    }
    for (std::size_t entry = 0; entry < marks.size(); ++entry) {
        const Score m = marks[entry];
        if (m == 0) continue;
        const Score reading = m & kNoReading;
        found.push_back({.index = entry,
                         .atStart = (m & kAtStart) != 0,
                         .exact = (m & kExact) != 0,
                         .whole = (m & kWhole) != 0,
                         .reading = reading == 0 ? kWrittenForm : kNoReading - reading});
    }
    return found;
}

}  // namespace wordpour::find

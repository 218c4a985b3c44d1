#include "app/form/word_list.h"

#include <algorithm>
#include <chrono>
#include <tuple>
#include <unordered_set>

#include "app/find/kana.h"
#include "app/find/reading_dictionary.h"
#include "app/find/search_key.h"

namespace wordpour::form {

namespace {

// Whether the dictionary has anything to read: kana words are their own
// reading, and Latin ones are typed as they are.
// Nobody looks a long text up by its reading.
constexpr std::size_t kLongestRead = 100;

bool wantsDictionary(const std::u16string& word) {
    if (word.size() > kLongestRead || find::isKana(word)) return false;
    return std::any_of(word.begin(), word.end(), [](char16_t c) { return c >= 0x3000; });
}

// A kana word is its own reading; half-width katakana too, once normalized.
std::vector<std::u16string> plainReading(const std::u16string& word) {
    if (find::isKana(word)) return {find::toHiragana(word)};
    if (std::any_of(word.begin(), word.end(),
                    [](char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; })) {
        const std::u16string full = find::nfkcCaseFold(word);
        if (find::isKana(full)) return {find::toHiragana(full)};
    }
    return {};
}

bool mayBeKana(const std::u16string& word) {
    return std::any_of(word.begin(), word.end(), [](char16_t c) {
        return (c >= 0x3041 && c <= 0x30FF) || (c >= 0xFF61 && c <= 0xFF9F);
    });
}

// Appends shorter than this are read at once: a thread would cost more.
constexpr std::size_t kReadAside = 256;

}  // namespace

WordList::~WordList() {
    // Quitting never waits for the dictionary to finish a long list.
    for (auto& lookup : lookups_) lookup.stop->store(true);
}

void WordList::append(std::vector<std::u16string> words) {
    // The finder may still be reading the entries for an earlier append.
    finder_.settle();
    // The dictionaries read on their own thread; kana words are their own
    // reading, worked out there too for a load.
    std::vector<std::u16string> unread;
    std::unordered_set<std::u16string_view> asked;
    for (const auto& word : words) {
        if (read_.contains(word) || !asked.insert(word).second) continue;
        const bool now = !wantsDictionary(word) && words.size() < kReadAside;
        if (!now) {
            if (wantsDictionary(word) || mayBeKana(word)) unread.push_back(word);
        } else if (auto plain = plainReading(word); !plain.empty()) {
            auto joined = find::WordFinder::join(plain);
            read_[word] = Read{std::move(plain), std::move(joined)};
        }
    }
    const std::size_t from = entries_.size();
    if (from == 0)
        entries_ = std::move(words);
    else
        entries_.insert(entries_.end(), std::make_move_iterator(words.begin()),
                        std::make_move_iterator(words.end()));
    finder_.append(entries_, from);
    readingsStale_ = true;
    if (!unread.empty()) lookUp(std::move(unread));
}

void WordList::remove(std::size_t index) {
    if (index >= entries_.size()) return;
    finder_.remove(index);  // settles first
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    readingsStale_ = true;
}

void WordList::lookUp(std::vector<std::u16string> words) {
    auto stop = std::make_shared<std::atomic<bool>>(false);
    auto readings = std::async(std::launch::async, [words = std::move(words), stop] {
        std::vector<std::pair<std::u16string, Read>> found;
        std::vector<std::u16string> asked;
        for (const auto& word : words)
            if (wantsDictionary(word)) asked.push_back(word);
        auto dictionary = asked.empty() ? nullptr : find::openReadingDictionary();
        if (dictionary) dictionary->expect(asked);
        for (const auto& word : words) {
            if (stop->load()) break;
            auto readings = wantsDictionary(word) ? (dictionary ? dictionary->read(word)
                                                                : std::vector<std::u16string>())
                                                  : plainReading(word);
            if (!readings.empty()) {
                auto joined = find::WordFinder::join(readings);
                found.emplace_back(word, Read{std::move(readings), std::move(joined)});
            }
        }
        return found;
    });
    lookups_.push_back({std::move(stop), std::move(readings)});
}

void WordList::absorb(bool wait) {
    std::erase_if(lookups_, [&](Lookup& lookup) {
        if (!wait && lookup.readings.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
        for (auto& [word, read] : lookup.readings.get()) {
            // The likeliest is kept in the notes too, for whoever reads
            // them without a dictionary.
            if (wantsDictionary(word))
                notes_.setReading(word, read.readings.front(), find::ReadingSource::Dictionary);
            read_[word] = std::move(read);
            readingsStale_ = true;
        }
        return true;
    });
}

void WordList::settle() {
    finder_.settle();
    absorb(true);
}

std::u16string WordList::readingOf(std::size_t index) {
    keyReadings();
    return finder_.reading(index, 0);
}

std::vector<std::u16string> WordList::readingsNow(const std::u16string& word) const {
    std::vector<std::u16string> readings;
    const find::WordNote* note = notes_.find(word);
    // The person's own and the input method's first, then what the person
    // typed before finding the word, then the dictionaries'.
    if (note && note->source > find::ReadingSource::Dictionary && !note->reading.empty())
        readings.push_back(note->reading);
    if (note) find::addReadings(readings, note->learned);
    if (const auto read = read_.find(word); read != read_.end())
        find::addReadings(readings, read->second.readings);
    else if (note && note->source == find::ReadingSource::Dictionary)
        find::addReadings(readings, {note->reading});
    if (!readings.empty()) return readings;
    return plainReading(word);
}

void WordList::keyReadings() {
    absorb(false);
    if (!readingsStale_) return;
    // Most words have the dictionary's readings alone, joined on its
    // thread: only the others are joined here.
    own_.clear();
    std::vector<const find::WordFinder::Joined*> joined;
    joined.reserve(entries_.size());
    for (const auto& word : entries_) {
        const find::WordNote* note = notes_.find(word);
        const bool theirs =
            note && ((note->source > find::ReadingSource::Dictionary && !note->reading.empty()) ||
                     !note->learned.empty());
        const auto read = theirs ? read_.end() : read_.find(word);
        if (read != read_.end()) {
            joined.push_back(&read->second.joined);
            continue;
        }
        // A word the person gave no reading, not read yet: none so far.
        if (!note) {
            joined.push_back(nullptr);
            continue;
        }
        auto [own, added] = own_.try_emplace(word);
        if (added) {
            const auto readings = readingsNow(word);
            own->second = find::WordFinder::join(readings);
        }
        joined.push_back(own->second.exact.empty() ? nullptr : &own->second);
    }
    finder_.setReadings(joined);
    readingsStale_ = false;
}

std::vector<WordList::Match> WordList::matches(std::u16string_view typed) {
    keyReadings();
    auto found = finder_.matches(typed);
    struct Ranked {
        std::size_t index;
        int how;  // at the start, exact, whole, the likeliest reading: the best lowest
        std::uint32_t uses;
        std::uint64_t lastUse;
        std::size_t reading;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(found.size());
    const bool anyUse = notes_.anyUse();
    for (const auto& match : found) {
        const find::WordNote* note = anyUse ? notes_.find(entries_[match.index]) : nullptr;
        // A word's likeliest reading before its others: a dictionary's
        // second guesses must not push aside the words read as typed.
        const bool other = match.reading != 0 && match.reading != find::WordFinder::kWrittenForm;
        const int how = 8 * !match.atStart + 4 * !match.exact + 2 * !match.whole + other;
        ranked.push_back(
            {match.index, how, note ? note->uses : 0u, note ? note->lastUse : 0u, match.reading});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return std::tuple(a.how, -static_cast<std::int64_t>(a.uses), ~a.lastUse, a.index) <
               std::tuple(b.how, -static_cast<std::int64_t>(b.uses), ~b.lastUse, b.index);
    });
    std::vector<Match> matches;
    matches.reserve(ranked.size());
    // Where the written form matched, the likeliest reading is shown.
    for (const auto& r : ranked)
        matches.push_back(
            {r.index, finder_.reading(
                          r.index, r.reading == find::WordFinder::kWrittenForm ? 0 : r.reading)});
    return matches;
}

void WordList::heard(const std::u16string& word, std::u16string reading) {
    reading = find::toHiragana(find::nfkcCaseFold(reading));
    if (!find::isReading(reading)) return;
    readingsStale_ |= notes_.setReading(word, std::move(reading), find::ReadingSource::InputMethod);
}

void WordList::correct(const std::u16string& word, std::u16string reading) {
    const bool backToDictionary = reading.empty();
    notes_.correct(word, std::move(reading));
    readingsStale_ = true;
    if (backToDictionary && wantsDictionary(word) && !read_.contains(word)) lookUp({word});
}

void WordList::learn(const std::u16string& word, std::u16string reading) {
    if (!find::isReading(reading)) return;
    notes_.learn(word, std::move(reading));
    readingsStale_ = true;
}

void WordList::used(const std::u16string& word) {
    notes_.used(word);
}

std::string WordList::notesText() {
    absorb(true);
    return notes_.write(entries_);
}

bool WordList::takeNotes(std::istream& file, const std::vector<std::u16string>& coming) {
    std::unordered_set<std::u16string_view> wanted(entries_.begin(), entries_.end());
    wanted.insert(coming.begin(), coming.end());
    const bool whole =
        notes_.read(file, [&](std::u16string_view word) { return wanted.contains(word); });
    readingsStale_ = true;
    return whole;
}

}  // namespace wordpour::form

#include "app/form/word_list.h"

#include <algorithm>
#include <chrono>
#include <tuple>

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

// Appends shorter than this are read at once, or their dictionary words
// alone on a thread, and keyed word by word: a thread keying the run
// would cost more.
constexpr std::size_t kReadAside = 256;

// More words than this keyed anew cost more one by one than all at once.
constexpr std::size_t kMostKeyedAlone = 64;

}  // namespace

WordList::~WordList() {
    // Quitting never waits for the dictionary to finish a long list.
    for (auto& lookup : lookups_) lookup.stop->store(true);
}

void WordList::append(std::vector<std::u16string> words) {
    // The finder may still be reading the entries for an earlier append.
    finder_.settle();
    runTaken();
    const std::size_t from = entries_.size();
    // The thread reads and keys the whole of a run, kana words too.
    const bool run = words.size() >= kReadAside;
    std::vector<std::u16string> unread;
    if (!run) {
        std::unordered_set<std::u16string_view> asked;
        for (const auto& word : words) {
            if (!asked.insert(word).second) continue;
            stale(word);
            if (read_.contains(word)) continue;
            if (wantsDictionary(word)) {
                unread.push_back(word);
            } else if (auto plain = plainReading(word); !plain.empty()) {
                read_[word] = find::WordFinder::join(plain);
            }
        }
    }
    if (from == 0)
        entries_ = std::move(words);
    else
        entries_.insert(entries_.end(), std::make_move_iterator(words.begin()),
                        std::make_move_iterator(words.end()));
    finder_.append(entries_, from);
    if (run || !unread.empty()) lookUp(std::move(unread), from, run);
}

void WordList::remove(std::size_t index) {
    if (index >= entries_.size()) return;
    finder_.remove(index);  // settles first
    runTaken();
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    ++removals_;
}

std::vector<std::u16string> WordList::theirReadings(const find::WordNote& note) const {
    std::vector<std::u16string> readings;
    if (note.source > find::ReadingSource::Dictionary && !note.reading.empty())
        readings.push_back(note.reading);
    find::addReadings(readings, note.learned);
    return readings;
}

WordList::Looked WordList::readAndKey(
    const std::vector<std::u16string>& words,
    const std::unordered_map<std::u16string, std::vector<std::u16string>>& theirs, bool run,
    const std::atomic<bool>& stop) {
    Looked looked;
    std::vector<std::u16string> asked;
    for (const auto& word : words)
        if (wantsDictionary(word)) asked.push_back(word);
    auto dictionary = asked.empty() ? nullptr : find::openReadingDictionary();
    if (dictionary) dictionary->expect(asked);
    for (const auto& word : words) {
        if (stop.load()) return Looked{};
        if (looked.read.contains(word)) continue;
        auto readings = wantsDictionary(word)
                            ? (dictionary ? dictionary->read(word) : std::vector<std::u16string>())
                            : plainReading(word);
        if (readings.empty()) {
            if (wantsDictionary(word)) looked.unread.push_back(word);
            continue;
        }
        looked.read.emplace(word, find::WordFinder::join(readings));
    }
    if (!run) return looked;
    // The run keyed whole: each entry's readings, the person's first.
    std::unordered_map<std::u16string_view, find::WordFinder::Joined> theirsJoined;
    std::vector<const find::WordFinder::Joined*> entries;
    entries.reserve(words.size());
    for (const auto& word : words) {
        const auto read = looked.read.find(word);
        const auto own = theirs.find(word);
        if (own == theirs.end()) {
            entries.push_back(read == looked.read.end() ? nullptr : &read->second);
            continue;
        }
        auto [joined, added] = theirsJoined.try_emplace(word);
        if (added) {
            auto readings = own->second;
            if (read != looked.read.end())
                find::addReadings(readings, find::WordFinder::split(read->second));
            joined->second = find::WordFinder::join(readings);
        }
        entries.push_back(&joined->second);
    }
    looked.run = find::WordFinder::readingsOf(entries);
    return looked;
}

void WordList::runTaken() {
    if (!runTaken_.valid()) return;
    try {
        runTaken_.get();
    } catch (const std::future_error&) {
        // The thread ended without its copy (out of memory): it is done
        // with the entries all the same, and reads nothing.
    }
}

void WordList::lookUp(std::vector<std::u16string> words, std::size_t from, bool run) {
    // Tens of thousands of words copied would cost the window as long again
    // as reading them from "List": the thread copies a run instead.
    std::promise<void> taken;
    if (run) runTaken_ = taken.get_future();
    // The readings the person gave the words of a run, as they are now: a
    // change after this keys the word again.
    std::unordered_map<std::u16string, std::vector<std::u16string>> theirs;
    if (run)
        for (const auto word : notes_.wordsReadByThem())
            theirs.emplace(word, theirReadings(*notes_.find(word)));
    auto stop = std::make_shared<std::atomic<bool>>(false);
    auto looked =
        std::async(std::launch::async, [words = std::move(words), theirs = std::move(theirs), run,
                                        stop, all = run ? &entries_ : nullptr, from,
                                        taken = std::move(taken)]() mutable {
            if (all) {
                words.assign(all->begin() + static_cast<std::ptrdiff_t>(from), all->end());
                taken.set_value();
            }
            return readAndKey(words, theirs, run, *stop);
        });
    lookups_.push_back({.stop = std::move(stop),
                        .looked = std::move(looked),
                        .from = from,
                        .removalsBefore = removals_});
}

void WordList::absorb(bool wait) {
    std::erase_if(lookups_, [&](Lookup& lookup) {
        if (!wait && lookup.looked.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
        Looked looked = lookup.looked.get();
        // What a removal since moved is keyed again whole.
        if (looked.run && lookup.removalsBefore == removals_ &&
            finder_.setReadings(lookup.from, *looked.run)) {
            // Only what changed since it began is keyed again.
        } else if (looked.run) {
            allStale_ = true;
        } else {
            for (const auto& [word, read] : looked.read) stale(word);
        }
        // The dictionary may have no reading where the notes keep one.
        for (const auto& word : looked.unread)
            if (const find::WordNote* note = notes_.find(word);
                note && note->source == find::ReadingSource::Dictionary)
                stale(word);
        if (read_.empty())
            read_ = std::move(looked.read);
        else
            read_.merge(looked.read);
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
    if (note) readings = theirReadings(*note);
    if (const auto read = read_.find(word); read != read_.end())
        find::addReadings(readings, find::WordFinder::split(read->second));
    else if (note && note->source == find::ReadingSource::Dictionary)
        find::addReadings(readings, {note->reading});
    if (!readings.empty()) return readings;
    return plainReading(word);
}

const find::WordFinder::Joined* WordList::joinedOf(const std::u16string& word) {
    const find::WordNote* note = notes_.find(word);
    // Most words have the dictionary's readings alone, joined on its
    // thread: only the others are joined here.
    if (!note || !find::WordNotes::readByThem(*note))
        if (const auto read = read_.find(word); read != read_.end()) return &read->second;
    // A word the person gave no reading, not read yet: none so far.
    if (!note) return nullptr;
    auto [own, added] = own_.try_emplace(word);
    if (added) own->second = find::WordFinder::join(readingsNow(word));
    return own->second.exact.empty() ? nullptr : &own->second;
}

void WordList::stale(const std::u16string& word) {
    own_.erase(word);
    if (!allStale_) staleWords_.insert(word);
}

void WordList::keyReadings() {
    absorb(false);
    if (staleWords_.size() > kMostKeyedAlone) allStale_ = true;
    if (allStale_) {
        own_.clear();
        std::vector<const find::WordFinder::Joined*> joined;
        joined.reserve(entries_.size());
        for (const auto& word : entries_) joined.push_back(joinedOf(word));
        finder_.setReadings(0, find::WordFinder::readingsOf(joined));
    } else if (!staleWords_.empty()) {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (staleWords_.contains(entries_[i])) finder_.setReading(i, joinedOf(entries_[i]));
    }
    allStale_ = false;
    staleWords_.clear();
}
std::vector<WordList::Match> WordList::matches(std::u16string_view typed) {
    keyReadings();
    auto found = finder_.matches(typed);
    struct Ranked {
        std::size_t index;
        int how;  // at the start, exact, whole, the reading's place: the best lowest
        std::uint32_t uses;
        std::uint64_t lastUse;
        std::size_t reading;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(found.size());
    const bool anyUse = notes_.anyUse();
    for (const auto& match : found) {
        const find::WordNote* note = anyUse ? notes_.find(entries_[match.index]) : nullptr;
        // A word's likelier readings before its less likely ones: a
        // dictionary's later guesses must not push aside the words read as
        // typed (kMostReadings of them at most).
        const std::size_t reading =
            match.reading == find::WordFinder::kWrittenForm ? 0 : match.reading;
        const int how = 64 * !match.atStart + 32 * !match.exact + 16 * !match.whole +
                        static_cast<int>(std::min<std::size_t>(reading, 15));
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
        matches.push_back({r.index, r.reading == find::WordFinder::kWrittenForm ? 0 : r.reading});
    return matches;
}

void WordList::heard(const std::u16string& word, std::u16string reading) {
    reading = find::toHiragana(find::nfkcCaseFold(reading));
    if (!find::isReading(reading)) return;
    if (notes_.setReading(word, std::move(reading), find::ReadingSource::InputMethod)) stale(word);
}

void WordList::correct(const std::u16string& word, std::u16string reading) {
    const bool backToDictionary = reading.empty();
    notes_.correct(word, std::move(reading));
    stale(word);
    if (backToDictionary && wantsDictionary(word) && !read_.contains(word))
        lookUp({word}, 0, false);
}

void WordList::learn(const std::u16string& word, std::u16string reading) {
    if (!find::isReading(reading)) return;
    notes_.learn(word, std::move(reading));
    stale(word);
}

void WordList::used(const std::u16string& word) {
    notes_.used(word);
}

std::string WordList::notesText() {
    absorb(true);
    return notes_.write(entries_, [this](const std::u16string& word) {
        // Kana words are their own reading, not the dictionary's.
        const auto read = read_.find(word);
        if (read == read_.end() || !wantsDictionary(word)) return std::u16string();
        return find::WordFinder::likeliest(read->second);
    });
}

bool WordList::takeNotes(std::istream& file, const std::vector<std::u16string>& coming) {
    std::unordered_set<std::u16string_view> wanted(entries_.begin(), entries_.end());
    wanted.insert(coming.begin(), coming.end());
    const bool whole =
        notes_.read(file, [&](std::u16string_view word) { return wanted.contains(word); });
    // The words coming are keyed as they come.
    if (!entries_.empty()) allStale_ = true;
    return whole;
}

}  // namespace wordpour::form

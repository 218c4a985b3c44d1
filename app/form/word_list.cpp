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

}  // namespace

WordList::~WordList() {
    // Quitting never waits for the dictionary to finish a long list.
    for (auto& lookup : lookups_) lookup.stop->store(true);
}

void WordList::append(std::vector<std::u16string> words) {
    // The finder may still be reading the entries for an earlier append.
    finder_.settle();
    std::vector<std::u16string> unread;
    for (const auto& word : words) {
        const find::WordNote* note = notes_.find(word);
        if ((!note || note->reading.empty()) && wantsDictionary(word)) unread.push_back(word);
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
        std::vector<std::pair<std::u16string, std::u16string>> found;
        auto dictionary = find::openReadingDictionary();
        if (!dictionary) return found;
        for (const auto& word : words) {
            if (stop->load()) break;
            if (auto reading = dictionary->read(word))
                found.emplace_back(word, std::move(*reading));
        }
        return found;
    });
    lookups_.push_back({std::move(stop), std::move(readings)});
}

void WordList::absorb(bool wait) {
    std::erase_if(lookups_, [&](Lookup& lookup) {
        if (!wait && lookup.readings.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
        for (auto& [word, reading] : lookup.readings.get())
            readingsStale_ |=
                notes_.setReading(word, std::move(reading), find::ReadingSource::Dictionary);
        return true;
    });
}

void WordList::settle() {
    finder_.settle();
    absorb(true);
}

std::u16string WordList::readingOf(std::size_t index) {
    keyReadings();
    return readings_.at(index);
}

std::u16string WordList::readingNow(const std::u16string& word) const {
    if (const find::WordNote* note = notes_.find(word); note && !note->reading.empty())
        return note->reading;
    if (find::isKana(word)) return find::toHiragana(word);
    // Half-width katakana are kana too, once normalized.
    if (std::any_of(word.begin(), word.end(),
                    [](char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; })) {
        const std::u16string full = find::nfkcCaseFold(word);
        if (find::isKana(full)) return find::toHiragana(full);
    }
    return {};
}

void WordList::keyReadings() {
    absorb(false);
    if (!readingsStale_) return;
    readings_.clear();
    readings_.reserve(entries_.size());
    for (const auto& word : entries_) readings_.push_back(readingNow(word));
    finder_.setReadings(readings_);
    readingsStale_ = false;
}

std::vector<std::size_t> WordList::matches(std::u16string_view typed) {
    keyReadings();
    auto found = finder_.matches(typed);
    struct Ranked {
        std::size_t index;
        bool atStart;
        std::uint32_t uses;
        std::uint64_t lastUse;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(found.size());
    const bool anyUse = notes_.anyUse();
    for (const auto& match : found) {
        const find::WordNote* note = anyUse ? notes_.find(entries_[match.index]) : nullptr;
        ranked.push_back(
            {match.index, match.atStart, note ? note->uses : 0u, note ? note->lastUse : 0u});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return std::tuple(!a.atStart, -static_cast<std::int64_t>(a.uses), ~a.lastUse, a.index) <
               std::tuple(!b.atStart, -static_cast<std::int64_t>(b.uses), ~b.lastUse, b.index);
    });
    std::vector<std::size_t> indexes;
    indexes.reserve(ranked.size());
    for (const auto& r : ranked) indexes.push_back(r.index);
    return indexes;
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
    if (backToDictionary && wantsDictionary(word)) lookUp({word});
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

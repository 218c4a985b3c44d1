// The word list as data: its entries in order of insertion, duplicates and
// empty entries allowed, with what the type-to-find list needs of them:
// their search keys, their readings and how often each word was entered.
#pragma once

#include <atomic>
#include <cstddef>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/find/word_finder.h"
#include "app/find/word_notes.h"

namespace wordpour::form {

class WordList {
public:
    WordList() = default;
    ~WordList();
    WordList(const WordList&) = delete;
    WordList& operator=(const WordList&) = delete;

    const std::vector<std::u16string>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    const std::u16string& operator[](std::size_t index) const { return entries_[index]; }

    // The words without a reading are read by the dictionary on a thread of
    // its own; their readings count from the first search after it is done.
    void append(std::vector<std::u16string> words);
    void remove(std::size_t index);

    // The entries that contain `typed` as the finder compares, or one of
    // whose readings holds it: those that begin with it first; among them
    // those found as typed before those found without their long vowels,
    // and those that are all of it before those that go on, and those found
    // by a likelier reading before a less likely one; then the words
    // entered most often, the latest first; then the list's order. Nothing
    // changes their order but an entry, so a list does not shuffle while a
    // word is typed. Each comes with the reading that matched ("" when the
    // written form did).
    struct Match {
        std::size_t index;
        std::size_t reading;  // which of the entry's readings
    };
    std::vector<Match> matches(std::u16string_view typed);
    // The reading that matched, as shown; "" for none.
    std::u16string readingOf(const Match& match) const {
        return finder_.reading(match.index, match.reading);
    }

    // Entry `index`'s likeliest reading in hiragana; "" for none (Latin words).
    std::u16string readingOf(std::size_t index);
    // A reading the person typed for `word` before finding it another way.
    void learn(const std::u16string& word, std::u16string reading);
    // A reading the input method gave as the person typed `word`.
    void heard(const std::u16string& word, std::u16string reading);
    // The person's reading of `word`; "" to go back to the dictionary's.
    void correct(const std::u16string& word, std::u16string reading);
    // `word` was entered into a cell.
    void used(const std::u16string& word);

    // The notes file's text for the entries.
    std::string notesText();
    // Takes in what a notes file holds of the entries and of `coming`, the
    // words about to be appended; false when the file was too long to read
    // whole.
    bool takeNotes(std::istream& file, const std::vector<std::u16string>& coming);
    // Waits for the dictionary's readings.
    void settle();

private:
    // The words' readings as the finder keeps them: a third of the memory
    // of each in a string of its own.
    using ReadMap = std::unordered_map<std::u16string, find::WordFinder::Joined>;
    // What a lookup hands back: the readings of the words it read; for a
    // long run of entries (a load), that run's readings as the finder keeps
    // them, and the words no dictionary could read.
    struct Looked {
        ReadMap read;
        std::optional<find::WordFinder::Readings> run;
        std::vector<std::u16string> unread;
    };
    struct Lookup {
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<Looked> looked;
        std::size_t from;              // the run's first entry
        std::uint64_t removalsBefore;  // the list's removals when it began
    };
    // Reads `words` on a thread. With `run`, the entries from `from` on
    // instead, of which the thread takes its own copy (runTaken() waits for
    // it) and which it keys whole, each with the readings the person gave it
    // before the dictionaries'.
    void lookUp(std::vector<std::u16string> words, std::size_t from, bool run);
    // Waits until the last run's thread has its copy of the entries: until
    // then they stay as they are.
    void runTaken();
    // What the thread of lookUp does; `theirs`: the readings the person
    // gave words, by the word.
    static Looked readAndKey(
        const std::vector<std::u16string>& words,
        const std::unordered_map<std::u16string, std::vector<std::u16string>>& theirs, bool run,
        const std::atomic<bool>& stop);
    // The readings the notes give `word` before any dictionary's.
    std::vector<std::u16string> theirReadings(const find::WordNote& note) const;
    // Takes the dictionary's readings that are ready (all, with `wait`).
    void absorb(bool wait);
    // Brings the finder's readings up to date.
    void keyReadings();
    std::vector<std::u16string> readingsNow(const std::u16string& word) const;
    // The word's readings as the finder keeps them; null for none.
    const find::WordFinder::Joined* joinedOf(const std::u16string& word);
    // The word's readings are to be keyed again.
    void stale(const std::u16string& word);

    std::vector<std::u16string> entries_;
    find::WordFinder finder_;
    find::WordNotes notes_;
    // The dictionaries' readings of the words looked up, the likeliest
    // first, and kana words' own: worked out again at each start, never
    // kept in a file.
    ReadMap read_;
    // The words the person gave readings, as keyed last.
    std::unordered_map<std::u16string, find::WordFinder::Joined> own_;
    std::vector<Lookup> lookups_;
    std::future<void> runTaken_;
    std::uint64_t removals_ = 0;
    // What the finder's readings lack: all of them, or those of some words.
    bool allStale_ = false;
    std::unordered_set<std::u16string> staleWords_;
};

}  // namespace wordpour::form

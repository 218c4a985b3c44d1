// The word list as data: its entries in order of insertion, duplicates and
// empty entries allowed, with what the type-to-find list needs of them:
// their search keys, their readings and how often each word was entered.
#pragma once

#include <atomic>
#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <string_view>
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

    // The entries that contain `typed` as the finder compares, or whose
    // reading holds it: those that begin with it first; then the words
    // entered most often, the latest first; then the list's order. Nothing
    // changes their order but an entry, so a list does not shuffle while a
    // word is typed.
    std::vector<std::size_t> matches(std::u16string_view typed);

    // Entry `index`'s reading in hiragana; "" for none (Latin words).
    std::u16string readingOf(std::size_t index);
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
    struct Lookup {
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<std::vector<std::pair<std::u16string, std::u16string>>> readings;
    };
    void lookUp(std::vector<std::u16string> words);
    // Takes the dictionary's readings that are ready (all, with `wait`).
    void absorb(bool wait);
    // Every entry's reading in readings_, and the finder's, when stale.
    void keyReadings();
    std::u16string readingNow(const std::u16string& word) const;

    std::vector<std::u16string> entries_;
    find::WordFinder finder_;
    find::WordNotes notes_;
    std::vector<std::u16string> readings_;  // of each entry, "" for none
    std::vector<Lookup> lookups_;
    bool readingsStale_ = true;
};

}  // namespace wordpour::form

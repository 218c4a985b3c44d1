// The type-to-find list: the entries of the word list that contain the
// typed text anywhere, compared in their search keys, or whose reading holds
// it read as kana or romaji; in the list's order, each with whether it
// begins so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::find {

class WordFinder {
public:
    WordFinder() = default;
    WordFinder(const WordFinder&) = delete;
    WordFinder& operator=(const WordFinder&) = delete;

    // Keeps the keys in step with the word list `all`, whose entries from
    // `from` on are new. A long run of them (a load) is keyed on a thread of
    // its own, which reads them in `all` itself: the load neither waits for
    // it nor copies the words, and the first keystroke after it seldom
    // waits. `all` may change only after settle(), remove() or matches().
    void append(const std::vector<std::u16string>& all, std::size_t from);
    void remove(std::size_t index);
    // Waits until every entry appended has its key.
    void settle() { keyPending(); }

    // Each entry's reading in hiragana, "" for none, in the list's order.
    void setReadings(const std::vector<std::u16string>& readings);

    struct Found {
        std::size_t index;
        bool atStart;  // the written form or the reading begins with what was typed
    };
    // The entries that contain `typed`, in the list's order; none for an
    // empty text.
    std::vector<Found> matches(std::u16string_view typed);

    // Every entry's key in one text, each ended by NUL (which no key holds
    // otherwise): one search runs over them all, and a long list costs one
    // allocation instead of one per entry.
    struct Keys {
        std::u16string text;
        std::vector<std::uint32_t> starts;  // where each entry's key begins
    };

private:
    void keyPending();

    Keys keys_;
    Keys readings_;
    std::vector<std::future<Keys>> pending_;  // appended runs, in order, being keyed
};

}  // namespace wordpour::find

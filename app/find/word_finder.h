// The type-to-find list: the entries of the word list that contain the
// typed text anywhere, compared in their search keys, in the list's order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::app {

class WordFinder {
public:
    WordFinder() = default;
    WordFinder(const WordFinder&) = delete;
    WordFinder& operator=(const WordFinder&) = delete;

    // Keeps the keys in step with the word list. A long run of words (a
    // load) is keyed on a thread of its own, so the load does not wait for
    // it and the first keystroke after it seldom does.
    void append(std::vector<std::u16string> words);
    void remove(std::size_t index);

    // The indexes of the entries that contain `typed`; none for an empty text.
    std::vector<std::size_t> matches(std::u16string_view typed);

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
    std::vector<std::future<Keys>> pending_;  // appended runs, in order, being keyed
};

}  // namespace wordpour::app

// The type-to-find list: the entries of the word list that contain the
// typed text anywhere, compared in their search keys, in the list's order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::app {

class WordFinder {
public:
    // Keeps the keys in step with the word list. Appended words are keyed
    // when first searched: a load of a long list does not wait for them.
    void append(std::vector<std::u16string> words);
    void remove(std::size_t index);

    // The indexes of the entries that contain `typed`; none for an empty text.
    std::vector<std::size_t> matches(std::u16string_view typed);

private:
    void keyPending();

    std::vector<std::vector<std::u16string>> pending_;  // appended, not yet keyed
    // Every entry's key in one text, each ended by NUL (which no key holds
    // otherwise): one search runs over them all, and a long list costs one
    // allocation instead of one per entry.
    std::u16string keys_;
    std::vector<std::uint32_t> starts_;  // where each entry's key begins
};

}  // namespace wordpour::app

// The word list as data: its entries in order of insertion, duplicates and
// empty entries allowed, with the search keys of the type-to-find list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/find/word_finder.h"

namespace wordpour::form {

class WordList {
public:
    const std::vector<std::u16string>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    const std::u16string& operator[](std::size_t index) const { return entries_[index]; }

    void append(std::vector<std::u16string> words);
    void remove(std::size_t index);
    // The indexes of the entries that contain `typed` as the finder compares.
    std::vector<std::size_t> matches(std::u16string_view typed) { return finder_.matches(typed); }

private:
    std::vector<std::u16string> entries_;
    app::WordFinder finder_;
};

}  // namespace wordpour::form

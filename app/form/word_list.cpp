#include "app/form/word_list.h"

namespace wordpour::form {

void WordList::append(std::vector<std::u16string> words) {
    entries_.insert(entries_.end(), words.begin(), words.end());
    finder_.append(std::move(words));
}

void WordList::remove(std::size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    finder_.remove(index);
}

}  // namespace wordpour::form

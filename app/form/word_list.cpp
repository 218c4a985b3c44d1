#include "app/form/word_list.h"

namespace wordpour::form {

void WordList::append(std::vector<std::u16string> words) {
    // The finder may still be reading the entries for an earlier append.
    finder_.settle();
    const std::size_t from = entries_.size();
    if (from == 0)
        entries_ = std::move(words);
    else
        entries_.insert(entries_.end(), std::make_move_iterator(words.begin()),
                        std::make_move_iterator(words.end()));
    finder_.append(entries_, from);
}

void WordList::remove(std::size_t index) {
    if (index >= entries_.size()) return;
    finder_.remove(index);  // settles first
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace wordpour::form

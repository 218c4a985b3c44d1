#include "app/find/word_finder.h"

#include <algorithm>

#include "app/find/search_key.h"

namespace wordpour::app {

void WordFinder::append(std::vector<std::u16string> words) {
    pending_.push_back(std::move(words));
}

void WordFinder::keyPending() {
    if (pending_.empty()) return;
    std::size_t characters = 0, count = 0;
    for (const auto& words : pending_) {
        count += words.size();
        for (const auto& word : words) characters += word.size() + 1;
    }
    keys_.reserve(keys_.size() + characters);
    starts_.reserve(starts_.size() + count);
    for (const auto& words : pending_) {
        for (const auto& word : words) {
            starts_.push_back(static_cast<std::uint32_t>(keys_.size()));
            appendSearchKey(keys_, word);
            // A NUL in the entry itself stands for nothing typed can match.
            std::replace(keys_.begin() + starts_.back(), keys_.end(), u'\0', u'\uFFFF');
            keys_ += u'\0';
        }
    }
    pending_.clear();
}

void WordFinder::remove(std::size_t index) {
    keyPending();
    if (index >= starts_.size()) return;
    const std::size_t begin = starts_[index];
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : keys_.size();
    keys_.erase(begin, end - begin);
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < starts_.size(); ++i)
        starts_[i] -= static_cast<std::uint32_t>(end - begin);
}

std::vector<std::size_t> WordFinder::matches(std::u16string_view typed) {
    keyPending();
    std::vector<std::size_t> found;
    std::u16string key;
    appendSearchKey(key, typed);
    if (key.empty() || key.find(u'\0') != key.npos) return found;
    const std::u16string_view all(keys_);
    for (std::size_t at = all.find(key); at != all.npos;) {
        // The entry whose key holds this place: a match never spans two,
        // since the key holds no NUL.
        const auto entry = static_cast<std::size_t>(
            std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin() - 1);
        found.push_back(entry);
        if (entry + 1 >= starts_.size()) break;
        at = all.find(key, starts_[entry + 1]);
    }
    return found;
}

}  // namespace wordpour::app

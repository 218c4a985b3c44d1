#include "app/find/word_finder.h"

#include <algorithm>

#include "app/find/kana.h"
#include "app/find/search_key.h"

namespace wordpour::find {

namespace {

// Runs shorter than this are keyed at once: a thread would cost more.
constexpr std::size_t kKeyAside = 256;

WordFinder::Keys keysOf(std::span<const std::u16string> words) {
    WordFinder::Keys keys;
    std::size_t characters = 0;
    for (const auto& word : words) characters += word.size() + 1;
    keys.text.reserve(characters);
    keys.starts.reserve(words.size());
    for (const auto& word : words) {
        keys.starts.push_back(static_cast<std::uint32_t>(keys.text.size()));
        appendSearchKey(keys.text, word);
        // A NUL in the entry itself stands for nothing typed can match.
        std::replace(keys.text.begin() + keys.starts.back(), keys.text.end(), u'\0', u'\uFFFF');
        keys.text += u'\0';
    }
    return keys;
}

}  // namespace

void WordFinder::append(const std::vector<std::u16string>& all, std::size_t from) {
    const std::span<const std::u16string> words(all.data() + from, all.size() - from);
    if (words.size() < kKeyAside) {
        std::promise<Keys> now;
        now.set_value(keysOf(words));
        pending_.push_back(now.get_future());
    } else {
        pending_.push_back(std::async(std::launch::async, [words] { return keysOf(words); }));
    }
}

void WordFinder::keyPending() {
    for (auto& run : pending_) {
        Keys more = run.get();
        const auto offset = static_cast<std::uint32_t>(keys_.text.size());
        if (keys_.text.empty()) {
            keys_ = std::move(more);
            continue;
        }
        keys_.text += more.text;
        keys_.starts.reserve(keys_.starts.size() + more.starts.size());
        for (std::uint32_t start : more.starts) keys_.starts.push_back(offset + start);
    }
    pending_.clear();
}

void WordFinder::remove(std::size_t index) {
    keyPending();
    readings_ = {};  // the list's owner sets them again
    auto& starts = keys_.starts;
    if (index >= starts.size()) return;
    const std::size_t begin = starts[index];
    const std::size_t end = index + 1 < starts.size() ? starts[index + 1] : keys_.text.size();
    keys_.text.erase(begin, end - begin);
    starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < starts.size(); ++i)
        starts[i] -= static_cast<std::uint32_t>(end - begin);
}

void WordFinder::setReadings(const std::vector<std::u16string>& readings) {
    readings_.text.clear();
    readings_.starts.clear();
    readings_.starts.reserve(readings.size());
    for (const auto& reading : readings) {
        readings_.starts.push_back(static_cast<std::uint32_t>(readings_.text.size()));
        readings_.text += reading;
        readings_.text += u'\0';
    }
}

namespace {

enum Mark : std::uint8_t { Not, Inside, AtStart };

// Marks the entries whose key holds `key`, and whether at its start.
void mark(const WordFinder::Keys& keys, std::u16string_view key, std::vector<std::uint8_t>& found) {
    const std::u16string_view all(keys.text);
    const auto& starts = keys.starts;
    for (std::size_t at = all.find(key); at != all.npos;) {
        // The entry whose key holds this place: a match never spans two,
        // since the key holds no NUL.
        const auto entry = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1);
        if (entry >= found.size()) break;
        // The first place in an entry is its leftmost: only it can be the start.
        found[entry] = std::max<std::uint8_t>(found[entry], at == starts[entry] ? AtStart : Inside);
        if (entry + 1 >= starts.size()) break;
        at = all.find(key, starts[entry + 1]);
    }
}

}  // namespace

std::vector<WordFinder::Found> WordFinder::matches(std::u16string_view typed) {
    keyPending();
    std::vector<Found> found;
    std::u16string key;
    appendSearchKey(key, typed);
    if (key.empty() || key.find(u'\0') != key.npos) return found;
    std::vector<std::uint8_t> marks(keys_.starts.size(), Not);
    mark(keys_, key, marks);
    // Readings are kept only for the entries as they are now.
    if (readings_.starts.size() == keys_.starts.size())
        for (const auto& form : typedReading(key).forms) mark(readings_, form, marks);
    for (std::size_t entry = 0; entry < marks.size(); ++entry)
        if (marks[entry] != Not) found.push_back({entry, marks[entry] == AtStart});
    return found;
}

}  // namespace wordpour::find

#include "app/find/word_finder.h"

#include <algorithm>
#include <array>

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
    shortReadings_ = {};
    auto& starts = keys_.starts;
    if (index >= starts.size()) return;
    const std::size_t begin = starts[index];
    const std::size_t end = index + 1 < starts.size() ? starts[index + 1] : keys_.text.size();
    keys_.text.erase(begin, end - begin);
    starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < starts.size(); ++i)
        starts[i] -= static_cast<std::uint32_t>(end - begin);
}

WordFinder::Joined WordFinder::join(const std::vector<std::u16string>& readings) {
    Joined joined;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) {
            joined.exact += kNextReading;
            joined.shortened += kNextReading;
        }
        joined.exact += readings[i];
        joined.shortened += withoutLongVowels(readings[i]);
    }
    return joined;
}

void WordFinder::setReadings(const std::vector<const Joined*>& readings) {
    std::size_t exact = 0, shortened = 0;
    for (const Joined* entry : readings)
        if (entry) {
            exact += entry->exact.size();
            shortened += entry->shortened.size();
        }
    for (Keys* keys : {&readings_, &shortReadings_}) {
        keys->text.clear();
        keys->starts.clear();
        keys->starts.reserve(readings.size());
    }
    readings_.text.reserve(exact + readings.size());
    shortReadings_.text.reserve(shortened + readings.size());
    for (const Joined* entry : readings) {
        readings_.starts.push_back(static_cast<std::uint32_t>(readings_.text.size()));
        shortReadings_.starts.push_back(static_cast<std::uint32_t>(shortReadings_.text.size()));
        if (entry) {
            readings_.text += entry->exact;
            shortReadings_.text += entry->shortened;
        }
        readings_.text += u'\0';
        shortReadings_.text += u'\0';
    }
}

std::u16string WordFinder::reading(std::size_t index, std::size_t which) const {
    if (index >= readings_.starts.size()) return {};
    std::u16string_view entry(readings_.text);
    entry = entry.substr(readings_.starts[index]);
    entry = entry.substr(0, entry.find(u'\0'));
    for (std::size_t i = 0; i < which; ++i) {
        const std::size_t next = entry.find(kNextReading);
        if (next == entry.npos) return {};
        entry.remove_prefix(next + 1);
    }
    return std::u16string(entry.substr(0, entry.find(kNextReading)));
}

namespace {

constexpr char16_t kNextReading = WordFinder::kNextReading;

// How well an entry matched, the best first when compared as numbers
// backwards: at the start, then exact, then whole.
struct Mark {
    bool found = false;
    bool atStart = false;
    bool exact = false;
    bool whole = false;
    std::size_t reading = WordFinder::kWrittenForm;

    int rank() const { return found ? 1 + 4 * atStart + 2 * exact + whole : 0; }
};

// Marks the entries whose key holds `key`: where, and whether at the start
// of the key or of one of its readings. `readings`: the keys are readings,
// parted by kNextReading.
void mark(const WordFinder::Keys& keys, std::u16string_view key, std::vector<Mark>& found) {
    constexpr bool exact = true, readings = false, mayBeWhole = true;
    const std::u16string_view all(keys.text);
    const auto& starts = keys.starts;
    for (std::size_t at = all.find(key); at != all.npos;) {
        // The entry whose key holds this place: a match never spans two,
        // since the key holds no NUL.
        const auto entry = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1);
        if (entry >= found.size()) break;
        const std::size_t begin = starts[entry];
        const bool atStart = at == begin || (readings && all[at - 1] == kNextReading);
        const char16_t after = at + key.size() < all.size() ? all[at + key.size()] : u'\0';
        Mark now{.found = true,
                 .atStart = atStart,
                 .exact = exact,
                 .whole = mayBeWhole && atStart &&
                          (after == u'\0' || (readings && after == kNextReading)),
                 .reading = WordFinder::kWrittenForm};
        if (readings)
            now.reading = static_cast<std::size_t>(
                std::count(all.begin() + static_cast<std::ptrdiff_t>(begin),
                           all.begin() + static_cast<std::ptrdiff_t>(at), kNextReading));
        if (now.rank() > found[entry].rank()) found[entry] = now;
        // A written form can begin only at its first place; a later reading
        // may still begin there.
        if (readings) {
            at = all.find(key, at + 1);
        } else {
            if (entry + 1 >= starts.size()) break;
            at = all.find(key, starts[entry + 1]);
        }
    }
}

// A form of what was typed, read as kana.
struct Form {
    std::u16string text;
    bool mayBeWhole;
};

// Marks the entries one of whose readings holds one of `forms`, in one pass
// over the readings, whatever the number of forms: a letter still being
// typed ("k") has a form for each syllable it may begin.
void markReadings(const WordFinder::Keys& keys, const std::vector<Form>& forms, bool exact,
                  std::vector<Mark>& found) {
    if (forms.empty()) return;
    // The characters a form begins with, to pass over the others at once:
    // kana in a table, anything else (digits) in a short list.
    std::array<bool, 0x100> kanaFirst{};
    std::u16string otherFirsts;
    for (const Form& form : forms) {
        if (form.text.empty()) continue;
        const char16_t first = form.text[0];
        if (first >= 0x3000 && first < 0x3100)
            kanaFirst[first - 0x3000] = true;
        else if (otherFirsts.find(first) == otherFirsts.npos)
            otherFirsts += first;
    }
    const std::u16string_view all(keys.text);
    const char16_t* text = all.data();
    const std::size_t size = all.size();
    const auto& starts = keys.starts;
    std::size_t entry = 0;
    std::size_t reading = 0;  // within the entry
    for (std::size_t at = 0; at < size; ++at) {
        const char16_t c = text[at];
        if (c >= 0x3000 && c < 0x3100) {
            if (!kanaFirst[c - 0x3000]) continue;
        } else if (c == u'\0') {
            ++entry;
            reading = 0;
            continue;
        } else if (c == kNextReading) {
            ++reading;
            continue;
        } else if (otherFirsts.find(c) == otherFirsts.npos) {
            continue;
        }
        if (entry >= found.size()) break;
        const bool atStart = at == starts[entry] || all[at - 1] == kNextReading;
        for (const Form& form : forms) {
            if (form.text[0] != c || all.compare(at, form.text.size(), form.text) != 0) continue;
            const std::size_t end = at + form.text.size();
            const char16_t after = end < all.size() ? all[end] : u'\0';
            const Mark now{
                .found = true,
                .atStart = atStart,
                .exact = exact,
                .whole = form.mayBeWhole && atStart && (after == u'\0' || after == kNextReading),
                .reading = reading};
            if (now.rank() > found[entry].rank()) found[entry] = now;
        }
    }
}

}  // namespace

std::vector<WordFinder::Found> WordFinder::matches(std::u16string_view typed) {
    keyPending();
    std::vector<Found> found;
    std::u16string key;
    appendSearchKey(key, typed);
    if (key.empty() || key.find(u'\0') != key.npos || key.find(kNextReading) != key.npos)
        return found;
    std::vector<Mark> marks(keys_.starts.size());
    mark(keys_, key, marks);
    // Readings are kept only for the entries as they are now. A reading is
    // all of what was typed only when that ends with a whole syllable:
    // "kan" may be going on to かな, but it is かん.
    if (readings_.starts.size() == keys_.starts.size()) {
        const auto complete = readingOf(key);
        std::vector<Form> exact, shortened;
        for (auto& form : typedReading(key).forms) {
            if (form.empty()) continue;
            const bool mayBeWhole = complete && form == *complete;
            shortened.push_back({withoutLongVowels(form), mayBeWhole});
            exact.push_back({std::move(form), mayBeWhole});
        }
        markReadings(readings_, exact, true, marks);
        markReadings(shortReadings_, shortened, false, marks);
    }
    for (std::size_t entry = 0; entry < marks.size(); ++entry) {
        const Mark& m = marks[entry];
        if (m.found) found.push_back({entry, m.atStart, m.exact, m.whole, m.reading});
    }
    return found;
}

}  // namespace wordpour::find

// The type-to-find list: the entries of the word list that contain the
// typed text anywhere, compared in their search keys, or one of whose
// readings holds it read as kana or romaji, with its long vowels or
// without (as romaji on signs leaves them out); in the list's order, each
// with how it matched.
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

    // An entry's readings as the finder keeps them: in hiragana, the
    // likeliest first, parted by kNextReading; and the same without their
    // long vowels. Made once per word, off the window's thread for a load.
    static constexpr char16_t kNextReading = u'\u0001';
    struct Joined {
        std::u16string exact;
        std::u16string shortened;
    };
    static Joined join(const std::vector<std::u16string>& readings);
    // Each entry's joined readings, in the list's order (null for none).
    void setReadings(const std::vector<const Joined*>& readings);
    // Entry `index`'s reading number `which` ("" for none).
    std::u16string reading(std::size_t index, std::size_t which) const;

    // What matched where no reading did.
    static constexpr std::size_t kWrittenForm = static_cast<std::size_t>(-1);
    struct Found {
        std::size_t index;
        bool atStart;  // the written form or a reading begins with what was typed
        bool exact;    // ... as typed, long vowels and all
        bool whole;    // ... and is all of what was typed
        std::size_t reading = kWrittenForm;  // the reading that matched best
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
    // Each entry's readings, parted by kNextReading; and the same without
    // their long vowels.
    Keys readings_;
    Keys shortReadings_;
    std::vector<std::future<Keys>> pending_;  // appended runs, in order, being keyed
};

}  // namespace wordpour::find

// The type-to-find list: the entries of the word list that contain the
// typed text anywhere, compared in their search keys, or one of whose
// readings holds it read as kana or romaji, with its long vowels or
// without (as romaji on signs leaves them out); one kana only where a
// reading begins. In the list's order, each with how it matched.
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
    // long vowels. One byte a character (kana less U+3000, digits as they
    // are), so that a keystroke runs over half the memory, sixteen bytes at
    // a step. Made once per word, off the window's thread for a load.
    static constexpr char kNextReading = '\x01';
    struct Joined {
        std::string exact;
        std::string shortened;
    };
    static Joined join(const std::vector<std::u16string>& readings);
    // The readings joined, each again in hiragana; the likeliest alone, as
    // shown: none for one that held a character kept as no kana or digit.
    static std::vector<std::u16string> split(const Joined& joined);
    static std::u16string likeliest(const Joined& joined);
    // The readings of a run of entries, each joined (null for none), as the
    // finder keeps them: made off the window's thread for a load, so that
    // taking them in is a copy.
    struct Readings {
        std::string exact;  // each entry's joined readings, each ended by NUL
        std::string shortened;
        std::vector<std::uint32_t> exactStarts;  // where each entry's begin
        std::vector<std::uint32_t> shortStarts;
    };
    static Readings readingsOf(std::span<const Joined* const> entries);
    // The readings of the run of entries that begins at `from`; false, and
    // none taken, when the list is shorter.
    bool setReadings(std::size_t from, const Readings& run);
    // Entry `index`'s readings, the others left as they are.
    void setReading(std::size_t index, const Joined* joined);
    // Entry `index`'s reading number `which` as shown ("" for none).
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
    // Every entry's readings, none until they are set; the texts begin
    // with a NUL, so that a byte ends what comes before every reading.
    Readings readings_;
    std::vector<std::future<Keys>> pending_;  // appended runs, in order, being keyed
};

}  // namespace wordpour::find

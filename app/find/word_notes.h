// What Wordpour knows of the words of a list beyond the words themselves:
// how each is read, where that reading came from, and how often and how
// lately it was entered. Kept by the word, so that a word's duplicates
// share it, and in a file of Wordpour's own beside "List", whose bytes
// never hold any of it.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wordpour::find {

// Where a reading came from, the least sure first: a surer one replaces a
// less sure one, never the other way.
enum class ReadingSource : std::uint8_t { None, Dictionary, InputMethod, Person };

struct WordNote {
    std::u16string reading;  // hiragana; empty for none
    ReadingSource source = ReadingSource::None;
    // Readings the person typed and found nothing by, before entering the
    // word another way: theirs as much as a correction, and kept beside it.
    std::vector<std::u16string> learned;
    std::uint32_t uses = 0;     // entries of the word
    std::uint64_t lastUse = 0;  // the entry counter at its last entry; 0 for never
};

class WordNotes {
public:
    const WordNote* find(std::u16string_view word) const;
    // Sets the reading when `source` is as sure as the one it has or surer.
    // Returns whether the reading changed.
    bool setReading(const std::u16string& word, std::u16string reading, ReadingSource source);
    // The person's correction: any source gives way. An empty reading
    // removes the correction and what was learned, and the word is read as
    // the dictionaries read it.
    void correct(const std::u16string& word, std::u16string reading);
    // A reading learned for the word; the oldest goes past kMostLearned.
    void learn(const std::u16string& word, std::u16string reading);
    static constexpr std::size_t kMostLearned = 4;
    // The word was entered once more.
    void used(const std::u16string& word);
    // Whether any word was ever entered.
    bool anyUse() const { return clock_ != 0; }

    // The words whose readings are the person's own or the input method's,
    // or learned: they come before any dictionary's.
    std::vector<std::u16string_view> wordsReadByThem() const;
    static bool readByThem(const WordNote& note) {
        return (note.source > ReadingSource::Dictionary && !note.reading.empty()) ||
               !note.learned.empty();
    }

    // The file's text (UTF-8) for these words; `dictionary` gives a word's
    // likeliest dictionary reading ("" for none), kept for whoever reads the
    // file without a dictionary.
    using DictionaryReading = std::function<std::u16string(const std::u16string&)>;
    std::string write(const std::vector<std::u16string>& words,
                      const DictionaryReading& dictionary) const;
    // Takes in the notes a file holds of the words `wanted` says it wants,
    // and only those, so that memory follows the list, not the file. A line
    // that cannot be read is skipped, so a damaged file costs only its
    // damaged lines. A file never holds more lines than a list has words:
    // reading stops there (false), so that a foreign or runaway file can
    // neither freeze the window nor fill the memory.
    bool read(std::istream& file, const std::function<bool(std::u16string_view)>& wanted);

    // The most lines a file is read for: as many as a list has words.
    static constexpr std::size_t kMostLines = 32767;

private:
    void take(std::string_view line, const std::function<bool(std::u16string_view)>& wanted);
    // Found by a view of the word, without a copy of it.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view word) const {
            return std::hash<std::u16string_view>{}(word);
        }
    };
    std::unordered_map<std::u16string, WordNote, Hash, std::equal_to<>> notes_;
    std::uint64_t clock_ = 0;  // the last entry's counter
};

}  // namespace wordpour::find

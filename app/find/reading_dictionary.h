// A dictionary that tells how a written word is read: for the words nobody
// typed through an input method, such as those of a loaded List.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wordpour::find {

// The most readings kept of a word: names are read in several ways
// (角田 かくだ or つのだ, 町 ちょう or まち), and a person types the one
// they know.
inline constexpr std::size_t kMostReadings = 16;

class ReadingDictionary {
public:
    virtual ~ReadingDictionary() = default;
    // The words about to be read, told before the first of them: a
    // dictionary scanned whole looks up only what they hold.
    virtual void expect(std::span<const std::u16string> words) { (void)words; }
    // The word's readings in hiragana, the likeliest first, at most
    // kMostReadings; none when the dictionary cannot read all of it.
    virtual std::vector<std::u16string> read(std::u16string_view word) = 0;
};

// The platform's dictionaries: on Linux MeCab with IPAdic and the SKK
// dictionaries of names, each where it is installed; on Windows the
// Japanese IME. Nothing where none is installed. It is used on the thread
// that opened it.
std::unique_ptr<ReadingDictionary> openReadingDictionary();

// Adds `more` to `readings` in turn, each reading once, up to kMostReadings.
void addReadings(std::vector<std::u16string>& readings, std::vector<std::u16string> more);

}  // namespace wordpour::find

// A dictionary that tells how a written word is read: for the words nobody
// typed through an input method, such as those of a loaded List.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace wordpour::find {

class ReadingDictionary {
public:
    virtual ~ReadingDictionary() = default;
    // The word's reading in hiragana; nothing when the dictionary cannot
    // read all of it.
    virtual std::optional<std::u16string> read(std::u16string_view word) = 0;
};

// The platform's dictionary: MeCab with IPAdic on Linux, the Japanese IME's
// IFELanguage on Windows. Nothing where none is installed. It is used on
// the thread that opened it.
std::unique_ptr<ReadingDictionary> openReadingDictionary();

}  // namespace wordpour::find

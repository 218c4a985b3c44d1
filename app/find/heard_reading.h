// How an input method read a text field's whole text: the readings of its
// conversions, kept while each commit went on from the last at the end of
// the text, or replaced all of it. What the faces' trackers of the input
// method (Qt's events, Win32's IMM) share.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wordpour::find {

class HeardReading {
public:
    // A conversion put `result`, read as `read` ("" when unknown), into a
    // field that held `before` with the selection (or the caret, start ==
    // end) from `start` to `end`.
    void converted(std::u16string_view before, std::size_t start, std::size_t end,
                   std::u16string_view result, std::u16string_view read);
    // The reading of the field's `text`, when the conversions made all of it.
    std::optional<std::u16string> readingOf(std::u16string_view text) const;

private:
    std::u16string text_;
    std::u16string reading_;
    bool heard_ = false;  // reading_ reads all of text_
};

}  // namespace wordpour::find

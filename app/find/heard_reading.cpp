#include "app/find/heard_reading.h"

namespace wordpour::find {

void HeardReading::converted(std::u16string_view before, std::size_t start, std::size_t end,
                             std::u16string_view result, std::u16string_view read) {
    const bool replacesAll = before.empty() || (start == 0 && end == before.size());
    const bool atEnd = start == end && end == before.size();
    if (replacesAll) {
        text_ = result;
        reading_ = read;
        heard_ = !read.empty();
    } else if (atEnd && heard_ && before == text_ && !read.empty()) {
        text_ += result;
        reading_ += read;
    } else {
        heard_ = false;
    }
}

std::optional<std::u16string> HeardReading::readingOf(std::u16string_view text) const {
    if (!heard_ || text_.empty() || text != text_) return std::nullopt;
    return reading_;
}

}  // namespace wordpour::find
